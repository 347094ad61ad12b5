#include "engine/explanation.h"

#include <algorithm>
#include <array>
#include <span>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "engine/internal/division_state.h"
#include "engine/invariants.h"

namespace qismar {

namespace {

using detail::Source;
using Int = Rational::Int;

bool positive(HeadCount h) { return h.positive(); }
bool atLeastTwo(HeadCount h) { return h.persons() >= 2; }

// A relative's Arabic names and gender, from the heir table.
const HeirInfo& names(Heir row) { return heirInfo(row); }

bool isGrandmother(Heir row) { return heirInfo(row).heirClass == HeirClass::Grandmother; }

// One text of several pieces, written into `out` (whose room is reused).
void cat(std::string& out, std::initializer_list<std::string_view> pieces)
{
    out.clear();
    for (std::string_view p : pieces)
        out += p;
}

// What follows "ل" before a name: "ل" + "لزوج" is "للزوج", "ل" + "ابن
// الابن" is "لابن الابن", "ل" + "أم الأم" is "لأم الأم".
std::string_view afterLam(std::string_view name)
{
    constexpr std::string_view article = "ال";
    return name.substr(0, article.size()) == article ? name.substr(std::string_view("ا").size()) : name;
}

// The Arabic name of a fixed share of the whole.
std::string_view shareName(Rational share)
{
    const struct {
        Int num, den;
        std::string_view name;
    } known[] = {{1, 2, "النصف"}, {1, 4, "الربع"}, {1, 8, "الثمن"}, {2, 3, "الثلثان"}, {1, 3, "الثلث"}, {1, 6, "السدس"}};
    for (const auto& k : known)
        if (share.num() == k.num && share.den() == k.den)
            return k.name;
    return {};
}

class Builder {
public:
    Builder(const EstateCase& c, const DivisionResult& r, const detail::Trace& t, Explanation& out)
        : c_(c), r_(r), t_(t), out_(out)
    {
        for (int i = 0; i < kHeirCount; ++i)
            heads_[std::size_t(i)] = HeadsOf(c, heirAt(i));
    }

    void build()
    {
        // The entries of an explanation used before are reused, with the
        // room of their texts.
        out_.exact = true;
        out_.origin = 0;
        out_.awl.reset();
        out_.radd.reset();
        out_.spouseKeepsShare = false;
        out_.correction.reset();
        out_.undistributed.reset();
        std::size_t count = 0;
        for (const RowText& row : r_.rows)
            count += !row.isEmpty();
        out_.heirs.resize(count);
        std::size_t next = 0;
        for (int i = 0; i < kHeirCount; ++i) {
            if (r_.rows[std::size_t(i)].isEmpty())
                continue;
            HeirExplanation& h = out_.heirs[next++];
            heir(heirAt(i), h);
            if (!h.fraction.valid())
                out_.exact = false;
        }
        Rational total;
        for (const HeirExplanation& h : out_.heirs)
            total += h.classFraction;
        const Rational left = Rational(1) - total;
        if (!left.valid())
            out_.exact = false;
        else if (!left.isZero())
            out_.undistributed = left;
        if (!out_.exact) {
            out_.heirs.clear();
            out_.undistributed.reset();
            return;
        }
        problem();
        for (HeirExplanation& h : out_.heirs)
            reason(h);
    }

private:
    HeadCount heads(Heir row) const { return heads_[std::size_t(index(row))]; }
    bool plural(Heir row) const { return heads(row).persons() > 1 && !names(row).plural.empty(); }
    std::string_view name(Heir row) const { return plural(row) ? names(row).plural : names(row).singular; }
    bool present(Heir row) const { return !r_.rows[std::size_t(index(row))].isEmpty(); }
    const detail::RowSource& source(Heir row) const { return t_.sources[std::size_t(index(row))]; }

    void heir(Heir row, HeirExplanation& h) const
    {
        h.row = row;
        h.share.reset();
        h.shares.reset();
        h.excludedBy.clear();
        const std::size_t i = std::size_t(index(row));
        h.fraction = t_.rows[i];
        const HeadCount n = heads(row);
        h.classFraction = n.isOne() ? h.fraction : h.fraction.times(n.persons());
        const detail::RowSource& s = t_.sources[i];
        const auto classShare = [&s] { return Rational::of(s.k, 24); };
        switch (s.source) {
        case Source::Fixed:
            h.status = HeirStatus::Fixed;
            if (s.k != 0)
                h.share = classShare();
            break;
        case Source::Umariyya:
            h.status = HeirStatus::Umariyya;
            h.share = classShare();
            break;
        case Source::ResidueAlone:
        case Source::ResidueMale:
            h.status = HeirStatus::Residue;
            break;
        case Source::ResidueFemale:
            h.status = HeirStatus::ResidueWith;
            break;
        case Source::ResidueBeside:
            h.status = HeirStatus::ResidueBeside;
            break;
        case Source::FatherRest:
        case Source::GrandfatherRest:
            if (s.k == 0) {
                h.status = HeirStatus::Residue;
            } else {
                h.share = classShare();
                h.status = t_.fixedPart[i] < h.fraction ? HeirStatus::FixedAndResidue : HeirStatus::Fixed;
            }
            break;
        case Source::SharedThird:
            h.status = HeirStatus::SharedThird;
            h.share = Rational::of(1, 3);
            break;
        case Source::GrandfatherSharing:
            h.status = HeirStatus::GrandfatherSharing;
            break;
        case Source::GrandfatherSixth:
            h.status = HeirStatus::Fixed;
            h.share = Rational::of(1, 6);
            break;
        case Source::None:
            h.status = HeirStatus::NothingLeft;
            break;
        }
        if (h.fraction.isZero()) {
            h.share.reset();
            ExcludersInto(c_, row, h.excludedBy);
            h.status = h.excludedBy.empty() ? HeirStatus::NothingLeft : HeirStatus::Excluded;
        }
    }

    // The origin, the raise or the return, the correction, and each head's
    // number of shares.
    void problem()
    {
        // The fixed shares as the textbook adds them: the grandmothers share
        // one sixth, and the uterine and full siblings one third.
        struct Group {
            Rational share;
            bool spouse;
        };
        std::array<Group, kHeirCount> groupStore;
        std::size_t groupCount = 0;
        bool grandmothers = false, sharedThird = false;
        for (const HeirExplanation& h : out_.heirs) {
            if (!h.share)
                continue;
            if (isGrandmother(h.row)) {
                if (std::exchange(grandmothers, true))
                    continue;
            } else if (h.status == HeirStatus::SharedThird) {
                if (std::exchange(sharedThird, true))
                    continue;
            }
            groupStore[groupCount++] = {*h.share, h.row == Heir::Husband || h.row == Heir::Wives};
        }
        const std::span<const Group> groups(groupStore.data(), groupCount);
        Int origin = 1;
        Rational sum;
        for (const auto& [share, spouse] : groups) {
            origin = lcm(origin, share.den());
            sum += share;
        }
        if (groups.empty()) {
            // Residuaries only: their heads, a male counting twice beside
            // females of his class.
            bool female = false;
            for (const HeirExplanation& h : out_.heirs)
                if (h.status == HeirStatus::ResidueWith || (h.status == HeirStatus::GrandfatherSharing && names(h.row).female()))
                    female = true;
            Int units = 0;
            for (const HeirExplanation& h : out_.heirs) {
                if (h.fraction.isZero() || !(h.status == HeirStatus::Residue || h.status == HeirStatus::ResidueWith ||
                                             h.status == HeirStatus::GrandfatherSharing))
                    continue;
                const Int n = heads(h.row).persons();
                units += female && !names(h.row).female() ? 2 * n : n;
            }
            origin = units > 0 ? units : 1;
        }
        out_.origin = std::int64_t(std::min<Int>(origin, INT64_MAX));

        const std::int64_t base = r_.problemBase.raw() / Currency::kScale;
        if (base > 24 && !groups.empty()) {
            const Rational awl = sum * Rational(out_.origin);
            if (awl.valid() && awl.den() == 1 && awl.num() > origin)
                out_.awl = std::int64_t(awl.num());
        }
        if (base < 24) {
            Int others = 1;
            Rational othersSum;
            bool any = false;
            for (const auto& [share, spouse] : groups) {
                if (spouse) {
                    out_.spouseKeepsShare = true;
                    continue;
                }
                any = true;
                others = lcm(others, share.den());
                othersSum += share;
            }
            const Rational radd = othersSum * Rational(std::int64_t(std::min<Int>(others, INT64_MAX)));
            if (any && radd.valid() && radd.den() == 1)
                out_.radd = std::int64_t(radd.num());
            if (!any)
                out_.spouseKeepsShare = false;
        }

        Int correction = 1;
        for (const HeirExplanation& h : out_.heirs)
            if (!h.fraction.isZero())
                correction = lcm(correction, h.fraction.den());
        if (out_.undistributed)
            correction = lcm(correction, out_.undistributed->den());
        if (correction > 0 && correction <= INT64_MAX) {
            out_.correction = std::int64_t(correction);
            for (HeirExplanation& h : out_.heirs) {
                // The correction is a multiple of every denominator.
                Int shares;
                if (!__builtin_mul_overflow(h.fraction.num(), correction / h.fraction.den(), &shares) &&
                    shares <= INT64_MAX)
                    h.shares = std::int64_t(shares);
            }
        }
    }

    std::string_view femaleDescendant() const
    {
        for (Heir row : {Heir::Daughters, Heir::SonsDaughters, Heir::SonsSonsDaughters})
            if (present(row))
                return name(row);
        return names(Heir::Daughters).singular;
    }

    std::string_view excludedWord(Heir row) const
    {
        const bool female = names(row).female() && row != Heir::UterineSiblings;
        if (plural(row))
            return female ? "محجوبات" : "محجوبون";
        return female ? "محجوبة" : "محجوب";
    }

    void reason(HeirExplanation& h) const
    {
        std::string& out = h.reason;
        const Heir row = h.row;
        // "للزوج": the name with "ل" before it, as two pieces.
        const std::string_view who = afterLam(name(row));
        const bool many = plural(row);
        const std::string_view share = h.share ? shareName(*h.share) : std::string_view();
        const std::string_view spouse =
            c_.isMan() ? (c_.wives.persons() > 1 ? "الزوجات" : "الزوجة") : "الزوج";
        switch (h.status) {
        case HeirStatus::Excluded: {
            out = excludedWord(row);
            for (std::size_t i = 0; i < h.excludedBy.size(); ++i) {
                out += i == 0 ? " ب" : " و";
                out += name(h.excludedBy[i]);
            }
            return;
        }
        case HeirStatus::NothingLeft:
            return cat(out, {"لم يبق ", many ? (names(row).female() ? "لهن" : "لهم") : (names(row).female() ? "لها" : "له"),
                        " شيء بعد أصحاب الفروض"});
        case HeirStatus::Umariyya:
            // "وهو ربع التركة": the share's name without its article.
            return cat(out, {"ل", who, " ثلث الباقي بعد فرض ", spouse, "، وهو ", share.substr(std::string_view("ال").size()),
                        " التركة (المسألة العمرية)"});
        case HeirStatus::SharedThird:
            return cat(out, {"يشترك أولاد الأم والإخوة الأشقاء في الثلث بالتساوي لأنه لم يبق للأشقاء شيء بعد الفروض (المسألة "
                   "المشتركة)"});
        case HeirStatus::GrandfatherSharing:
            if (row == Heir::Grandfather)
                return cat(out, {"للجد مقاسمة الإخوة كأنه أخ منهم لأنها خير له من السدس"});
            return cat(out, {"ل", who, " مقاسمة الجد، للذكر مثل حظ الأنثيين"});
        case HeirStatus::ResidueBeside:
            return cat(out, {"ل", who, " الباقي تعصيباً مع الغير لوجود ", femaleDescendant()});
        case HeirStatus::ResidueWith: {
            const Heir male = row == Heir::Daughters ? Heir::Sons : row == Heir::FullSisters ? Heir::FullBrothers : row == Heir::PaternalSisters ? Heir::PaternalBrothers
                           : (row == Heir::SonsDaughters && present(Heir::SonsSons)) ? Heir::SonsSons : Heir::SonsSonsSons;
            return cat(out, {"ل", who, " الباقي تعصيباً بالغير مع ", name(male), "، للذكر مثل حظ الأنثيين"});
        }
        case HeirStatus::Residue: {
            if (row == Heir::Father)
                return source(Heir::Mother).source == Source::Umariyya
                           ? cat(out, {"للأب الباقي تعصيباً بعد فرض ", spouse, " وثلث الباقي للأم (المسألة العمرية)"})
                           : cat(out, {"للأب الباقي تعصيباً لعدم وجود الفرع الوارث"});
            if (row == Heir::Grandfather) {
                // Beside sisters who hold their fixed share, or alone.
                for (Heir sisters : {Heir::FullSisters, Heir::PaternalSisters})
                    if (present(sisters) && source(sisters).source == Source::Fixed)
                        return cat(out, {"للجد الباقي بعد فرض ", name(sisters)});
                return cat(out, {"للجد الباقي تعصيباً لعدم وجود الأب والفرع الوارث"});
            }
            if (source(row).source == Source::ResidueMale) {
                const Heir female = row == Heir::Sons ? Heir::Daughters : row == Heir::SonsSons ? Heir::SonsDaughters : row == Heir::FullBrothers ? Heir::FullSisters
                                 : row == Heir::PaternalBrothers ? Heir::PaternalSisters : present(Heir::SonsSonsDaughters) && !present(Heir::SonsDaughters) ? Heir::SonsSonsDaughters : Heir::SonsDaughters;
                return cat(out, {"ل", who, " مع ", name(female), " الباقي تعصيباً، للذكر مثل حظ الأنثيين"});
            }
            if ((row == Heir::FullBrothers || row == Heir::PaternalBrothers) && source(Heir::Grandfather).source == Source::GrandfatherSixth)
                return cat(out, {"ل", who, " الباقي بعد سدس الجد"});
            return cat(out, {"ل", who, " الباقي تعصيباً بالنفس", many ? " يقتسمونه بالتساوي" : ""});
        }
        case HeirStatus::FixedAndResidue:
            return cat(out, {"ل", who, " السدس فرضاً والباقي تعصيباً لوجود الفرع الوارث الأنثى"});
        case HeirStatus::Fixed:
            break;
        }
        return fixedReason(h, who, share, many);
    }

    void fixedReason(HeirExplanation& h, std::string_view who, std::string_view share, bool many) const
    {
        std::string& out = h.reason;
        const Heir row = h.row;
        const bool descendants = c_.children || c_.grandchildren;
        const std::string_view because = descendants ? " لوجود الفرع الوارث" : " لعدم وجود الفرع الوارث";
        // "يقتسمنه", or "يقتسمنهما" for the two thirds.
        const bool two = share == "الثلثان";
        const std::string_view shared = !many ? ""
                                        : names(row).female() ? (two ? " يقتسمنهما بالتساوي" : " يقتسمنه بالتساوي")
                                                            : (two ? " يقتسمونهما بالتساوي" : " يقتسمونه بالتساوي");
        switch (row) {
        case Heir::Husband:
        case Heir::Wives:
            return cat(out, {"ل", who, " ", share, shared, because});
        case Heir::Father:
        case Heir::Grandfather:
            if (source(row).source == Source::GrandfatherSixth)
                return cat(out, {"للجد السدس لأنه خير له من مقاسمة الإخوة"});
            if (positive(c_.sons) || positive(c_.sonsSons) || positive(c_.sonsSonsSons))
                return cat(out, {"ل", who, " السدس فرضاً لوجود الفرع الوارث الذكر"});
            return cat(out, {"ل", who, " السدس فرضاً، ولم يبق بعد الفروض ما يأخذه تعصيباً"});
        case Heir::Mother:
            if (share == "الثلث")
                return cat(out, {"للأم الثلث لعدم وجود الفرع الوارث ولعدم وجود اثنين فأكثر من الإخوة"});
            return cat(out, {descendants ? "للأم السدس لوجود الفرع الوارث" : "للأم السدس لوجود اثنين فأكثر من الإخوة"});
        case Heir::Daughters:
        case Heir::SonsDaughters:
        case Heir::SonsSonsDaughters:
        case Heir::FullSisters:
        case Heir::PaternalSisters:
            if (share == "السدس")
                return cat(out, {"ل", who, " السدس", shared, " تكملة للثلثين مع ",
                            row == Heir::PaternalSisters                          ? name(Heir::FullSisters)
                            : row == Heir::SonsSonsDaughters && present(Heir::SonsDaughters) ? name(Heir::SonsDaughters)
                                                                     : name(Heir::Daughters)});
            if (share == "النصف")
                return cat(out, {"ل", who, " النصف لانفرادها وعدم وجود من يعصبها"});
            return cat(out, {"ل", who, " الثلثان", shared, " لتعددهن وعدم وجود من يعصبهن"});
        case Heir::UterineSiblings:
            if (share == "السدس")
                return cat(out, {"لولد الأم السدس لانفراده وعدم وجود الأصل الوارث الذكر والفرع الوارث"});
            return cat(out, {"لأولاد الأم الثلث يقتسمونه بالتساوي ذكوراً وإناثاً"});
        default:
            break;
        }
        if (isGrandmother(row)) {
            int inheriting = 0;
            for (Heir g : {Heir::MothersMother, Heir::FathersMother, Heir::MothersMothersMother, Heir::FathersMothersMother, Heir::FathersFathersMother})
                if (present(g) && !t_.rows[std::size_t(index(g))].isZero())
                    ++inheriting;
            return inheriting > 1 ? cat(out, {"تشترك الجدات الوارثات في السدس بالتساوي"})
                                  : cat(out, {"ل", who, " السدس لعدم وجود الأم"});
        }
        return cat(out, {"ل", who, " ", share, shared});
    }

    const EstateCase& c_;
    const DivisionResult& r_;
    const detail::Trace& t_;
    Explanation& out_;
    std::array<HeadCount, kHeirCount> heads_;
};

}  // namespace

std::vector<std::string> ProblemSentences(const Explanation& e)
{
    std::vector<std::string> s;
    if (!e.exact)
        return s;
    const std::string origin = std::to_string(e.origin);
    bool anyFixed = false;
    for (const HeirExplanation& h : e.heirs)
        anyFixed |= h.share.has_value();
    if (anyFixed)
        s.push_back("أصل المسألة " + origin + "، وهو أصغر عدد تخرج منه فروض أصحاب الفروض");
    else
        s.push_back("أصل المسألة " + origin + "، وهو عدد رؤوس العصبة، للذكر مثل حظ الأنثيين");
    if (e.awl)
        s.push_back("زادت الفروض على أصل المسألة فعالت من " + origin + " إلى " + std::to_string(*e.awl) +
                    "، فنقص نصيب كل صاحب فرض بنسبة فرضه");
    if (e.radd) {
        if (e.spouseKeepsShare)
            s.push_back("بقي فائض بعد الفروض ولا عاصب، فأخذ الزوج أو الزوجة فرضه كاملاً، وردّ الباقي على غيره من "
                        "أصحاب الفروض بنسبة فروضهم (أصل الرد " + std::to_string(*e.radd) +
                        ")، إذ لا يُرد على الزوجين");
        else
            s.push_back("بقي فائض بعد الفروض ولا عاصب، فردّ على أصحاب الفروض بنسبة فروضهم، فصار أصل المسألة " +
                        std::to_string(*e.radd) + " بالرد");
    }
    if (e.correction)
        s.push_back("صحت المسألة من " + std::to_string(*e.correction) +
                    "، وهو أصغر عدد من الأسهم يأخذ منه كل وارث عدداً صحيحاً");
    if (e.undistributed)
        s.push_back("بقي " + e.undistributed->text() +
                    " من التركة دون توزيع، وهو لذوي الأرحام، ولا يُرد على الزوج أو الزوجة ما دام أحد منهم موجوداً");
    return s;
}

const char* statusKey(HeirStatus status) noexcept
{
    switch (status) {
    case HeirStatus::Fixed: return "fixed";
    case HeirStatus::Residue: return "residue";
    case HeirStatus::ResidueWith: return "residue_with";
    case HeirStatus::ResidueBeside: return "residue_beside";
    case HeirStatus::FixedAndResidue: return "fixed_and_residue";
    case HeirStatus::Umariyya: return "umariyya";
    case HeirStatus::SharedThird: return "shared_third";
    case HeirStatus::GrandfatherSharing: return "grandfather_sharing";
    case HeirStatus::Excluded: return "excluded";
    case HeirStatus::NothingLeft: return "nothing_left";
    }
    return "";
}

std::string HeirName(Heir row, bool plural)
{
    const HeirInfo& n = heirInfo(row);
    return std::string(plural && !n.plural.empty() ? n.plural : n.singular);
}

std::vector<Heir> ExcludersOf(const EstateCase& c, Heir row)
{
    std::vector<Heir> out;
    ExcludersInto(c, row, out);
    return out;
}

void ExcludersInto(const EstateCase& c, Heir row, std::vector<Heir>& out)
{
    out.clear();
    const auto add = [&](Heir r) {
        if (RelativePresent(c, r) && std::find(out.begin(), out.end(), r) == out.end())
            out.push_back(r);
    };
    const auto maleDescendants = [&] {
        add(Heir::Sons);
        add(Heir::SonsSons);
        add(Heir::SonsSonsSons);
    };
    // A near grandmother who inherits excludes the far ones.
    const auto nearGrandmother = [&] {
        if (c.mothersMother)
            add(Heir::MothersMother);
        if (c.fathersMother && !c.father)
            add(Heir::FathersMother);
    };
    const bool femaleDescendant = positive(c.daughters) || positive(c.sonsDaughters) || positive(c.sonsSonsDaughters);
    switch (row) {
    case Heir::Grandfather: add(Heir::Father); break;
    case Heir::MothersMother: add(Heir::Mother); break;
    case Heir::FathersMother: add(Heir::Mother); add(Heir::Father); break;
    case Heir::MothersMothersMother: add(Heir::Mother); nearGrandmother(); break;
    case Heir::FathersMothersMother: add(Heir::Mother); add(Heir::Father); nearGrandmother(); break;
    case Heir::FathersFathersMother: add(Heir::Mother); add(Heir::Father); add(Heir::Grandfather); nearGrandmother(); break;
    case Heir::SonsSons: add(Heir::Sons); break;
    case Heir::SonsDaughters:
        add(Heir::Sons);
        // Two daughters complete the two thirds, unless a male of her degree
        // or below makes her residuary.
        if (!positive(c.sonsSons) && !positive(c.sonsSonsSons) && atLeastTwo(c.daughters))
            add(Heir::Daughters);
        break;
    case Heir::SonsSonsSons: add(Heir::Sons); add(Heir::SonsSons); break;
    case Heir::SonsSonsDaughters:
        add(Heir::Sons);
        add(Heir::SonsSons);
        if (out.empty() && !positive(c.sonsSonsSons)) {
            if (atLeastTwo(c.daughters))
                add(Heir::Daughters);
            if (atLeastTwo(c.sonsDaughters))
                add(Heir::SonsDaughters);
            if (c.daughters.isOne() && positive(c.sonsDaughters)) {
                add(Heir::Daughters);
                add(Heir::SonsDaughters);
            }
        }
        break;
    case Heir::FullBrothers:
    case Heir::FullSisters:
        add(Heir::Father);
        maleDescendants();
        break;
    case Heir::PaternalBrothers:
        add(Heir::Father);
        maleDescendants();
        add(Heir::FullBrothers);
        if (positive(c.fullSisters) && femaleDescendant)
            add(Heir::FullSisters);
        break;
    case Heir::PaternalSisters:
        add(Heir::Father);
        maleDescendants();
        add(Heir::FullBrothers);
        // A full sister residuary beside female descendants, or two full
        // sisters who complete the two thirds without a paternal brother.
        if ((positive(c.fullSisters) && femaleDescendant) || (atLeastTwo(c.fullSisters) && !positive(c.paternalBrothers)))
            add(Heir::FullSisters);
        break;
    case Heir::UterineSiblings:
        add(Heir::Father);
        add(Heir::Grandfather);
        for (Heir d : {Heir::Sons, Heir::Daughters, Heir::SonsSons, Heir::SonsDaughters, Heir::SonsSonsSons, Heir::SonsSonsDaughters})
            add(d);
        break;
    case Heir::FullBrothersSons:
    case Heir::PaternalBrothersSons:
    case Heir::FullUncles:
    case Heir::PaternalUncles:
    case Heir::FullUnclesSons:
    case Heir::PaternalUnclesSons: {
        maleDescendants();
        add(Heir::Father);
        add(Heir::Grandfather);
        add(Heir::FullBrothers);
        add(Heir::PaternalBrothers);
        // A sister residuary beside female descendants stands in a brother's place.
        if (femaleDescendant) {
            if (positive(c.fullSisters))
                add(Heir::FullSisters);
            else if (positive(c.paternalSisters))
                add(Heir::PaternalSisters);
        }
        for (Heir nearer : {Heir::FullBrothersSons, Heir::PaternalBrothersSons, Heir::FullUncles, Heir::PaternalUncles, Heir::FullUnclesSons}) {
            if (nearer == row)
                break;
            add(nearer);
        }
        break;
    }
    default:
        break;
    }
}

DivisionResult DivideExplained(const EstateCase& estateCase, Explanation& explanation)
{
    // Every part of the trace that a division reads is written by it first
    // (the rows and sources at the marking, the ledger at the first full
    // pass), so one trace serves every division of a thread.
    thread_local detail::Trace trace;
    DivisionResult result = Divide(estateCase, &trace);
    if (result.outcome == Outcome::Divided) {
        Builder(estateCase, result, trace, explanation).build();
    } else {
        explanation.exact = false;
        explanation.heirs.clear();
    }
    return result;
}

}  // namespace qismar

// Qismar: the division of a case with later deaths, problem by problem, and
// the combined table of the persons alive at the division.
#include "engine/later_deaths.h"

#include <numeric>
#include <stdexcept>

#include "engine/preparation.h"
#include "engine/uncertain_heir.h"

namespace qismar {
namespace {

// A field of a case as a later death or a link names it: the row of its
// class, the sex of its heads, and how many heads it holds in the case.
struct NamedField {
    Heir row = Heir::Sons;
    Gender gender = Gender::Male;
    std::int64_t heads = 0;
};

std::optional<NamedField> fieldOf(const EstateCase& c, std::string_view field)
{
    if (field == "spouse" || field == "wives") {
        if (field == "wives" && !c.isMan())
            return std::nullopt;
        if (c.isMan())
            return NamedField{Heir::Wives, Gender::Female, c.spouse ? c.wives.persons() : 0};
        return NamedField{Heir::Husband, Gender::Male, c.spouse ? 1 : 0};
    }
    if (field == "uterineSisters")
        return NamedField{Heir::UterineSiblings, Gender::Female, c.uterineSisters.persons()};
    if (field == "uterineBrothers")
        return NamedField{Heir::UterineSiblings, Gender::Male, c.uterineBrothers.persons()};
    for (const HeirInfo& info : kHeirs) {
        const CaseField& f = info.fields[0];
        if (f.json != field)
            continue;
        const std::int64_t heads = f.isCount() ? (c.*f.count).persons() : (c.*f.flag ? 1 : 0);
        return NamedField{info.heir, info.gender, heads};
    }
    return std::nullopt;
}

// The Arabic name of one head named by a field ("الابن", "الأخت لأم").
std::string arabicName(const NamedField& f)
{
    if (f.row == Heir::UterineSiblings)
        return f.gender == Gender::Female ? "الأخت لأم" : "الأخ لأم";
    return std::string(heirInfo(f.row).singular);
}

// The combined table so far: one group per persons who receive the same
// through the same rows.
struct Group {
    std::vector<ProblemRow> of;
    std::int64_t heads = 0;
    std::uint64_t shares = 0;
    Currency amount;
    std::uint64_t id = 0;     // never 0, never reused
    bool linkedNow = false;   // linked to a person of the problem being joined
};

bool holds(const Group& g, ProblemRow r)
{
    for (const ProblemRow& x : g.of)
        if (x == r)
            return true;
    return false;
}

// The heads of a row of a problem still alive in the table.
std::int64_t aliveHeads(const std::vector<Group>& groups, ProblemRow r)
{
    std::int64_t n = 0;
    for (const Group& g : groups)
        if (holds(g, r))
            n += g.heads;
    return n;
}

// Splits `n` heads off groups[i] into a group of their own, placed right
// before it; returns the index of the new group.
std::size_t splitOff(std::vector<Group>& groups, std::size_t i, std::int64_t n, std::uint64_t& nextId)
{
    if (groups[i].heads == n)
        return i;
    Group part = groups[i];
    part.heads = n;
    part.id = nextId++;
    groups[i].heads -= n;
    groups.insert(groups.begin() + std::ptrdiff_t(i), std::move(part));
    return i;
}

const char* ordinalProblem(int problem)
{
    static const char* const kNames[] = {"",         "الأولى",  "الثانية", "الثالثة", "الرابعة",
                                         "الخامسة", "السادسة", "السابعة", "الثامنة"};
    return problem >= 1 && problem <= 8 ? kNames[problem] : "";
}

class Driver {
public:
    Driver(const EstateCase& first, const std::vector<LaterDeath>& later, SuccessiveDivision& out)
        : first_(first), later_(later), out_(out)
    {
    }

    void run()
    {
        if (later_.size() + 1 > kMaxProblems) {
            refuse(int(kMaxProblems) + 1,
                   "at most " + std::to_string(kMaxProblems) + " problems: the case and " +
                       std::to_string(kMaxProblems - 1) + " later deaths",
                   "لا تزيد المسائل على " + std::to_string(kMaxProblems) + ": المسألة الأولى و" +
                       std::to_string(kMaxProblems - 1) + " وفيات بعدها");
            return;
        }
        if (!divideFirst())
            return;
        for (std::size_t k = 0; k < later_.size(); ++k)
            if (!divideLater(int(k) + 2, later_[k]))
                return;
        finish();
    }

private:
    // A class of the later problem that is persons of the earlier one.
    struct Link {
        Heir row;
        std::int64_t heads;
        ProblemRow to;
    };
    // An entry of the later problem's table: heads of one row, linked to an
    // earlier group or new.
    struct Later {
        Heir row;
        std::int64_t heads;
        std::uint64_t shares;
        Currency amount;
        std::uint64_t group;  // the id of the earlier group, or 0
    };

    void refuse(int problem, std::string english, std::string arabic)
    {
        out_.refusal = SuccessiveRefusal{problem, std::move(english), std::move(arabic)};
    }

    // Who a refusal names: the later deceased of problem `problem`.
    void refuseLater(int problem, const LaterDeath& d, const std::optional<NamedField>& dead,
                     const std::string& english, const std::string& arabic)
    {
        std::string en = "the later deceased (";
        if (dead && heirInfo(dead->row).counted())
            en += "one of ";
        en += "\"" + d.heir + "\" of problem " + std::to_string(d.problem) + ", problem " + std::to_string(problem) +
              "): " + english;
        std::string ar;
        if (dead)
            ar = arabicName(*dead) + (dead->gender == Gender::Female ? " المتوفاة" : " المتوفى") + " بعد المورث";
        else
            ar = "المتوفى بعد المورث";
        ar += " (المسألة " + std::string(ordinalProblem(problem)) + "): " + arabic;
        refuse(problem, std::move(en), std::move(ar));
    }

    // The table of a divided problem, reduced where it reduces: its
    // correction and each row's shares for one head. False when the problem
    // has no table that combines (not exact, beyond 64 bits, a part left
    // undistributed).
    static bool tableOf(const SuccessiveProblem& p, std::uint64_t& correction, std::vector<std::uint64_t>& rowShares,
                        std::string& english, std::string& arabic)
    {
        const Explanation& e = p.explanation;
        if (p.result.undistributed || (e.exact && e.undistributed && !e.undistributed->isZero())) {
            english = "the problem leaves part of its estate undistributed (a spouse alone), so its table does not "
                      "combine";
            arabic = "تبقى من تركته بقية لا يرثها أحد من الورثة المدخلين (زوج وحده)، فلا تدخل مسألته في الجامعة";
            return false;
        }
        if (!e.exact || !e.correction || *e.correction <= 0) {
            english = "the table of the problem is too large to combine exactly";
            arabic = "جدول المسألة أكبر من أن يُجمع جمعاً دقيقاً";
            return false;
        }
        const std::int64_t by = e.reducedBy.value_or(1);
        correction = std::uint64_t(*e.correction / by);
        rowShares.assign(kHeirCount, 0);
        std::uint64_t sum = 0;
        for (const HeirExplanation& h : e.heirs) {
            if (!h.shares || *h.shares < 0 || *h.shares % by != 0) {
                english = "the table of the problem is too large to combine exactly";
                arabic = "جدول المسألة أكبر من أن يُجمع جمعاً دقيقاً";
                return false;
            }
            const std::uint64_t each = std::uint64_t(*h.shares / by);
            rowShares[std::size_t(index(h.row))] = each;
            std::uint64_t part = 0;
            if (__builtin_mul_overflow(each, std::uint64_t(HeadsOf(p.estateCase, h.row).persons()), &part) ||
                __builtin_add_overflow(sum, part, &sum)) {
                english = "the table of the problem is too large to combine exactly";
                arabic = "جدول المسألة أكبر من أن يُجمع جمعاً دقيقاً";
                return false;
            }
        }
        if (sum != correction) {
            english = "the shares of the problem do not add up to its correction";
            arabic = "سهام الورثة في المسألة لا تساوي تصحيحها";
            return false;
        }
        return true;
    }

    bool divideFirst()
    {
        SuccessiveProblem p;
        p.estateCase = first_;
        p.result = DivideEstate(first_, &p.explanation);  // throws as a plain case does
        switch (p.result.outcome) {
        case Outcome::Divided: break;
        case Outcome::NoEstate:
            refuse(1, "no estate to divide", std::string(kEnterEstateMessage));
            return false;
        case Outcome::NoHeirs:
            refuse(1, "no heirs chosen", std::string(kChooseHeirsMessage));
            return false;
        case Outcome::Consumed:
            refuse(1, "the costs, debts and bequests leave nothing to divide", ConsumedMessage(*p.result.preparation));
            return false;
        }
        std::uint64_t correction = 0;
        std::vector<std::uint64_t> rowShares;
        std::string en, ar;
        if (!tableOf(p, correction, rowShares, en, ar)) {
            refuse(1, "the case: " + en, "المسألة الأولى: " + ar);
            return false;
        }
        origin_ = correction;
        for (int i = 0; i < kHeirCount; ++i) {
            const Heir row = heirAt(i);
            if (p.result.rows[std::size_t(i)].isEmpty())
                continue;
            groups_.push_back(Group{{ProblemRow{1, row}}, HeadsOf(p.estateCase, row).persons(), rowShares[std::size_t(i)],
                                    p.result.rows[std::size_t(i)].value(), nextId_++});
        }
        out_.problems.push_back(std::move(p));
        return true;
    }

    bool divideLater(int problem, const LaterDeath& d)
    {
        if (d.problem < 1 || d.problem >= problem) {
            refuseLater(problem, d, std::nullopt,
                        "\"problem\" must name an earlier problem (1 to " + std::to_string(problem - 1) + ")",
                        "رقم المسألة التي كان فيها يجب أن يكون لمسألة سابقة (1 إلى " + std::to_string(problem - 1) + ")");
            return false;
        }
        const EstateCase& earlier = out_.problems[std::size_t(d.problem - 1)].estateCase;
        const std::optional<NamedField> dead = fieldOf(earlier, d.heir);
        if (!dead) {
            refuseLater(problem, d, dead, "\"heir\" names no class of a case of a deceased of this sex",
                        "لا يوجد في المسألة صنف من الورثة بهذا الاسم");
            return false;
        }
        const ProblemRow deadRow{d.problem, dead->row};
        if (dead->heads <= 0 || aliveHeads(groups_, deadRow) <= 0) {
            refuseLater(problem, d, dead, "no head of this class is alive in problem " + std::to_string(d.problem),
                        "ليس في المسألة " + std::string(ordinalProblem(d.problem)) + " أحد حي من هذا الصنف");
            return false;
        }

        // His own problem: his sex from the class, his estate what he received.
        std::size_t deadGroup = groups_.size();
        for (std::size_t i = 0; i < groups_.size(); ++i)
            if (holds(groups_[i], deadRow) && groups_[i].heads > 0 &&
                (deadGroup == groups_.size() || groups_[i].of.size() < groups_[deadGroup].of.size()))
                deadGroup = i;
        SuccessiveProblem p;
        p.ofProblem = d.problem;
        p.deadRow = dead->row;
        p.estateCase = d.ownCase;
        p.estateCase.deceased = dead->gender == Gender::Female ? Deceased::Woman : Deceased::Man;
        p.estateCase.estate = groups_[deadGroup].amount;
        p.estateCase.funeral = p.estateCase.debts = p.estateCase.bequests = Currency{};
        p.estateCase.heirsConsent = false;
        p.estateFraction = Rational::of(groups_[deadGroup].shares, origin_);

        // The links: each of his classes that are persons of the earlier problem.
        std::vector<Link> links;
        for (const auto& [mine, theirs] : d.same) {
            const std::optional<NamedField> own = fieldOf(p.estateCase, mine);
            const std::optional<NamedField> other = fieldOf(earlier, theirs);
            if (!own || own->heads <= 0) {
                refuseLater(problem, d, dead, "\"same\" names \"" + mine + "\", which is not among his heirs",
                            "«" + mine + "» في «same» ليس من ورثته");
                return false;
            }
            if (!other || other->heads <= 0) {
                refuseLater(problem, d, dead,
                            "\"same\" names \"" + theirs + "\", which is not a class of problem " +
                                std::to_string(d.problem),
                            "«" + theirs + "» في «same» ليس من ورثة المسألة " + ordinalProblem(d.problem));
                return false;
            }
            if (own->gender != other->gender && own->gender != Gender::Mixed && other->gender != Gender::Mixed) {
                refuseLater(problem, d, dead, "\"same\" links \"" + mine + "\" and \"" + theirs + "\", who differ in sex",
                            "«same» يجمع «" + mine + "» و«" + theirs + "» وهما مختلفان في الذكورة والأنوثة");
                return false;
            }
            for (const Link& l : links)
                if (l.row == own->row && own->row != Heir::UterineSiblings) {
                    refuseLater(problem, d, dead, "\"same\" names \"" + mine + "\" twice",
                                "«" + mine + "» مكرر في «same»");
                    return false;
                }
            const ProblemRow to{d.problem, other->row};
            std::int64_t alive = aliveHeads(groups_, to) - (holds(groups_[deadGroup], to) ? 1 : 0);
            for (const Link& l : links)
                if (l.to == to)
                    alive -= l.heads;
            if (own->heads > alive) {
                refuseLater(problem, d, dead,
                            "\"same\" links " + std::to_string(own->heads) + " of \"" + mine + "\" to \"" + theirs +
                                "\", who have " + std::to_string(std::max<std::int64_t>(alive, 0)) + " left alive",
                            "«same» يجعل " + std::to_string(own->heads) + " من «" + mine + "» من «" + theirs +
                                "» ولم يبق منهم أحياء إلا " + std::to_string(std::max<std::int64_t>(alive, 0)));
                return false;
            }
            links.push_back(Link{own->row, own->heads, to});
        }

        // His problem, divided as any case.
        try {
            p.estateCase.deriveEntryWindowState();
            p.result = DivideExplained(p.estateCase, p.explanation);
        } catch (const EngineError& e) {
            refuseLater(problem, d, dead, e.what(), e.arabic());
            return false;
        }
        switch (p.result.outcome) {
        case Outcome::Divided: break;
        case Outcome::NoEstate:
            refuseLater(problem, d, dead, "received nothing, so there is nothing of his to divide",
                        "لم يرث شيئاً فلا تركة له تقسم");
            return false;
        case Outcome::NoHeirs:
            refuseLater(problem, d, dead, "no heirs of his are given", "لم يحدد ورثته");
            return false;
        case Outcome::Consumed: break;  // no preparation here
        }
        std::uint64_t correction = 0;
        std::vector<std::uint64_t> rowShares;
        std::string en, ar;
        if (!tableOf(p, correction, rowShares, en, ar)) {
            refuseLater(problem, d, dead, en, ar);
            return false;
        }

        // The earlier table: the dead head out of it (his shares are the
        // step's s), each link's persons a group of their own.
        deadGroup = splitOff(groups_, deadGroup, 1, nextId_);
        const Group deadPerson = groups_[deadGroup];
        groups_.erase(groups_.begin() + std::ptrdiff_t(deadGroup));
        std::vector<Later> entries;
        for (int i = 0; i < kHeirCount; ++i) {
            const RowText& row = p.result.rows[std::size_t(i)];
            if (row.isEmpty())
                continue;
            std::int64_t rest = HeadsOf(p.estateCase, heirAt(i)).persons();
            for (const Link& l : links) {
                if (l.row != heirAt(i))
                    continue;
                std::int64_t left = l.heads;
                for (std::size_t g = 0; g < groups_.size() && left > 0; ++g) {
                    if (!holds(groups_[g], l.to) || groups_[g].linkedNow)
                        continue;
                    const std::int64_t take = std::min(left, groups_[g].heads);
                    const std::size_t at = splitOff(groups_, g, take, nextId_);
                    groups_[at].linkedNow = true;
                    entries.push_back(Later{heirAt(i), take, rowShares[std::size_t(i)], row.value(), groups_[at].id});
                    left -= take;
                    rest -= take;
                }
            }
            if (rest > 0)
                entries.push_back(Later{heirAt(i), rest, rowShares[std::size_t(i)], row.value(), 0});
        }
        return combine(problem, std::move(p), deadPerson, correction, entries);
    }

    // Joins problem `problem`'s table to the table so far.
    bool combine(int problem, SuccessiveProblem p, const Group& dead, std::uint64_t correction,
                 const std::vector<Later>& entries)
    {
        std::vector<std::uint64_t> earlier;
        earlier.reserve(groups_.size() + 1);
        for (Group& g : groups_) {
            g.linkedNow = false;
            earlier.push_back(g.shares);
        }
        earlier.push_back(dead.shares);
        const std::size_t deadIndex = earlier.size() - 1;
        std::vector<std::uint64_t> shares, heads;
        std::vector<int> link;
        for (const Later& e : entries) {
            shares.push_back(e.shares);
            heads.push_back(std::uint64_t(e.heads));
            int to = -1;
            for (std::size_t g = 0; g < groups_.size(); ++g)
                if (e.group != 0 && groups_[g].id == e.group)
                    to = int(g);
            link.push_back(to);
        }
        CombineStep step = CombineTables(origin_, earlier, deadIndex, correction, shares, heads, link);
        const LaterDeath& d = later_[std::size_t(problem - 2)];
        const std::optional<NamedField> deadField = fieldOf(out_.problems[std::size_t(d.problem - 1)].estateCase, d.heir);
        switch (step.refusal) {
        case CombineRefusal::None: break;
        case CombineRefusal::DeadHasNoShares:
            refuseLater(problem, d, deadField, "received nothing, so there is nothing of his to divide",
                        "لم يرث شيئاً فلا تركة له تقسم");
            return false;
        default:
            refuseLater(problem, d, deadField, "the combined table goes beyond 64 bits",
                        "الجامعة أكبر مما يحسبه البرنامج بدقة");
            return false;
        }
        // The earlier persons keep their places (the dead one, last, leaves
        // the table); the new persons of this problem follow in order.
        for (std::size_t g = 0; g < groups_.size(); ++g)
            groups_[g].shares = step.shares[g];
        std::size_t next = deadIndex + 1;
        for (std::size_t j = 0; j < entries.size(); ++j) {
            const Later& e = entries[j];
            const ProblemRow r{problem, e.row};
            if (link[j] >= 0) {
                Group& g = groups_[std::size_t(link[j])];
                g.of.push_back(r);
                g.amount = addExact(g.amount, e.amount);
                continue;
            }
            groups_.push_back(Group{{r}, e.heads, step.shares[next++], e.amount, nextId_++});
        }
        origin_ = step.origin;
        sentence(problem, d, deadField, step);
        out_.steps.push_back(std::move(step));
        out_.problems.push_back(std::move(p));
        return true;
    }

    void sentence(int problem, const LaterDeath& d, const std::optional<NamedField>& dead, const CombineStep& step)
    {
        const std::string who = dead ? arabicName(*dead) : std::string("المتوفى");
        const Relation relation = step.deadShares == step.laterCorrection ? Relation::Equal
                                  : step.gcd > 1                          ? Relation::Agree
                                                                          : Relation::Coprime;
        std::string t = "المسألة " + std::string(ordinalProblem(problem)) + ": سهام " + who + " من المسألة " +
                        ordinalProblem(d.problem) + (d.problem == 1 && problem == 2 ? "" : " فيما قبلها من الجامعة") +
                        " " + std::to_string(step.deadShares) + "، وتصح مسألته من " +
                        std::to_string(step.laterCorrection) + "، وبينهما " + std::string(relationName(relation));
        if (step.earlierMultiplier == 1)
            t += "، فتنقسم سهامه على مسألته، وسهام ورثته ضعف " + std::to_string(step.laterMultiplier) +
                 "، والجامعة " + std::to_string(step.originBeforeReduction);
        else
            t += "، فيضرب ما قبلها في " + std::to_string(step.earlierMultiplier) + " وسهام مسألته في " +
                 std::to_string(step.laterMultiplier) + "، والجامعة " + std::to_string(step.originBeforeReduction);
        out_.sentences.push_back(std::move(t));
        if (step.reducedBy > 1)
            out_.sentences.push_back("وتقبل الجامعة وسهام الورثة كلها القسمة على " + std::to_string(step.reducedBy) +
                                     "، فاختُصرت إلى " + std::to_string(step.origin));
    }

    void finish()
    {
        out_.origin = origin_;
        for (const CombineStep& s : out_.steps)
            out_.reducedBy *= s.reducedBy;
        for (const Group& g : groups_)
            out_.persons.push_back(CombinedPersons{g.of, g.heads, g.shares, Rational::of(g.shares, origin_), g.amount});
    }

    std::vector<Group> groups_;
    std::uint64_t origin_ = 0;
    std::uint64_t nextId_ = 1;
    const EstateCase& first_;
    const std::vector<LaterDeath>& later_;
    SuccessiveDivision& out_;
};

}  // namespace

SuccessiveDivision DivideSuccessive(const EstateCase& first, const std::vector<LaterDeath>& later,
                                    const UncertainHeir* uncertain)
{
    SuccessiveDivision out;
    if (uncertain != nullptr && !later.empty()) {
        out.refusal = SuccessiveRefusal{
            1, "a case with an heir not yet known (unborn, missing or of undetermined sex) cannot have later deaths",
            "لا تجتمع في مسألة واحدة وارث لم يُعرف حاله (حمل أو مفقود أو خنثى) ووفيات بعد المورث"};
        return out;
    }
    Driver(first, later, out).run();
    return out;
}

}  // namespace qismar

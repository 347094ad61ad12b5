#include "entry/later_death_relations.h"

#include <algorithm>
#include <initializer_list>

namespace qismar {

namespace {

const CaseField* countOrBox(std::string_view json)
{
    for (const HeirInfo& info : kHeirs)
        for (const CaseField& f : info.caseFields())
            if (f.json == json)
                return &f;
    return nullptr;
}

// The deceased of the earlier problem.
bool man(const EstateCase& e) { return e.isMan(); }
bool woman(const EstateCase& e) { return e.isWoman(); }
bool oneWife(const EstateCase& e) { return e.isMan() && e.spouse && e.wives.isOne(); }
bool always(const EstateCase&) { return true; }

// One person of the later deceased's problem who is a person of the earlier
// one: his field, the earlier field, and when the relation holds.
struct Kinship {
    const char* own;
    const char* earlier;
    bool (*holds)(const EstateCase& earlier);
};

// The relations of the heads of some classes of the earlier problem.
struct KinshipsOf {
    std::initializer_list<const char*> dead;
    std::initializer_list<Kinship> relations;
};

// His sons and daughters are the deceased's sons' children only when he was
// the deceased's only son.
bool onlySon(const EstateCase& e) { return e.sons.isOne(); }
bool noUterineBrothers(const EstateCase& e) { return e.uterineBrothers.isZero(); }
bool noUterineSisters(const EstateCase& e) { return e.uterineSisters.isZero(); }
bool noFullBrothers(const EstateCase& e) { return e.fullBrothers.isZero(); }
bool noFullSisters(const EstateCase& e) { return e.fullSisters.isZero(); }
bool noPaternalBrothers(const EstateCase& e) { return e.paternalBrothers.isZero(); }
bool noPaternalSisters(const EstateCase& e) { return e.paternalSisters.isZero(); }
bool manWithoutNephews(const EstateCase& e)
{
    return e.isMan() && e.fullBrothersSons.isZero() && e.paternalBrothersSons.isZero();
}
bool onlyFullBrother(const EstateCase& e) { return e.fullBrothers.isOne(); }

const KinshipsOf kRelations[] = {
    // A son or a daughter of the deceased.
    {{"sons", "daughters"},
     {{"mother", "wives", oneWife},
      {"father", "spouse", woman},
      {"fullBrothers", "sons", always},
      {"fullSisters", "daughters", always},
      {"grandfather", "father", man},
      {"fathersMother", "mother", man},
      {"mothersMother", "mother", woman},
      {"fathersFathersMother", "fathersMother", man},
      {"fathersMothersMother", "mothersMother", man},
      {"mothersMothersMother", "mothersMother", woman},
      {"fullUncles", "fullBrothers", man},
      {"paternalUncles", "paternalBrothers", man},
      {"fullUnclesSons", "fullBrothersSons", man},
      {"paternalUnclesSons", "paternalBrothersSons", man}}},
    // Only a son's children are the deceased's relatives.
    {{"sons"},
     {{"sons", "sonsSons", onlySon},
      {"daughters", "sonsDaughters", onlySon},
      {"sonsSons", "sonsSonsSons", onlySon},
      {"sonsDaughters", "sonsSonsDaughters", onlySon}}},
    // A wife: her children are the deceased's when she was his only wife.
    {{"wives"},
     {{"sons", "sons", oneWife},
      {"daughters", "daughters", oneWife},
      {"sonsSons", "sonsSons", oneWife},
      {"sonsDaughters", "sonsDaughters", oneWife},
      {"sonsSonsSons", "sonsSonsSons", oneWife},
      {"sonsSonsDaughters", "sonsSonsDaughters", oneWife}}},
    // The husband: the deceased's children are his.
    {{"spouse"},
     {{"sons", "sons", woman},
      {"daughters", "daughters", woman},
      {"sonsSons", "sonsSons", woman},
      {"sonsDaughters", "sonsDaughters", woman},
      {"sonsSonsSons", "sonsSonsSons", woman},
      {"sonsSonsDaughters", "sonsSonsDaughters", woman}}},
    // The father: the mother was his wife, the deceased's brothers and
    // sisters his children, the grandfather his father.
    {{"father"},
     {{"wives", "mother", always},
      {"sons", "fullBrothers", noPaternalBrothers},
      {"sons", "paternalBrothers", noFullBrothers},
      {"daughters", "fullSisters", noPaternalSisters},
      {"daughters", "paternalSisters", noFullSisters},
      {"sonsSons", "sons", manWithoutNephews},
      {"sonsDaughters", "daughters", manWithoutNephews},
      {"father", "grandfather", always},
      {"mother", "fathersMother", always},
      {"fathersMother", "fathersFathersMother", always},
      {"mothersMother", "fathersMothersMother", always},
      {"fullBrothers", "fullUncles", always},
      {"paternalBrothers", "paternalUncles", always},
      {"fullBrothersSons", "fullUnclesSons", always},
      {"paternalBrothersSons", "paternalUnclesSons", always}}},
    // The mother: the father was her husband, the deceased's brothers and
    // sisters (full or uterine) her children.
    {{"mother"},
     {{"spouse", "father", always},
      {"sons", "fullBrothers", noUterineBrothers},
      {"sons", "uterineBrothers", noFullBrothers},
      {"daughters", "fullSisters", noUterineSisters},
      {"daughters", "uterineSisters", noFullSisters},
      {"mother", "mothersMother", always},
      {"mothersMother", "mothersMothersMother", always}}},
    // A full brother or sister: the same parents, grandparents, brothers,
    // sisters and uncles.
    {{"fullBrothers", "fullSisters"},
     {{"father", "father", always},
      {"mother", "mother", always},
      {"grandfather", "grandfather", always},
      {"fathersMother", "fathersMother", always},
      {"mothersMother", "mothersMother", always},
      {"fathersFathersMother", "fathersFathersMother", always},
      {"fathersMothersMother", "fathersMothersMother", always},
      {"mothersMothersMother", "mothersMothersMother", always},
      {"fullBrothers", "fullBrothers", always},
      {"fullSisters", "fullSisters", always},
      {"paternalBrothers", "paternalBrothers", always},
      {"paternalSisters", "paternalSisters", always},
      {"uterineBrothers", "uterineBrothers", always},
      {"uterineSisters", "uterineSisters", always},
      {"fullUncles", "fullUncles", always},
      {"paternalUncles", "paternalUncles", always},
      {"fullUnclesSons", "fullUnclesSons", always},
      {"paternalUnclesSons", "paternalUnclesSons", always}}},
    // A full brother's sons are the deceased's full brother's sons when he
    // was his only full brother.
    {{"fullBrothers"}, {{"sons", "fullBrothersSons", onlyFullBrother}}},
    // A paternal brother or sister: the same father and his side.
    {{"paternalBrothers", "paternalSisters"},
     {{"father", "father", always},
      {"grandfather", "grandfather", always},
      {"fathersMother", "fathersMother", always},
      {"fathersFathersMother", "fathersFathersMother", always},
      {"fathersMothersMother", "fathersMothersMother", always},
      {"fullUncles", "fullUncles", always},
      {"paternalUncles", "paternalUncles", always},
      {"fullUnclesSons", "fullUnclesSons", always},
      {"paternalUnclesSons", "paternalUnclesSons", always}}},
    // A uterine brother or sister: the same mother and her side.
    {{"uterineBrothers", "uterineSisters"},
     {{"mother", "mother", always},
      {"mothersMother", "mothersMother", always},
      {"mothersMothersMother", "mothersMothersMother", always}}},
};

PersonField fieldOf(const HeirInfo& info, const CaseField& f, const EstateCase& c)
{
    PersonField p;
    p.json = std::string(f.json);
    p.row = info.heir;
    p.female = info.female();
    p.counted = f.isCount();
    p.heads = f.isCount() ? (c.*f.count).persons() : (c.*f.flag ? 1 : 0);
    return p;
}

}  // namespace

std::vector<PersonField> personFields(const EstateCase& c)
{
    std::vector<PersonField> out;
    for (const HeirInfo& info : kHeirs) {
        if (info.heir == Heir::Husband) {
            if (c.isWoman())
                out.push_back({"spouse", Heir::Husband, false, false, c.spouse ? 1 : 0});
        } else if (info.heir == Heir::Wives) {
            if (c.isMan())
                out.push_back({"wives", Heir::Wives, true, true, c.spouse ? c.wives.persons() : 0});
        } else if (info.heir == Heir::UterineSiblings) {
            out.push_back({"uterineSisters", info.heir, true, true, c.uterineSisters.persons()});
            out.push_back({"uterineBrothers", info.heir, false, true, c.uterineBrothers.persons()});
        } else {
            out.push_back(fieldOf(info, info.caseFields()[0], c));
        }
    }
    return out;
}

std::optional<PersonField> personField(const EstateCase& c, std::string_view json)
{
    for (PersonField& f : personFields(c))
        if (f.json == json)
            return std::move(f);
    return std::nullopt;
}

void setHeads(EstateCase& c, std::string_view json, std::int64_t heads)
{
    if (json == "wives" || json == "spouse") {
        c.spouse = heads > 0;
        c.wives = HeadCount(c.isMan() && heads > 0 ? heads : 1);
        return;
    }
    if (const CaseField* f = countOrBox(json)) {
        if (f->isCount())
            c.*f->count = HeadCount(heads);
        else
            c.*f->flag = heads > 0;
    }
}

std::string headName(const PersonField& f)
{
    if (f.row == Heir::UterineSiblings)
        return f.female ? "الأخت لأم" : "الأخ لأم";
    return std::string(heirInfo(f.row).singular);
}

std::string className(const PersonField& f)
{
    if (f.row == Heir::UterineSiblings)
        return f.female ? "الأخوات لأم" : "الإخوة لأم";
    const HeirInfo& info = heirInfo(f.row);
    return std::string(info.plural.empty() ? info.singular : info.plural);
}

std::string problemOrdinal(int problem)
{
    static const char* const kNames[] = {"الأولى", "الثانية", "الثالثة", "الرابعة",
                                         "الخامسة", "السادسة", "السابعة", "الثامنة"};
    if (problem >= 1 && problem <= int(std::size(kNames)))
        return kNames[problem - 1];
    return std::to_string(problem);
}

EstateCase problemCase(const EstateCase& first, const std::vector<LaterDeath>& later, int problem)
{
    if (problem <= 1 || problem - 2 >= int(later.size()))
        return first;
    const LaterDeath& d = later[std::size_t(problem - 2)];
    EstateCase c = d.ownCase;
    const EstateCase earlier = problemCase(first, later, d.problem < problem ? d.problem : 1);
    if (const std::optional<PersonField> dead = personField(earlier, d.heir))
        c.deceased = dead->female ? Deceased::Woman : Deceased::Man;
    return c;
}

std::int64_t headsLeft(const EstateCase& first, const std::vector<LaterDeath>& later, int problem, std::string_view json)
{
    const std::optional<PersonField> field = personField(problemCase(first, later, problem), json);
    if (!field)
        return 0;
    std::int64_t left = field->heads;
    for (const LaterDeath& d : later) {
        // Follow the dead head through the links of his problems down to
        // the problem asked about.
        int p = d.problem;
        std::string f = d.heir;
        while (p > problem && p - 2 < int(later.size())) {
            const LaterDeath& of = later[std::size_t(p - 2)];
            const auto link = std::find_if(of.same.begin(), of.same.end(), [&f](const auto& s) { return s.first == f; });
            if (link == of.same.end())
                break;
            f = link->second;
            p = of.problem;
        }
        if (p == problem && f == json)
            --left;
    }
    return std::max<std::int64_t>(left, 0);
}

LaterDeath proposeLaterDeath(const EstateCase& first, const std::vector<LaterDeath>& before, int problem,
                             const std::string& json)
{
    LaterDeath d;
    d.problem = problem;
    d.heir = json;
    const EstateCase earlier = problemCase(first, before, problem);
    const std::optional<PersonField> dead = personField(earlier, json);
    d.ownCase.deceased = dead && dead->female ? Deceased::Woman : Deceased::Man;
    if (!dead)
        return d;
    // The heads of each earlier field still alive once he is dead.
    auto left = [&](const std::string& field) {
        return headsLeft(first, before, problem, field) - (field == json ? 1 : 0);
    };
    for (const KinshipsOf& of : kRelations) {
        if (std::find(of.dead.begin(), of.dead.end(), json) == of.dead.end())
            continue;
        for (const Kinship& r : of.relations) {
            const std::optional<PersonField> own = personField(d.ownCase, r.own);
            const std::optional<PersonField> theirs = personField(earlier, r.earlier);
            if (!own || !theirs || own->female != theirs->female || !r.holds(earlier))
                continue;
            const std::int64_t heads = left(r.earlier);
            if (heads <= 0 || own->heads > 0)
                continue;
            // A box holds one; a man has at most four wives.
            if ((!own->counted && heads != 1) || (own->json == "wives" && heads > 4))
                continue;
            setHeads(d.ownCase, r.own, heads);
            d.same.emplace_back(r.own, r.earlier);
        }
    }
    keepAsCaseFilesDo(d.ownCase);
    return d;
}

void keepAsCaseFilesDo(EstateCase& ownCase)
{
    const bool husband = ownCase.isWoman() && ownCase.spouse;
    ownCase.deceased = EstateCase{}.deceased;
    if (husband)
        ownCase.wives = HeadCount(1);
    ownCase.deriveEntryWindowState();
}

}  // namespace qismar

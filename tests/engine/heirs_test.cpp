// The heir table: what it says of a case (who is present, how many heads)
// and that each of its case fields is a member of its own.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/heirs.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using qismar::testing::heads;

namespace {

// The heirs present in a case, with their heads.
std::vector<std::pair<Heir, std::int64_t>> present(const EstateCase& c)
{
    std::vector<std::pair<Heir, std::int64_t>> out;
    for (const HeirInfo& info : kHeirs)
        if (RelativePresent(c, info.heir))
            out.emplace_back(info.heir, HeadsOf(c, info.heir).persons());
    return out;
}

TEST(HeirTable, WhoIsPresentAndHowManyHeads)
{
    using Present = std::vector<std::pair<Heir, std::int64_t>>;
    struct Case {
        const char* name;
        void (*setup)(EstateCase&);
        Present expected;
    };
    const Case cases[] = {
        {"nobody", [](EstateCase&) {}, {}},
        // The spouse box stands for the wives of a man and the husband of a
        // woman; the wives' count is read only for a man.
        {"three wives", [](EstateCase& c) { c.spouse = true, c.wives = heads(3); }, {{Heir::Wives, 3}}},
        {"a husband", [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.wives = heads(3); },
         {{Heir::Husband, 1}}},
        {"wives' count without the box", [](EstateCase& c) { c.wives = heads(2); }, {}},
        // The uterine sisters and brothers are one class.
        {"uterine siblings", [](EstateCase& c) { c.uterineSisters = heads(2), c.uterineBrothers = heads(3); },
         {{Heir::UterineSiblings, 5}}},
        {"uterine brothers alone", [](EstateCase& c) { c.uterineBrothers = heads(1); }, {{Heir::UterineSiblings, 1}}},
        {"boxes and counts",
         [](EstateCase& c) {
             c.father = c.fathersFathersMother = true;
             c.sonsSonsDaughters = heads(4), c.paternalUnclesSons = heads(1000000000);
         },
         {{Heir::Father, 1}, {Heir::PaternalUnclesSons, 1000000000}, {Heir::FathersFathersMother, 1},
          {Heir::SonsSonsDaughters, 4}}},
        {"a count of 0 is nobody", [](EstateCase& c) { c.sons = heads(0), c.mother = true; }, {{Heir::Mother, 1}}},
    };
    for (const Case& k : cases) {
        EstateCase c;
        k.setup(c);
        EXPECT_EQ(present(c), k.expected) << k.name;
        std::int64_t persons = 0;
        for (const auto& [heir, n] : k.expected)
            persons += n;
        EXPECT_EQ(PersonsInCase(c).persons(), persons) << k.name;
    }
}

// Every case field of the table is a member of the case of its own: setting
// it makes exactly its relative present (or, for a count, gives him its
// heads), and no two fields share a JSON name.
TEST(HeirTable, EachCaseFieldIsItsOwnMember)
{
    std::set<std::string_view> names;
    for (const HeirInfo& info : kHeirs) {
        for (const CaseField& field : info.caseFields()) {
            SCOPED_TRACE(std::string(field.json));
            EXPECT_FALSE(field.label.empty());
            EXPECT_NE(field.flag == nullptr, field.count == nullptr);
            if (field.flag == &EstateCase::spouse)
                continue;  // shared by the husband and the wives, below
            EXPECT_TRUE(names.insert(field.json).second) << "two fields named so";
            EstateCase c;
            c.deceased = info.spouseOf.value_or(Deceased::Man);
            if (field.flag) {
                c.*field.flag = true;
            } else {
                c.*field.count = heads(7);
                if (info.fields[0].flag)
                    c.*info.fields[0].flag = true;
            }
            const auto shown = present(c);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].first, info.heir);
            EXPECT_EQ(shown[0].second, field.count ? 7 : 1);
        }
    }
    for (Deceased d : {Deceased::Man, Deceased::Woman}) {
        EstateCase c;
        c.deceased = d;
        c.spouse = true;
        const auto shown = present(c);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].first, d == Deceased::Man ? Heir::Wives : Heir::Husband);
    }
}

// The males who share a residue two to one with the females of their degree.
TEST(HeirTable, SistersOfTheResiduaryMales)
{
    std::vector<std::pair<Heir, Heir>> pairs;
    for (const HeirInfo& info : kHeirs)
        if (info.sister)
            pairs.emplace_back(info.heir, *info.sister);
    const std::vector<std::pair<Heir, Heir>> expected = {
        {Heir::Sons, Heir::Daughters},
        {Heir::SonsSons, Heir::SonsDaughters},
        {Heir::FullBrothers, Heir::FullSisters},
        {Heir::PaternalBrothers, Heir::PaternalSisters},
        {Heir::SonsSonsSons, Heir::SonsSonsDaughters},
    };
    EXPECT_EQ(pairs, expected);
    for (const auto& [male, female] : pairs) {
        EXPECT_EQ(heirInfo(male).heirClass, heirInfo(female).heirClass);
        EXPECT_EQ(heirInfo(female).gender, Gender::Female);
    }
}

}  // namespace

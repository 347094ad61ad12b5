// The estate before its division: funeral costs, debts and bequests in the
// order of the law, and the division of what remains.
#include <gtest/gtest.h>

#include "engine/preparation.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

struct Case {
    const char* name;
    const char* gross;
    const char* funeral;
    const char* debts;
    const char* bequests;
    bool consent;
    const char* carried;  // bequests carried out
    const char* net;
    bool consumed;
    const char* exceedBy;
    bool limited;
};

TEST(Preparation, CostsThenDebtsThenBequestsUpToAThird)
{
    const Case cases[] = {
        {"nothing to pay", "90000", "0", "0", "0", false, "0", "90000", false, "0", false},
        {"funeral and debts only", "90000", "3000", "27000", "0", false, "0", "60000", false, "0", false},
        {"a bequest under the third", "90000", "3000", "27000", "10000", false, "10000", "50000", false, "0", false},
        {"a bequest of exactly the third", "90000", "3000", "27000", "20000", false, "20000", "40000", false, "0", false},
        {"beyond the third without consent", "90000", "3000", "27000", "30000", false, "20000", "40000", false, "0",
         true},
        {"beyond the third with consent", "90000", "3000", "27000", "30000", true, "30000", "30000", false, "0", false},
        // The third is rounded once: 100 / 3.
        {"a third that is not whole", "100", "0", "0", "50", false, "33.3333", "66.6667", false, "0", true},
        {"consent never gives more than remains", "100", "10", "0", "500", true, "90", "0", false, "0", false},
        {"debts consuming the estate exactly", "90000", "3000", "87000", "5000", false, "0", "0", true, "0", false},
        {"debts beyond the estate", "90000", "3000", "100000", "0", false, "0", "0", true, "13000", false},
        {"at the top of the money range", "922337203685477", "1", "0", "922337203685477", false, "307445734561825.3333",
         "614891469123650.6667", false, "0", true},
        // Costs and debts of up to the largest amount each consume the
        // estate, however far their sum passes one amount.
        {"the largest costs and debts beside the largest estate", "922337203685477", "922337203685477",
         "922337203685477", "0", false, "0", "0", true, "922337203685477", false},
        {"the largest costs and debts beside a small estate", "1000", "922337203685477", "922337203685477", "0",
         false, "0", "0", true, "1844674407369954", false},
        {"the largest costs and a debt of one", "922337203685477", "922337203685477", "1", "0", false, "0", "0", true,
         "1", false},
    };
    for (const Case& k : cases) {
        EstateCase c;
        c.estate = money(k.gross), c.funeral = money(k.funeral), c.debts = money(k.debts),
        c.bequests = money(k.bequests), c.heirsConsent = k.consent;
        const PreparedEstate p = PrepareEstate(c);
        EXPECT_EQ(formatAmount(p.bequestsCarriedOut), k.carried) << k.name;
        EXPECT_EQ(formatAmount(p.net), k.net) << k.name;
        EXPECT_EQ(p.consumedByDebts, k.consumed) << k.name;
        EXPECT_EQ(formatAmount(p.debtsExceedBy), k.exceedBy) << k.name;
        EXPECT_EQ(p.bequestsLimitedToThird, k.limited) << k.name;
        // Never a negative estate, and the estate accounted for.
        EXPECT_GE(p.net.raw(), 0) << k.name;
        if (!p.consumedByDebts) {
            EXPECT_EQ(addExact(addExact(addExact(p.funeral, p.debts), p.bequestsCarriedOut), p.net), p.gross) << k.name;
        }
        // The sentences say what was done with the bequests, in the order of the law.
        const std::vector<std::string> said = PreparationSentences(p);
        ASSERT_FALSE(said.empty()) << k.name;
        std::string all;
        for (const std::string& line : said)
            all += line + "\n";
        if (k.limited) {
            EXPECT_NE(all.find("في حدود ثلث الباقي"), std::string::npos) << k.name << ": " << all;
        }
        if (k.consent && money(k.carried) < money(k.bequests)) {
            EXPECT_NE(all.find("بقدر كل ما بقي"), std::string::npos) << k.name << ": " << all;
        }
        if (k.consumed) {
            EXPECT_NE(all.find("استغرقت"), std::string::npos) << k.name << ": " << all;
        }
    }
}

TEST(Preparation, CostsAndDebtsBeyondTheLargestAmountConsumeTheEstateAndSaySoInFull)
{
    // Their excess is named to the last digit, past the largest amount.
    EstateCase c;
    c.deceased = Deceased::Woman, c.spouse = true, c.sons = heads(1);
    c.estate = money("0.0001");
    c.funeral = Currency::fromRaw(Currency::kMaxRaw), c.debts = Currency::fromRaw(Currency::kMaxRaw);
    c.deriveEntryWindowState();
    const DivisionResult r = DivideEstate(c);
    EXPECT_EQ(r.outcome, Outcome::Consumed);
    ASSERT_TRUE(r.preparation);
    EXPECT_EQ(ConsumedMessage(*r.preparation),
              "استغرقت نفقات التجهيز والديون التركة وزادت عليها بمقدار 1844674407370955.1613، فلا يبقى للورثة شيء ولا قسمة");
}

TEST(Preparation, TheDivisionRunsOnTheNetEstate)
{
    // A husband and a son: a quarter and the rest of what remains.
    EstateCase c;
    c.deceased = Deceased::Woman, c.spouse = true, c.sons = heads(1);
    c.estate = money("100000"), c.funeral = money("4000"), c.debts = money("16000"), c.bequests = money("40000");
    c.deriveEntryWindowState();
    const DivisionResult r = DivideEstate(c);
    ASSERT_EQ(r.outcome, Outcome::Divided);
    ASSERT_TRUE(r.preparation);
    EXPECT_EQ(formatAmount(r.preparation->net), "53333.3333");
    EXPECT_EQ(rowText(r.rows, Heir::Husband), "13333.3333");
    EXPECT_EQ(rowText(r.rows, Heir::Sons), "40000");
    // Percentages of the divided estate.
    EXPECT_EQ(formatAmount(*r.percentages[index(Heir::Husband)]), "25");

    // Consumed: no division, the rows as they were.
    c.debts = money("96000");
    const DivisionResult consumed = DivideEstate(c);
    EXPECT_EQ(consumed.outcome, Outcome::Consumed);
    EXPECT_TRUE(rowText(consumed.rows, Heir::Husband).empty());
    ASSERT_TRUE(consumed.preparation);
    EXPECT_TRUE(consumed.preparation->consumedByDebts);

    // Without deductions the division is the plain one, with no preparation.
    EstateCase plain = c;
    plain.funeral = plain.debts = plain.bequests = Currency{};
    const DivisionResult typed = DivideEstate(plain);
    EXPECT_FALSE(typed.preparation);
    EXPECT_EQ(typed.rows, Divide(plain).rows);
}

// For random cases, dividing with deductions gives exactly the rows of
// dividing the net estate typed directly.
TEST(Preparation, RandomCasesDivideAsTheirNetEstateTyped)
{
    std::uint64_t state = 77;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    int compared = 0;
    for (int i = 0; i < 50000; ++i) {
        EstateCase c;
        c.deceased = next() % 2 ? Deceased::Man : Deceased::Woman;
        for (bool* flag : {&c.father, &c.mother, &c.spouse, &c.grandfather, &c.mothersMother, &c.fathersMother})
            *flag = next() % 3 == 0;
        for (HeadCount* count : {&c.sons, &c.daughters, &c.sonsDaughters, &c.fullSisters, &c.fullBrothers,
                                &c.paternalSisters, &c.uterineBrothers, &c.fullUncles})
            *count = next() % 4 == 0 ? heads(1 + long(next() % 5)) : HeadCount{};
        const std::int64_t gross = 1 + std::int64_t(next() % 10000000);
        c.estate = Currency::fromWhole(gross);
        c.funeral = Currency::fromWhole(std::int64_t(next() % (gross / 10 + 1)));
        c.debts = Currency::fromWhole(std::int64_t(next() % (gross + 1)));
        c.bequests = Currency::fromWhole(std::int64_t(next() % (gross + 1)));
        c.heirsConsent = next() % 2 == 0;
        c.deriveEntryWindowState();
        DivisionResult prepared, typed;
        try {
            prepared = DivideEstate(c);
        } catch (const EngineError&) {
            continue;
        }
        ASSERT_TRUE(prepared.preparation);
        if (prepared.outcome == Outcome::Consumed) {
            EXPECT_TRUE(prepared.preparation->consumedByDebts || prepared.preparation->net.isZero());
            continue;
        }
        EstateCase net = c;
        net.estate = prepared.preparation->net;
        net.funeral = net.debts = net.bequests = Currency{};
        net.heirsConsent = false;
        typed = Divide(net);
        ASSERT_EQ(prepared.rows, typed.rows) << i;
        ASSERT_EQ(prepared.percentages, typed.percentages) << i;
        ASSERT_EQ(prepared.undistributed, typed.undistributed) << i;
        ++compared;
    }
    EXPECT_GT(compared, 10000);
}

}  // namespace

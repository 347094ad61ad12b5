// Later deaths in case objects: what is written reads back as the same
// deaths, a case without them is written as before, and every wrong value
// inside "laterDeaths" is refused naming its place.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "casefile/case_file.h"

namespace qismar {
namespace {

CaseRecord twoDeaths()
{
    CaseRecord r;
    r.estate.deceased = Deceased::Woman;
    r.estate.estate = Currency::fromWhole(129600);
    r.estate.mother = true;
    r.estate.sons = HeadCount(3);
    r.estate.deriveEntryWindowState();
    LaterDeath first;
    first.heir = "sons";
    first.ownCase.mothersMother = true;
    first.ownCase.fullBrothers = HeadCount(2);
    first.ownCase.spouse = true;
    first.ownCase.wives = HeadCount(2);
    first.ownCase.deriveEntryWindowState();
    first.same = {{"mothersMother", "mother"}, {"fullBrothers", "sons"}};
    LaterDeath second;
    second.problem = 2;
    second.heir = "fullBrothers";
    second.ownCase.fullBrothers = HeadCount(1);
    second.ownCase.deriveEntryWindowState();
    r.laterDeaths = {first, second};
    return r;
}

TEST(LaterDeathsInCaseObjects, WhatIsWrittenReadsBackAsTheSameDeaths)
{
    const CaseRecord r = twoDeaths();
    const std::string text = writeCaseObject(r);
    EXPECT_EQ(text, R"({"format": 1, "deceased": "woman", "estate": "129600", "mother": true, "sons": 3, )"
                    R"("laterDeaths": [{"heir": "sons", "case": {"spouse": true, "wives": 2, "fullBrothers": 2, )"
                    R"("mothersMother": true}, "same": {"mothersMother": "mother", "fullBrothers": "sons"}}, )"
                    R"({"heir": "fullBrothers", "problem": 2, "case": {"fullBrothers": 1}}]})");
    CaseRecord back;
    CaseError error;
    ASSERT_TRUE(readCaseObject(text, back, error)) << error.message;
    EXPECT_EQ(back, r);
    EXPECT_EQ(writeCaseObject(back), text);

    // Laid out over several lines, with a record read again in place.
    const std::string spread = "{\"sons\": 2,\n \"laterDeaths\": [\n  {\"case\": {\"sons\": 1},\n   \"heir\": \"sons\"}\n ]\n}";
    ASSERT_TRUE(readCaseObject(spread, back, error)) << error.message;
    ASSERT_EQ(back.laterDeaths.size(), 1u);
    EXPECT_EQ(back.laterDeaths[0].heir, "sons");
    EXPECT_EQ(back.laterDeaths[0].problem, 1);
    EXPECT_EQ(back.laterDeaths[0].ownCase.sons, HeadCount(1));
    EXPECT_TRUE(back.laterDeaths[0].ownCase.children);
    EXPECT_EQ(back.estate.sons, HeadCount(2));

    // A case without later deaths reads with none and is written as before.
    ASSERT_TRUE(readCaseObject(R"({"deceased": "man", "estate": "100", "sons": 1})", back, error));
    EXPECT_TRUE(back.laterDeaths.empty());
    EXPECT_EQ(writeCaseObject(back), R"({"format": 1, "deceased": "man", "estate": "100", "sons": 1})");
    // An empty list is no later death.
    ASSERT_TRUE(readCaseObject(R"({"sons": 1, "laterDeaths": []})", back, error));
    EXPECT_TRUE(back.laterDeaths.empty());
}

TEST(LaterDeathsInCaseObjects, EveryWrongValueIsRefusedNamingItsPlace)
{
    const std::string eightDeaths = [] {
        std::string t = R"({"sons": 9, "laterDeaths": [)";
        for (int i = 0; i < 8; ++i)
            t += std::string(i ? ", " : "") + R"({"heir": "sons", "case": {"sons": 1}})";
        return t + "]}";
    }();
    const struct {
        std::string text;
        CaseProblem problem;
        const char* field;
        const char* message;  // a part of the English message
    } cases[] = {
        {R"({"laterDeaths": [{"heir": "sons", "case": {"estate": "100"}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.estate", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"deceased": "man"}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.deceased", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"funeral": "1"}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.funeral", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"heirsConsent": true}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.heirsConsent", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"format": 1}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.format", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"details": {}}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.details", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"laterDeaths": []}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.laterDeaths", "is not allowed here"},
        {R"({"laterDeaths": [{"heir": "sons"}, {"heir": "sons", "case": {"cousins": 1}}]})", CaseProblem::UnknownField,
         "laterDeaths[1].case.cousins", "unknown field"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"sons": 1, "sons": 2}}]})", CaseProblem::DuplicateField,
         "laterDeaths[0].case.sons", "duplicate field"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"sons": -1}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.sons", "must be a whole number"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"sons": 1000000001}}]})", CaseProblem::ValueTooLarge,
         "laterDeaths[0].case.sons", "beyond the largest count"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"sons": [1]}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.sons", "must be a whole number"},
        {R"({"laterDeaths": [{"heir": "sons", "case": {"wives": 5}}]})", CaseProblem::BadValue,
         "laterDeaths[0].case.wives", "from 1 to 4"},
        {R"({"laterDeaths": [{"heir": "sons", "case": 3}]})", CaseProblem::BadValue, "laterDeaths[0].case",
         "must be an object"},
        {R"({"laterDeaths": {"heir": "sons"}})", CaseProblem::BadValue, "laterDeaths", "must be a list of objects"},
        {R"({"laterDeaths": "sons"})", CaseProblem::BadValue, "laterDeaths", "must be a list of objects"},
        {R"({"laterDeaths": [1]})", CaseProblem::BadValue, "laterDeaths", "must be a list of objects"},
        {R"({"laterDeaths": [[]]})", CaseProblem::BadValue, "laterDeaths", "must be a list of objects"},
        {R"({"laterDeaths": [{"case": {"sons": 1}}]})", CaseProblem::BadValue, "laterDeaths[0].heir", "is missing"},
        {R"({"laterDeaths": [{"heir": "estate"}]})", CaseProblem::BadValue, "laterDeaths[0].heir",
         "must name a relative's field"},
        {R"({"laterDeaths": [{"heir": 5}]})", CaseProblem::BadValue, "laterDeaths[0].heir", "must name a relative's field"},
        {R"({"laterDeaths": [{"heir": "sons", "heir": "sons"}]})", CaseProblem::DuplicateField, "laterDeaths[0].heir",
         "duplicate field"},
        {R"({"laterDeaths": [{"heir": "sons", "problem": 0}]})", CaseProblem::BadValue, "laterDeaths[0].problem",
         "from 1 to 7"},
        {R"({"laterDeaths": [{"heir": "sons", "problem": "2"}]})", CaseProblem::BadValue, "laterDeaths[0].problem",
         "from 1 to 7"},
        {R"({"laterDeaths": [{"heir": "sons", "when": 1}]})", CaseProblem::UnknownField, "laterDeaths[0].when",
         "unknown field"},
        {R"({"laterDeaths": [{"heir": "sons", "same": {"mother": "wife"}}]})", CaseProblem::BadValue,
         "laterDeaths[0].same.mother", "must name a relative's field"},
        {R"({"laterDeaths": [{"heir": "sons", "same": {"estate": "sons"}}]})", CaseProblem::UnknownField,
         "laterDeaths[0].same.estate", "unknown field"},
        {R"({"laterDeaths": [{"heir": "sons", "same": {"mother": "wives", "mother": "wives"}}]})",
         CaseProblem::DuplicateField, "laterDeaths[0].same.mother", "duplicate field"},
        {R"({"laterDeaths": [{"heir": "sons", "same": ["mother"]}]})", CaseProblem::BadValue, "laterDeaths[0].same",
         "must be an object"},
        {R"({"laterDeaths": [{"heir": "sons", "same": {"mother": {"x": 1}}}]})", CaseProblem::BadValue,
         "laterDeaths[0].same.mother", "must name a relative's field"},
        {R"({"laterDeaths": [], "laterDeaths": []})", CaseProblem::DuplicateField, "laterDeaths", "duplicate field"},
        {eightDeaths, CaseProblem::BadValue, "laterDeaths", "at most 7 deaths"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CaseRecord r;
        CaseError error;
        ASSERT_FALSE(readCaseObject(c.text, r, error));
        EXPECT_EQ(error.problem, c.problem) << error.message;
        EXPECT_EQ(error.field, c.field) << error.message;
        EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
        EXPECT_FALSE(CaseErrorArabic(error).empty());
        // The EstateCase reading refuses the same.
        EstateCase only;
        CaseError again;
        EXPECT_FALSE(readCaseObject(c.text, only, again));
        EXPECT_EQ(again.message, error.message);
    }
}

}  // namespace
}  // namespace qismar

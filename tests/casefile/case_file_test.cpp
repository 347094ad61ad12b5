// Case objects and case files: what is written reads back as the same case
// and divides the same, and every kind of file that is not a case is refused
// with a message that names the problem.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "casefile/case_file.h"
#include "cli/case_json.h"
#include "engine/preparation.h"

namespace qismar {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

Currency whole(std::int64_t v) { return Currency::fromWhole(v); }

// A case as the entry window holds it: the derived boxes agree with the counts.
EstateCase derived(EstateCase c)
{
    c.deriveEntryWindowState();
    return c;
}

std::string readAll(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A fresh folder for one test, removed afterwards.
class CaseFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::path(::testing::TempDir()) /
               ("qismar_casefile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path at(const std::string& name) const { return dir_ / name; }
    // The names in the folder, to see that nothing was left behind.
    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(dir_))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }
    fs::path dir_;
};

struct Sample {
    const char* what;
    EstateCase c;
};

// Varied cases, each as the entry window would hold it.
std::vector<Sample> samples()
{
    std::vector<Sample> all;
    all.push_back({"nothing entered", derived({})});
    {
        EstateCase c;
        c.deceased = Deceased::Woman;
        c.estate = whole(28000);
        c.spouse = true;
        c.fullSisters = HeadCount(2);
        all.push_back({"a husband and two full sisters", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(90000);
        c.spouse = true;
        c.wives = HeadCount(4);
        c.father = true;
        c.mother = true;
        c.sons = HeadCount(3);
        c.daughters = HeadCount(2);
        c.sonsSons = HeadCount(1);
        c.sonsSonsDaughters = HeadCount(7);
        all.push_back({"four wives, parents and descendants", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(1);
        c.grandfather = true;
        c.fullBrothers = HeadCount(1);
        c.paternalSisters = HeadCount(2);
        c.uterineBrothers = HeadCount(1);
        c.uterineSisters = HeadCount(3);
        c.fullBrothersSons = HeadCount(5);
        c.paternalBrothersSons = HeadCount(6);
        c.fullUncles = HeadCount(2);
        c.paternalUncles = HeadCount(3);
        c.fullUnclesSons = HeadCount(4);
        c.paternalUnclesSons = HeadCount(8);
        all.push_back({"the grandfather and every collateral", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(5000);
        c.mothersMother = true;
        c.fathersMother = true;
        c.daughters = HeadCount(1);
        all.push_back({"near grandmothers", derived(c)});
    }
    {
        EstateCase c;
        c.deceased = Deceased::Woman;
        c.estate = whole(5000);
        c.mothersMothersMother = true;
        c.fathersMothersMother = true;
        c.fathersFathersMother = true;
        c.sonsDaughters = HeadCount(2);
        all.push_back({"far grandmothers", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(90000);
        c.sons = HeadCount(1);
        c.funeral = whole(3000);
        c.debts = whole(27000);
        c.bequests = whole(30000);
        all.push_back({"a bequest beyond the third", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(90000);
        c.daughters = HeadCount(2);
        c.bequests = whole(50000);
        c.heirsConsent = true;
        all.push_back({"a bequest with the heirs' consent", derived(c)});
    }
    {
        EstateCase c;
        c.estate = whole(1000);
        c.mother = true;
        c.debts = whole(1500);
        all.push_back({"debts beyond the estate", derived(c)});
    }
    {
        EstateCase c;
        c.heirsConsent = true;
        all.push_back({"only the consent", derived(c)});
    }
    {
        EstateCase c;
        c.estate = Currency::fromWhole(Currency::kMaxWhole);
        c.funeral = Currency::fromWhole(Currency::kMaxWhole);
        c.debts = Currency::fromWhole(Currency::kMaxWhole);
        c.bequests = Currency::fromWhole(Currency::kMaxWhole);
        for (HeadCount* k : {&c.sons, &c.daughters, &c.sonsSons, &c.sonsDaughters, &c.sonsSonsSons,
                            &c.sonsSonsDaughters, &c.fullSisters, &c.fullBrothers, &c.paternalBrothers,
                            &c.paternalSisters, &c.uterineSisters, &c.uterineBrothers, &c.fullBrothersSons,
                            &c.paternalBrothersSons, &c.fullUncles, &c.paternalUncles, &c.fullUnclesSons,
                            &c.paternalUnclesSons})
            *k = HeadCount(kMaxCount);
        c.father = c.mother = c.spouse = c.grandfather = c.heirsConsent = true;
        c.mothersMother = c.fathersMother = c.mothersMothersMother = c.fathersMothersMother =
            c.fathersFathersMother = true;
        c.wives = HeadCount(4);
        all.push_back({"every field at its largest", derived(c)});
    }
    return all;
}

TEST(CaseObject, WhatIsWrittenReadsBackAsTheSameCaseAndDividesTheSame)
{
    for (const Sample& s : samples()) {
        const std::string text = writeCaseObject(s.c);
        EXPECT_EQ(text.find('\n'), std::string::npos) << s.what;
        EXPECT_TRUE(text.starts_with("{\"format\": 1, \"deceased\": ")) << s.what << ": " << text;
        EstateCase back;
        CaseError error;
        ASSERT_TRUE(readCaseObject(text, back, error)) << s.what << ": " << error.message;
        EXPECT_EQ(back, s.c) << s.what << ": " << text;
        // Writing again gives the same text.
        EXPECT_EQ(writeCaseObject(back), text) << s.what;
        // qismar-cli reads it as a line and answers as for the case itself.
        std::string fromText;
        cli::processLine(text, fromText);
        std::string direct;
        try {
            cli::appendResult(DivideEstate(s.c), direct);
            direct += '\n';
        } catch (const EngineError& e) {
            cli::appendError(e.what(), direct);
            direct += '\n';
        }
        EXPECT_EQ(fromText, direct) << s.what;
    }
}

TEST(CaseObject, WritesTheDeceasedTheEstateAndOnlyWhatDiffersFromTheEntryWindow)
{
    const std::vector<Sample> all = samples();
    EXPECT_EQ(writeCaseObject(all[0].c), R"({"format": 1, "deceased": "man", "estate": "0"})");
    EXPECT_EQ(writeCaseObject(all[1].c),
              R"({"format": 1, "deceased": "woman", "estate": "28000", "spouse": true, "fullSisters": 2})");
    EXPECT_EQ(writeCaseObject(all[6].c),
              R"({"format": 1, "deceased": "man", "estate": "90000", "funeral": "3000", "debts": "27000", )"
              R"("bequests": "30000", "sons": 1})");
    EXPECT_EQ(writeCaseObject(all[2].c),
              R"({"format": 1, "deceased": "man", "estate": "90000", "father": true, "mother": true, "spouse": true, )"
              R"("wives": 4, "sons": 3, "daughters": 2, "sonsSons": 1, "sonsSonsDaughters": 7})");
    // The largest case stays far below the file limit.
    EXPECT_LT(writeCaseObject(all.back().c).size(), std::size_t{1024});
}

TEST(CaseObject, RandomCasesRoundTrip)
{
    std::mt19937_64 random(20260412);
    const auto pick = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    const auto count = [&]() {
        switch (pick(0, 5)) {
        case 0: return HeadCount(pick(0, kMaxCount));
        case 1: case 2: return HeadCount(pick(1, 20));
        default: return HeadCount{};
        }
    };
    for (int i = 0; i < 2000; ++i) {
        EstateCase c;
        c.deceased = pick(0, 1) ? Deceased::Woman : Deceased::Man;
        c.estate = whole(pick(0, 1) ? pick(0, 100000) : pick(0, Currency::kMaxWhole));
        for (bool* flag : {&c.father, &c.mother, &c.spouse, &c.grandfather, &c.mothersMother, &c.fathersMother,
                           &c.mothersMothersMother, &c.fathersMothersMother, &c.fathersFathersMother,
                           &c.heirsConsent})
            *flag = pick(0, 1) == 1;
        c.wives = HeadCount(pick(1, 4));
        for (HeadCount* k : {&c.sons, &c.daughters, &c.sonsSons, &c.sonsDaughters, &c.sonsSonsSons,
                            &c.sonsSonsDaughters, &c.fullSisters, &c.fullBrothers, &c.paternalBrothers,
                            &c.paternalSisters, &c.uterineSisters, &c.uterineBrothers, &c.fullBrothersSons,
                            &c.paternalBrothersSons, &c.fullUncles, &c.paternalUncles, &c.fullUnclesSons,
                            &c.paternalUnclesSons})
            *k = count();
        for (Currency* k : {&c.funeral, &c.debts, &c.bequests})
            *k = pick(0, 2) == 0 ? whole(pick(0, Currency::kMaxWhole)) : Currency{};
        c = derived(c);
        const std::string text = writeCaseObject(c);
        EstateCase back;
        std::string error;
        ASSERT_TRUE(readCaseObject(text, back, error)) << text << ": " << error;
        ASSERT_EQ(back, c) << text;
    }
}

// A case object is read by simdjson, and read again by nlohmann's parser
// when simdjson refuses it or when it is too large to copy for simdjson.
// Both must come to the same answer: the same case, or the same problem of
// the same field (the place of a syntax error is the other parser's alone).
// Blanks after the object send it the second way.
TEST(CaseObject, BothParsersReadEveryTextAlike)
{
    const std::string farBlanks((std::size_t{2} << 20) + 1, ' ');
    const auto readBothWays = [&](const std::string& text) {
        CaseRecord first, second;
        CaseError firstError, secondError;
        const bool firstOk = readCaseObject(text, first, firstError);
        const bool secondOk = readCaseObject(text + farBlanks, second, secondError);
        const std::string shown = json(text).dump(-1, ' ', false, json::error_handler_t::replace);
        ASSERT_EQ(firstOk, secondOk) << shown << ": " << firstError.message << " / " << secondError.message;
        if (firstOk) {
            EXPECT_EQ(first, second) << shown;
            // What is read is JSON, and an object.
            EXPECT_TRUE(json::accept(text)) << shown;
            return;
        }
        EXPECT_EQ(firstError.problem, secondError.problem) << shown << ": " << firstError.message << " / "
                                                           << secondError.message;
        EXPECT_EQ(firstError.field, secondError.field) << shown;
        if (firstError.problem != CaseProblem::NotJson) {
            EXPECT_EQ(firstError.message, secondError.message) << shown;
        }
        if (!json::accept(text) && firstError.problem == CaseProblem::NotJson) {
            EXPECT_GT(firstError.line, 0u) << shown << ": " << firstError.message;
        }
    };

    // Texts at the edges of what each parser takes.
    for (const std::string text : {
             "{\"sons\": 18446744073709551616, \"estate\": \"1\"}", "{\"sons\": -9223372036854775809}",
             "{\"estate\": 1e400}", "{\"sons\": 01}", "{\"sons\": -0}", "{\"sons\": 1.0}",
             "\xEF\xBB\xBF{\"sons\": 1}", "{\"so\\u006es\": 2, \"estate\": \"4\"}", "{\"cousins\": 1, ",
             "{\"sons\": 1, \"sons\": tru}", "{\"deceased\": \"man\t\"}", "{\"details\": {\"name\": \"a\\u0000b\"}}",
             "{\"details\": {\"heirNames\": {\"sons\": [\"x\", 1]}}, \"sons\": 2}", "[[[[[[[[[[[[[1]]]]]]]]]]]]]",
             "{\"sons\": [[[[[[[[[[1]]]]]]]]]]}", "{\"estate\": \"0922337203685477\"}", "{\"estate\": \"9223372036854775808\"}",
             "{} {}", "{}}", "\"man\"", "null", "{\"deceased\": \"\xFF\"}", "{\"wives\": 4.0}",
         })
        readBothWays(text);

    // Every kind of byte put in, taken out or changed in cases of every
    // field, details included.
    const std::string samples[] = {
        R"({"format": 1, "deceased": "woman", "estate": "120000", "funeral": "10", "debts": "20", "bequests": "30", )"
        R"("heirsConsent": true, "father": true, "mother": true, "spouse": true, "sons": 2, "daughters": 3, )"
        R"("uterineSisters": 1, "fathersMother": false, "wives": 2})",
        R"({"sons": 2, "estate": 900, "details": {"name": "\u0639\u0644\u064a", "dateOfDeath": "2020-02-29", )"
        R"("heirNames": {"sons": ["a", "b\"c"]}}})",
        R"({"deceased": "woman", "spouse": true, "daughters": 1, "unborn": "child", "estate": "2400"})",
        R"({"sons": 3, "missing": "sons", "fullBrothers": 1, "estate": "7"})",
        R"({"mother": true, "undeterminedSex": "children", "daughters": 2, "estate": "60"})",
        R"({"deceased": "woman", "estate": "129600", "mother": true, "sons": 3, "laterDeaths": [{"heir": "sons", )"
        R"("case": {"spouse": true, "wives": 2, "fullBrothers": 2, "mothersMother": true}, )"
        R"("same": {"mothersMother": "mother", "fullBrothers": "sons"}}, )"
        R"({"heir": "fullBrothers", "problem": 2, "case": {"fullBrothers": 1}}]})",
    };
    const std::string alphabet = std::string("{}[]\":,.-+0123456789eEtrufalsn \\\t\r\nx\x01\xC3\xA9") + '\0';
    std::mt19937_64 random(20261211);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
    for (int i = 0; i < 400; ++i) {
        std::string text = samples[pick(std::size(samples))];
        for (int edits = 1 + int(pick(3)); edits > 0; --edits) {
            const std::size_t at = pick(text.size());
            switch (pick(3)) {
            case 0: text.insert(at, 1, alphabet[pick(alphabet.size())]); break;
            case 1: text.erase(at, 1); break;
            default: text[at] = alphabet[pick(alphabet.size())]; break;
            }
        }
        readBothWays(text);
        if (::testing::Test::HasFatalFailure())
            return;
    }
}

TEST(CaseObject, TheFormatVersionIsOptionalAndOnlyOneIsRead)
{
    EstateCase c;
    CaseError error;
    for (const char* text : {R"({"sons": 1})", R"({"format": 1, "sons": 1})", R"({"sons": 1, "format": 1})"}) {
        EXPECT_TRUE(readCaseObject(text, c, error)) << text << ": " << error.message;
        EXPECT_EQ(c.sons, HeadCount(1)) << text;
    }
    const struct {
        const char* text;
        CaseProblem problem;
        const char* message;
    } refused[] = {
        {R"({"format": 2})", CaseProblem::OtherFormat, "the case is written in format 2; this program reads format 1 only"},
        {R"({"format": 0})", CaseProblem::OtherFormat, "the case is written in format 0; this program reads format 1 only"},
        {R"({"format": -1})", CaseProblem::OtherFormat, "the case is written in format -1; this program reads format 1 only"},
        {R"({"format": "1"})", CaseProblem::BadValue, "\"format\" must be 1"},
        {R"({"format": 1.0})", CaseProblem::BadValue, "\"format\" must be 1"},
        {R"({"format": true})", CaseProblem::BadValue, "\"format\" must be 1"},
        {R"({"format": null})", CaseProblem::BadValue, "\"format\" must be 1"},
        {R"({"format": 1, "format": 1})", CaseProblem::DuplicateField, "duplicate field \"format\""},
    };
    for (const auto& k : refused) {
        EXPECT_FALSE(readCaseObject(k.text, c, error)) << k.text;
        EXPECT_EQ(error.problem, k.problem) << k.text;
        EXPECT_EQ(error.message, k.message) << k.text;
        EXPECT_EQ(error.field, "format") << k.text;
    }
}

TEST(CaseObject, AValueNoCaseObjectCanHoldIsNotWritten)
{
    const struct {
        const char* what;
        void (*change)(EstateCase&);
        ErrorCode code;
    } cases[] = {
        {"a negative estate", [](EstateCase& c) { c.estate = Currency::fromRaw(-10000); }, ErrorCode::InvalidCount},
        {"a fraction of an estate", [](EstateCase& c) { c.estate = Currency::fromRaw(15000); }, ErrorCode::NotAWholeNumber},
        {"too many daughters", [](EstateCase& c) { c.daughters = HeadCount(kMaxCount + 1); }, ErrorCode::CountTooLarge},
        {"no wife", [](EstateCase& c) { c.wives = HeadCount{}; }, ErrorCode::InvalidCount},
        {"five wives", [](EstateCase& c) { c.wives = HeadCount(5); }, ErrorCode::InvalidCount},
        {"negative debts", [](EstateCase& c) { c.debts = Currency::fromRaw(-1); }, ErrorCode::InvalidCount},
    };
    for (const auto& k : cases) {
        EstateCase c;
        k.change(c);
        try {
            writeCaseObject(c);
            ADD_FAILURE() << k.what << " was written";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), k.code) << k.what;
        }
    }
}

TEST(CaseObject, EveryWorkedExampleReadsBackFromWhatIsWritten)
{
    std::ifstream lines(QISMAR_CLI_TEST_DATA "/worked_examples.jsonl");
    std::string line;
    int read = 0;
    while (std::getline(lines, line)) {
        EstateCase c;
        std::string error;
        if (!readCaseObject(line, c, error))
            continue;
        ++read;
        const std::string text = writeCaseObject(c);
        std::string original, rewritten;
        cli::processLine(line, original);
        cli::processLine(text, rewritten);
        EXPECT_EQ(rewritten, original) << line << "\nwritten as " << text;
    }
    EXPECT_GT(read, 40);
}

// Every heir not yet known that a case object can name is written under its
// own field and reads back as the same heir; "spouse" is the husband or the
// wives as the deceased is.
TEST(CaseObject, AnHeirNotYetKnownReadsBackAsItWasWritten)
{
    const struct {
        const char* line;
        UncertainHeir heir;
        const char* written;  // the field as written back
    } cases[] = {
        {R"({"spouse":true,"unborn":"child"})", {UncertainKind::Unborn, KinLine::Child}, R"("unborn": "child")"},
        {R"({"mother":true,"unborn":"uterineSibling"})", {UncertainKind::Unborn, KinLine::UterineSibling},
         R"("unborn": "uterineSibling")"},
        {R"({"sons":3,"missing":"sons"})", {UncertainKind::Missing, KinLine::Child, Heir::Sons}, R"("missing": "sons")"},
        {R"({"spouse":true,"wives":2,"missing":"spouse"})", {UncertainKind::Missing, KinLine::Child, Heir::Wives},
         R"("missing": "wives")"},
        {R"({"deceased":"woman","spouse":true,"missing":"spouse"})", {UncertainKind::Missing, KinLine::Child, Heir::Husband},
         R"("missing": "spouse")"},
        {R"({"uterineBrothers":2,"missing":"uterineBrothers"})",
         {UncertainKind::Missing, KinLine::Child, Heir::UterineSiblings}, R"("missing": "uterineSisters")"},
        {R"({"sons":1,"undeterminedSex":"sonsSonsChildren"})", {UncertainKind::UndeterminedSex, KinLine::SonsSonsChild},
         R"("undeterminedSex": "sonsSonsChildren")"},
    };
    for (const auto& k : cases) {
        CaseRecord record;
        CaseError error;
        ASSERT_TRUE(readCaseObject(k.line, record, error)) << k.line << ": " << error.message;
        ASSERT_TRUE(record.uncertain) << k.line;
        EXPECT_EQ(*record.uncertain, k.heir) << k.line;
        const std::string text = writeCaseObject(record);
        EXPECT_NE(text.find(k.written), std::string::npos) << text;
        CaseRecord back;
        ASSERT_TRUE(readCaseObject(text, back, error)) << text << ": " << error.message;
        EXPECT_EQ(back, record) << text;
    }
    // A case without one reads without one, as older files do.
    CaseRecord plain;
    CaseError error;
    ASSERT_TRUE(readCaseObject(R"({"sons":1})", plain, error));
    EXPECT_FALSE(plain.uncertain);
    EXPECT_EQ(writeCaseObject(plain).find("unborn"), std::string::npos);
    // Two are refused, in English and in Arabic.
    EXPECT_FALSE(readCaseObject(R"({"sons":1,"unborn":"child","undeterminedSex":"children"})", plain, error));
    EXPECT_EQ(error.field, "undeterminedSex");
    EXPECT_NE(CaseErrorArabic(error).find("واحداً"), std::string::npos) << CaseErrorArabic(error);
}

TEST_F(CaseFiles, SaveThenOpenGivesTheSameCase)
{
    for (const Sample& s : samples()) {
        const fs::path path = at("case.qismar");
        CaseError error;
        ASSERT_TRUE(writeCaseFile(path.string(), s.c, error)) << s.what << ": " << error.message;
        EXPECT_EQ(readAll(path), writeCaseObject(s.c) + "\n") << s.what;
        EstateCase back;
        ASSERT_TRUE(readCaseFile(path.string(), back, error)) << s.what << ": " << error.message;
        EXPECT_EQ(back, s.c) << s.what;
    }
    // Only the file itself is left: no temporary file beside it.
    EXPECT_EQ(names(), std::vector<std::string>{"case.qismar"});
}

TEST_F(CaseFiles, AFileMayBeLaidOutOnSeveralLinesWithAByteOrderMark)
{
    const std::string text = "\xEF\xBB\xBF{\r\n  \"format\": 1,\r\n  \"deceased\": \"woman\",\r\n"
                             "  \"estate\": \"28000\",\r\n\t\"spouse\": true,\r\n  \"fullSisters\": 2\r\n}\r\n\r\n";
    writeBytes(at("pretty.qismar"), text);
    EstateCase c;
    CaseError error;
    ASSERT_TRUE(readCaseFile(at("pretty.qismar").string(), c, error)) << error.message;
    EXPECT_TRUE(c.isWoman());
    EXPECT_TRUE(c.spouse);
    EXPECT_EQ(c.estate, whole(28000));
    EXPECT_EQ(c.fullSisters, HeadCount(2));
    EXPECT_TRUE(c.siblings);

    // Exactly at the limit is still read.
    std::string padded = R"({"sons": 1})";
    padded.insert(1, kMaxCaseFileBytes - padded.size(), ' ');
    ASSERT_EQ(padded.size(), kMaxCaseFileBytes);
    writeBytes(at("padded.qismar"), padded);
    EXPECT_TRUE(readCaseFile(at("padded.qismar").string(), c, error)) << error.message;
}

TEST_F(CaseFiles, EveryKindOfFileThatIsNotACaseIsRefusedWithItsReason)
{
    struct Bad {
        const char* what;
        std::function<void(const fs::path&)> make;
        CaseProblem problem;
        std::string message;  // a part of the English message
        std::string arabic;   // a part of the Arabic one
        std::size_t line = 0, column = 0;
    };
    const auto bytes = [](std::string b) { return [b](const fs::path& p) { writeBytes(p, b); }; };
    const Bad bad[] = {
        {"a missing file", [](const fs::path&) {}, CaseProblem::CannotOpen,
         "cannot open the file: No such file or directory", "الملف غير موجود"},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, CaseProblem::Folder, "a folder",
         "الاسم لمجلد"},
        {"a named pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, CaseProblem::NotAFile,
         "not a regular file", "ليس ملفاً عادياً"},
        {"a link to a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, CaseProblem::NotAFile,
         "not a regular file", "ليس ملفاً عادياً"},
        {"a huge file", [](const fs::path& p) {
             writeBytes(p, "");
             fs::resize_file(p, std::uintmax_t{1} << 30);
         }, CaseProblem::TooLarge, "larger than 65536 bytes", "أكبر من 64 كيلوبايت"},
        {"one byte beyond the limit", bytes("{" + std::string(kMaxCaseFileBytes - 1, ' ') + "}"),
         CaseProblem::TooLarge, "larger than 65536 bytes", "أكبر من 64 كيلوبايت"},
        {"an empty file", bytes(""), CaseProblem::Empty, "the file is empty", "الملف فارغ"},
        {"blanks only", bytes(" \r\n\t\n"), CaseProblem::Empty, "the file is empty", "الملف فارغ"},
        {"a binary file", bytes(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), CaseProblem::NotText,
         "a NUL byte at line 3, column 1", "الملف ثنائي", 3, 1},
        {"Windows-1256 text", bytes("{\"deceased\": \"\xC7\xE1\xCA\"}"), CaseProblem::NotUtf8,
         "not UTF-8 text (a byte that is not UTF-8 at line 1, column 15)", "ليس نصاً بترميز UTF-8", 1, 15},
        {"an overlong slash", bytes("{\"x\xC0\xAF\": 1}"), CaseProblem::NotUtf8, "line 1, column 4",
         "UTF-8", 1, 4},
        {"a surrogate", bytes("{\"x\xED\xA0\x80\": 1}"), CaseProblem::NotUtf8, "column 4", "UTF-8", 1, 4},
        {"a cut character at the end", bytes("{}\n\xD8"), CaseProblem::NotUtf8, "line 2, column 1", "UTF-8", 2, 1},
        {"bad JSON on the third line", bytes("{\n  \"sons\": 1,\n  \"daughters\": tru}\n"), CaseProblem::NotJson,
         "not valid JSON: parse error at line 3, column 19", "ليس نص JSON صحيحاً (السطر 3، العمود 19)", 3, 19},
        {"an object cut short", bytes("{\"sons\": 1,\n"), CaseProblem::NotJson, "not valid JSON", "ليس نص JSON"},
        {"two objects", bytes("{\"sons\": 1}\n{\"sons\": 2}\n"), CaseProblem::NotJson, "not valid JSON",
         "ليس نص JSON"},
        {"an array", bytes("[{\"sons\": 1}]"), CaseProblem::NotAnObject, "a case must be a JSON object",
         "كائن JSON واحداً"},
        {"an unknown field", bytes(R"({"sons": 1, "cousins": 2})"), CaseProblem::UnknownField,
         "unknown field \"cousins\"", "حقل لا يعرفه البرنامج: «cousins»"},
        {"a field twice", bytes(R"({"sons": 1, "sons": 2})"), CaseProblem::DuplicateField, "duplicate field \"sons\"",
         "الحقل «عدد الأبناء الذكور» مكرر"},
        {"a count as text", bytes(R"({"daughters": "2"})"), CaseProblem::BadValue,
         "\"daughters\" must be a whole number of 0 or more", "قيمة «عدد البنات» يجب أن تكون عدداً صحيحاً"},
        {"a flag as a number", bytes(R"({"father": 1})"), CaseProblem::BadValue, "\"father\" must be true or false",
         "قيمة «الأب» يجب أن تكون true أو false"},
        {"an estate with a point", bytes(R"({"estate": "12.5"})"), CaseProblem::BadValue,
         "\"estate\" must be a text of the digits 0 to 9 only", "«قيمة التركة» يجب أن تكون مبلغاً بالأرقام"},
        {"negative debts", bytes(R"({"estate": "100", "debts": -5})"), CaseProblem::BadValue,
         "\"debts\" must be a text of digits", "«الديون» يجب أن تكون مبلغاً"},
        {"five wives", bytes(R"({"spouse": true, "wives": 5})"), CaseProblem::BadValue,
         "\"wives\" must be a whole number from 1 to 4", "عدد الزوجات يجب أن يكون عدداً صحيحاً من 1 إلى 4"},
        {"a sex that is neither", bytes(R"({"deceased": "child"})"), CaseProblem::BadValue,
         "\"deceased\" must be \"man\" or \"woman\"", "المتوفى يجب أن يكون"},
        {"too many sons", bytes(R"({"sons": 1000000001})"), CaseProblem::ValueTooLarge,
         "\"sons\" is beyond the largest count", "أكبر من أكبر عدد من الأشخاص"},
        {"a count beyond 64 bits", bytes(R"({"daughters": 18446744073709551616})"), CaseProblem::ValueTooLarge,
         "\"daughters\" is beyond the largest count", "أكبر من أكبر عدد من الأشخاص"},
        {"a bequest beyond the money range", bytes(R"({"bequests": "922337203685478"})"), CaseProblem::ValueTooLarge,
         "\"bequests\" is beyond the range of money amounts", "«الوصايا» أكبر من أكبر مبلغ"},
        {"another format", bytes(R"({"format": 2, "sons": 1})"), CaseProblem::OtherFormat, "format 2",
         "بصيغة غير الصيغة 1"},
    };
    for (const Bad& b : bad) {
        const fs::path path = at("bad.qismar");
        fs::remove_all(path);
        b.make(path);
        EstateCase c;
        c.sons = HeadCount(99);
        CaseError error;
        EXPECT_FALSE(readCaseFile(path.string(), c, error)) << b.what;
        EXPECT_EQ(error.problem, b.problem) << b.what << ": " << error.message;
        EXPECT_NE(error.message.find(b.message), std::string::npos) << b.what << ": " << error.message;
        const std::string arabic = CaseErrorArabic(error);
        EXPECT_NE(arabic.find(b.arabic), std::string::npos) << b.what << ": " << arabic;
        if (b.line != 0) {
            EXPECT_EQ(error.line, b.line) << b.what;
            EXPECT_EQ(error.column, b.column) << b.what;
        }
    }
}

TEST_F(CaseFiles, SavingReplacesTheFileKeepsItsPermissionsAndFollowsALink)
{
    EstateCase first;
    first.estate = whole(100);
    first.sons = HeadCount(1);
    EstateCase second = first;
    second.daughters = HeadCount(2);
    second = derived(second);
    CaseError error;

    const fs::path path = at("case.qismar");
    ASSERT_TRUE(writeCaseFile(path.string(), first, error)) << error.message;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeCaseFile(path.string(), second, error)) << error.message;
    EXPECT_EQ(readAll(path), writeCaseObject(second) + "\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_directory(at("real"));
    ASSERT_TRUE(writeCaseFile(at("real/target.qismar").string(), first, error)) << error.message;
    fs::create_symlink("real/target.qismar", at("link.qismar"));
    ASSERT_TRUE(writeCaseFile(at("link.qismar").string(), second, error)) << error.message;
    EXPECT_TRUE(fs::is_symlink(at("link.qismar")));
    EXPECT_EQ(readAll(at("real/target.qismar")), writeCaseObject(second) + "\n");

    // A link that names no file yet is followed as well: the file is made
    // where it points, and the link stays.
    fs::create_symlink("real/new.qismar", at("dangling.qismar"));
    ASSERT_TRUE(writeCaseFile(at("dangling.qismar").string(), first, error)) << error.message;
    EXPECT_TRUE(fs::is_symlink(at("dangling.qismar")));
    EXPECT_EQ(readAll(at("real/new.qismar")), writeCaseObject(first) + "\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"case.qismar", "dangling.qismar", "link.qismar", "real"}));
}

TEST_F(CaseFiles, AFailedSaveLeavesWhatWasThere)
{
    EstateCase old;
    old.estate = whole(100);
    old.sons = HeadCount(1);
    EstateCase bigger = old;
    for (HeadCount* k : {&bigger.daughters, &bigger.fullBrothers, &bigger.paternalUncles, &bigger.fullUnclesSons})
        *k = HeadCount(123456789);
    bigger = derived(bigger);
    CaseError error;
    const fs::path path = at("case.qismar");
    ASSERT_TRUE(writeCaseFile(path.string(), old, error)) << error.message;
    const std::string before = readAll(path);

    // A file size limit makes the write itself fail part way, as a full disk does.
    {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 20;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = writeCaseFile(path.string(), bigger, error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_FALSE(written);
        EXPECT_EQ(error.problem, CaseProblem::CannotWrite);
        EXPECT_EQ(error.systemError, EFBIG);
        EXPECT_NE(CaseErrorArabic(error).find("تعذرت كتابة الملف"), std::string::npos) << CaseErrorArabic(error);
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(names(), std::vector<std::string>{"case.qismar"});

    // A case that cannot be written changes nothing either.
    EstateCase broken = old;
    broken.estate = Currency::fromRaw(5);
    EXPECT_FALSE(writeCaseFile(path.string(), broken, error));
    EXPECT_EQ(error.problem, CaseProblem::NotWritable);
    EXPECT_EQ(readAll(path), before);

    // A folder under the name, or a folder that is not there.
    fs::create_directory(at("folder.qismar"));
    EXPECT_FALSE(writeCaseFile(at("folder.qismar").string(), old, error));
    EXPECT_EQ(error.problem, CaseProblem::Folder);
    EXPECT_TRUE(fs::is_empty(at("folder.qismar")));
    EXPECT_FALSE(writeCaseFile(at("nowhere/case.qismar").string(), old, error));
    EXPECT_EQ(error.problem, CaseProblem::CannotWrite);
    EXPECT_EQ(error.systemError, ENOENT);
    EXPECT_NE(CaseErrorArabic(error).find("المجلد غير موجود"), std::string::npos) << CaseErrorArabic(error);
    EXPECT_FALSE(writeCaseFile("/dev/null", old, error));
    EXPECT_EQ(error.problem, CaseProblem::NotAFile);
    EXPECT_EQ(names(), (std::vector<std::string>{"case.qismar", "folder.qismar"}));
}

}  // namespace
}  // namespace qismar

// The command-line interface: its case objects, its result objects, its
// errors, and the exit status of the real program.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "case_json.h"

using namespace qismar;
using nlohmann::json;

namespace {

std::string processOne(const std::string& line, bool* ok = nullptr)
{
    std::string out;
    const bool good = cli::processLine(line, out);
    if (ok)
        *ok = good;
    return out;
}

TEST(CliCase, DefaultsAreThoseOfTheEntryWindow)
{
    EstateCase c;
    std::string error;
    ASSERT_TRUE(cli::parseCase("{}", c, error)) << error;
    EXPECT_EQ(c.deceased, Deceased::Man);
    EXPECT_EQ(c.estate, Currency{});
    EXPECT_EQ(c.wives, Currency::fromWhole(1));
    EXPECT_FALSE(c.father || c.mother || c.spouse || c.grandfather || c.children || c.grandchildren || c.siblings);
    EXPECT_EQ(processOne("{}"), "{\"outcome\": \"no_estate\", \"rows\": []}\n");
}

TEST(CliCase, DerivesTheBoxesTheEntryWindowKeeps)
{
    EstateCase c;
    std::string error;
    ASSERT_TRUE(cli::parseCase(R"({"deceased":"woman","wives":3,"daughters":2,"sonsSonsDaughters":1,)"
                               R"("uterineBrothers":2,"fullSisters":1,"estate":"1200"})",
                               c, error))
        << error;
    EXPECT_EQ(c.wives, Currency::fromWhole(1));  // forced for a deceased woman
    EXPECT_TRUE(c.children);
    EXPECT_TRUE(c.grandchildren);
    EXPECT_TRUE(c.siblings);
    EXPECT_EQ(c.siblingTotal, Currency::fromWhole(3));
    EXPECT_EQ(c.estate, Currency::fromWhole(1200));
}

TEST(CliCase, RefusesWhatIsNotACase)
{
    struct Case {
        const char* line;
        const char* messageContains;
    };
    const Case cases[] = {
        {"", "not valid JSON"},
        {"{", "not valid JSON"},
        {"{\"sons\": 1} x", "not valid JSON"},
        {"[1]", "must be a JSON object"},
        {"7", "must be a JSON object"},
        {"{\"cousins\": 1}", "unknown field \"cousins\""},
        {"{\"sons\": -1}", "\"sons\" must be a whole number of 0 or more"},
        {"{\"sons\": 1.5}", "\"sons\" must be a whole number"},
        {"{\"sons\": \"2\"}", "\"sons\" must be a whole number"},
        {"{\"sons\": 922337203685478}", "beyond the range of counts"},
        {"{\"father\": 1}", "\"father\" must be true or false"},
        {"{\"deceased\": \"child\"}", "\"deceased\" must be \"man\" or \"woman\""},
        {"{\"wives\": 0}", "\"wives\" must be a whole number from 1 to 4"},
        {"{\"wives\": 5}", "\"wives\" must be a whole number from 1 to 4"},
        {"{\"estate\": \"12.5\"}", "\"estate\" must be a text of the digits 0 to 9 only"},
        {"{\"estate\": \"-5\"}", "\"estate\" must be a text of the digits 0 to 9 only"},
        {"{\"estate\": \"\"}", "\"estate\" must be a text of the digits 0 to 9 only"},
        {"{\"estate\": -5}", "\"estate\" must be a text of digits or a whole number"},
        {"{\"estate\": 1e3}", "\"estate\" must be a text of digits or a whole number"},
        {"{\"estate\": \"922337203685478\"}", "beyond the range of money amounts"},
        {"{\"estate\": 18446744073709551615}", "beyond the range of money amounts"},
        {"{\"sons\": {\"n\": 1}}", "\"sons\" must be a whole number"},
        {"{\"mother\": [true]}", "\"mother\" must be true or false"},
        {"{\"deceased\": \"\xff\"}", "not valid JSON"},
        {"{\"sons\":922337203685477,\"daughters\":922337203685477,\"estate\":\"10\"}", "add up beyond the range"},
    };
    for (const Case& k : cases) {
        bool ok = true;
        const std::string out = processOne(k.line, &ok);
        EXPECT_FALSE(ok) << k.line;
        const json j = json::parse(out);  // the error object itself is valid JSON
        ASSERT_TRUE(j.contains("error")) << k.line << " -> " << out;
        EXPECT_NE(j["error"].get<std::string>().find(k.messageContains), std::string::npos)
            << k.line << " -> " << out;
    }
}

TEST(CliResult, WorkedExamplesComeOutToTheLastDecimal)
{
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {R"({"deceased":"woman","spouse":true,"fullSisters":2,"estate":"28000"})",
         R"({"outcome": "divided", "base": 28, "rows": [{"key": "n1", "amount": "12000", "percent": "%42.8571"}, )"
         R"({"key": "n10", "amount": "8000", "percent": "%28.5714"}]})"},
        {R"({"spouse":true,"daughters":1,"estate":24000})",
         R"({"outcome": "divided", "base": 12, "rows": [{"key": "n2", "amount": "3000", "percent": "%12.5"}, )"
         R"({"key": "n6", "amount": "21000", "percent": "%87.5"}]})"},
        {R"({"father":true,"fullBrothers":1,"estate":"100"})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n3", "amount": "100", "percent": "%100"}, )"
         R"({"key": "n9", "amount": "لا شيئ له", "percent": null}]})"},
        {R"({"daughters":1,"fullSisters":1,"fullUncles":1,"estate":"100"})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n6", "amount": "50", "percent": "%50"}, )"
         R"({"key": "n10", "amount": "50", "percent": "%50"}, {"key": "n19", "amount": "0", "percent": "%0"}]})"},
        {R"({"estate":"1000"})", R"({"outcome": "no_heirs", "base": 23, "rows": []})"},
        {R"({"estate":"0","father":true})", R"({"outcome": "no_estate", "rows": []})"},
        {R"({"sons":1,"daughters":1,"estate":1})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n5", "amount": "0.6666", "percent": "%66.66"}, )"
         R"({"key": "n6", "amount": "0.3333", "percent": "%33.33"}]})"},
    };
    for (const Case& k : cases) {
        bool ok = false;
        EXPECT_EQ(processOne(k.line, &ok), std::string(k.expected) + "\n") << k.line;
        EXPECT_TRUE(ok) << k.line;
    }
}

TEST(CliResult, WindowsLineEndsAreRead)
{
    EXPECT_EQ(processOne("{\"sons\":1,\"estate\":\"5\"}\r"),
              "{\"outcome\": \"divided\", \"base\": 24, \"rows\": [{\"key\": \"n5\", \"amount\": \"5\", "
              "\"percent\": \"%100\"}]}\n");
}

// Runs the stream loop over an in-memory input.
std::pair<int, std::string> runStream(const std::string& input)
{
    FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    const int status = cli::run(in, out);
    std::fclose(in);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return {status, text};
}

TEST(CliStream, OneObjectPerLineInOrderAndTheExitStatus)
{
    auto [ok, okOut] = runStream("{\"sons\":1,\"estate\":\"5\"}\n{\"estate\":\"0\"}");
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(std::count(okOut.begin(), okOut.end(), '\n'), 2);
    EXPECT_NE(okOut.find("no_estate"), std::string::npos);

    auto [bad, badOut] = runStream("{\"sons\":1,\"estate\":\"5\"}\nnot json\n\n{\"daughters\":1,\"estate\":\"8\"}\n");
    EXPECT_EQ(bad, 1);
    std::istringstream lines(badOut);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line))
        got.push_back(line);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_NE(got[0].find("\"divided\""), std::string::npos);
    EXPECT_NE(got[1].find("\"error\""), std::string::npos);
    EXPECT_NE(got[2].find("\"error\""), std::string::npos);
    EXPECT_NE(got[3].find("\"amount\": \"8\""), std::string::npos);

    auto [none, noneOut] = runStream("");
    EXPECT_EQ(none, 0);
    EXPECT_EQ(noneOut, "");
}

TEST(CliStream, LinesLongerThanTheReadBuffer)
{
    // A case padded with blanks well past the 64 KiB read chunk, and many
    // lines that cross chunk boundaries.
    std::string input = "{" + std::string(200000, ' ') + "\"sons\":2,\"estate\":\"10\"}\n";
    for (int i = 0; i < 20000; ++i)
        input += "{\"daughters\":1,\"estate\":\"" + std::to_string(i + 1) + "\"}\n";
    auto [status, out] = runStream(input);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 20001);
    EXPECT_NE(out.find("\"amount\": \"5\""), std::string::npos);
    EXPECT_NE(out.find("\"amount\": \"20000\""), std::string::npos);
}

int runProgram(const std::string& input, std::string& output)
{
    // ctest runs the tests of this file as parallel processes: each needs
    // its own input file.
    const std::string path = ::testing::TempDir() + "qismar_cli_input_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(getpid()) + ".jsonl";
    std::ofstream(path) << input;
    const std::string command = std::string(QISMAR_CLI_PATH) + " < " + path;
    FILE* pipe = popen(command.c_str(), "r");
    char buf[4096];
    size_t n;
    output.clear();
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        output.append(buf, n);
    const int status = pclose(pipe);
    std::remove(path.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliProgram, ExitStatusTellsWhetherEveryLineWasDivided)
{
    std::string out;
    EXPECT_EQ(runProgram("{\"deceased\":\"woman\",\"spouse\":true,\"fullSisters\":2,\"estate\":\"28000\"}\n", out), 0);
    EXPECT_NE(out.find("\"base\": 28"), std::string::npos);
    EXPECT_EQ(runProgram("{\"sons\":1,\"estate\":\"5\"}\n{\"wives\":9}\n", out), 1);
    EXPECT_NE(out.find("{\"error\": \"\\\"wives\\\" must be"), std::string::npos) << out;
}

TEST(CliProgram, WorkedExamplesToTheLastDecimal)
{
    // Hand-checked divisions, one per line, against the program's output.
    std::ifstream cases(QISMAR_TEST_DATA "/worked_examples.jsonl");
    std::ifstream expected(QISMAR_TEST_DATA "/worked_examples.expected.jsonl");
    std::string input, want, line;
    while (std::getline(cases, line))
        input += line + "\n";
    while (std::getline(expected, line))
        want += line + "\n";
    ASSERT_FALSE(input.empty());
    std::string out;
    EXPECT_EQ(runProgram(input, out), 0);
    std::istringstream got(out), exp(want), in(input);
    std::string g, e, c;
    while (std::getline(exp, e)) {
        std::getline(in, c);
        ASSERT_TRUE(std::getline(got, g)) << "missing output for " << c;
        EXPECT_EQ(g, e) << c;
    }
    EXPECT_FALSE(std::getline(got, g)) << "extra output: " << g;
}

}  // namespace

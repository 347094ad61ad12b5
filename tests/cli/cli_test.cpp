// The command-line interface: its case objects, its result objects, its
// errors, and the exit status of the real program.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/case_json.h"
#include "qismar_version.h"

using namespace qismar;
using nlohmann::json;
using namespace std::string_literals;

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
    ASSERT_TRUE(readCaseObject("{}", c, error)) << error;
    EXPECT_EQ(c.deceased, Deceased::Man);
    EXPECT_EQ(c.estate, Currency{});
    EXPECT_EQ(c.wives, HeadCount(1));
    EXPECT_FALSE(c.father || c.mother || c.spouse || c.grandfather || c.children || c.grandchildren || c.siblings);
    EXPECT_EQ(processOne("{}"), "{\"outcome\": \"no_estate\", \"rows\": []}\n");
}

TEST(CliCase, DerivesTheBoxesTheEntryWindowKeeps)
{
    EstateCase c;
    std::string error;
    ASSERT_TRUE(readCaseObject(R"({"deceased":"woman","wives":3,"daughters":2,"sonsSonsDaughters":1,)"
                               R"("uterineBrothers":2,"fullSisters":1,"estate":"1200"})",
                               c, error))
        << error;
    EXPECT_EQ(c.wives, HeadCount(1));  // forced for a deceased woman
    EXPECT_TRUE(c.children);
    EXPECT_TRUE(c.grandchildren);
    EXPECT_TRUE(c.siblings);
    EXPECT_EQ(c.siblingTotal, HeadCount(3));
    EXPECT_EQ(c.estate, Currency::fromWhole(1200));
}

TEST(CliCase, RefusesWhatIsNotACase)
{
    struct Case {
        std::string line;
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
        {"{\"sons\": 922337203685478}", "\"sons\" is beyond the largest count"},
        {"{\"uterineBrothers\": 1000000001}", "\"uterineBrothers\" is beyond the largest count"},
        // Whole numbers beyond 64 bits are counts and amounts too large,
        // not values of the wrong kind.
        {"{\"sons\": 18446744073709551616}", "\"sons\" is beyond the largest count (at most 1000000000 persons)"},
        {"{\"fullSisters\": 123456789012345678901234567890}", "\"fullSisters\" is beyond the largest count"},
        {"{\"estate\": 18446744073709551616}", "\"estate\" is beyond the range of money amounts"},
        {"{\"sons\": -18446744073709551617}", "\"sons\" must be a whole number of 0 or more"},
        {"{\"sons\": 18446744073709551616.5}", "\"sons\" must be a whole number of 0 or more"},
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
        {"{\"sons\":461168601842738,\"daughters\":461168601842739,\"estate\":\"1000\"}", "\"sons\" is beyond the largest count"},
        {"{\"sons\":10001,\"estate\":\"100\"}", "the estate is too small to divide among so many heirs"},
        // Nothing but blanks may follow the object; the parser alone would
        // stop at a NUL byte and divide the case before it.
        {"{\"sons\":1,\"estate\":\"10\"}\0garbage"s, "a NUL byte at column 25"},
        {"{\"sons\":1,\"estate\":\"10\"}\0"s, "a NUL byte at column 25"},
        {"{\"sons\":1,\"estate\":\"10\"} \0 "s, "a NUL byte at column 26"},
        {"\0{\"sons\":1,\"estate\":\"10\"}"s, "a NUL byte at column 1"},
        {"{\"sons\":1,\"estate\":\"1\0\"}"s, "a NUL byte"},
        {"{\"sons\":1,\"estate\":\"10\"} {}", "not valid JSON"},
        {"{\"sons\":1,\"estate\":\"10\"},", "not valid JSON"},
        // Each field may be given once, whatever the values.
        {"{\"father\": true, \"father\": false}", "duplicate field \"father\""},
        {"{\"sons\": 1, \"estate\": \"9\", \"sons\": 1}", "duplicate field \"sons\""},
        {"{\"estate\": \"9\", \"estate\": 9}", "duplicate field \"estate\""},
    };
    for (const Case& k : cases) {
        bool ok = true;
        const std::string out = processOne(k.line, &ok);
        // The line as it appears in a failure message.
        const std::string shown = json(k.line).dump(-1, ' ', false, json::error_handler_t::replace);
        EXPECT_FALSE(ok) << shown;
        const json j = json::parse(out);  // the error object itself is valid JSON
        ASSERT_TRUE(j.contains("error")) << shown << " -> " << out;
        EXPECT_NE(j["error"].get<std::string>().find(k.messageContains), std::string::npos)
            << shown << " -> " << out;
    }
}

TEST(CliCase, BlanksAfterTheObjectAreAllowed)
{
    for (const char* line : {"{\"sons\":1,\"estate\":\"10\"}   ", "{\"sons\":1,\"estate\":\"10\"}\t \t",
                             "  {\"sons\":1,\"estate\":\"10\"}"}) {
        bool ok = false;
        EXPECT_NE(processOne(line, &ok).find("\"amount\": \"10\""), std::string::npos) << line;
        EXPECT_TRUE(ok) << line;
    }
}

TEST(CliCase, ErrorMessagesQuoteOnlyAShortPrefixOfTheInput)
{
    const std::string longName(100000, 'n');
    // 30 two-byte letters: a cut at 40 bytes falls between characters only.
    std::string arabicName;
    for (int i = 0; i < 30; ++i)
        arabicName += "\xD8\xA8";  // U+0628
    struct Case {
        std::string line;
        std::string expected;  // the whole error message
    };
    const Case cases[] = {
        {"{\"" + longName + "\": 1}", "unknown field \"" + longName.substr(0, cli::kMaxQuotedBytes) + "...\""},
        {"{\"x" + arabicName + "\": 1}",
         "unknown field \"x" + arabicName.substr(0, cli::kMaxQuotedBytes - 2) + "...\""},
        {"{\"cousins\": 1}", "unknown field \"cousins\""},
        {"{\"sons\": tru" + longName + "}",
         "not valid JSON: parse error at line 1, column 13: syntax error while parsing value - invalid literal; "
         "last read: '\"sons\": trun'"},
        {"{\"sons\": \"" + longName + "\\u00",
         "not valid JSON: parse error at line 1, column 100015: syntax error while parsing value - invalid "
         "string: '\\u' must be followed by 4 hex digits; last read: '\"" +
             longName.substr(0, cli::kMaxQuotedBytes - 1) + "...'"},
    };
    for (const Case& k : cases) {
        const json j = json::parse(processOne(k.line));
        ASSERT_TRUE(j.contains("error")) << k.expected;
        EXPECT_EQ(j["error"].get<std::string>(), k.expected);
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
         R"({"outcome": "divided", "base": 28, "rows": [{"key": "n1", "heir": "husband", "amount": "12000", "percent": "%42.8571"}, )"
         R"({"key": "n10", "heir": "fullSisters", "amount": "8000", "percent": "%28.5714"}]})"},
        {R"({"spouse":true,"daughters":1,"estate":24000})",
         R"({"outcome": "divided", "base": 12, "rows": [{"key": "n2", "heir": "wives", "amount": "3000", "percent": "%12.5"}, )"
         R"({"key": "n6", "heir": "daughters", "amount": "21000", "percent": "%87.5"}]})"},
        {R"({"father":true,"fullBrothers":1,"estate":"100"})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n3", "heir": "father", "amount": "100", "percent": "%100"}, )"
         R"({"key": "n9", "heir": "fullBrothers", "amount": "لا شيئ له", "percent": null}]})"},
        {R"({"daughters":1,"fullSisters":1,"fullUncles":1,"estate":"100"})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n6", "heir": "daughters", "amount": "50", "percent": "%50"}, )"
         R"({"key": "n10", "heir": "fullSisters", "amount": "50", "percent": "%50"}, {"key": "n19", "heir": "fullUncles", "amount": "0", "percent": "%0"}]})"},
        {R"({"estate":"1000"})", R"({"outcome": "no_heirs", "base": 23, "rows": []})"},
        // What the rows leave of the estate is reported after them.
        {R"({"deceased":"woman","spouse":true,"estate":"24000"})",
         R"({"outcome": "divided", "base": 23, "rows": [{"key": "n1", "heir": "husband", "amount": "12000", "percent": "%50"}], )"
         R"("undistributed": {"amount": "12000", "percent": "%50"}})"},
        {R"({"estate":"0","father":true})", R"({"outcome": "no_estate", "rows": []})"},
        {R"({"sons":1,"daughters":1,"estate":1})",
         R"({"outcome": "divided", "base": 24, "rows": [{"key": "n5", "heir": "sons", "amount": "0.6666", "percent": "%66.66"}, )"
         R"({"key": "n6", "heir": "daughters", "amount": "0.3333", "percent": "%33.33"}]})"},
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
              "{\"outcome\": \"divided\", \"base\": 24, \"rows\": [{\"key\": \"n5\", \"heir\": \"sons\", \"amount\": \"5\", "
              "\"percent\": \"%100\"}]}\n");
}

// Runs the stream loop over an in-memory input.
std::pair<int, std::string> runStream(const std::string& input, const cli::Options& options = {})
{
    FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    const int status = cli::run(in, out, stderr, options);
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

TEST(CliStream, LinesAboveTheLimitGiveOneErrorEachAndTheNextLinesGoOn)
{
    // A case padded with blanks to exactly `size` bytes.
    const auto padded = [](std::size_t size, const std::string& end = "") {
        const std::string tail = "\"sons\":2,\"estate\":\"10\"}" + end;
        std::string line(size, ' ');
        line.front() = '{';
        line.replace(size - tail.size(), tail.size(), tail);
        return line;
    };
    const std::string next = "{\"daughters\":1,\"estate\":\"8\"}\n";
    const std::string tooLong = "{\"error\": \"line too long (the limit is 1048576 bytes)\"}";
    const std::string divided10 = "\"amount\": \"5\"";  // two sons, 10
    struct Case {
        const char* what;
        std::string input;
        int status;
        std::vector<std::string> lines;  // what each output line holds
    };
    const Case cases[] = {
        {"exactly the limit", padded(cli::kMaxLineBytes) + "\n" + next, 0, {divided10, "\"amount\": \"8\""}},
        {"the limit and a CR", padded(cli::kMaxLineBytes + 1, "\r") + "\n" + next, 0, {divided10, "\"amount\": \"8\""}},
        {"one byte over", padded(cli::kMaxLineBytes + 1) + "\n" + next, 1, {tooLong, "\"amount\": \"8\""}},
        {"one byte over before a CR", padded(cli::kMaxLineBytes + 2, "\r") + "\n" + next, 1,
         {tooLong, "\"amount\": \"8\""}},
        {"five times the limit", padded(5 * cli::kMaxLineBytes) + "\n" + next, 1, {tooLong, "\"amount\": \"8\""}},
        {"two long lines in a row", padded(2 * cli::kMaxLineBytes) + "\n" + padded(3 * cli::kMaxLineBytes) + "\n" + next, 1,
         {tooLong, tooLong, "\"amount\": \"8\""}},
        {"a long last line without a line end", next + padded(2 * cli::kMaxLineBytes), 1,
         {"\"amount\": \"8\"", tooLong}},
        {"the limit as the last line without a line end", next + padded(cli::kMaxLineBytes), 0,
         {"\"amount\": \"8\"", divided10}},
    };
    for (const Case& k : cases) {
        auto [status, out] = runStream(k.input);
        EXPECT_EQ(status, k.status) << k.what;
        std::istringstream lines(out);
        std::string line;
        std::size_t i = 0;
        for (; std::getline(lines, line); ++i) {
            ASSERT_LT(i, k.lines.size()) << k.what << ": extra output " << line.substr(0, 200);
            EXPECT_NE(line.find(k.lines[i]), std::string::npos) << k.what << ": line " << i << " is "
                                                                << line.substr(0, 200);
        }
        EXPECT_EQ(i, k.lines.size()) << k.what;
    }
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

// However many threads divide a stream, the output is the same bytes in
// the same order and the exit status the same: lines divided, refused, too
// long, blank, with a CR, with details, an heir not yet known or later
// deaths, across the batches handed to the threads, and a last line
// without a line end.
TEST(CliStream, AnyNumberOfJobsWritesTheSameBytes)
{
    std::string input;
    for (int i = 0; i < 5000; ++i) {
        switch (i % 11) {
        case 0: input += "not json\n"; break;
        case 1: input += "{\"sons\": 1, \"cousins\": 2}\r\n"; break;
        case 2: input += "\n"; break;
        case 3:
            input += "{\"spouse\": true, \"daughters\": 1, \"unborn\": \"child\", "
                     "\"estate\": \"" + std::to_string(2400 + i) + "\"}\n";
            break;
        case 4:
            input += "{\"deceased\": \"woman\", \"estate\": \"129600\", \"mother\": true, \"sons\": 3, "
                     "\"laterDeaths\": [{\"heir\": \"sons\", \"case\": {\"fullBrothers\": 2}, "
                     "\"same\": {\"fullBrothers\": \"sons\"}}]}\n";
            break;
        case 5:
            input += "{\"sons\": 2, \"estate\": \"90\", \"details\": {\"name\": \"x\", "
                     "\"heirNames\": {\"sons\": [\"a\", \"b\"]}}}\n";
            break;
        default:
            input += "{\"daughters\":" + std::to_string(1 + i % 4) + ",\"mother\":true,\"estate\":\"" +
                     std::to_string(i * 37 + 1) + "\"}\n";
        }
        if (i == 1234 || i == 4321)
            input += "{" + std::string(cli::kMaxLineBytes + 5, ' ') + "}\n";
    }
    input += "{\"sons\":3,\"estate\":\"9\"}";
    for (const bool explain : {false, true}) {
        cli::Options one;
        one.explain = explain;
        const auto [status, expected] = runStream(input, one);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 5000 + 2 + 1);
        for (const unsigned jobs : {2u, 3u, 8u, 0u}) {
            cli::Options options = one;
            options.jobs = jobs;
            const auto [jobsStatus, output] = runStream(input, options);
            EXPECT_EQ(jobsStatus, status) << jobs << " jobs";
            EXPECT_TRUE(output == expected) << jobs << " jobs, explain " << explain;
        }
    }
    cli::Options jobs;
    jobs.jobs = 4;
    EXPECT_EQ(runStream("", jobs), std::make_pair(0, std::string()));
    EXPECT_EQ(runStream("{\"sons\":1,\"estate\":\"5\"}", jobs), runStream("{\"sons\":1,\"estate\":\"5\"}"));
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

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs qismar-cli with its standard input read from `inputPath` and its
// standard output written to `outputPath`, or, when `outputPath` is empty, to
// a pipe whose reading end is already closed.
Outcome spawnProgram(const std::vector<std::string>& args, const std::string& inputPath,
                     const std::string& outputPath)
{
    const std::string base = ::testing::TempDir() + "qismar_cli_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                             std::to_string(getpid());
    const std::string outPath = outputPath.empty() ? "" : outputPath == "-" ? base + ".out" : outputPath;
    const std::string errPath = base + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
    int pipeEnds[2] = {-1, -1};
    if (outPath.empty()) {
        EXPECT_EQ(pipe(pipeEnds), 0);
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(QISMAR_CLI_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Outcome result;
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, QISMAR_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[1] >= 0)
        close(pipeEnds[1]);
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (outputPath == "-") {
        result.out = readAll(outPath);
        std::remove(outPath.c_str());
    }
    result.err = readAll(errPath);
    std::remove(errPath.c_str());
    return result;
}

TEST(CliProgram, ReadAndWriteFailuresEndWithStatus2AndOneLineSayingWhat)
{
    const std::string input = ::testing::TempDir() + "qismar_cli_failures_" + std::to_string(getpid()) + ".jsonl";
    std::ofstream(input) << "{\"sons\":1,\"estate\":\"5\"}\n";
    struct Case {
        const char* what;
        std::string inputPath;
        std::string outputPath;  // empty: a pipe nobody reads
        std::string message;
    };
    const Case cases[] = {
        {"a full disk", input, "/dev/full", "qismar-cli: cannot write the results: No space left on device\n"},
        {"a closed pipe", input, "", "qismar-cli: cannot write the results: Broken pipe\n"},
        {"a folder as the input", "/", "/dev/null", "qismar-cli: cannot read the cases: Is a directory\n"},
    };
    for (const Case& k : cases) {
        const Outcome r = spawnProgram({}, k.inputPath, k.outputPath);
        EXPECT_EQ(r.status, 2) << k.what;
        EXPECT_EQ(r.err, k.message) << k.what;
    }
    std::remove(input.c_str());
}

TEST(CliProgram, VersionHelpAndUnknownOptions)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;        // exactly, or
        std::string outHolds;   // a part of it
        std::string errHolds;
    };
    const Case cases[] = {
        {{"--version"}, 0, "qismar-cli " QISMAR_VERSION "\n", "", ""},
        {{"--help"}, 0, "", "Exit status: 0 when every case was divided, 1 when any line or file gave an error,\n2 when", ""},
        {{"-h"}, 0, "", "usage: qismar-cli", ""},
        {{"--bogus"}, 2, "", "", "usage: qismar-cli"},
    };
    for (const Case& k : cases) {
        const Outcome r = spawnProgram(k.args, "/dev/null", "-");
        EXPECT_EQ(r.status, k.status) << k.args[0];
        if (!k.out.empty()) {
            EXPECT_EQ(r.out, k.out) << k.args[0];
        }
        EXPECT_NE(r.out.find(k.outHolds), std::string::npos) << k.args[0] << ": " << r.out;
        EXPECT_NE(r.err.find(k.errHolds), std::string::npos) << k.args[0] << ": " << r.err;
        if (k.errHolds.empty()) {
            EXPECT_EQ(r.err, "") << k.args[0];
        }
    }
    // The version is the project's, in the form major.minor.patch.
    EXPECT_TRUE(std::string_view(QISMAR_VERSION).find_first_not_of("0123456789.") == std::string_view::npos &&
                std::count(QISMAR_VERSION, QISMAR_VERSION + sizeof QISMAR_VERSION, '.') == 2)
        << QISMAR_VERSION;
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

// The manual page's table of keys and heirs is the one the program writes.
TEST(CliProgram, TheManualPageListsEveryKeyAndHeir)
{
    std::ifstream page(QISMAR_MANUAL_PAGE);
    ASSERT_TRUE(page) << QISMAR_MANUAL_PAGE;
    std::vector<std::pair<std::string, std::string>> listed;
    std::string line;
    bool inTable = false;
    while (std::getline(page, line)) {
        if (line.rfind(".ta ", 0) == 0) {
            inTable = true;
        } else if (inTable && line == ".fi") {
            break;
        } else if (inTable) {
            const std::size_t tab = line.find('\t');
            const std::size_t second = line.find('\t', tab + 1);
            ASSERT_NE(second, std::string::npos) << line;
            listed.emplace_back(line.substr(0, tab), line.substr(tab + 1, second - tab - 1));
        }
    }
    ASSERT_EQ(listed.size(), std::size_t(qismar::kHeirCount));
    for (int i = 0; i < qismar::kHeirCount; ++i) {
        const qismar::HeirInfo& heir = qismar::heirInfo(qismar::heirAt(i));
        EXPECT_EQ(listed[std::size_t(i)].first, heir.key) << i;
        EXPECT_EQ(listed[std::size_t(i)].second, heir.name) << i;
    }
}

TEST(CliExplain, TheExplanationFollowsTheResult)
{
    // Husband, mother and two full sisters: a half, a sixth and two thirds of
    // 6 raised to 8.
    cli::Options options;
    options.explain = true;
    std::string out;
    ASSERT_TRUE(cli::processLine(R"({"deceased":"woman","spouse":true,"mother":true,"fullSisters":2,"estate":"24000"})",
                                 out, options));
    EXPECT_EQ(out,
              R"({"outcome": "divided", "base": 32, "rows": [{"key": "n1", "heir": "husband", "amount": "9000", "percent": "%37.5"}, )"
              R"({"key": "n4", "heir": "mother", "amount": "3000", "percent": "%12.5"}, {"key": "n10", "heir": "fullSisters", "amount": "6000", "percent": "%25"}], )"
              R"("explain": {"origin": 6, "awl": 8, "radd": null, "raddTable": null, "multiplier": 1, "correction": 8, )"
              R"("reducedBy": null, "shareValue": "3000", "undistributed": null, "sentences": [)"
              R"("أصل المسألة 6، وهو أصغر عدد تخرج منه فروض أصحاب الفروض", )"
              R"("زادت الفروض على أصل المسألة فعالت من 6 إلى 8، فنقص نصيب كل صاحب فرض بنسبة فرضه", )"
              R"("انقسمت سهام كل فريق على رؤوسه، فصحت المسألة من 8", )"
              R"("قيمة السهم 3000، وهي التركة المقسومة 24000 على 8، ونصيب كل فرد عدد سهامه في قيمة السهم"], "heirs": [)"
              R"({"key": "n1", "heir": "husband", "status": "fixed", "share": "1/2", "fraction": "3/8", "classFraction": "3/8", )"
              R"("originShares": 3, "shares": 3, "excludedBy": [], "reason": "للزوج النصف لعدم وجود الفرع الوارث، ونقص نصيبه بالعول"}, )"
              R"({"key": "n4", "heir": "mother", "status": "fixed", "share": "1/6", "fraction": "1/8", "classFraction": "1/8", )"
              R"("originShares": 1, "shares": 1, "excludedBy": [], "reason": "للأم السدس لوجود اثنين فأكثر من الإخوة، ونقص نصيبها بالعول"}, )"
              R"({"key": "n10", "heir": "fullSisters", "status": "fixed", "share": "2/3", "fraction": "1/4", "classFraction": "1/2", )"
              R"("originShares": 4, "shares": 2, "excludedBy": [], "reason": "للأختين الشقيقتين الثلثان تقتسمانهما بالتساوي لتعددهما وعدم )"
              R"(وجود الفرع الوارث والأب والأخ الشقيق الذي يعصبهما، ونقص نصيبهما بالعول"}]}})"
              "\n");

    // An exclusion, the remainder a spouse leaves, the radd table beside a
    // spouse, the 'umariyya's share and a reduction.
    const struct {
        const char* line;
        const char* holds;
    } cases[] = {
        {R"({"father":true,"fullBrothers":1,"estate":"100"})",
         R"({"key": "n9", "heir": "fullBrothers", "status": "excluded", "share": null, "fraction": "0", "classFraction": "0", )"
         R"("originShares": 0, "shares": 0, "excludedBy": ["n3"], "reason": "محجوب بالأب"})"},
        {R"({"deceased":"woman","spouse":true,"estate":"24000"})",
         R"("undistributed": {"amount": "12000", "percent": "%50"}, "explain": {"origin": 2, "awl": null, "radd": null, )"
         R"("raddTable": null, "multiplier": 1, "correction": 2, "reducedBy": null, "shareValue": "12000", "undistributed": "1/2")"},
        // Wife 1/8 of 8, the remainder 7; mother 1/6 and daughter 1/2 are 1
        // and 3 of 6, the radd problem 4; 7 and 4 are coprime: 32.
        {R"({"spouse":true,"mother":true,"daughters":1,"estate":"32000"})",
         R"("explain": {"origin": 24, "awl": null, "radd": 4, "raddTable": {"spouseProblem": 8, "spouseShares": 1, )"
         R"("remainder": 7, "raddProblem": 4, "relation": "تباين", "combined": 32}, "multiplier": 1, "correction": 32, )"
         R"("reducedBy": null, "shareValue": "1000")"},
        {R"({"spouse":true,"father":true,"mother":true,"estate":"4000"})",
         R"({"key": "n4", "heir": "mother", "status": "umariyya", "share": "ثلث الباقي", "fraction": "1/4", "classFraction": "1/4", )"
         R"("originShares": 1, "shares": 1)"},
        // Husband 3, father 2 + 1, daughter 6 of 12: all divide by 3.
        {R"({"deceased":"woman","spouse":true,"father":true,"daughters":1,"estate":"12000"})",
         R"("multiplier": 1, "correction": 12, "reducedBy": 3, "shareValue": "1000")"},
        // Nothing divided: no explanation.
        {R"({"estate":"1000"})", R"({"outcome": "no_heirs", "base": 23, "rows": [], "explain": null})"},
        {R"({"estate":"0"})", R"({"outcome": "no_estate", "rows": [], "explain": null})"},
    };
    for (const auto& k : cases) {
        out.clear();
        cli::processLine(k.line, out, options);
        EXPECT_NE(out.find(k.holds), std::string::npos) << k.line << " -> " << out;
    }
}

TEST(CliExplain, EveryNumberFractionAndTextIsWrittenWhole)
{
    // Small numbers and fractions are written from tables: the edges of
    // each and absent values; and texts of many lengths, some long enough
    // to make the room of the object grow while it is written.
    const std::optional<std::int64_t> numbers[] = {0, 9, 10, 99, 100, 101, -1, -99, 1234567, INT64_MAX, INT64_MIN,
                                                   std::nullopt};
    const std::optional<Rational> fractions[] = {Rational(0),           Rational(1),           Rational::of(1, 2),
                                                 Rational::of(30, 31),  Rational::of(31, 30),  Rational::of(1, 32),
                                                 Rational::of(32, 33),  Rational(31),          Rational(32),
                                                 Rational::of(-1, 2),   Rational::of(-31, 30), Rational::of(1000003, 7),
                                                 Rational(INT64_MAX),   std::nullopt};
    const std::size_t lengths[] = {0, 1, 2, 15, 16, 17, 31, 32, 33, 100, 159, 160, 161, 175, 176, 177, 300, 1000, 5000};
    const auto textOf = [](std::size_t length, char first) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += char(first + i % 23);
        return text;
    };
    const auto fractionJson = [](const std::optional<Rational>& f) {
        if (!f)
            return json(nullptr);
        const auto num = static_cast<std::int64_t>(f->num());
        const auto den = static_cast<std::int64_t>(f->den());
        return json(den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den));
    };

    Explanation e;
    e.exact = true;
    json sentences = json::array();
    for (const std::size_t length : lengths) {
        e.sentences.push_back(textOf(length, 'a'));
        sentences.push_back(e.sentences.back());
    }
    std::size_t k = 0;
    for (const auto& number : numbers) {
        for (const auto& fraction : fractions) {
            HeirExplanation h;
            h.row = heirAt(int(k % kHeirCount));
            h.status = fraction ? HeirStatus::Fixed : HeirStatus::Residue;
            h.share = fraction;
            h.fraction = fraction.value_or(Rational(0));
            h.classFraction = h.fraction;
            h.originShares = number;
            h.shares = number;
            for (std::size_t i = 0; i < k % 3; ++i)
                h.excludedBy.push_back(heirAt(int((k + i) % kHeirCount)));
            h.reason = textOf(lengths[k % std::size(lengths)], 'A');
            e.heirs.push_back(h);
            ++k;
        }
    }
    for (std::size_t i = 0; i < std::max(std::size(numbers), std::size(fractions)); ++i) {
        const auto& number = numbers[i % std::size(numbers)];
        const auto& fraction = fractions[i % std::size(fractions)];
        e.origin = number.value_or(0);
        e.awl = number;
        e.multiplier = number;
        e.undistributed = fraction;
        std::string out;
        cli::appendExplanation(&e, out);
        const json j = json::parse(out);
        EXPECT_EQ(j["origin"], json(e.origin));
        EXPECT_EQ(j["awl"], number ? json(*number) : json(nullptr));
        EXPECT_EQ(j["multiplier"], j["awl"]);
        EXPECT_EQ(j["undistributed"], fractionJson(fraction));
        EXPECT_EQ(j["sentences"], sentences);
        ASSERT_EQ(j["heirs"].size(), e.heirs.size());
        for (std::size_t r = 0; r < e.heirs.size(); ++r) {
            const HeirExplanation& h = e.heirs[r];
            const json& o = j["heirs"][r];
            EXPECT_EQ(o["key"], std::string(heirInfo(h.row).key));
            EXPECT_EQ(o["share"], fractionJson(h.share)) << r;
            EXPECT_EQ(o["fraction"], fractionJson(h.fraction)) << r;
            EXPECT_EQ(o["originShares"], h.originShares ? json(*h.originShares) : json(nullptr)) << r;
            EXPECT_EQ(o["shares"], o["originShares"]) << r;
            EXPECT_EQ(o["excludedBy"].size(), h.excludedBy.size()) << r;
            EXPECT_EQ(o["reason"], h.reason) << r;
        }
    }
}

TEST(CliExplain, TheProgramExplainsEveryWorkedExampleAndNothingElseChanges)
{
    std::ifstream cases(QISMAR_TEST_DATA "/worked_examples.jsonl");
    std::string input, line;
    while (std::getline(cases, line))
        input += line + "\n";
    std::string plain, explained;
    const int plainStatus = runProgram(input, plain);
    const std::string path = ::testing::TempDir() + "qismar_cli_explain_" + std::to_string(getpid()) + ".jsonl";
    std::ofstream(path) << input;
    const std::string outPath = path + ".out";
    const Outcome r = spawnProgram({"--explain"}, path, outPath);
    explained = readAll(outPath);
    std::remove(path.c_str());
    std::remove(outPath.c_str());
    EXPECT_EQ(r.status, plainStatus);
    std::istringstream p(plain), e(explained);
    std::string pl, ex;
    int lines = 0;
    while (std::getline(p, pl)) {
        ASSERT_TRUE(std::getline(e, ex));
        ++lines;
        const json plainObject = json::parse(pl);
        json explainedObject = json::parse(ex);
        ASSERT_TRUE(explainedObject.contains("explain")) << ex;
        const json explanation = explainedObject["explain"];
        explainedObject.erase("explain");
        // The result is the plain result; the explanation has an entry for
        // each of its rows, in order.
        EXPECT_EQ(explainedObject, plainObject) << pl;
        if (plainObject["outcome"] == "divided") {
            ASSERT_TRUE(explanation.is_object()) << ex;
            ASSERT_EQ(explanation["heirs"].size(), plainObject["rows"].size()) << ex;
            for (std::size_t i = 0; i < plainObject["rows"].size(); ++i) {
                EXPECT_EQ(explanation["heirs"][i]["key"], plainObject["rows"][i]["key"]) << ex;
                EXPECT_EQ(explanation["heirs"][i]["heir"], plainObject["rows"][i]["heir"]) << ex;
            }
        }
    }
    EXPECT_GT(lines, 40);
}

TEST(CliPreparation, CostsDebtsAndBequestsBeforeTheDivision)
{
    const struct {
        const char* line;
        const char* expected;
    } cases[] = {
        {R"({"sons":1,"estate":"90000","funeral":"3000","debts":27000,"bequests":"30000"})",
         R"({"outcome": "divided", "preparation": {"gross": "90000", "funeral": "3000", "debts": "27000", )"
         R"("bequestsCarriedOut": "20000", "net": "40000"}, "base": 24, "rows": [{"key": "n5", "heir": "sons", "amount": "40000", "percent": "%100"}]})"},
        {R"({"sons":1,"estate":"90000","funeral":"3000","debts":"27000","bequests":"30000","heirsConsent":true})",
         R"({"outcome": "divided", "preparation": {"gross": "90000", "funeral": "3000", "debts": "27000", )"
         R"("bequestsCarriedOut": "30000", "net": "30000"}, "base": 24, "rows": [{"key": "n5", "heir": "sons", "amount": "30000", "percent": "%100"}]})"},
        {R"({"sons":1,"estate":"90000","debts":"100000"})",
         R"({"outcome": "consumed", "preparation": {"gross": "90000", "funeral": "0", "debts": "100000", )"
         R"("bequestsCarriedOut": "0", "net": "0"}})"},
        // Costs and debts whose sum passes the largest amount consume the estate too.
        {R"({"sons":1,"estate":"922337203685477","funeral":"922337203685477","debts":"922337203685477"})",
         R"({"outcome": "consumed", "preparation": {"gross": "922337203685477", "funeral": "922337203685477", )"
         R"("debts": "922337203685477", "bequestsCarriedOut": "0", "net": "0"}})"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(processOne(k.line), std::string(k.expected) + "\n") << k.line;

    const struct {
        const char* line;
        const char* messageContains;
    } errors[] = {
        {R"({"estate":"90000","funeral":"-3"})", "\"funeral\" must be a text of the digits 0 to 9 only"},
        {R"({"estate":"90000","debts":"1.5"})", "\"debts\" must be a text of the digits 0 to 9 only"},
        {R"({"estate":"90000","bequests":true})", "\"bequests\" must be a text of digits or a whole number"},
        {R"({"estate":"90000","heirsConsent":"yes"})", "\"heirsConsent\" must be true or false"},
        {R"({"estate":"90000","debts":"922337203685478"})", "\"debts\" is beyond the range of money amounts"},
    };
    for (const auto& k : errors) {
        bool ok = true;
        const std::string out = processOne(k.line, &ok);
        EXPECT_FALSE(ok) << k.line;
        const json j = json::parse(out);
        ASSERT_TRUE(j.contains("error")) << k.line << " -> " << out;
        EXPECT_NE(j["error"].get<std::string>().find(k.messageContains), std::string::npos) << k.line << " -> " << out;
    }
}

TEST(CliFiles, EachCaseFileIsDividedAsItsLineWouldBeInTheOrderGiven)
{
    const std::string base = ::testing::TempDir() + "qismar_cli_files_" + std::to_string(getpid()) + "_";
    const struct {
        std::string name;
        std::string content;
    } files[] = {
        {"husband.qismar", "{\"format\": 1, \"deceased\": \"woman\", \"estate\": \"28000\", \"spouse\": true, "
                           "\"fullSisters\": 2}\n"},
        {"prepared.qismar", "{\n  \"sons\": 1,\n  \"estate\": \"90000\",\n  \"funeral\": \"3000\",\n"
                            "  \"debts\": 27000,\n  \"bequests\": \"30000\"\n}\n"},
        {"daughter.qismar", "{\"daughters\": 1, \"estate\": 8}"},
        {"bad.qismar", "{\"sons\": 1, \"cousins\": 2}"},
        {"future.qismar", "{\"format\": 2, \"sons\": 1}"},
        // A case that reads well but that the engine refuses to divide.
        {"tiny.qismar", "{\"estate\": \"1\", \"sons\": 1000}"},
    };
    for (const auto& f : files)
        std::ofstream(base + f.name, std::ios::binary) << f.content;
    // What qismar-cli answers for each file's content given as one line.
    const auto asLine = [&](std::size_t i, bool explain) {
        std::string line = files[i].content;
        std::replace(line.begin(), line.end(), '\n', ' ');
        cli::Options options;
        options.explain = explain;
        std::string out;
        cli::processLine(line, out, options);
        return out;
    };
    const std::string missing = base + "missing.qismar";

    Outcome r = spawnProgram({base + files[0].name, base + files[1].name}, "/dev/null", "-");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, asLine(0, false) + asLine(1, false));
    EXPECT_NE(r.out.find("\"preparation\": {\"gross\": \"90000\""), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");

    r = spawnProgram({"--explain", base + files[1].name, "--", base + files[2].name}, "/dev/null", "-");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, asLine(1, true) + asLine(2, true));
    EXPECT_NE(r.out.find("\"explain\": {"), std::string::npos) << r.out;

    // A file that is missing, not a case or a case that cannot be divided
    // gives its error line, naming the file; the others are still divided,
    // and the status says one failed.
    r = spawnProgram({base + files[0].name, missing, base + files[3].name, base + files[4].name, "/",
                      base + files[2].name, base + files[5].name},
                     "/dev/null", "-");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    std::istringstream lines(r.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line + "\n");
    ASSERT_EQ(got.size(), 7u) << r.out;
    EXPECT_EQ(got[0], asLine(0, false));
    EXPECT_EQ(json::parse(got[1])["error"], missing + ": cannot open the file: No such file or directory");
    EXPECT_EQ(json::parse(got[2])["error"], base + files[3].name + ": unknown field \"cousins\"");
    EXPECT_EQ(json::parse(got[3])["error"],
              base + files[4].name + ": the case is written in format 2; this program reads format 1 only");
    EXPECT_EQ(json::parse(got[4])["error"], "/: a folder, not a case file");
    EXPECT_EQ(got[5], asLine(2, false));
    const std::string engineError = json::parse(asLine(5, false))["error"];
    EXPECT_NE(engineError.find("too small"), std::string::npos) << engineError;
    EXPECT_EQ(json::parse(got[6])["error"], base + files[5].name + ": " + engineError);

    // Results that cannot be written end with status 2, as for lines.
    r = spawnProgram({base + files[0].name}, "/dev/null", "/dev/full");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "qismar-cli: cannot write the results: No space left on device\n");

    for (const auto& f : files)
        std::remove((base + f.name).c_str());
}

}  // namespace

namespace {

// The amount each row of a result list gives, by the row's heir name.
std::map<std::string, std::string> amountsOf(const json& rows)
{
    std::map<std::string, std::string> out;
    for (const json& row : rows)
        out[row["heir"].get<std::string>()] = row["amount"].get<std::string>();
    return out;
}

// A man leaves his father, his mother and two sons (72000: 12000, 12000,
// 24000 each); a son dies leaving his wife, his grandfather (the father),
// his grandmother (the mother) and a son: 24 = 3, 4, 4, 13 of his 24000.
// Worked by hand: s = 2, c2 = 24, g = 2, the combined origin 72.
const std::string kSuccessive =
    R"({"deceased":"man","estate":"72000","father":true,"mother":true,"sons":2,"laterDeaths":[)"
    R"({"heir":"sons","case":{"spouse":true,"grandfather":true,"fathersMother":true,"sons":1},)"
    R"("same":{"grandfather":"father","fathersMother":"mother"}}]})";

json parsedLine(const std::string& out)
{
    EXPECT_TRUE(out.ends_with("\n"));
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
    return json::parse(out);
}

}  // namespace

// Worked by hand. A man leaves his pregnant wife, a daughter, his father and
// his mother; 21 600.
//  - stillborn: wife 1/8 = 2 700, daughter 1/2 = 10 800, mother 1/6 =
//    3 600, father 1/6 and the residue 1/24 = 4 500;
//  - a boy: wife 2 700, mother 3 600, father 3 600, the remaining 13/24
//    two to one: son 7 800, daughter 3 900;
//  - a girl: two daughters 2/3, with 1/8 + 1/6 + 1/6 the problem of 24
//    rises to 27: wife 3/27 = 2 400, each parent 4/27 = 3 200, each
//    daughter 8/27 = 6 400.
// Paid now, the least of each: wife 2 400, daughter 3 900, mother 3 200,
// father 3 200 (12 700); reserved 8 900, that is 89/216 of the estate.
// A man leaves his wife, two sons (one missing) and a daughter; 24 000.
// Alive: wife 3 000, each son 8 400, the daughter 4 200; dead: wife 3 000,
// the son 14 000, the daughter 7 000. Paid now: wife 3 000, the son who is
// present 8 400, the daughter 4 200; reserved the missing son's 8 400.
TEST(CliUncertain, PaidNowTheReserveAndEveryOutcome)
{
    const struct {
        const char* line;
        std::map<std::string, std::string> now;
        const char* reserve;  // nullptr: none
        std::vector<std::string> outcomes;
        std::map<std::string, std::string> lastOutcome;
    } cases[] = {
        {R"({"deceased":"man","estate":"21600","spouse":true,"daughters":1,"father":true,"mother":true,"unborn":"child"})",
         {{"wives", "2400"}, {"daughters", "3900"}, {"mother", "3200"}, {"father", "3200"}},
         "8900",
         {"stillborn", "boy", "girl"},
         {{"wives", "2400"}, {"daughters", "6400"}, {"mother", "3200"}, {"father", "3200"}}},
        {R"({"estate":"24000","spouse":true,"sons":2,"daughters":1,"missing":"sons"})",
         {{"wives", "3000"}, {"sons", "8400"}, {"daughters", "4200"}},
         "8400",
         {"alive", "dead"},
         {{"wives", "3000"}, {"sons", "14000"}, {"daughters", "7000"}}},
        // A son, a daughter and a child of undetermined sex; 12 000. As a
        // male: 2 + 1 + 2 parts, 4 800 each male; as a female: 2 + 1 + 1,
        // 6 000 and 3 000 each. The lesser is the female's: that division.
        {R"({"estate":"12000","sons":1,"daughters":1,"undeterminedSex":"children"})",
         {{"sons", "6000"}, {"daughters", "3000"}},
         nullptr,
         {"male", "female"},
         {{"sons", "6000"}, {"daughters", "3000"}}},
    };
    for (const auto& k : cases) {
        bool ok = false;
        const std::string out = processOne(k.line, &ok);
        ASSERT_TRUE(ok) << k.line << " -> " << out;
        const json j = json::parse(out);
        EXPECT_EQ(j["outcome"], "divided") << out;
        EXPECT_EQ(amountsOf(j["rows"]), k.now) << out;
        if (k.reserve)
            EXPECT_EQ(j["reserve"]["amount"], k.reserve) << out;
        else
            EXPECT_FALSE(j.contains("reserve")) << out;
        std::vector<std::string> names;
        for (const json& o : j["outcomes"])
            names.push_back(o["name"]);
        EXPECT_EQ(names, k.outcomes) << out;
        EXPECT_EQ(amountsOf(j["outcomes"].back()["rows"]), k.lastOutcome) << out;
        EXPECT_FALSE(j.contains("fractions")) << out;
    }
}

TEST(CliUncertain, ExplainedEachOutcomeAndTheExactFractionsOfWhatIsPaidAndReserved)
{
    const std::string out = processOne(
        R"({"deceased":"man","estate":"21600","spouse":true,"daughters":1,"father":true,"mother":true,"unborn":"child"})");
    std::string explained;
    ASSERT_TRUE(cli::processLine(
        R"({"deceased":"man","estate":"21600","spouse":true,"daughters":1,"father":true,"mother":true,"unborn":"child"})",
        explained, {.explain = true}));
    const json plain = json::parse(out);
    json j = json::parse(explained);
    // 2 400 / 21 600 = 1/9; 3 900 / 21 600 = 13/72; 3 200 / 21 600 = 4/27.
    std::map<std::string, std::string> fractions;
    for (const json& row : j["fractions"]["rows"])
        fractions[row["heir"]] = row["fraction"];
    EXPECT_EQ(fractions, (std::map<std::string, std::string>{
                             {"wives", "1/9"}, {"daughters", "13/72"}, {"mother", "4/27"}, {"father", "4/27"}}));
    EXPECT_EQ(j["fractions"]["reserve"], "89/216");
    ASSERT_EQ(j["outcomes"].size(), 3u);
    // The girl's outcome: the problem of 24 rose to 27.
    EXPECT_TRUE(j["outcomes"][2]["explain"].is_object()) << explained;
    EXPECT_EQ(j["outcomes"][2]["explain"]["awl"], 27) << explained;
    // Besides the explanations, the same object as without them.
    j.erase("fractions");
    for (json& o : j["outcomes"])
        o.erase("explain");
    EXPECT_EQ(j, plain);
}

TEST(CliUncertain, ImpossibleRelationsAndWrongFieldsAreRefusedNamingWhatIsWrong)
{
    const struct {
        const char* line;
        const char* messageContains;
    } cases[] = {
        {R"({"deceased":"woman","estate":"100","spouse":true,"unborn":"child"})", "deceased woman"},
        {R"({"estate":"100","father":true,"sons":1,"unborn":"fullSibling"})", "father is alive"},
        {R"({"estate":"100","fullUncles":1,"unborn":"uterineSibling"})", "needs the mother"},
        {R"({"estate":"100","daughters":1,"missing":"sons"})", "not in the case"},
        {R"({"estate":"100","sons":1,"missing":"sons","unborn":"child"})", "one uncertain heir at most"},
        {R"({"estate":"100","sons":1,"unborn":"grandson"})", "\"unborn\" must be one of \"child\", \"sonsChild\""},
        {R"({"estate":"100","sons":1,"undeterminedSex":"uterineSiblings"})", "\"undeterminedSex\" must be one of"},
        {R"({"estate":"100","sons":1,"missing":"cousins"})", "\"missing\" must name the field of a relative"},
        {R"({"estate":"100","sons":1,"missing":1})", "\"missing\" must name the field of a relative"},
    };
    for (const auto& k : cases) {
        bool ok = true;
        const std::string out = processOne(k.line, &ok);
        EXPECT_FALSE(ok) << k.line;
        const json j = json::parse(out);
        ASSERT_TRUE(j.contains("error")) << k.line << " -> " << out;
        EXPECT_NE(j["error"].get<std::string>().find(k.messageContains), std::string::npos) << k.line << " -> " << out;
    }
}

TEST(CliLaterDeaths, EachProblemAsItsOwnCaseThenTheCombinedTable)
{
    for (const bool explain : {false, true}) {
        SCOPED_TRACE(explain ? "--explain" : "plain");
        cli::Options options;
        options.explain = explain;
        std::string out;
        ASSERT_TRUE(cli::processLine(kSuccessive, out, options)) << out;
        const json j = parsedLine(out);
        ASSERT_EQ(j["problems"].size(), 2u) << out;
        // Each problem is what qismar-cli prints for that case alone.
        std::string first, second;
        cli::processLine(R"({"deceased":"man","estate":"72000","father":true,"mother":true,"sons":2})", first, options);
        cli::processLine(R"({"deceased":"man","estate":"24000","spouse":true,"grandfather":true,"fathersMother":true,"sons":1})",
                         second, options);
        EXPECT_EQ(j["problems"][0], json::parse(first));
        EXPECT_EQ(j["problems"][1], json::parse(second));

        const json& c = j["combined"];
        EXPECT_EQ(c["origin"], 72);
        EXPECT_TRUE(c["reduced"].is_null());
        const json expected = json::parse(R"([
            {"of": [{"problem": 1, "key": "n3"}, {"problem": 2, "key": "n11"}], "heads": 1, "shares": 16,
             "fraction": "2/9", "amount": "16000", "percent": "%22.2222"},
            {"of": [{"problem": 1, "key": "n4"}, {"problem": 2, "key": "n14"}], "heads": 1, "shares": 16,
             "fraction": "2/9", "amount": "16000", "percent": "%22.2222"},
            {"of": [{"problem": 1, "key": "n5"}], "heads": 1, "shares": 24, "fraction": "1/3", "amount": "24000",
             "percent": "%33.3333"},
            {"of": [{"problem": 2, "key": "n2"}], "heads": 1, "shares": 3, "fraction": "1/24", "amount": "3000",
             "percent": "%4.1667"},
            {"of": [{"problem": 2, "key": "n5"}], "heads": 1, "shares": 13, "fraction": "13/72", "amount": "13000",
             "percent": "%18.0556"}])");
        EXPECT_EQ(c["persons"], expected);
        EXPECT_EQ(c.contains("explain"), explain);
        if (explain) {
            const json& step = c["explain"]["steps"][0];
            EXPECT_EQ(step["deadShares"], 2);
            EXPECT_EQ(step["correction"], 24);
            EXPECT_EQ(step["gcd"], 2);
            EXPECT_EQ(step["earlierMultiplier"], 12);
            EXPECT_EQ(step["laterMultiplier"], 1);
            EXPECT_EQ(step["origin"], 72);
            EXPECT_FALSE(c["explain"]["sentences"].empty());
        }
    }
}

TEST(CliLaterDeaths, AReducedTableSaysSoAndARefusedProblemIsAnError)
{
    // Two sons and two daughters; a son dies leaving his brother and his two
    // sisters: the combined 12 = 6, 3, 3 reduces by 3 to 4.
    std::string out;
    cli::Options options;
    options.explain = true;
    ASSERT_TRUE(cli::processLine(
        R"({"estate":"6000","sons":2,"daughters":2,"laterDeaths":[{"heir":"sons","case":{"fullBrothers":1,"fullSisters":2},)"
        R"("same":{"fullBrothers":"sons","fullSisters":"daughters"}}]})",
        out, options));
    const json j = parsedLine(out);
    EXPECT_EQ(j["combined"]["origin"], 4);
    EXPECT_EQ(j["combined"]["reduced"], 3);
    EXPECT_NE(j["combined"]["explain"]["sentences"].dump(-1, ' ', false).find("اختُصرت"), std::string::npos);

    const struct {
        std::string line;
        const char* messageContains;
    } refused[] = {
        {R"({"estate":"6000","sons":2,"laterDeaths":[{"heir":"sons","case":{}}]})", "later deceased"},
        {R"({"estate":"6000","sons":2,"laterDeaths":[{"heir":"daughters","case":{"sons":1}}]})", "no head of this class"},
        {R"({"estate":"6000","sons":2,"laterDeaths":[{"heir":"sons","case":{"estate":"5"}}]})",
         "laterDeaths[0].case.estate"},
        {R"({"estate":"1","sons":1000,"laterDeaths":[{"heir":"sons","case":{"sons":1}}]})", "too small"},
        // An heir not yet known and later deaths are not divided together.
        {R"({"estate":"6000","spouse":true,"sons":2,"unborn":"child","laterDeaths":[{"heir":"sons","case":{"sons":1}}]})",
         "cannot have later deaths"},
    };
    for (const auto& r : refused) {
        bool ok = true;
        out = processOne(r.line, &ok);
        EXPECT_FALSE(ok) << r.line;
        const json e = parsedLine(out);
        ASSERT_TRUE(e.contains("error")) << out;
        EXPECT_NE(e["error"].get<std::string>().find(r.messageContains), std::string::npos) << out;
    }
}

TEST(CliLaterDeaths, ACaseFileDividesAsItsLine)
{
    const std::string path = ::testing::TempDir() + "qismar_cli_later_" + std::to_string(getpid()) + ".qismar";
    std::ofstream(path, std::ios::binary) << kSuccessive << "\n";
    std::string fromFile, fromLine;
    EXPECT_TRUE(cli::processFile(path, fromFile));
    cli::processLine(kSuccessive, fromLine);
    EXPECT_EQ(fromFile, fromLine);
    std::remove(path.c_str());
}

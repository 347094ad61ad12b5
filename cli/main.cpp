// qismar-cli: divides estate cases read as JSON Lines on standard input, or
// the case files named on its command line, and writes one result object per
// case on standard output.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/case_json.h"
#include "qismar_version.h"

namespace {

constexpr const char* kUsage =
    "usage: qismar-cli [--explain] [--jobs N] < cases.jsonl > results.jsonl\n"
    "       qismar-cli [--explain] [--] CASE.qismar... > results.jsonl\n"
    "Reads one estate case per line as a JSON object, or the case files named,\n"
    "and writes one result object per line or per file, in the same order.\n"
    "Options: --explain adds the explanation of each division (\"explain\"),\n"
    "--jobs N divides the lines of standard input on N threads (0: one per core;\n"
    "the default is 1), writing the same output in the same order,\n"
    "--help shows this text, --version the version; -- ends the options.\n"
    "Exit status: 0 when every case was divided, 1 when any line or file gave an error,\n"
    "2 when the input could not be read or the results could not be written.\n";

// The most threads that --jobs asks for.
constexpr unsigned kMaxJobs = 1024;

bool readJobs(const char* text, unsigned& jobs)
{
    if (text == nullptr || *text == '\0')
        return false;
    unsigned long value = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > kMaxJobs)
            return false;
    }
    jobs = static_cast<unsigned>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qismar::cli::Options options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (optionsEnded || argv[i][0] != '-') {
            files.emplace_back(argv[i]);
            continue;
        }
        if (std::strcmp(argv[i], "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("qismar-cli " QISMAR_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--jobs") == 0 || std::strncmp(argv[i], "--jobs=", 7) == 0) {
            const char* value = argv[i][6] == '=' ? argv[i] + 7 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!readJobs(value, options.jobs)) {
                std::fprintf(stderr, "qismar-cli: --jobs needs a whole number from 0 to %u, not \"%.40s\"\n", kMaxJobs,
                             value != nullptr ? value : "");
                std::fputs(kUsage, stderr);
                return 2;
            }
            continue;
        }
        if (std::strcmp(argv[i], "--explain") == 0) {
            options.explain = true;
            continue;
        }
        std::fprintf(stderr, "qismar-cli: unknown argument \"%.40s\"\n", argv[i]);
        std::fputs(kUsage, stderr);
        return 2;
    }
    // A reader that goes away (a closed pipe) is an output error like a full
    // disk: reported and ended with status 2, not a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    if (!files.empty())
        return qismar::cli::runFiles(files, stdout, stderr, options);
    return qismar::cli::run(stdin, stdout, stderr, options);
}

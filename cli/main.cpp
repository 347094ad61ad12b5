// qismar-cli: divides estate cases read as JSON Lines on standard input and
// writes one result object per line on standard output.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "case_json.h"
#include "qismar_version.h"

namespace {

constexpr const char* kUsage =
    "usage: qismar-cli [--explain] < cases.jsonl > results.jsonl\n"
    "Reads one estate case per line as a JSON object and writes one result object per line.\n"
    "Options: --explain adds the explanation of each division (\"explain\"),\n"
    "--help shows this text, --version the version.\n"
    "Exit status: 0 when every line was divided, 1 when any line gave an error,\n"
    "2 when the input could not be read or the results could not be written.\n";

}  // namespace

int main(int argc, char** argv)
{
    qismar::cli::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("qismar-cli " QISMAR_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
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
    return qismar::cli::run(stdin, stdout, stderr, options);
}

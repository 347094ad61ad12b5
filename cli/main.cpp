// qismar-cli: divides estate cases read as JSON Lines on standard input and
// writes one result object per line on standard output.
#include <csignal>
#include <cstdio>
#include <cstring>

#include "case_json.h"
#include "qismar_version.h"

int main(int argc, char** argv)
{
    if (argc > 1) {
        if (std::strcmp(argv[1], "--version") == 0) {
            std::puts("qismar-cli " QISMAR_VERSION);
            return 0;
        }
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        std::fputs("usage: qismar-cli < cases.jsonl > results.jsonl\n"
                   "Reads one estate case per line as a JSON object and writes one result object per line.\n"
                   "Options: --help shows this text, --version the version.\n"
                   "Exit status: 0 when every line was divided, 1 when any line gave an error,\n"
                   "2 when the input could not be read or the results could not be written.\n",
                   help ? stdout : stderr);
        return help ? 0 : 2;
    }
    // A reader that goes away (a closed pipe) is an output error like a full
    // disk: reported and ended with status 2, not a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    return qismar::cli::run(stdin, stdout);
}

// qismar-cli: divides estate cases read as JSON Lines on standard input and
// writes one result object per line on standard output.
#include <cstdio>
#include <cstring>

#include "case_json.h"

int main(int argc, char** argv)
{
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        std::fputs("usage: qismar-cli < cases.jsonl > results.jsonl\n"
                   "Reads one estate case per line as a JSON object and writes one result object per line.\n"
                   "Exit status: 0 when every line was divided, 1 when any line gave an error.\n",
                   help ? stdout : stderr);
        return help ? 0 : 2;
    }
    return qismar::cli::run(stdin, stdout);
}

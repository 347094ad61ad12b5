// Qismar: the JSON Lines form of division results used by qismar-cli, over
// the case objects of case_file.h.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "casefile/case_file.h"
#include "engine/division.h"
#include "engine/explanation.h"

namespace qismar::cli {

// The longest input line that is read, without its line end (a CR before the
// line feed is not counted). No valid case comes near it; a longer line gives
// one "line too long" error and is skipped without being held in memory.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// The most bytes of the input that an error message quotes back.
using qismar::kMaxQuotedBytes;

// How each line is answered.
struct Options {
    // Each result object also carries "explain": the explanation of the
    // division (null when there is none).
    bool explain = false;
    // The threads that divide the lines of a stream (run): 0 for one per
    // core, 1 (the default) for none beside the one reading and writing.
    // The output is the same whatever their number.
    unsigned jobs = 1;
};

// Appends the result object of a division to `out` (no line end), with its
// explanation when one is given.
void appendResult(const DivisionResult& result, std::string& out, const Explanation* explanation = nullptr);

// Appends the explanation object of qismar-cli --explain (or null).
void appendExplanation(const Explanation* explanation, std::string& out);

// Appends {"error": "<message>"} to `out` (no line end).
void appendError(std::string_view message, std::string& out);

// Runs one input line through the parser and the engine and appends its
// output object and a line end to `out`. Returns false when the line failed.
bool processLine(std::string_view line, std::string& out, const Options& options = {});

// Reads a case file and appends its output object, as processLine does for
// a line; a file that is not a case, or a case that cannot be divided,
// gives an error object whose message starts with the path. Returns false
// when the file failed.
bool processFile(const std::string& path, std::string& out, const Options& options = {});

// Reads JSON Lines from `in` and writes one object per line to `out`, in
// the order of the lines, on the threads that `options.jobs` asks for.
// Returns the exit status: 0 when every line was divided, 1 when any line
// failed, 2 when reading or writing failed; in that last case one line on
// `diagnostics` says what failed.
int run(std::FILE* in, std::FILE* out, std::FILE* diagnostics = stderr, const Options& options = {});

// Divides case files, one output object per file in the order given.
// Returns 0 when every file was divided, 1 when any file failed (it was
// missing, unreadable or not a case), 2 when writing failed.
int runFiles(const std::vector<std::string>& paths, std::FILE* out, std::FILE* diagnostics = stderr,
             const Options& options = {});

}  // namespace qismar::cli

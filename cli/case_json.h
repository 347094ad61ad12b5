// Qismar: the JSON Lines form of estate cases and division results used by
// qismar-cli.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "division.h"
#include "explanation.h"

namespace qismar::cli {

// The longest input line that is read, without its line end (a CR before the
// line feed is not counted). No valid case comes near it; a longer line gives
// one "line too long" error and is skipped without being held in memory.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// The most bytes of the input that an error message quotes back.
inline constexpr std::size_t kMaxQuotedBytes = 40;

// Reads one case object. On failure returns false and puts a clear message
// in `error`; `out` is then unspecified.
bool parseCase(std::string_view line, EstateCase& out, std::string& error);

// How each line is answered.
struct Options {
    // Each result object also carries "explain": the explanation of the
    // division (null when there is none).
    bool explain = false;
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

// Reads JSON Lines from `in` and writes one object per line to `out`.
// Returns the exit status: 0 when every line was divided, 1 when any line
// failed, 2 when reading or writing failed; in that last case one line on
// `diagnostics` says what failed.
int run(std::FILE* in, std::FILE* out, std::FILE* diagnostics = stderr, const Options& options = {});

}  // namespace qismar::cli

#include "cli/case_json.h"

#include "casefile/case_file.h"
#include "engine/preparation.h"

#include <array>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <nlohmann/json.hpp>

namespace qismar::cli {

namespace {

using json = nlohmann::json;

// Quotes a text as a JSON string; bytes that are not UTF-8 become U+FFFD.
void appendQuoted(std::string_view text, std::string& out)
{
    out += json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

void appendRaw(std::string_view text, std::string& out) { out.append(text.data(), text.size()); }

}  // namespace

void appendResult(const DivisionResult& result, std::string& out, const Explanation* explanation)
{
    out += "{\"outcome\": ";
    switch (result.outcome) {
    case Outcome::Divided: out += "\"divided\""; break;
    case Outcome::NoEstate: out += "\"no_estate\""; break;
    case Outcome::NoHeirs: out += "\"no_heirs\""; break;
    case Outcome::Consumed: out += "\"consumed\""; break;
    }
    char number[kMaxAmountText];
    if (const auto& p = result.preparation) {
        // Before the division, in the order of the law.
        const auto amount = [&](const char* key, Currency value, bool last = false) {
            out += '"';
            out += key;
            out += "\": \"";
            appendRaw({number, formatAmount(value, number)}, out);
            out += last ? "\"}" : "\", ";
        };
        out += ", \"preparation\": {";
        amount("gross", p->gross);
        amount("funeral", p->funeral);
        amount("debts", p->debts);
        amount("bequestsCarriedOut", p->bequestsCarriedOut);
        amount("net", p->net, true);
    }
    if (result.outcome == Outcome::Consumed) {
        if (explanation != nullptr)
            out += ", \"explain\": null";
        out += '}';
        return;
    }
    if (result.outcome == Outcome::NoEstate) {
        out += ", \"rows\": []";
        if (explanation != nullptr) {
            out += ", \"explain\": ";
            appendExplanation(nullptr, out);
        }
        out += '}';
        return;
    }
    out += ", \"base\": ";
    appendRaw({number, formatAmount(result.problemBase, number)}, out);
    out += ", \"rows\": [";
    bool first = true;
    for (int i = 0; i < kHeirCount; ++i) {
        const RowText& row = result.rows[i];
        if (row.isEmpty())
            continue;
        if (!first)
            out += ", ";
        first = false;
        const HeirInfo& heir = heirInfo(heirAt(i));
        out += "{\"key\": \"";
        out += heir.key;
        out += "\", \"heir\": \"";
        out += heir.name;
        out += "\", \"amount\": \"";
        if (row.kind == RowText::Kind::NothingForHim)
            appendRaw(kNothingForHim, out);
        else
            appendRaw({number, formatAmount(row.amount, number)}, out);
        out += "\", \"percent\": ";
        if (const auto& p = result.percentages[i]) {
            out += "\"%";
            appendRaw({number, formatAmount(*p, number)}, out);
            out += '"';
        } else {
            out += "null";
        }
        out += '}';
    }
    out += ']';
    if (result.undistributed) {
        out += ", \"undistributed\": {\"amount\": \"";
        appendRaw({number, formatAmount(*result.undistributed, number)}, out);
        out += "\", \"percent\": \"%";
        appendRaw({number, formatAmount(*result.undistributedPercent, number)}, out);
        out += "\"}";
    }
    if (explanation != nullptr) {
        out += ", \"explain\": ";
        appendExplanation(explanation->exact ? explanation : nullptr, out);
    }
    out += '}';
}

void appendExplanation(const Explanation* e, std::string& out)
{
    using namespace std::string_view_literals;
    if (e == nullptr || !e->exact) {
        out += "null"sv;
        return;
    }
    const auto integer = [&out](std::int64_t v) {
        char digits[24];
        out.append(digits, std::size_t(std::to_chars(digits, digits + sizeof digits, v).ptr - digits));
    };
    const auto number = [&](const std::optional<std::int64_t>& v) {
        if (v)
            integer(*v);
        else
            out += "null"sv;
    };
    const auto fraction = [&out](const Rational* v) {
        if (v == nullptr) {
            out += "null"sv;
            return;
        }
        out += '"';
        v->appendText(out);
        out += '"';
    };
    out.reserve(out.size() + 160 + 360 * e->heirs.size());
    out += "{\"origin\": "sv;
    integer(e->origin);
    out += ", \"awl\": "sv;
    number(e->awl);
    out += ", \"radd\": "sv;
    number(e->radd);
    out += ", \"correction\": "sv;
    number(e->correction);
    out += ", \"undistributed\": "sv;
    fraction(e->undistributed ? &*e->undistributed : nullptr);
    out += ", \"heirs\": ["sv;
    bool first = true;
    for (const HeirExplanation& h : e->heirs) {
        if (!first)
            out += ", "sv;
        first = false;
        out += "{\"key\": \""sv;
        out += heirInfo(h.row).key;
        out += "\", \"heir\": \""sv;
        out += heirInfo(h.row).name;
        out += "\", \"status\": \""sv;
        out += statusKey(h.status);
        out += "\", \"share\": "sv;
        fraction(h.share ? &*h.share : nullptr);
        out += ", \"fraction\": "sv;
        fraction(&h.fraction);
        out += ", \"classFraction\": "sv;
        fraction(&h.classFraction);
        out += ", \"shares\": "sv;
        number(h.shares);
        out += ", \"excludedBy\": ["sv;
        for (std::size_t i = 0; i < h.excludedBy.size(); ++i) {
            if (i > 0)
                out += ", "sv;
            out += '"';
            out += heirInfo(h.excludedBy[i]).key;
            out += '"';
        }
        // The program's own sentences: UTF-8 without quotes, backslashes or
        // control characters, so they stand in JSON as they are.
        out += "], \"reason\": \""sv;
        out += h.reason;
        out += "\"}"sv;
    }
    out += "]}"sv;
}

void appendError(std::string_view message, std::string& out)
{
    out += "{\"error\": ";
    appendQuoted(message, out);
    out += '}';
}

namespace {

// Divides a case that was read and appends its output object and a line
// end. Returns false when the engine refused it; its message then starts
// with `source` (a case file's path) when one is given.
bool processCase(const EstateCase& estateCase, std::string& out, const Options& options,
                 std::string_view source = {})
{
    try {
        if (options.explain) {
            // One explanation for every case, so that its room is reused.
            thread_local Explanation explanation;
            const DivisionResult result = DivideEstate(estateCase, &explanation);
            appendResult(result, out, &explanation);
        } else {
            appendResult(DivideEstate(estateCase), out);
        }
    } catch (const EngineError& e) {
        if (source.empty())
            appendError(e.what(), out);
        else
            appendError(std::string(source) + ": " + e.what(), out);
        out += '\n';
        return false;
    }
    out += '\n';
    return true;
}

}  // namespace

bool processLine(std::string_view line, std::string& out, const Options& options)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    EstateCase estateCase;
    std::string error;
    if (!readCaseObject(line, estateCase, error)) {
        appendError(error, out);
        out += '\n';
        return false;
    }
    return processCase(estateCase, out, options);
}

bool processFile(const std::string& path, std::string& out, const Options& options)
{
    EstateCase estateCase;
    std::string error;
    if (!readCaseFile(path, estateCase, error)) {
        appendError(path + ": " + error, out);
        out += '\n';
        return false;
    }
    return processCase(estateCase, out, options, path);
}

namespace {

// Whether a line (without its line feed) is within the limit; a CR before
// the line feed does not count.
bool withinLimit(std::string_view line)
{
    return line.size() <= kMaxLineBytes || (line.size() == kMaxLineBytes + 1 && line.back() == '\r');
}

void reportFailure(std::FILE* diagnostics, const char* what, int error)
{
    if (diagnostics != nullptr)
        std::fprintf(diagnostics, "qismar-cli: %s: %s\n", what, std::strerror(error));
}

}  // namespace

int run(std::FILE* in, std::FILE* out, std::FILE* diagnostics, const Options& options)
{
    // The start of a line not yet ended: never more than the limit and a CR.
    std::string pending;
    // The current line has passed the limit: the rest of it is skipped.
    bool overlong = false;
    std::string output;
    std::array<char, 1 << 16> chunk;
    bool anyFailed = false;

    const auto endLine = [&](std::string_view line) {
        if (overlong || !withinLimit(line)) {
            appendError("line too long (the limit is " + std::to_string(kMaxLineBytes) + " bytes)", output);
            output += '\n';
            anyFailed = true;
        } else {
            anyFailed |= !processLine(line, output, options);
        }
        overlong = false;
    };
    const auto flush = [&]() {
        if (!output.empty() && std::fwrite(output.data(), 1, output.size(), out) != output.size())
            return false;
        output.clear();
        return true;
    };

    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
        if (got == 0)
            break;
        std::string_view data(chunk.data(), got);
        while (!data.empty()) {
            const std::size_t nl = data.find('\n');
            const std::string_view piece = data.substr(0, nl);
            data.remove_prefix(nl == data.npos ? data.size() : nl + 1);
            if (!overlong && pending.size() + piece.size() > kMaxLineBytes + 1) {
                overlong = true;
                pending.clear();
            }
            if (nl == data.npos) {
                if (!overlong)
                    pending.append(piece);
                break;
            }
            if (overlong || pending.empty()) {
                endLine(piece);
            } else {
                pending.append(piece);
                endLine(pending);
                pending.clear();
            }
        }
        if (output.size() >= (1 << 16) && !flush()) {
            reportFailure(diagnostics, "cannot write the results", errno);
            return 2;
        }
    }
    if (std::ferror(in)) {
        reportFailure(diagnostics, "cannot read the cases", errno);
        return 2;
    }
    if (overlong || !pending.empty())
        endLine(pending);
    if (!flush() || std::fflush(out) != 0) {
        reportFailure(diagnostics, "cannot write the results", errno);
        return 2;
    }
    return anyFailed ? 1 : 0;
}

int runFiles(const std::vector<std::string>& paths, std::FILE* out, std::FILE* diagnostics, const Options& options)
{
    std::string output;
    bool anyFailed = false;
    for (const std::string& path : paths) {
        anyFailed |= !processFile(path, output, options);
        if (std::fwrite(output.data(), 1, output.size(), out) != output.size()) {
            reportFailure(diagnostics, "cannot write the results", errno);
            return 2;
        }
        output.clear();
    }
    if (std::fflush(out) != 0) {
        reportFailure(diagnostics, "cannot write the results", errno);
        return 2;
    }
    return anyFailed ? 1 : 0;
}

}  // namespace qismar::cli

#include "case_json.h"

#include "preparation.h"

#include <array>
#include <charconv>
#include <bitset>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <nlohmann/json.hpp>

namespace qismar::cli {

namespace {

using json = nlohmann::json;

enum class Kind : std::uint8_t { Deceased, Estate, Flag, Count, Wives };

struct Field {
    std::string_view name;
    Kind kind;
    bool EstateCase::*flag = nullptr;
    Currency EstateCase::*count = nullptr;
};

constexpr Field flagField(std::string_view name, bool EstateCase::*member) { return {name, Kind::Flag, member, nullptr}; }
constexpr Field countField(std::string_view name, Currency EstateCase::*member)
{
    return {name, Kind::Count, nullptr, member};
}

constexpr std::array kFields = {
    Field{"deceased", Kind::Deceased},
    Field{"estate", Kind::Estate, nullptr, &EstateCase::estate},
    flagField("father", &EstateCase::father),
    flagField("mother", &EstateCase::mother),
    flagField("spouse", &EstateCase::spouse),
    flagField("grandfather", &EstateCase::grandfather),
    Field{"wives", Kind::Wives, nullptr, &EstateCase::wives},
    countField("sons", &EstateCase::sons),
    countField("daughters", &EstateCase::daughters),
    countField("sonsSons", &EstateCase::sonsSons),
    countField("sonsDaughters", &EstateCase::sonsDaughters),
    countField("sonsSonsSons", &EstateCase::sonsSonsSons),
    countField("sonsSonsDaughters", &EstateCase::sonsSonsDaughters),
    countField("fullSisters", &EstateCase::fullSisters),
    countField("fullBrothers", &EstateCase::fullBrothers),
    countField("paternalBrothers", &EstateCase::paternalBrothers),
    countField("paternalSisters", &EstateCase::paternalSisters),
    countField("uterineSisters", &EstateCase::uterineSisters),
    countField("uterineBrothers", &EstateCase::uterineBrothers),
    countField("fullBrothersSons", &EstateCase::fullBrothersSons),
    countField("paternalBrothersSons", &EstateCase::paternalBrothersSons),
    countField("fullUncles", &EstateCase::fullUncles),
    countField("paternalUncles", &EstateCase::paternalUncles),
    countField("fullUnclesSons", &EstateCase::fullUnclesSons),
    countField("paternalUnclesSons", &EstateCase::paternalUnclesSons),
    flagField("mothersMother", &EstateCase::mothersMother),
    flagField("fathersMother", &EstateCase::fathersMother),
    flagField("mothersMothersMother", &EstateCase::mothersMothersMother),
    flagField("fathersMothersMother", &EstateCase::fathersMothersMother),
    flagField("fathersFathersMother", &EstateCase::fathersFathersMother),
    // The estate's preparation: amounts like the estate, and the consent.
    Field{"funeral", Kind::Estate, nullptr, &EstateCase::funeral},
    Field{"debts", Kind::Estate, nullptr, &EstateCase::debts},
    Field{"bequests", Kind::Estate, nullptr, &EstateCase::bequests},
    flagField("heirsConsent", &EstateCase::heirsConsent),
};

const Field* findField(std::string_view name)
{
    for (const Field& f : kFields)
        if (f.name == name)
            return &f;
    return nullptr;
}

// A text from the input as an error message quotes it: whole when short,
// else its first kMaxQuotedBytes bytes, cut before a character, and "...".
std::string shortened(std::string_view text)
{
    if (text.size() <= kMaxQuotedBytes)
        return std::string(text);
    std::size_t cut = kMaxQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    std::string out(text.substr(0, cut));
    out += "...";
    return out;
}

// The parser's message with the input it quotes ("last read: '...'")
// shortened.
std::string shortenedParseMessage(std::string_view what)
{
    constexpr std::string_view kLastRead = "last read: '";
    const std::size_t start = what.find(kLastRead);
    if (start == what.npos)
        return std::string(what);
    const std::size_t tokenStart = start + kLastRead.size();
    std::size_t tokenEnd = what.rfind("'; expected ");
    if (tokenEnd == what.npos || tokenEnd < tokenStart)
        tokenEnd = what.ends_with('\'') && what.size() > tokenStart ? what.size() - 1 : what.size();
    std::string out(what.substr(0, tokenStart));
    out += shortened(what.substr(tokenStart, tokenEnd - tokenStart));
    out += what.substr(tokenEnd);
    return out;
}

// Quotes a text as a JSON string; bytes that are not UTF-8 become U+FFFD.
void appendQuoted(std::string_view text, std::string& out)
{
    out += json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

// Reads a case from the parser's events straight into the record, without
// building a document: the line must be one object whose members are known
// fields of the right type.
class CaseReader final : public nlohmann::json_sax<json> {
public:
    CaseReader(EstateCase& target, std::string& error) : case_(target), error_(error) {}

    bool null() override { return value(Value::Null); }
    bool boolean(bool v) override
    {
        flagValue_ = v;
        return value(Value::Bool);
    }
    bool number_integer(number_integer_t v) override
    {
        if (v < 0) {
            negative_ = true;
            return value(Value::Integer);
        }
        return number_unsigned(static_cast<number_unsigned_t>(v));
    }
    bool number_unsigned(number_unsigned_t v) override
    {
        negative_ = false;
        integerValue_ = v;
        return value(Value::Integer);
    }
    bool number_float(number_float_t, const string_t&) override { return value(Value::Other); }
    bool string(string_t& v) override
    {
        stringValue_ = &v;
        return value(Value::String);
    }
    bool binary(binary_t&) override { return value(Value::Other); }

    bool start_object(std::size_t) override
    {
        if (depth_++ == 0)
            return true;
        --depth_;
        return value(Value::Other);
    }
    bool end_object() override
    {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override
    {
        if (depth_ == 0)
            return fail("a case must be a JSON object");
        return value(Value::Other);
    }
    bool end_array() override { return true; }

    bool key(string_t& name) override
    {
        field_ = findField(name);
        if (field_ == nullptr) {
            error_ = "unknown field ";
            appendQuoted(shortened(name), error_);
            return false;
        }
        // Only the members of the case object reach here: a nested object
        // is refused as a value before its keys are read.
        const std::size_t index = static_cast<std::size_t>(field_ - kFields.data());
        if (seen_.test(index)) {
            error_ = "duplicate field ";
            appendQuoted(field_->name, error_);
            return false;
        }
        seen_.set(index);
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override
    {
        // Drop the library's "[json.exception.parse_error.101] " prefix.
        std::string_view what = e.what();
        if (const auto close = what.find("] "); what.starts_with("[json.exception") && close != what.npos)
            what.remove_prefix(close + 2);
        error_ = "not valid JSON: ";
        error_ += shortenedParseMessage(what);
        return false;
    }

private:
    enum class Value : std::uint8_t { Null, Bool, Integer, String, Other };

    bool fail(const char* message)
    {
        error_ = message;
        return false;
    }

    bool failField(const char* message)
    {
        error_.clear();
        appendQuoted(field_->name, error_);
        error_ += message;
        return false;
    }

    bool value(Value kind)
    {
        if (depth_ == 0)
            return fail("a case must be a JSON object");
        switch (field_->kind) {
        case Kind::Deceased:
            if (kind == Value::String && *stringValue_ == "man")
                case_.deceased = Deceased::Man;
            else if (kind == Value::String && *stringValue_ == "woman")
                case_.deceased = Deceased::Woman;
            else
                return failField(" must be \"man\" or \"woman\"");
            return true;
        case Kind::Flag:
            if (kind != Value::Bool)
                return failField(" must be true or false");
            case_.*(field_->flag) = flagValue_;
            return true;
        case Kind::Count:
            if (kind != Value::Integer || negative_)
                return failField(" must be a whole number of 0 or more");
            if (integerValue_ > static_cast<std::uint64_t>(kMaxCount))
                return failField(" is beyond the largest count (at most 1000000000 persons)");
            case_.*(field_->count) = Currency::fromWhole(static_cast<std::int64_t>(integerValue_));
            return true;
        case Kind::Wives:
            if (kind != Value::Integer || negative_ || integerValue_ < 1 || integerValue_ > 4)
                return failField(" must be a whole number from 1 to 4");
            case_.wives = Currency::fromWhole(static_cast<std::int64_t>(integerValue_));
            return true;
        case Kind::Estate:
            if (kind == Value::String) {
                try {
                    case_.*(field_->count) = parseDigits(*stringValue_);
                } catch (const EngineError& e) {
                    return failField(e.code() == ErrorCode::OutOfRange
                                         ? " is beyond the range of money amounts (at most 922337203685477)"
                                         : " must be a text of the digits 0 to 9 only");
                }
                return true;
            }
            if (kind != Value::Integer || negative_)
                return failField(" must be a text of digits or a whole number of 0 or more");
            if (integerValue_ > static_cast<std::uint64_t>(Currency::kMaxWhole))
                return failField(" is beyond the range of money amounts (at most 922337203685477)");
            case_.*(field_->count) = Currency::fromWhole(static_cast<std::int64_t>(integerValue_));
            return true;
        }
        return false;
    }

    EstateCase& case_;
    std::string& error_;
    const Field* field_ = nullptr;
    std::bitset<kFields.size()> seen_;
    int depth_ = 0;
    bool flagValue_ = false;
    bool negative_ = false;
    std::uint64_t integerValue_ = 0;
    string_t* stringValue_ = nullptr;
};

void appendRaw(std::string_view text, std::string& out) { out.append(text.data(), text.size()); }

}  // namespace

bool parseCase(std::string_view line, EstateCase& out, std::string& error)
{
    out = EstateCase{};
    error.clear();
    // The parser takes a NUL byte for the end of its input and would ignore
    // whatever follows it; no valid line holds one.
    if (const std::size_t nul = line.find('\0'); nul != line.npos) {
        error = "not valid JSON: a NUL byte at column " + std::to_string(nul + 1);
        return false;
    }
    CaseReader reader(out, error);
    const bool ok = json::sax_parse(line.begin(), line.end(), &reader);
    if (!ok) {
        if (error.empty())
            error = "not a valid case";
        return false;
    }
    try {
        out.deriveEntryWindowState();
    } catch (const EngineError&) {
        error = "the counts add up beyond the range of counts";
        return false;
    }
    return true;
}

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
    for (int i = 0; i < kRowCount; ++i) {
        const RowText& row = result.rows[i];
        if (row.isEmpty())
            continue;
        if (!first)
            out += ", ";
        first = false;
        out += "{\"key\": \"";
        out += rowInfo(rowAt(i)).control;
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
        out += rowInfo(h.row).control;
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
            out += rowInfo(h.excludedBy[i]).control;
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

bool processLine(std::string_view line, std::string& out, const Options& options)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    EstateCase estateCase;
    std::string error;
    bool ok = parseCase(line, estateCase, error);
    if (ok) {
        try {
            if (options.explain) {
                // One explanation for every line, so that its room is reused.
                thread_local Explanation explanation;
                const DivisionResult result = DivideEstate(estateCase, {}, &explanation);
                appendResult(result, out, &explanation);
            } else {
                appendResult(DivideEstate(estateCase), out);
            }
        } catch (const EngineError& e) {
            error = e.what();
            ok = false;
        }
    }
    if (!ok)
        appendError(error, out);
    out += '\n';
    return ok;
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

}  // namespace qismar::cli

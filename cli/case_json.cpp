#include "cli/case_json.h"

#include "casefile/case_file.h"
#include "engine/later_deaths.h"
#include "engine/preparation.h"
#include "engine/uncertain_heir.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>
#include <nlohmann/json.hpp>

namespace qismar::cli {

namespace {

using json = nlohmann::json;

// Quotes a text as a JSON string; bytes that are not UTF-8 become U+FFFD.
void appendQuoted(std::string_view text, std::string& out)
{
    out += json(std::string(text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

// The digits of a number beyond 64 bits, written at `at`; returns their end.
[[gnu::noinline]] char* writeWideInteger(char* at, Rational::Int v)
{
    char digits[40];
    int n = 0;
    const bool negative = v < 0;
    unsigned __int128 m = negative ? 0 - static_cast<unsigned __int128>(v) : static_cast<unsigned __int128>(v);
    while (m != 0) {
        digits[n++] = char('0' + int(m % 10));
        m /= 10;
    }
    if (negative)
        *at++ = '-';
    while (n > 0)
        *at++ = digits[--n];
    return at;
}

// Any 64-bit number, out of line: the few beyond two digits.
[[gnu::noinline]] char* writeAnyInteger(char* at, std::int64_t v)
{
    return std::to_chars(at, at + 20, v).ptr;
}

// A text of the output known in advance, kept in room of a fixed size so
// that it is copied with one copy of that size: what the copy puts past
// the text's end is written over by what follows. A text that is an entry
// of a list starts with the ", " that parts it from the entry before, which
// the first entry leaves out.
template <std::size_t N>
struct FixedText {
    static constexpr std::size_t kRoom = N;
    char bytes[N + 2] = {};
    std::uint8_t size = 0;

    explicit FixedText(std::string_view text = {})
    {
        if (text.size() > N)
            throw std::logic_error("a text of the output is longer than its room");
        if (!text.empty())  // an empty view may hold no pointer at all
            std::memcpy(bytes, text.data(), text.size());
        size = static_cast<std::uint8_t>(text.size());
    }
};

// The fractions of an explanation are nearly all of small terms: each of
// those is written from its text made in advance, quotes included ("5/24",
// "1", "0"), copied whole.
constexpr std::size_t kSmallTerms = 32;
struct SmallFraction {
    char bytes[7] = {};
    std::uint8_t size = 0;
};
static_assert(sizeof(SmallFraction) == 8);
constexpr std::array<SmallFraction, kSmallTerms * kSmallTerms> kSmallFractions = [] {
    std::array<SmallFraction, kSmallTerms * kSmallTerms> fractions{};
    for (std::size_t num = 0; num < kSmallTerms; ++num) {
        for (std::size_t den = 0; den < kSmallTerms; ++den) {
            SmallFraction& f = fractions[num * kSmallTerms + den];
            const auto digits = [&f](std::size_t v) {
                if (v >= 10)
                    f.bytes[f.size++] = char('0' + v / 10);
                f.bytes[f.size++] = char('0' + v % 10);
            };
            f.bytes[f.size++] = '"';
            digits(num);
            if (den != 1) {
                f.bytes[f.size++] = '/';
                digits(den);
            }
            f.bytes[f.size++] = '"';
        }
    }
    return fractions;
}();

// Writes an output object into room reserved for it beforehand (Room): the
// texts of the object are many and short, and copying each straight into
// place is several times quicker than appending each to the string. A
// cursor is passed by value so that its place stays in a register.
class Cursor {
public:
    explicit Cursor(char* at) : at_(at) {}
    char* at() const { return at_; }
    void put(std::string_view text)
    {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }
    void put(char c) { *at_++ = c; }
    // A text known in advance; `skip` leaves out that many of its first bytes.
    template <std::size_t N>
    void put(const FixedText<N>& text, std::size_t skip = 0)
    {
        std::memcpy(at_, text.bytes + skip, N);
        at_ += text.size - skip;
    }
    // An amount, formatted in place.
    void amount(Currency v) { at_ += formatAmount(v, at_); }
    // The program's own sentences: UTF-8 without quotes, backslashes or
    // control characters, so they stand in JSON as they are.
    void quoted(std::string_view text)
    {
        put('"');
        put(text);
        put('"');
    }
    [[gnu::always_inline]] void integer(std::int64_t v)
    {
        // Most numbers of an explanation are below 100.
        if (static_cast<std::uint64_t>(v) < 10) [[likely]] {
            *at_++ = char('0' + v);
        } else if (static_cast<std::uint64_t>(v) < 100) {
            at_[0] = char('0' + v / 10);
            at_[1] = char('0' + v % 10);
            at_ += 2;
        } else {
            at_ = writeAnyInteger(at_, v);
        }
    }
    [[gnu::always_inline]] void integer(Rational::Int v)
    {
        if (fits64(v)) [[likely]]
            integer(std::int64_t(v));
        else
            at_ = writeWideInteger(at_, v);
    }
    [[gnu::always_inline]] void number(const std::optional<std::int64_t>& v)
    {
        if (v)
            integer(*v);
        else
            put("null");
    }
    [[gnu::always_inline]] void fraction(const Rational* v)
    {
        if (v == nullptr) {
            put("null");
            return;
        }
        // Both terms from 0 to kSmallTerms - 1 (a negative one makes the
        // two together negative, and so very large unsigned).
        if (static_cast<unsigned __int128>(v->num() | v->den()) < kSmallTerms) [[likely]] {
            const SmallFraction& text = kSmallFractions[std::size_t(v->num()) * kSmallTerms + std::size_t(v->den())];
            std::memcpy(at_, &text, sizeof text);  // its size too, written over by what follows
            at_ += text.size;
            return;
        }
        put('"');
        integer(v->num());
        if (v->den() != 1) {
            put('/');
            integer(v->den());
        }
        put('"');
    }

    // The most a fraction or a number takes, quotes included.
    static constexpr std::size_t kFraction = 2 * 41 + 3;
    static constexpr std::size_t kNumber = 41;

private:
    char* at_;
};

// Each relative's key and name, the longest of them together.
constexpr std::size_t kLongestKeyAndName = [] {
    std::size_t most = 0;
    for (const HeirInfo& heir : kHeirs)
        most = std::max(most, heir.key.size() + heir.name.size());
    return most;
}();

// What each relative's object starts with, up to the text of the member
// that follows his key and name: , {"key": "n5", "heir": "sons", "<next>": "
using HeirStart = FixedText<(kLongestKeyAndName + 40 + 15) / 16 * 16>;
std::array<HeirStart, kHeirCount> heirStarts(std::string_view next)
{
    std::array<HeirStart, kHeirCount> starts;
    for (const HeirInfo& heir : kHeirs) {
        std::string start = ", {\"key\": \"";
        start += heir.key;
        start += "\", \"heir\": \"";
        start += heir.name;
        start += "\", \"";
        start += next;
        start += "\": \"";
        starts[static_cast<std::size_t>(index(heir.heir))] = HeirStart(start);
    }
    return starts;
}

// Room beyond the most an object takes, for the copies of texts of fixed size.
constexpr std::size_t kCopySlack = HeirStart::kRoom + 2;

// Room of this thread, kept from one object to the next, into which an
// object is written before it is appended to the output in one piece (a
// string made larger would first be filled with zeros).
class Room {
public:
    char* reserve(std::size_t bytes)
    {
        bytes += kCopySlack;
        if (size_ < bytes) [[unlikely]] {
            size_ = std::max(bytes, 2 * size_);
            data_ = std::make_unique<char[]>(size_);
        }
        return data_.get();
    }
    char* data() const { return data_.get(); }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

thread_local Room resultRoom;
thread_local Room explanationRoom;

// The most a row takes: its words, its key and name, and two amounts.
constexpr std::size_t kMostRowBytes = 80 + 2 * kMaxAmountText;

// Each row, up to its amount.
const std::array<HeirStart, kHeirCount> kRowStarts = heirStarts("amount");

// One row that holds something; `skip` leaves out the ", " before the first.
[[gnu::noinline]] char* writeRow(Cursor w, std::size_t i, const RowText& row, const std::optional<Currency>& percentage,
                                 std::size_t skip)
{
    using namespace std::string_view_literals;
    w.put(kRowStarts[i], skip);
    if (row.kind == RowText::Kind::NothingForHim)
        w.put(kNothingForHim);
    else
        w.amount(row.amount);
    if (percentage) {
        w.put("\", \"percent\": \"%"sv);
        w.amount(*percentage);
        w.put("\"}"sv);
    } else {
        w.put("\", \"percent\": null}"sv);
    }
    return w.at();
}

// The rows that hold something, as a JSON list.
Cursor writeRows(Cursor w, const ResultRows& rows, const std::array<std::optional<Currency>, kHeirCount>& percentages)
{
    w.put('[');
    char* const first = w.at();
    // Most rows are empty: the test of each is unrolled, and a row that
    // holds something is written out of line.
#pragma GCC unroll 32
    for (std::size_t i = 0; i < std::size_t(kHeirCount); ++i) {
        if (!rows[i].isEmpty())
            w = Cursor(writeRow(w, i, rows[i], percentages[i], w.at() == first ? 2 : 0));
    }
    w.put(']');
    return w;
}

void appendRows(const ResultRows& rows, const std::array<std::optional<Currency>, kHeirCount>& percentages, std::string& out)
{
    char* const start = resultRoom.reserve(2 + kHeirCount * kMostRowBytes);
    const Cursor w = writeRows(Cursor(start), rows, percentages);
    out.append(start, std::size_t(w.at() - start));
}

// Each relative's entry in the explanation, up to his status.
const std::array<HeirStart, kHeirCount> kHeirStarts = heirStarts("status");

// Each status as an entry writes it, up to its share: fixed", "share":
constexpr std::size_t kStatusCount = static_cast<std::size_t>(HeirStatus::NothingLeft) + 1;
using StatusText = FixedText<32>;
const std::array<StatusText, kStatusCount> kStatusTexts = [] {
    std::array<StatusText, kStatusCount> texts;
    for (std::size_t i = 0; i < kStatusCount; ++i)
        texts[i] = StatusText(std::string(statusKey(static_cast<HeirStatus>(i))) + "\", \"share\": ");
    return texts;
}();

// Each relative's key as the list of those who exclude a relative writes it: , "n5"
using QuotedKey = FixedText<24>;
static_assert(StatusText::kRoom <= kCopySlack && QuotedKey::kRoom <= kCopySlack);
const std::array<QuotedKey, kHeirCount> kQuotedKeys = [] {
    std::array<QuotedKey, kHeirCount> keys;
    for (const HeirInfo& heir : kHeirs)
        keys[static_cast<std::size_t>(index(heir.heir))] = QuotedKey(", \"" + std::string(heir.key) + "\"");
    return keys;
}();

// The most an explanation's object can take: its words and numbers, and its texts.
std::size_t explanationRoomNeeded(const Explanation* e)
{
    if (e == nullptr || !e->exact)
        return 4;
    std::size_t most = 400 + 8 * Cursor::kNumber + Cursor::kFraction + kMaxAmountText;
    for (const std::string& s : e->sentences)
        most += s.size() + 4;
    for (const HeirExplanation& h : e->heirs)
        most += 260 + 3 * Cursor::kFraction + 2 * Cursor::kNumber + h.reason.size() + 40 * h.excludedBy.size() +
                kThirdOfTheRemainder.size();
    return most;
}

// The explanation object of a division ("null" when it has none).
Cursor writeExplanation(Cursor w, const Explanation* e)
{
    using namespace std::string_view_literals;
    if (e == nullptr || !e->exact) {
        w.put("null"sv);
        return w;
    }
    [[maybe_unused]] char* const start = w.at();
    w.put("{\"origin\": "sv);
    w.integer(e->origin);
    w.put(", \"awl\": "sv);
    w.number(e->awl);
    w.put(", \"radd\": "sv);
    w.number(e->radd);
    if (const auto& t = e->raddTable) {
        w.put(", \"raddTable\": {\"spouseProblem\": "sv);
        w.integer(t->spouseProblem);
        w.put(", \"spouseShares\": "sv);
        w.integer(t->spouseShares);
        w.put(", \"remainder\": "sv);
        w.integer(t->remainder);
        w.put(", \"raddProblem\": "sv);
        w.integer(t->raddProblem);
        w.put(", \"relation\": "sv);
        w.quoted(relationName(t->relation));
        w.put(", \"combined\": "sv);
        w.integer(t->combined);
        w.put("}, \"multiplier\": "sv);
    } else {
        w.put(", \"raddTable\": null, \"multiplier\": "sv);
    }
    w.number(e->multiplier);
    w.put(", \"correction\": "sv);
    w.number(e->correction);
    w.put(", \"reducedBy\": "sv);
    w.number(e->reducedBy);
    if (e->shareValue) {
        w.put(", \"shareValue\": \""sv);
        w.amount(*e->shareValue);
        w.put("\", \"undistributed\": "sv);
    } else {
        w.put(", \"shareValue\": null, \"undistributed\": "sv);
    }
    w.fraction(e->undistributed ? &*e->undistributed : nullptr);
    w.put(", \"sentences\": ["sv);
    for (std::size_t i = 0; i < e->sentences.size(); ++i) {
        if (i > 0)
            w.put(", "sv);
        w.quoted(e->sentences[i]);
    }
    w.put("], \"heirs\": ["sv);
    std::size_t skip = 2;  // no ", " before the first entry
    for (const HeirExplanation& h : e->heirs) {
        w.put(kHeirStarts[static_cast<std::size_t>(index(h.row))], skip);
        skip = 0;
        w.put(kStatusTexts[static_cast<std::size_t>(h.status)]);
        if (h.status == HeirStatus::Umariyya)
            w.quoted(kThirdOfTheRemainder);
        else
            w.fraction(h.share ? &*h.share : nullptr);
        w.put(", \"fraction\": "sv);
        w.fraction(&h.fraction);
        w.put(", \"classFraction\": "sv);
        w.fraction(&h.classFraction);
        w.put(", \"originShares\": "sv);
        w.number(h.originShares);
        w.put(", \"shares\": "sv);
        w.number(h.shares);
        w.put(", \"excludedBy\": ["sv);
        std::size_t keySkip = 2;
        for (const Heir by : h.excludedBy) {
            w.put(kQuotedKeys[static_cast<std::size_t>(index(by))], keySkip);
            keySkip = 0;
        }
        w.put("], \"reason\": \""sv);
        w.put(h.reason);
        w.put("\"}"sv);
    }
    w.put("]}"sv);
    assert(w.at() <= start + explanationRoomNeeded(e));
    return w;
}

}  // namespace

void appendResult(const DivisionResult& result, std::string& out, const Explanation* explanation)
{
    using namespace std::string_view_literals;
    // The most the object takes without its explanation.
    constexpr std::size_t kMost = 300 + 6 * kMaxAmountText + kHeirCount * kMostRowBytes;
    // The explanation is written into the same room, so that the whole
    // object is appended in one piece.
    const Explanation* const explained =
        explanation != nullptr && explanation->exact && result.outcome != Outcome::Consumed &&
                result.outcome != Outcome::NoEstate
            ? explanation
            : nullptr;
    char* const start = resultRoom.reserve(kMost + explanationRoomNeeded(explained));
    Cursor w(start);
    switch (result.outcome) {
    case Outcome::Divided: w.put("{\"outcome\": \"divided\""sv); break;
    case Outcome::NoEstate: w.put("{\"outcome\": \"no_estate\""sv); break;
    case Outcome::NoHeirs: w.put("{\"outcome\": \"no_heirs\""sv); break;
    case Outcome::Consumed: w.put("{\"outcome\": \"consumed\""sv); break;
    }
    if (const auto& p = result.preparation) {
        // Before the division, in the order of the law.
        w.put(", \"preparation\": {\"gross\": \""sv);
        w.amount(p->gross);
        w.put("\", \"funeral\": \""sv);
        w.amount(p->funeral);
        w.put("\", \"debts\": \""sv);
        w.amount(p->debts);
        w.put("\", \"bequestsCarriedOut\": \""sv);
        w.amount(p->bequestsCarriedOut);
        w.put("\", \"net\": \""sv);
        w.amount(p->net);
        w.put("\"}"sv);
    }
    if (result.outcome == Outcome::Consumed || result.outcome == Outcome::NoEstate) {
        if (result.outcome == Outcome::NoEstate)
            w.put(", \"rows\": []"sv);
        if (explanation != nullptr)
            w.put(", \"explain\": null}"sv);
        else
            w.put('}');
        out.append(start, std::size_t(w.at() - start));
        return;
    }
    w.put(", \"base\": "sv);
    w.amount(result.problemBase);
    w.put(", \"rows\": "sv);
    w = writeRows(w, result.rows, result.percentages);
    if (result.undistributed) {
        w.put(", \"undistributed\": {\"amount\": \""sv);
        w.amount(*result.undistributed);
        w.put("\", \"percent\": \"%"sv);
        w.amount(*result.undistributedPercent);
        w.put("\"}"sv);
    }
    assert(w.at() <= start + kMost);
    if (explanation != nullptr) {
        w.put(", \"explain\": "sv);
        w = writeExplanation(w, explained);
    }
    w.put('}');
    out.append(start, std::size_t(w.at() - start));
}

void appendExplanation(const Explanation* e, std::string& out)
{
    char* const start = explanationRoom.reserve(explanationRoomNeeded(e));
    const Cursor w = writeExplanation(Cursor(start), e);
    out.append(start, std::size_t(w.at() - start));
}

void appendError(std::string_view message, std::string& out)
{
    out += "{\"error\": ";
    appendQuoted(message, out);
    out += '}';
}

namespace {

// The explanation of a division that has none (its "explain" is null).
const Explanation kNoExplanation = [] {
    Explanation e;
    e.exact = false;
    return e;
}();

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

// A fraction as qismar-cli writes it: "5/24", "1".
void appendFraction(const Rational& v, std::string& out)
{
    out += '"';
    out += v.text();
    out += '"';
}

// The output of a case with an heir not yet known: what is paid now, the
// reserve, and each outcome's division as qismar-cli prints a case.
void appendUncertain(const UncertainDivision& d, const UncertainFractions* fractions, std::string& out)
{
    if (d.outcome != Outcome::Divided) {
        // Nothing to divide in any outcome: the first one says why.
        DivisionResult first = d.outcomes.empty() ? DivisionResult{} : d.outcomes.front().result;
        first.outcome = d.outcome;
        first.preparation = d.preparation;
        appendResult(first, out, fractions != nullptr ? &kNoExplanation : nullptr);
        return;
    }
    char number[kMaxAmountText];
    DivisionResult now;
    now.outcome = Outcome::Divided;
    now.preparation = d.preparation;
    // The preparation's part of the object, then the rows paid now.
    appendResult(now, out);
    out.resize(out.rfind(", \"base\": "));
    out += ", \"rows\": ";
    appendRows(d.now, d.nowPercentages, out);
    if (d.reserve) {
        out += ", \"reserve\": {\"amount\": \"";
        out.append(number, formatAmount(*d.reserve, number));
        out += "\", \"percent\": \"%";
        out.append(number, formatAmount(d.reservePercent.value_or(Currency{}), number));
        out += "\"}";
    }
    out += ", \"outcomes\": [";
    for (std::size_t i = 0; i < d.outcomes.size(); ++i) {
        const UncertainOutcome& o = d.outcomes[i];
        out += i == 0 ? "{\"name\": \"" : ", {\"name\": \"";
        out += o.name;
        out += "\", ";
        const Explanation* explanation = nullptr;
        if (fractions != nullptr)
            explanation = i < fractions->explanations.size() ? &fractions->explanations[i] : &kNoExplanation;
        const std::size_t at = out.size();
        appendResult(o.result, out, explanation);
        out.erase(at, 1);  // its own opening brace: the outcome's object is open
    }
    out += ']';
    if (fractions != nullptr) {
        out += ", \"fractions\": ";
        if (!fractions->exact) {
            out += "null";
        } else {
            out += "{\"rows\": [";
            bool first = true;
            for (int i = 0; i < kHeirCount; ++i) {
                const auto& f = fractions->now[static_cast<std::size_t>(i)];
                if (!f)
                    continue;
                out += first ? "{\"key\": \"" : ", {\"key\": \"";
                first = false;
                out += heirInfo(heirAt(i)).key;
                out += "\", \"heir\": \"";
                out += heirInfo(heirAt(i)).name;
                out += "\", \"fraction\": ";
                appendFraction(*f, out);
                out += '}';
            }
            out += "], \"reserve\": ";
            appendFraction(fractions->reserve, out);
            out += '}';
        }
    }
    out += '}';
}

// A fraction of the estate as a percentage, to four decimals, the last
// rounded to the nearest, ties to even: "%20.8333".
void appendPercent(const Rational& fraction, std::string& out)
{
    const Rational::Int scaled = fraction.num() * 1000000;
    Rational::Int value = scaled / fraction.den();
    const Rational::Int rest = scaled % fraction.den();
    if (2 * rest > fraction.den() || (2 * rest == fraction.den() && value % 2 != 0))
        ++value;
    char number[kMaxAmountText];
    out += "\"%";
    out.append(number, formatAmount(Currency::fromRaw(std::int64_t(value)), number));
    out += '"';
}

// The combined table of a case with later deaths: the origin, its
// reduction, and each group of persons who receive the same.
void appendCombined(const SuccessiveDivision& d, std::string& out, bool explain)
{
    char number[kMaxAmountText];
    out += "{\"origin\": " + std::to_string(d.origin) + ", \"reduced\": ";
    out += d.reducedBy > 1 ? std::to_string(d.reducedBy) : std::string("null");
    out += ", \"persons\": [";
    for (std::size_t i = 0; i < d.persons.size(); ++i) {
        const CombinedPersons& p = d.persons[i];
        if (i > 0)
            out += ", ";
        out += "{\"of\": [";
        for (std::size_t k = 0; k < p.of.size(); ++k) {
            if (k > 0)
                out += ", ";
            out += "{\"problem\": " + std::to_string(p.of[k].problem) + ", \"key\": \"";
            out += heirInfo(p.of[k].row).key;
            out += "\"}";
        }
        out += "], \"heads\": " + std::to_string(p.heads) + ", \"shares\": " + std::to_string(p.shares) +
               ", \"fraction\": \"" + p.fraction.text() + "\", \"amount\": \"";
        out.append(number, formatAmount(p.amount, number));
        out += "\", \"percent\": ";
        appendPercent(p.fraction, out);
        out += '}';
    }
    out += ']';
    if (explain) {
        out += ", \"explain\": {\"steps\": [";
        for (std::size_t k = 0; k < d.steps.size(); ++k) {
            const CombineStep& s = d.steps[k];
            if (k > 0)
                out += ", ";
            out += "{\"problem\": " + std::to_string(k + 2) + ", \"deadShares\": " + std::to_string(s.deadShares) +
                   ", \"correction\": " + std::to_string(s.laterCorrection) + ", \"gcd\": " + std::to_string(s.gcd) +
                   ", \"earlierMultiplier\": " + std::to_string(s.earlierMultiplier) +
                   ", \"laterMultiplier\": " + std::to_string(s.laterMultiplier) +
                   ", \"origin\": " + std::to_string(s.originBeforeReduction) +
                   ", \"reducedBy\": " + (s.reducedBy > 1 ? std::to_string(s.reducedBy) : std::string("null")) + "}";
        }
        out += "], \"sentences\": [";
        for (std::size_t k = 0; k < d.sentences.size(); ++k) {
            if (k > 0)
                out += ", ";
            appendQuoted(d.sentences[k], out);
        }
        out += "]}";
    }
    out += '}';
}

// Divides a case with later deaths and appends {"problems": [...],
// "combined": {...}} and a line end, or an error object when any problem
// is refused.
bool processSuccessive(const CaseRecord& record, std::string& out, const Options& options,
                       std::string_view source = {})
{
    const auto refused = [&](const std::string& message) {
        appendError(source.empty() ? message : std::string(source) + ": " + message, out);
        out += '\n';
        return false;
    };
    SuccessiveDivision d;
    try {
        d = DivideSuccessive(record.estate, record.laterDeaths,
                             record.uncertain ? &*record.uncertain : nullptr);
    } catch (const EngineError& e) {
        return refused(e.what());
    }
    if (d.refusal)
        return refused(d.refusal->english);
    out += "{\"problems\": [";
    for (std::size_t k = 0; k < d.problems.size(); ++k) {
        if (k > 0)
            out += ", ";
        const SuccessiveProblem& p = d.problems[k];
        appendResult(p.result, out, options.explain ? &p.explanation : nullptr);
    }
    out += "], \"combined\": ";
    appendCombined(d, out, options.explain);
    out += "}\n";
    return true;
}

// Divides a case with an heir not yet known.
bool processUncertain(const CaseRecord& record, std::string& out, const Options& options, std::string_view source)
{
    const auto fail = [&](std::string_view message) {
        if (source.empty())
            appendError(message, out);
        else
            appendError(std::string(source) + ": " + std::string(message), out);
        out += '\n';
        return false;
    };
    try {
        if (options.explain) {
            UncertainFractions fractions;
            const UncertainDivision d = DivideUncertainExplained(record.estate, *record.uncertain, fractions);
            appendUncertain(d, &fractions, out);
        } else {
            appendUncertain(DivideUncertain(record.estate, *record.uncertain), nullptr, out);
        }
    } catch (const EngineError& e) {
        return fail(e.what());
    } catch (const std::invalid_argument& e) {
        return fail(e.what());
    }
    out += '\n';
    return true;
}

bool processRecord(const CaseRecord& record, std::string& out, const Options& options, std::string_view source = {})
{
    if (!record.laterDeaths.empty())
        return processSuccessive(record, out, options, source);
    if (record.uncertain)
        return processUncertain(record, out, options, source);
    return processCase(record.estate, out, options, source);
}

}  // namespace

bool processLine(std::string_view line, std::string& out, const Options& options)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    // One record for every line, so that its room is reused.
    thread_local CaseRecord record;
    CaseError error;
    if (!readCaseObject(line, record, error)) {
        appendError(error.message, out);
        out += '\n';
        return false;
    }
    return processRecord(record, out, options);
}

bool processFile(const std::string& path, std::string& out, const Options& options)
{
    CaseRecord record;
    CaseError error;
    if (!readCaseFile(path, record, error)) {
        appendError(path + ": " + error.message, out);
        out += '\n';
        return false;
    }
    return processRecord(record, out, options, path);
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

namespace {

// Cuts a stream into lines as it is read: a line within the limit is given
// whole; a longer one is given once, as too long, without being held.
class LineCutter {
public:
    // Gives each line that `data` ends to `line(text, tooLong)`.
    template <typename Line>
    void feed(std::string_view data, Line&& line)
    {
        while (!data.empty()) {
            const std::size_t nl = data.find('\n');
            const std::string_view piece = data.substr(0, nl);
            data.remove_prefix(nl == data.npos ? data.size() : nl + 1);
            if (!overlong_ && pending_.size() + piece.size() > kMaxLineBytes + 1) {
                overlong_ = true;
                pending_.clear();
            }
            if (nl == data.npos) {
                if (!overlong_)
                    pending_.append(piece);
                break;
            }
            if (overlong_ || pending_.empty()) {
                end(piece, line);
            } else {
                pending_.append(piece);
                end(pending_, line);
                pending_.clear();
            }
        }
    }
    // Gives the last line when the stream does not end with a line feed.
    template <typename Line>
    void finish(Line&& line)
    {
        if (overlong_ || !pending_.empty())
            end(pending_, line);
        pending_.clear();
    }

private:
    template <typename Line>
    void end(std::string_view text, Line& line)
    {
        line(text, overlong_ || !withinLimit(text));
        overlong_ = false;
    }

    // The start of a line not yet ended: never more than the limit and a CR.
    std::string pending_;
    // The current line has passed the limit: the rest of it is skipped.
    bool overlong_ = false;
};

// Appends the answer to one line of the stream; false when it failed.
bool answerLine(std::string_view line, bool tooLong, std::string& output, const Options& options)
{
    if (tooLong) {
        appendError("line too long (the limit is " + std::to_string(kMaxLineBytes) + " bytes)", output);
        output += '\n';
        return false;
    }
    return processLine(line, output, options);
}

constexpr std::size_t kReadBytes = std::size_t{1} << 16;
// Output is written once this much has gathered.
constexpr std::size_t kWriteBytes = std::size_t{1} << 16;

bool writeAll(std::string_view text, std::FILE* out)
{
    return text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

int runOneJob(std::FILE* in, std::FILE* out, std::FILE* diagnostics, const Options& options)
{
    LineCutter cutter;
    // The answers gathered since the last write: one write for every
    // kWriteBytes of them, whatever the length of the lines.
    std::string output;
    output.reserve(2 * kWriteBytes);
    auto chunk = std::make_unique<char[]>(kReadBytes);
    bool anyFailed = false;
    int writeError = 0;
    const auto answer = [&](std::string_view line, bool tooLong) {
        if (writeError != 0)
            return;
        anyFailed |= !answerLine(line, tooLong, output, options);
        if (output.size() >= kWriteBytes) {
            if (!writeAll(output, out))
                writeError = errno != 0 ? errno : EIO;
            output.clear();
        }
    };
    for (;;) {
        const std::size_t got = std::fread(chunk.get(), 1, kReadBytes, in);
        if (got == 0)
            break;
        cutter.feed({chunk.get(), got}, answer);
        if (writeError != 0) {
            reportFailure(diagnostics, "cannot write the results", writeError);
            return 2;
        }
    }
    if (std::ferror(in)) {
        reportFailure(diagnostics, "cannot read the cases", errno);
        return 2;
    }
    cutter.finish(answer);
    if (writeError != 0 || !writeAll(output, out) || std::fflush(out) != 0) {
        reportFailure(diagnostics, "cannot write the results", writeError != 0 ? writeError : errno);
        return 2;
    }
    return anyFailed ? 1 : 0;
}

// Lines handed to a job together, and their answers.
struct Batch {
    enum class State : std::uint8_t { Free, Filled, Answered };
    State state = State::Free;
    // The lines one after another; each line's end, or npos for a line
    // too long (which holds nothing).
    std::string text;
    std::vector<std::size_t> ends;
    std::vector<bool> tooLong;
    std::string output;
    bool anyFailed = false;

    void clear()
    {
        text.clear();
        ends.clear();
        tooLong.clear();
        output.clear();
        anyFailed = false;
    }
};

// A batch is handed on at this many lines or bytes of input.
constexpr std::size_t kBatchLines = 512;
constexpr std::size_t kBatchBytes = std::size_t{1} << 17;

// Divides the lines on `jobs` threads, a batch of lines at a time, and
// writes the answers in the order of the lines. At most 2 x jobs + 2
// batches are in flight: the memory stays the same whatever the length of
// the input.
int runJobs(std::FILE* in, std::FILE* out, std::FILE* diagnostics, const Options& options, unsigned jobs)
{
    std::vector<Batch> ring(2 * std::size_t{jobs} + 2);
    std::mutex mutex;
    std::condition_variable filled;    // a batch was handed on, or the input ended
    std::condition_variable answered;  // a batch was answered
    std::size_t handedOn = 0;          // batches handed on so far
    std::size_t taken = 0;             // batches taken by a job
    bool inputEnded = false;

    const auto work = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            filled.wait(lock, [&] { return taken < handedOn || inputEnded; });
            if (taken == handedOn)
                return;
            Batch& batch = ring[taken++ % ring.size()];
            lock.unlock();
            std::size_t start = 0;
            for (std::size_t i = 0; i < batch.ends.size(); ++i) {
                const bool tooLong = batch.tooLong[i];
                const std::string_view line =
                    tooLong ? std::string_view{} : std::string_view(batch.text).substr(start, batch.ends[i] - start);
                if (!tooLong)
                    start = batch.ends[i];
                batch.anyFailed |= !answerLine(line, tooLong, batch.output, options);
            }
            lock.lock();
            batch.state = Batch::State::Answered;
            answered.notify_all();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(jobs);
    for (unsigned i = 0; i < jobs; ++i)
        threads.emplace_back(work);

    std::size_t written = 0;  // batches written so far
    bool anyFailed = false;
    bool writeFailed = false;
    int writeError = 0;
    // Writes the answered batches at the head of the ring; with `wait`,
    // first waits for the head to be answered.
    const auto writeAnswered = [&](bool wait) {
        for (;;) {
            Batch& head = ring[written % ring.size()];
            {
                std::unique_lock lock(mutex);
                if (written == handedOn)
                    return;
                if (wait)
                    answered.wait(lock, [&] { return head.state == Batch::State::Answered; });
                else if (head.state != Batch::State::Answered)
                    return;
            }
            anyFailed |= head.anyFailed;
            if (!writeFailed && !writeAll(head.output, out)) {
                writeFailed = true;
                writeError = errno;
            }
            head.clear();
            std::lock_guard lock(mutex);
            head.state = Batch::State::Free;
            ++written;
            wait = false;
        }
    };
    std::size_t filling = 0;  // the batch being filled, handedOn % ring size
    const auto handOn = [&] {
        {
            std::lock_guard lock(mutex);
            ring[filling].state = Batch::State::Filled;
            ++handedOn;
            filling = handedOn % ring.size();
        }
        filled.notify_one();
        writeAnswered(false);
        Batch& next = ring[filling];
        std::unique_lock lock(mutex);
        if (next.state != Batch::State::Free) {
            lock.unlock();
            writeAnswered(true);
        }
    };
    const auto addLine = [&](std::string_view line, bool tooLong) {
        Batch& batch = ring[filling];
        if (!tooLong)
            batch.text.append(line);
        batch.ends.push_back(tooLong ? std::string::npos : batch.text.size());
        batch.tooLong.push_back(tooLong);
        if (batch.ends.size() >= kBatchLines || batch.text.size() >= kBatchBytes)
            handOn();
    };

    LineCutter cutter;
    auto chunk = std::make_unique<char[]>(kReadBytes);
    bool readFailed = false;
    for (;;) {
        const std::size_t got = std::fread(chunk.get(), 1, kReadBytes, in);
        if (got == 0)
            break;
        cutter.feed({chunk.get(), got}, addLine);
        if (writeFailed)
            break;
    }
    if (!writeFailed && std::ferror(in)) {
        readFailed = true;
        writeError = errno;
    }
    if (!readFailed && !writeFailed) {
        cutter.finish(addLine);
        if (!ring[filling].ends.empty())
            handOn();
    }
    {
        std::lock_guard lock(mutex);
        inputEnded = true;
    }
    filled.notify_all();
    while (written < handedOn)
        writeAnswered(true);
    for (std::thread& t : threads)
        t.join();
    if (readFailed) {
        reportFailure(diagnostics, "cannot read the cases", writeError);
        return 2;
    }
    if (writeFailed || std::fflush(out) != 0) {
        reportFailure(diagnostics, "cannot write the results", writeFailed ? writeError : errno);
        return 2;
    }
    return anyFailed ? 1 : 0;
}

// The cores this process may run on.
unsigned availableCores()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

int run(std::FILE* in, std::FILE* out, std::FILE* diagnostics, const Options& options)
{
    const unsigned jobs = options.jobs == 0 ? availableCores() : options.jobs;
    if (jobs <= 1)
        return runOneJob(in, out, diagnostics, options);
    return runJobs(in, out, diagnostics, options, jobs);
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

#include "cli/case_json.h"

#include "casefile/case_file.h"
#include "engine/later_deaths.h"
#include "engine/preparation.h"
#include "engine/uncertain_heir.h"

#include <sched.h>

#include <algorithm>
#include <array>
#include <bit>
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

// Small numbers and fractions are written from texts made in advance, each
// copied whole with its size (the bytes past the text are written over by
// what follows): the numbers 0 to 99, and fractions of terms below 32 with
// their quotes ("5/24", "1", "0"), which are nearly all the numbers and
// fractions of an explanation. Each table holds "null" too, so that a
// number or a fraction that is absent is written as a present one is.
struct SmallText {
    char bytes[7] = {};
    std::uint8_t size = 0;

    constexpr void add(char c) { bytes[size++] = c; }
    constexpr void addDigits(std::size_t v)
    {
        if (v >= 10)
            add(char('0' + v / 10));
        add(char('0' + v % 10));
    }
};
static_assert(sizeof(SmallText) == 8);

constexpr SmallText nullText()
{
    SmallText t;
    for (const char c : {'n', 'u', 'l', 'l'})
        t.add(c);
    return t;
}

constexpr std::size_t kSmallNumbers = 100;
constexpr std::array<SmallText, kSmallNumbers + 1> kSmallNumberTexts = [] {
    std::array<SmallText, kSmallNumbers + 1> texts{};
    for (std::size_t v = 0; v < kSmallNumbers; ++v)
        texts[v].addDigits(v);
    texts[kSmallNumbers] = nullText();
    return texts;
}();

constexpr std::size_t kSmallTerms = 32;
constexpr std::array<SmallText, kSmallTerms * kSmallTerms> kSmallFractionTexts = [] {
    std::array<SmallText, kSmallTerms * kSmallTerms> texts{};
    for (std::size_t num = 0; num < kSmallTerms; ++num) {
        for (std::size_t den = 0; den < kSmallTerms; ++den) {
            SmallText& t = texts[num * kSmallTerms + den];
            t.add('"');
            t.addDigits(num);
            if (den != 1) {
                t.add('/');
                t.addDigits(den);
            }
            t.add('"');
        }
    }
    texts[0] = nullText();  // 0/0, which no valid fraction is
    return texts;
}();

// The fraction that an absent one is read as, written as null.
constexpr Rational kNoFraction = Rational::invalid();

// Each relative's key as the list of those who exclude a relative writes it:
// , "n5"; after them, the place of nobody: ", " alone, which the first
// entry leaves out.
using QuotedKey = FixedText<24>;
constexpr Heir kNoExcluder = static_cast<Heir>(kHeirCount);
const std::array<QuotedKey, kHeirCount + 1> kQuotedKeys = [] {
    std::array<QuotedKey, kHeirCount + 1> keys;
    for (const HeirInfo& heir : kHeirs)
        keys[static_cast<std::size_t>(index(heir.heir))] = QuotedKey(", \"" + std::string(heir.key) + "\"");
    keys[kHeirCount] = QuotedKey(", ");
    return keys;
}();

// A condition as often true as false from one object to the next: told so,
// the compiler chooses between two places by a conditional move rather than
// a branch that would be mispredicted half the time.
[[gnu::always_inline]] inline bool unpredictable(bool condition)
{
    return __builtin_expect_with_probability(condition, true, 0.5);
}

// An address chosen between two, which the compiler is kept from looking
// through: else it makes two paths behind a branch, one for each object
// (and one of them with a constant folded in).
template <typename T>
[[gnu::always_inline]] inline const T* unknown(const T* chosen)
{
    asm("" : "+r"(chosen));
    return chosen;
}

// Writes an output object into room made for it beforehand (OutputBuffer):
// the texts of the object are many and short, and copying each straight
// into place is several times quicker than appending each to a string. A
// cursor is passed by value so that its place stays in a register.
class Cursor {
public:
    explicit Cursor(char* at) : at_(at) {}
    char* at() const { return at_; }
    // A text whose size is known here (a literal).
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
    void put(const SmallText& text)
    {
        std::memcpy(at_, &text, sizeof text);  // its size too, written over by what follows
        at_ += text.size;
    }
    // A text whose size varies from one object to the next.
    void text(std::string_view text)
    {
        std::memcpy(at_, text.data(), text.size());
        at_ += text.size();
    }
    // The keys of those who exclude a relative. Most relatives have none or
    // one: both are written without a branch on which it is.
    [[gnu::always_inline]] void excluders(const std::vector<Heir>& by)
    {
        if (by.size() > 1) [[unlikely]] {
            std::size_t skip = 2;  // no ", " before the first key
            for (const Heir heir : by) {
                put(kQuotedKeys[static_cast<std::size_t>(index(heir))], skip);
                skip = 0;
            }
            return;
        }
        const Heir& first = *unknown(unpredictable(by.empty()) ? &kNoExcluder : by.data());
        put(kQuotedKeys[static_cast<std::size_t>(index(first))], 2);
    }
    // An amount, formatted in place.
    void amount(Currency v) { at_ += formatAmount(v, at_); }
    // The program's own sentences: UTF-8 without quotes, backslashes or
    // control characters, so they stand in JSON as they are.
    [[gnu::always_inline]] void quoted(std::string_view text)
    {
        put('"');
        this->text(text);
        put('"');
    }
    [[gnu::always_inline]] void integer(std::int64_t v)
    {
        // Most numbers of an explanation are below 100.
        if (static_cast<std::uint64_t>(v) < kSmallNumbers) [[likely]]
            put(kSmallNumberTexts[static_cast<std::size_t>(v)]);
        else
            at_ = writeAnyInteger(at_, v);
    }
    [[gnu::always_inline]] void integer(Rational::Int v)
    {
        if (fits64(v)) [[likely]]
            integer(std::int64_t(v));
        else
            at_ = writeWideInteger(at_, v);
    }
    // A number or null, from one table.
    [[gnu::always_inline]] void number(const std::optional<std::int64_t>& v)
    {
        const auto u = static_cast<std::uint64_t>(v.value_or(0));
        if (u < kSmallNumbers) [[likely]]
            put(kSmallNumberTexts[v.has_value() ? u : kSmallNumbers]);
        else
            at_ = writeAnyInteger(at_, *v);
    }
    // A fraction or null, from one table when both its terms are small. An
    // absent one is read as the invalid fraction 0/0, whose place in the
    // table holds null (an exact explanation holds no invalid fraction).
    [[gnu::always_inline]] void fraction(const std::optional<Rational>& v)
    {
        fraction(v.has_value() ? *v : kNoFraction);
    }
    [[gnu::always_inline]] void fraction(const Rational& v)
    {
        // Both terms from 0 to kSmallTerms - 1 (a negative one makes the
        // two together negative, and so very large unsigned).
        if (static_cast<unsigned __int128>(v.num() | v.den()) < kSmallTerms) [[likely]] {
            put(kSmallFractionTexts[std::size_t(v.num()) * kSmallTerms + std::size_t(v.den())]);
            return;
        }
        put('"');
        integer(v.num());
        if (v.den() != 1) {
            put('/');
            integer(v.den());
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

// Output gathered in memory: each object is written straight into its room,
// which it grows first when needed (a string made larger would first be
// filled with zeros, and what lies past a string's size may not be written).
// The room always has kCopySlack bytes beyond what was asked for, for the
// copies of fixed size that run past a text's end.
class OutputBuffer {
public:
    explicit OutputBuffer(std::size_t capacity = 4096) { grow(0, capacity); }

    // Where `bytes` more go after what is held; they are held once committed.
    char* room(std::size_t bytes)
    {
        if (capacity_ - size_ < bytes) [[unlikely]]
            grow(size_, bytes);
        return data_.get() + size_;
    }
    // Room for `bytes` more after `at`, a place in the room not yet
    // committed; the bytes before it are kept. Gives that place, which moves
    // when the room grows.
    char* more(char* at, std::size_t bytes)
    {
        const std::size_t used = std::size_t(at - data_.get());
        assert(used <= capacity_);
        if (capacity_ - used < bytes) [[unlikely]]
            grow(used, bytes);
        return data_.get() + used;
    }
    // Holds what was written up to `end`.
    void commit(const char* end)
    {
        size_ = std::size_t(end - data_.get());
        assert(size_ <= capacity_);
    }
    // What was written from the end of what is held up to `end`.
    std::string_view written(const char* end) const
    {
        return {data_.get() + size_, std::size_t(end - data_.get()) - size_};
    }
    void append(std::string_view text)
    {
        char* const at = room(text.size());
        if (!text.empty())  // an empty view may hold no pointer at all
            std::memcpy(at, text.data(), text.size());
        commit(at + text.size());
    }
    OutputBuffer& operator+=(std::string_view text)
    {
        append(text);
        return *this;
    }
    OutputBuffer& operator+=(char c)
    {
        char* const at = room(1);
        *at = c;
        commit(at + 1);
        return *this;
    }
    // Whether there is room for `bytes` more after `at`.
    bool hasRoom(const char* at, std::size_t bytes) const { return at + bytes <= data_.get() + capacity_; }
    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }
    void clear() { size_ = 0; }

private:
    [[gnu::noinline]] void grow(std::size_t used, std::size_t bytes)
    {
        const std::size_t capacity = std::max(used + bytes, 2 * capacity_);
        auto data = std::make_unique_for_overwrite<char[]>(capacity + kCopySlack);
        if (used != 0)
            std::memcpy(data.get(), data_.get(), used);
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;  // without the slack
};

// Room of this thread for an object appended to a string: it is written
// here first, then appended in one piece.
thread_local OutputBuffer scratchRoom;

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
    static_assert(kHeirCount <= 32);
    w.put('[');
    // Most rows are empty: the rows that hold something are gathered first,
    // without a branch for each row, then written out of line.
    std::uint32_t held = 0;
#pragma GCC unroll 32
    for (std::size_t i = 0; i < std::size_t(kHeirCount); ++i)
        held |= std::uint32_t(!rows[i].isEmpty()) << i;
    std::size_t skip = 2;  // no ", " before the first row
    while (held != 0) {
        const auto i = static_cast<std::size_t>(std::countr_zero(held));
        held &= held - 1;
        w = Cursor(writeRow(w, i, rows[i], percentages[i], skip));
        skip = 0;
    }
    w.put(']');
    return w;
}

void appendRows(const ResultRows& rows, const std::array<std::optional<Currency>, kHeirCount>& percentages, std::string& out)
{
    scratchRoom.clear();
    const Cursor w = writeRows(Cursor(scratchRoom.room(2 + kHeirCount * kMostRowBytes)), rows, percentages);
    out.append(scratchRoom.written(w.at()));
}

// Each relative's entry in the explanation, up to his status.
const std::array<HeirStart, kHeirCount> kHeirStarts = heirStarts("status");

// Each status as an entry writes it, up to its share: fixed", "share":
constexpr std::size_t kStatusCount = static_cast<std::size_t>(HeirStatus::NothingLeft) + 1;
using StatusText = FixedText<32>;
static_assert(StatusText::kRoom <= kCopySlack && QuotedKey::kRoom <= kCopySlack);
const std::array<StatusText, kStatusCount> kStatusTexts = [] {
    std::array<StatusText, kStatusCount> texts;
    for (std::size_t i = 0; i < kStatusCount; ++i)
        texts[i] = StatusText(std::string(statusKey(static_cast<HeirStatus>(i))) + "\", \"share\": ");
    return texts;
}();

// What each sentence starts with: , "
const FixedText<3> kSentenceStart(", \"");

// The room that an explanation's object takes, made as it is written: its
// words and numbers, then each sentence, then each heir's entry; each with
// the room for what closes the object after it.
constexpr std::size_t kClosingRoom = 8;
constexpr std::size_t kExplanationRoom = 400 + 8 * Cursor::kNumber + Cursor::kFraction + kMaxAmountText;
constexpr std::size_t kSentenceRoom = 4 + kClosingRoom;
constexpr std::size_t kHeirRoom =
    260 + 3 * Cursor::kFraction + 2 * Cursor::kNumber + kThirdOfTheRemainder.size() + kClosingRoom;
constexpr std::size_t kExcluderRoom = 40;

// The explanation object of a division ("null" when it has none), written
// at `w` in the room of `buffer`, which it grows as it goes.
Cursor writeExplanation(Cursor w, const Explanation* e, OutputBuffer& buffer)
{
    using namespace std::string_view_literals;
    if (e == nullptr || !e->exact) {
        w.put("null"sv);
        return w;
    }
    w = Cursor(buffer.more(w.at(), kExplanationRoom));
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
    w.fraction(e->undistributed);
    w.put(", \"sentences\": ["sv);
    std::size_t skip = 2;  // no ", " before the first entry
    for (const std::string& s : e->sentences) {
        w = Cursor(buffer.more(w.at(), s.size() + kSentenceRoom));
        w.put(kSentenceStart, skip);
        w.text(s);
        w.put('"');
        skip = 0;
    }
    w.put("], \"heirs\": ["sv);
    skip = 2;
    for (const HeirExplanation& h : e->heirs) {
        w = Cursor(buffer.more(w.at(), kHeirRoom + h.reason.size() + kExcluderRoom * h.excludedBy.size()));
        w.put(kHeirStarts[static_cast<std::size_t>(index(h.row))], skip);
        skip = 0;
        w.put(kStatusTexts[static_cast<std::size_t>(h.status)]);
        if (h.status == HeirStatus::Umariyya)
            w.quoted(kThirdOfTheRemainder);
        else
            w.fraction(h.share);
        w.put(", \"fraction\": "sv);
        w.fraction(h.fraction);
        w.put(", \"classFraction\": "sv);
        w.fraction(h.classFraction);
        w.put(", \"originShares\": "sv);
        w.number(h.originShares);
        w.put(", \"shares\": "sv);
        w.number(h.shares);
        w.put(", \"excludedBy\": ["sv);
        w.excluders(h.excludedBy);
        w.put("], \"reason\": \""sv);
        w.text(h.reason);
        w.put("\"}"sv);
    }
    w.put("]}"sv);
    assert(buffer.hasRoom(w.at(), kClosingRoom));
    return w;
}

// The result object of a division, and a line end when `lineEnd` is set,
// written after what `buffer` holds; gives its end (not yet committed).
char* writeResult(const DivisionResult& result, const Explanation* explanation, bool lineEnd, OutputBuffer& buffer)
{
    using namespace std::string_view_literals;
    // The most the object takes without its explanation.
    constexpr std::size_t kMost = 300 + 6 * kMaxAmountText + kHeirCount * kMostRowBytes;
    const Explanation* const explained =
        explanation != nullptr && explanation->exact && result.outcome != Outcome::Consumed &&
                result.outcome != Outcome::NoEstate
            ? explanation
            : nullptr;
    [[maybe_unused]] char* const start = buffer.room(kMost);
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
    } else {
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
        assert(w.at() <= start + kMost - 20);
        if (explanation != nullptr) {
            w.put(", \"explain\": "sv);
            w = writeExplanation(w, explained, buffer);
        }
        w.put('}');
    }
    if (lineEnd)
        w.put('\n');
    return w.at();
}

// The result object of a division and a line end, added to what `out` holds.
void appendResultLine(const DivisionResult& result, OutputBuffer& out, const Explanation* explanation)
{
    out.commit(writeResult(result, explanation, true, out));
}

void appendResultLine(const DivisionResult& result, std::string& out, const Explanation* explanation)
{
    scratchRoom.clear();
    out.append(scratchRoom.written(writeResult(result, explanation, true, scratchRoom)));
}

}  // namespace

void appendResult(const DivisionResult& result, std::string& out, const Explanation* explanation)
{
    scratchRoom.clear();
    out.append(scratchRoom.written(writeResult(result, explanation, false, scratchRoom)));
}

void appendExplanation(const Explanation* e, std::string& out)
{
    scratchRoom.clear();
    const Cursor w = writeExplanation(Cursor(scratchRoom.room(8)), e, scratchRoom);
    out.append(scratchRoom.written(w.at()));
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

// An error object and a line end, added to what a buffer holds.
void appendErrorLine(std::string_view message, OutputBuffer& out)
{
    std::string text;
    appendError(message, text);
    text += '\n';
    out.append(text);
}

void appendErrorLine(std::string_view message, std::string& out)
{
    appendError(message, out);
    out += '\n';
}

// One explanation for every case of a thread, so that its room is reused.
thread_local Explanation caseExplanation;

// Divides a case that was read and appends its output object and a line
// end. Returns false when the engine refused it; its message then starts
// with `source` (a case file's path) when one is given.
template <typename Output>
bool processCase(const EstateCase& estateCase, Output& out, const Options& options, std::string_view source = {})
{
    try {
        if (options.explain) {
            const DivisionResult result = DivideEstate(estateCase, &caseExplanation);
            appendResultLine(result, out, &caseExplanation);
        } else {
            appendResultLine(DivideEstate(estateCase), out, nullptr);
        }
    } catch (const EngineError& e) {
        if (source.empty())
            appendErrorLine(e.what(), out);
        else
            appendErrorLine(std::string(source) + ": " + e.what(), out);
        return false;
    }
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

// The same into a buffer: a case with later deaths or an heir not yet known
// is answered in a string first.
bool processRecord(const CaseRecord& record, OutputBuffer& out, const Options& options)
{
    if (record.laterDeaths.empty() && !record.uncertain)
        return processCase(record.estate, out, options);
    thread_local std::string text;
    text.clear();
    const bool divided = processRecord(record, text, options);
    out.append(text);
    return divided;
}

// One record for every line of a thread, so that its room is reused, and
// one error, made afresh only after a line that failed.
thread_local CaseRecord lineRecord;
thread_local CaseError lineError;

template <typename Output>
bool processLineInto(std::string_view line, Output& out, const Options& options)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (!readCaseObject(line, lineRecord, lineError)) {
        appendErrorLine(lineError.message, out);
        lineError = CaseError{};
        return false;
    }
    return processRecord(lineRecord, out, options);
}

}  // namespace

bool processLine(std::string_view line, std::string& out, const Options& options)
{
    return processLineInto(line, out, options);
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
bool answerLine(std::string_view line, bool tooLong, OutputBuffer& output, const Options& options)
{
    if (tooLong) {
        appendErrorLine("line too long (the limit is " + std::to_string(kMaxLineBytes) + " bytes)", output);
        return false;
    }
    return processLineInto(line, output, options);
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
    OutputBuffer output(2 * kWriteBytes);
    auto chunk = std::make_unique<char[]>(kReadBytes);
    bool anyFailed = false;
    int writeError = 0;
    const auto answer = [&](std::string_view line, bool tooLong) {
        if (writeError != 0)
            return;
        anyFailed |= !answerLine(line, tooLong, output, options);
        if (output.size() >= kWriteBytes) {
            if (!writeAll(output.view(), out))
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
    if (writeError != 0 || !writeAll(output.view(), out) || std::fflush(out) != 0) {
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
    OutputBuffer output;
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
            if (!writeFailed && !writeAll(head.output.view(), out)) {
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

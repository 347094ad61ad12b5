#include "engine/explanation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <numeric>
#include <string_view>
#include <type_traits>
#include <utility>

#include "engine/internal/division_state.h"
#include "engine/invariants.h"

namespace qismar {

namespace {

using detail::Source;
using Int = Rational::Int;

bool positive(HeadCount h) { return h.positive(); }
bool atLeastTwo(HeadCount h) { return h.persons() >= 2; }
bool exactlyOne(HeadCount h) { return h.isOne(); }

bool isGrandmother(Heir row) { return heirInfo(row).heirClass == HeirClass::Grandmother; }

bool isSpouse(Heir row) { return row == Heir::Husband || row == Heir::Wives; }

// The grammatical number of a class: one head, two, or more.
enum class Count : std::uint8_t { One, Two, Many };

// A word or a short phrase of the explanation in room of a fixed size, so
// that it is copied whole, in a few aligned moves and with no call, and the
// text moves on by its length.
struct alignas(16) Word {
    static constexpr std::size_t kRoom = 47;  // with the length, 48 bytes
    std::array<char, kRoom> bytes{};
    std::uint8_t size = 0;

    constexpr Word() = default;
    // Not explicit: the tables below are written as lists of literals.
    constexpr Word(std::string_view text) { append(text); }
    constexpr Word(const char* text) : Word(std::string_view(text)) {}
    // Made while the program is compiled: a piece too long for the room
    // stops the compilation there.
    constexpr Word& append(std::string_view text)
    {
        if (size + text.size() > kRoom)
            throw "a word of the explanation is longer than its room";
        for (char c : text)
            bytes[size++] = c;
        return *this;
    }
};

// A word for one, two and many heads ([n]), male and female ([female][n]).
static_assert(sizeof(Word) == 48);
using Forms = std::array<Word, 3>;
using GenderedForms = std::array<Forms, 2>;
constexpr const Word& pick(const Forms& forms, Count n) { return forms[std::size_t(n)]; }
constexpr const Word& pick(const GenderedForms& forms, Count n, bool isFemale)
{
    return forms[std::size_t(isFemale)][std::size_t(n)];
}

// What follows "ل" before a name: "ل" + "لزوج" is "للزوج", "ل" + "ابن
// الابن" is "لابن الابن", "ل" + "أم الأم" is "لأم الأم".
constexpr std::string_view afterLam(std::string_view name)
{
    constexpr std::string_view article = "ال";
    return name.substr(0, article.size()) == article ? name.substr(std::string_view("ا").size()) : name;
}
// "ل" and the name, as one word.
constexpr Word nameAfterLam(std::string_view name) { return Word("ل").append(afterLam(name)); }

// The names of each relative in the explanation for one, two and many
// heads, and the same after "ل"; a relative who is always one has one name.
struct RowNames {
    Forms name;
    Forms withLam;
};
constexpr std::array<RowNames, kHeirCount> kRowNames = [] {
    std::array<RowNames, kHeirCount> t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const HeirInfo& info = kHeirs[i];
        const bool counted = !info.plural.empty();
        const std::array<std::string_view, 3> forms = {info.singular, counted ? info.dual : info.singular,
                                                       counted ? info.plural : info.singular};
        for (std::size_t n = 0; n < 3; ++n) {
            t[i].name[n] = Word(forms[n]);
            t[i].withLam[n] = nameAfterLam(forms[n]);
        }
    }
    return t;
}();

// Whether each relative can be more than one, and is a woman: read for
// every word of the explanation, side by side in a few bytes rather than
// among the names and the heir table.
struct RowTraits {
    bool counted = false;
    bool female = false;
};
constexpr std::array<RowTraits, kHeirCount> kRowTraits = [] {
    std::array<RowTraits, kHeirCount> t{};
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = {!kHeirs[i].plural.empty(), kHeirs[i].female()};
    return t;
}();

// The fixed shares that have a name.
enum class ShareName : std::uint8_t { None, Half, Third, Quarter, Sixth, Eighth, TwoThirds };
// Their names without the article ("ربع"), as in "وهو ربع التركة".
constexpr std::array<Word, 7> kShareNamesBare = {"", "نصف", "ثلث", "ربع", "سدس", "ثمن", "ثلثان"};

// An amount of money as a piece of a text.
struct Amount {
    Currency value;
};

// One text of several pieces and numbers, put together in room of its own
// and written into its string (whose room is reused) in one piece when it is
// done: the pieces are copied straight into place, with no string made
// longer piece by piece. A text too long for that room goes on in its string.
class Text {
public:
    explicit Text(std::string& out) : out_(out), at_(local_), end_(local_ + kRoom) {}
    // Cleared and appended to rather than assigned: the text never overlaps
    // `out_`, so it is copied without the assignment's look for an overlap.
    ~Text()
    {
        if (!inLocal()) [[unlikely]] {
            cutString();
            return;
        }
        out_.clear();
        out_.append(local_, std::size_t(at_ - local_));
    }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Several pieces at once: one look at the room for all of them, whose
    // longest lengths are known from their types, and the place to write
    // at kept in a register from one piece to the next (a member would be
    // read again after every copy, which may have written over it).
    template <class... Pieces>
    [[gnu::always_inline]] Text& put(const Pieces&... pieces)
    {
        room((longest<Pieces>() + ... + 0));
        char* at = at_;
        ((at = write(at, pieces)), ...);
        at_ = at;
        return *this;
    }
    template <class Piece>
    [[gnu::always_inline]] Text& operator<<(const Piece& piece)
    {
        return put(piece);
    }
    // A fraction as "p/q".
    Text& operator<<(const Rational& value)
    {
        put(value.num());
        if (value.den() != 1)
            put("/", value.den());
        return *this;
    }

private:
    // Room enough for every sentence and reason this program writes; a text
    // that would pass it moves into its string.
    static constexpr std::size_t kRoom = 384;
    // The digits of 0 to 99, each in two bytes (the second unused below 10).
    static constexpr std::array<std::array<char, 2>, 100> kSmall = [] {
        std::array<std::array<char, 2>, 100> t{};
        for (int i = 0; i < 100; ++i)
            t[std::size_t(i)] = i < 10 ? std::array<char, 2>{char('0' + i), 0}
                                       : std::array<char, 2>{char('0' + i / 10), char('0' + i % 10)};
        return t;
    }();
    // Whether the text is still in its own room (its end is moved into the
    // string, which lies outside the text, once it grows).
    bool inLocal() const { return end_ == local_ + kRoom; }
    [[gnu::always_inline]] void room(std::size_t n)
    {
        if (std::size_t(end_ - at_) < n) [[unlikely]]
            grow(n);
    }
    [[gnu::noinline]] void grow(std::size_t n)
    {
        const bool local = inLocal();
        const std::size_t used = std::size_t(at_ - (local ? local_ : out_.data()));
        if (local)
            out_.assign(local_, used);
        out_.resize(2 * (used + n));
        at_ = out_.data() + used;
        end_ = out_.data() + out_.size();
    }
    // The text written in its string: cut to its length.
    [[gnu::noinline]] void cutString() { out_.resize(std::size_t(at_ - out_.data())); }
    // The longest that a piece of a type can be.
    template <class Piece>
    static constexpr std::size_t longest()
    {
        if constexpr (std::is_array_v<Piece>)
            return std::extent_v<Piece> - 1;  // a literal, without its terminating zero
        else if constexpr (std::is_same_v<Piece, Word>)
            return sizeof(Word);
        else if constexpr (std::is_same_v<Piece, Amount>)
            return kMaxAmountText;
        else if constexpr (std::is_same_v<Piece, Int>)
            return 48;
        else if constexpr (std::is_integral_v<Piece> && sizeof(Piece) <= sizeof(std::int64_t))
            return 20;
        else
            static_assert(std::is_same_v<Piece, Word>, "a piece of a text has a longest length");
    }
    // Each piece is written at `at`, which is moved past it.
    template <std::size_t N>
    [[gnu::always_inline]] static char* write(char* at, const char (&piece)[N])
    {
        std::memcpy(at, piece, N - 1);
        return at + N - 1;
    }
    // A word is copied with the whole of its room, the same moves whatever
    // its length.
    [[gnu::always_inline]] static char* write(char* at, const Word& word)
    {
        std::memcpy(at, &word, sizeof(Word));
        return at + word.size;
    }
    template <class N>
        requires std::is_integral_v<N> && (sizeof(N) <= sizeof(std::int64_t))
    [[gnu::always_inline]] static char* write(char* at, N value)
    {
        // Most numbers of a problem are below 100: their digits are copied
        // from a table, two bytes whatever their length.
        if (static_cast<std::make_unsigned_t<N>>(value) < 100) [[likely]] {
            std::memcpy(at, kSmall[std::size_t(value)].data(), 2);
            return at + (value < 10 ? 1 : 2);
        }
        return std::to_chars(at, at + 20, value).ptr;
    }
    [[gnu::always_inline]] static char* write(char* at, Int value)
    {
        if (fits64(value)) [[likely]]
            return write(at, std::int64_t(value));
        return writeWide(at, value);
    }
    // An amount as formatAmount writes it.
    [[gnu::always_inline]] static char* write(char* at, Amount amount) { return at + formatAmount(amount.value, at); }
    [[gnu::noinline]] static char* writeWide(char* at, Int value)
    {
        std::string digits;
        appendDecimal(value, digits);
        std::memcpy(at, digits.data(), digits.size());
        return at + digits.size();
    }

    std::string& out_;
    char local_[kRoom];
    char* at_;
    char* end_;
};

// The present relatives of a case, a bit for each (at index(heir)).
std::uint32_t PresentRelatives(const EstateCase& c) noexcept;
// ExcludersInto, looking only at the relatives in `present` (a bit for each,
// at index(heir)), into room for every relative; gives their number.
using Excluders = std::array<Heir, kHeirCount>;
std::size_t ExcludersInto(const EstateCase& c, std::uint32_t present, Heir row, Excluders& out) noexcept;

// The fixed shares (k parts of 24) as optional shares, where the entry past
// them (kNoShare) is no share at all, so that an entry takes its share by
// one copy from the table.
constexpr std::uint8_t kNoShare = 25;
constexpr auto kSharesOf24 = [] {
    std::array<std::optional<Rational>, kNoShare + 1> t{};
    for (int i = 0; i <= 24; ++i)
        t[std::size_t(i)] = detail::kPartsOf24[std::size_t(i)];
    return t;
}();
// An entry of kSharesOf24 in 24ths: 0 for no share, as for none at all in a
// sum. Then its denominator (1 for no share, as for none in a least common
// multiple), and the share itself (null for none).
constexpr std::uint8_t in24thsOf(std::uint8_t share) { return share == kNoShare ? 0 : share; }
constexpr auto kDenominatorOf = [] {
    std::array<std::uint8_t, kNoShare + 1> t{};
    for (int i = 0; i <= kNoShare; ++i)
        t[std::size_t(i)] = i < kNoShare ? std::uint8_t(24 / std::gcd(i, 24)) : 1;
    return t;
}();
constexpr auto kShareAt = [] {
    std::array<const Rational*, kNoShare + 1> t{};
    for (std::size_t i = 0; i < kNoShare; ++i)
        t[i] = &*kSharesOf24[i];
    return t;
}();

// The least common multiple of two divisors of 24 (the denominators of the
// fixed shares), read from a table made at compile time.
constexpr auto kLcmOfDivisorsOf24 = [] {
    std::array<std::array<std::uint8_t, 25>, 25> t{};
    for (int a = 1; a <= 24; ++a)
        for (int b = 1; b <= 24; ++b)
            if (24 % a == 0 && 24 % b == 0)
                t[std::size_t(a)][std::size_t(b)] = std::uint8_t(std::lcm(a, b));
    return t;
}();
std::int64_t lcmOfDivisorsOf24(Int a, Int b) { return kLcmOfDivisorsOf24[std::size_t(a)][std::size_t(b)]; }

// A fixed share in parts of 24 (every share of the law is a whole number of
// them): its numerator times 24 over its denominator, read from a table.
constexpr auto kPartsOf24In = [] {
    std::array<std::uint8_t, 25> t{};
    for (int d = 1; d <= 24; ++d)
        t[std::size_t(d)] = std::uint8_t(24 % d == 0 ? 24 / d : 0);
    return t;
}();
Rational::Int in24ths(const Rational& share) { return share.num() * kPartsOf24In[std::size_t(share.den())]; }

// The greatest common divisor of a number of heads below 32 and a remainder
// below it, read from a table made at compile time.
constexpr auto kSmallGcd = [] {
    std::array<std::array<std::uint8_t, 32>, 32> t{};
    for (int n = 1; n < 32; ++n)
        for (int r = 0; r < n; ++r)
            t[std::size_t(n)][std::size_t(r)] = std::uint8_t(std::gcd(n, r));
    return t;
}();

// A head's fraction times the heads of the class, as Rational::times gives
// it: for a few heads (the usual case), their common factor with the
// denominator is read from a table instead of taken by a gcd.
Rational timesHeads(const Rational& fraction, std::int64_t n)
{
    if (n == 1)
        return fraction;
    if (n > 1 && n < 32 && fraction.num() > 0 && fits64(fraction.num()) && fraction.den() > 0 &&
        fits64(fraction.den())) {
        const auto den = std::int64_t(fraction.den());
        const std::int64_t g = kSmallGcd[std::size_t(n)][std::size_t(den % n)];
        std::int64_t num;
        if (!__builtin_mul_overflow(std::int64_t(fraction.num()), n / g, &num))
            return Rational::ofReduced(num, den / g);
    }
    return fraction.times(n);
}

// The members of the case that count each relative's heads, read from the
// heir table (HeadsOf's fields) into a table of their own: the first count
// and the second (the uterine brothers beside the sisters), where a relative
// has them. Where he has none, or no second, the member read is any count
// and what it holds is not taken (`counted`, `twoCounts`), so that a head
// count is a few loads and no branch.
struct HeadFields {
    HeadCount EstateCase::*first = &EstateCase::sons;
    HeadCount EstateCase::*second = &EstateCase::sons;
    bool counted = false;
    bool twoCounts = false;
};
constexpr auto kHeadFields = [] {
    std::array<HeadFields, kHeirCount> t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        int n = 0;
        for (const CaseField& f : kHeirs[i].caseFields()) {
            if (!f.isCount())
                continue;
            (n == 0 ? t[i].first : t[i].second) = f.count;
            ++n;
        }
        t[i].counted = n >= 1;
        t[i].twoCounts = n == 2;
        if (n > 2)
            throw "a relative counted by more than two members of the case";
    }
    return t;
}();
// As HeadsOf gives them.
HeadCount headsIn(const EstateCase& c, Heir row)
{
    const HeadFields& f = kHeadFields[std::size_t(index(row))];
    const std::int64_t first = (c.*f.first).persons();
    const std::int64_t second = (c.*f.second).persons() & -std::int64_t(f.twoCounts);
    std::int64_t persons;
    if (__builtin_add_overflow(first, second, &persons)) [[unlikely]]
        persons = INT64_MAX;
    return HeadCount(f.counted ? persons : 1);
}

// The name of a fixed share of the whole, if it has one: read from a table
// by its numerator (1 or 2) and its denominator (up to 24).
constexpr auto kShareNames = [] {
    std::array<std::array<ShareName, 25>, 2> t{};
    t[0][2] = ShareName::Half;
    t[0][3] = ShareName::Third;
    t[0][4] = ShareName::Quarter;
    t[0][6] = ShareName::Sixth;
    t[0][8] = ShareName::Eighth;
    t[1][3] = ShareName::TwoThirds;
    return t;
}();
ShareName shareName(const Rational& share)
{
    using UInt = unsigned __int128;
    // Unsigned, a numerator below 1 leaves the range too.
    if (UInt(share.num() - 1) > 1 || UInt(share.den()) > 24) [[unlikely]]
        return ShareName::None;
    return kShareNames[std::size_t(share.num() - 1)][std::size_t(share.den())];
}

// The part that two agreeing numbers share, as the science of shares names
// it: "بالنصف" for 2 ... "بالعشر" for 10, else "بجزء من n".
void agreeBy(Text& t, Int factor)
{
    static constexpr std::array<Word, 9> kParts = {"بالنصف", "بالثلث", "بالربع", "بالخمس", "بالسدس",
                                                   "بالسبع", "بالثمن", "بالتسع", "بالعشر"};
    if (factor >= 2 && factor <= 10)
        t.put(kParts[std::size_t(factor - 2)]);
    else
        t.put("بجزء من ", factor);
}

bool fitsInt64(Int v) { return v >= 0 && fits64(v); }
bool fitsInt64(std::int64_t v) { return v >= 0; }

// Quotient and remainder of 128-bit values, on 64 bits whenever both are
// not negative and fit (the usual case: a 128-bit division is a slow
// library call).
bool both64(Int a, Int b) { return ((static_cast<unsigned __int128>(a) | static_cast<unsigned __int128>(b)) >> 63) == 0; }
Int quot(Int a, Int b) { return both64(a, b) ? Int(std::uint64_t(a) / std::uint64_t(b)) : a / b; }
Int rem(Int a, Int b) { return both64(a, b) ? Int(std::uint64_t(a) % std::uint64_t(b)) : a % b; }
// The same on 64 bits, and the product and gcd of the table's numbers on 64
// or 128 bits (product gives false where the result does not fit).
std::int64_t quot(std::int64_t a, std::int64_t b) { return a / b; }
std::int64_t rem(std::int64_t a, std::int64_t b) { return a % b; }
bool product(std::int64_t a, std::int64_t b, std::int64_t& out) { return !__builtin_mul_overflow(a, b, &out); }
bool product(Int a, Int b, Int& out) { return multiply(a, b, out); }
std::int64_t gcdOf(std::int64_t a, std::int64_t b) { return std::int64_t(gcd64(std::uint64_t(a), std::uint64_t(b))); }
Int gcdOf(Int a, Int b) { return gcd(a, b); }
// The least common multiple of positive values, 0 when it does not fit.
Int lcmOf(Int a, Int b)
{
    if (a <= 0 || b <= 0)
        return 0;
    if (both64(a, b)) {
        const auto a64 = std::uint64_t(a), b64 = std::uint64_t(b);
        // Most often b divides a already: the fractions share their denominators.
        if (a64 % b64 == 0)
            return a;
        std::int64_t out;
        if (!__builtin_mul_overflow(std::int64_t(a64 / gcd64(a64, b64)), std::int64_t(b64), &out))
            return out;
    }
    if (rem(a, b) == 0)
        return a;
    Int out;
    return multiply(quot(a, gcd(a, b)), b, out) ? out : 0;
}

// The bits set in a mask, counted inline (std::popcount is a library call
// where the processor's instruction is not assumed).
constexpr int bitsSet(std::uint32_t v)
{
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return int((((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}
static_assert(bitsSet(0) == 0 && bitsSet(0xFFFFFFFFu) == 32 && bitsSet(0x80000001u) == 2);

// One part of the table: a class, or the classes that take one share
// together. Every field is written where the table makes the part.
struct Part {
    std::uint8_t first = 0;   // its first row in the explanation
    Rational::Int numerator = 0;  // its fraction of the estate, over the least common denominator
    Rational::Int unit = 0;       // the greatest common divisor of its heads' numerators
    const Rational* share = nullptr;  // its fixed share of the whole, if it has one (its first row's)
    bool spouse = false;
    bool residue = false;      // the residuaries who share what is left
    bool twoToOne = false;     // its heads are not all counted alike
    bool female = true;        // every head of it is a woman
    int rows = 0;
    Int heads = 0;             // its heads, a male counted twice beside females
    std::optional<Int> shares;  // in the problem
    // What it keeps for the multiplier (1 when its shares divide among its
    // heads), and where they do not, the common factor of its shares and
    // heads; both are worked out only where the multiplier is not 1.
    Int kept = 1;
    Int agreeing = 1;
};

// The sentences that an explanation reused for a smaller division gives
// back, with the room of their texts, for the next larger one: an
// explanation refilled case after case allocates next to nothing.
template <class T>
void resizeKeepingRoom(std::vector<T>& items, std::size_t count)
{
    thread_local std::vector<T> spare;
    while (items.size() > count) {
        spare.push_back(std::move(items.back()));
        items.pop_back();
    }
    while (items.size() < count) {
        if (spare.empty()) {
            items.emplace_back();
        } else {
            items.push_back(std::move(spare.back()));
            spare.pop_back();
        }
    }
}

// The same for the entries of an explanation, which are written whole after
// (only their room is worth keeping): a list of entries of each length met
// is kept, and the explanation trades its list for the one of the length it
// needs, so that no entry is made, moved or destroyed once a thread has met
// the lengths it uses.
void resizeKeepingRoom(std::vector<HeirExplanation>& items, std::size_t count)
{
    // One entry for each row of the result: at most kHeirCount.
    thread_local std::array<std::vector<HeirExplanation>, kHeirCount + 1> byLength;
    const std::size_t size = items.size();
    if (size == count)
        return;
    // The usual trade, by swaps alone: the list of `count` entries met
    // before for the explanation's, whose place is free.
    if (size <= kHeirCount && byLength[size].empty() && byLength[count].size() == count) {
        items.swap(byLength[count]);
        byLength[count].swap(byLength[size]);
        return;
    }
    std::vector<HeirExplanation> taken = std::move(byLength[count]);  // `count` long, or empty
    if (size <= kHeirCount && byLength[size].empty())
        byLength[size] = std::move(items);
    items = std::move(taken);
    items.resize(count);
}

// An optional written whole, by one plain copy: std::optional's own
// assignments and reset look first at whether it held a value, which
// follows no pattern from one explanation to the next.
template <class T, class V>
void setWhole(std::optional<T>& o, const V& value)
{
    static_assert(std::is_trivially_copy_assignable_v<std::optional<T>>);
    o = std::optional<T>(T(value));
}
template <class T>
void clearWhole(std::optional<T>& o)
{
    static_assert(std::is_trivially_copy_assignable_v<std::optional<T>>);
    o = std::optional<T>();
}

// The figures of an explanation as a new one has them; its entries and
// sentences stay, to be written over.
void resetFigures(Explanation& e)
{
    e.exact = false;
    e.origin = 0;
    clearWhole(e.awl);
    clearWhole(e.radd);
    e.spouseKeepsShare = false;
    clearWhole(e.raddTable);
    clearWhole(e.multiplier);
    clearWhole(e.correction);
    clearWhole(e.reducedBy);
    clearWhole(e.shareValue);
    clearWhole(e.undistributed);
}

// An explanation of nothing, as a new one is, keeping the room of its
// entries and texts for the next.
void clearKeepingRoom(Explanation& e)
{
    resetFigures(e);
    resizeKeepingRoom(e.heirs, 0);
    resizeKeepingRoom(e.sentences, 0);
}

class Builder {
public:
    Builder(const EstateCase& c, const DivisionResult& r, const detail::Trace& t, Explanation& out)
        : c_(c), r_(r), t_(t), out_(out)
    {
        base_ = r.problemBase.raw() / Currency::kScale;
    }

    void build()
    {
        // The entries and sentences of an explanation used before are
        // written over, with the room of their texts: each entry is filled
        // whole (heir), and the sentences are cut to those written.
        resetFigures(out_);
        // The rows of the result that are not empty, in their order: those
        // of the relatives present and those a rule wrote.
        const std::uint32_t shown = t_.rowsPresent | t_.rowsRecorded;
        const auto count = std::size_t(bitsSet(shown));
        resizeKeepingRoom(out_.heirs, count);
        // The heads of every row are cleared, those of this explanation's
        // set below: by one store for each row, in place (a call to clear
        // them, or a loop over the last explanation's rows, costs more).
        [this]<std::size_t... i>(std::index_sequence<i...>) {
            ((headsOf_[i] = HeadCount()), ...);
        }(std::make_index_sequence<kHeirCount>());
        // Every fraction over their least common denominator, taken on 64
        // bits while it fits (the usual case), else again on 128.
        bool exact = true;
        std::uint64_t least = 1;
        bool narrow = true;
        std::uint32_t inheriting = 0;
        HeirExplanation* const heirs = out_.heirs.data();
        std::size_t next = 0;
        for (std::uint32_t rows = shown; rows != 0; rows &= rows - 1, ++next) {
            const int i = std::countr_zero(rows);
            HeirExplanation& h = heirs[next];
            heir(heirAt(i), h, next);
            const Int num = h.fraction.num(), d = h.fraction.den();
            exact = exact && d != 0;
            if (num == 0 || d == 0)
                continue;
            inheriting |= std::uint32_t(1) << i;
            if (!narrow || (static_cast<unsigned __int128>(d) >> 63) != 0) {  // d above INT64_MAX
                narrow = false;
            } else if (const auto d64 = std::uint64_t(d); d64 % least == 0) {
                least = d64;  // a multiple of the others, or the first
            } else if (least % d64 != 0) {
                narrow = !__builtin_mul_overflow(least / gcd64(least, d64), d64, &least) &&
                         least <= std::uint64_t(INT64_MAX);
            }
        }
        inheriting_ = inheriting;
        least_ = Int(least);
        if (exact && !narrow) {
            least_ = 1;
            for (const HeirExplanation& h : out_.heirs)
                if (h.fraction.num() != 0)
                    least_ = lcmOf(least_, h.fraction.den());
        }
        exact = exact && least_ > 0;
        out_.exact = exact;
        // The table, with who excludes whom (exclusion), on 64 bits where
        // every number fits (the usual case), else on 128.
        narrow_ = exact && narrow;
        if (!problem())
            return;
        for (HeirExplanation& h : out_.heirs)
            reason(h);
        sentences();
    }

private:
    // Each head's numerator over least_, and what the heirs' fractions leave
    // of the whole, on 128 bits; false, with the explanation cleared, where
    // they do not fit.
    bool counted128()
    {
        bool exact = out_.exact;
        Int total = 0;
        for (std::size_t i = 0; i < out_.heirs.size() && exact; ++i) {
            const HeirExplanation& h = out_.heirs[i];
            Int whole;
            numerators_[i] = 0;
            if (h.fraction.num() == 0)
                continue;
            if (!multiply(h.fraction.num(), quot(least_, h.fraction.den()), numerators_[i]) ||
                !multiply(numerators_[i], Int(heads(h.row).persons()), whole) ||
                __builtin_add_overflow(total, whole, &total))
                exact = false;
        }
        out_.exact = exact;
        if (exact && total != least_)
            setWhole(out_.undistributed, Rational::of(least_ - total, least_));
        if (!exact) {
            resizeKeepingRoom(out_.heirs, 0);
            clearWhole(out_.undistributed);
            resizeKeepingRoom(out_.sentences, 0);
        }
        return exact;
    }

    // A head's numerator over least_ (which fits 64 bits) on 64 bits, and
    // the row's added to `total`; false where its fraction is negative or a
    // number does not fit. Every number of the table is then at most the
    // total or least_, or a product that is checked.
    static bool counted64(const Rational& fraction, std::int64_t least, std::int64_t persons, std::int64_t& perHead,
                          std::int64_t& total)
    {
        const Int num = fraction.num();
        std::int64_t whole;
        perHead = 0;
        return num == 0 ||
               (num > 0 && fits64(num) &&
                !__builtin_mul_overflow(std::int64_t(num), least / std::int64_t(fraction.den()), &perHead) &&
                !__builtin_mul_overflow(perHead, persons, &whole) && !__builtin_add_overflow(total, whole, &total));
    }

    // The heads of a present relative's row (0 for one who is absent).
    HeadCount heads(Heir row) const { return headsOf_[std::size_t(index(row))]; }
    // Worked out with no jump: a relative who is always one is Count::One.
    Count count(Heir row) const
    {
        const std::int64_t n = heads(row).persons();
        const int counted = kRowTraits[std::size_t(index(row))].counted;
        return Count((int(n >= 2) + int(n >= 3)) & -counted);
    }
    bool plural(Heir row) const { return count(row) != Count::One; }
    bool female(Heir row) const { return kRowTraits[std::size_t(index(row))].female; }
    const Word& name(Heir row) const { return kRowNames[std::size_t(index(row))].name[std::size_t(count(row))]; }
    // "ل" and the name: "للزوج", "لابن الابن".
    const Word& withLam(Heir row) const { return withLam(row, count(row)); }
    static const Word& withLam(Heir row, Count n) { return kRowNames[std::size_t(index(row))].withLam[std::size_t(n)]; }
    // The attached pronoun of a class: "ه", "ها", "هما", "هم", "هن".
    const Word& pronoun(Heir row) const { return pronoun(count(row), female(row)); }
    static const Word& pronoun(Count n, bool isFemale)
    {
        static constexpr GenderedForms kPronouns = {{{"ه", "هما", "هم"}, {"ها", "هما", "هن"}}};
        return pick(kPronouns, n, isFemale);
    }
    bool present(Heir row) const { return !r_.rows[std::size_t(index(row))].isEmpty(); }
    // Whether a relative inherits: his row is shown, and its fraction is
    // not 0 (every fraction is valid once the table is worked).
    bool inherits(Heir row) const { return (inheriting_ >> index(row)) & 1; }
    const detail::RowSource& source(Heir row) const { return t_.sources[std::size_t(index(row))]; }

    // What each source of the trace makes of a row: its status, and its
    // share as an entry of kSharesOf24 (kShareOfK: k of 24), by the source
    // and whether k is 0. Read from tables rather than branched on,
    // since the sources of the rows follow no pattern; only the father's and
    // the grandfather's rest are looked at again (fatherOrGrandfather).
    static constexpr std::uint8_t kShareOfK = kNoShare + 1;
    static constexpr std::size_t kSources = std::size_t(Source::GrandfatherSixth) + 1;  // the last source
    static constexpr auto kStatusOf = [] {
        std::array<HeirStatus, kSources> t{};
        t[std::size_t(Source::None)] = HeirStatus::NothingLeft;
        t[std::size_t(Source::Fixed)] = HeirStatus::Fixed;
        t[std::size_t(Source::Umariyya)] = HeirStatus::Umariyya;
        t[std::size_t(Source::ResidueAlone)] = HeirStatus::Residue;
        t[std::size_t(Source::ResidueMale)] = HeirStatus::Residue;
        t[std::size_t(Source::ResidueFemale)] = HeirStatus::ResidueWith;
        t[std::size_t(Source::ResidueBeside)] = HeirStatus::ResidueBeside;
        t[std::size_t(Source::FatherRest)] = HeirStatus::Residue;  // or a fixed share (fatherOrGrandfather)
        t[std::size_t(Source::GrandfatherRest)] = HeirStatus::Residue;
        t[std::size_t(Source::SharedThird)] = HeirStatus::SharedThird;
        t[std::size_t(Source::GrandfatherSharing)] = HeirStatus::GrandfatherSharing;
        t[std::size_t(Source::GrandfatherSixth)] = HeirStatus::Fixed;
        return t;
    }();
    static constexpr auto kShareOf = [] {
        // By the source, and whether k is 0.
        std::array<std::array<std::uint8_t, 2>, kSources> t{};
        for (auto& shares : t)
            shares = {kNoShare, kNoShare};
        t[std::size_t(Source::Fixed)] = {kShareOfK, kNoShare};
        t[std::size_t(Source::Umariyya)] = {kShareOfK, 0};
        t[std::size_t(Source::FatherRest)] = {kShareOfK, kNoShare};
        t[std::size_t(Source::GrandfatherRest)] = {kShareOfK, kNoShare};
        t[std::size_t(Source::SharedThird)] = {8, 8};
        t[std::size_t(Source::GrandfatherSixth)] = {4, 4};
        return t;
    }();

    // An entry's row, heads, fractions, status and share; what the table
    // and the exclusions write is cleared.
    void heir(Heir row, HeirExplanation& h, std::size_t at)
    {
        const std::size_t i = std::size_t(index(row));
        h.row = row;
        const HeadCount n = headsIn(c_, row);
        headsOf_[i] = n;
        clearWhole(h.shares);
        clearWhole(h.originShares);
        h.excludedBy.clear();
        h.fraction = t_.rows[i];
        h.classFraction = timesHeads(h.fraction, n.persons());
        const detail::RowSource s = t_.sources[i];
        const auto source = std::size_t(s.source);
        const std::uint8_t k = std::min<std::uint8_t>(s.k, 24);
        // k, or the share of the table, chosen by a mask rather than a branch.
        const std::uint8_t fromTable = kShareOf[source][k == 0];
        const auto ofK = std::uint8_t(0 - std::uint8_t(fromTable == kShareOfK));
        std::uint8_t share = std::uint8_t((k & ofK) | (fromTable & ~ofK));
        h.status = kStatusOf[source];
        if (s.source == Source::FatherRest || s.source == Source::GrandfatherRest) [[unlikely]]
            fatherOrGrandfather(row, h, i, share);
        h.share = kSharesOf24[share];
        shareOf_[at] = share;
    }

    // The father or the grandfather: a residue, a fixed share, or both.
    void fatherOrGrandfather(Heir row, HeirExplanation& h, std::size_t i, std::uint8_t& share)
    {
        if (share == kNoShare) {
            // Beside sisters who hold their fixed share, what is left of a
            // problem raised by 'awl is exactly his sixth of the raised
            // base: the floor of a sixth raised the problem to it, and his
            // sixth is a fixed share.
            if (row == Heir::Grandfather && base_ > 24 && h.fraction == Rational::of(4, base_) * t_.estateValue) {
                h.status = HeirStatus::Fixed;
                share = 4;
                raisedSixth_ = true;
            }
        } else {
            h.status = t_.fixedPart[i] < h.fraction ? HeirStatus::FixedAndResidue : HeirStatus::Fixed;
        }
    }

    // An heir who receives nothing (the only one it is asked about) is
    // excluded by the present relatives who would exclude him and inherit
    // themselves; with none of them, nothing was left for him.
    void exclusion(HeirExplanation& h)
    {
        clearWhole(h.share);
        // Whoever inherits is present: the present relatives looked for are
        // those who inherit, and for a son's son's daughter besides the sons
        // and the sons' sons, whose presence alone decides whether the
        // daughters exclude her.
        const auto presentBit = [this](Heir r) {
            return RelativePresent(c_, r) ? std::uint32_t(1) << index(r) : std::uint32_t(0);
        };
        const bool sonsLooked = h.row == Heir::SonsSonsDaughters;
        const std::uint32_t looked =
            sonsLooked ? inheriting_ | presentBit(Heir::Sons) | presentBit(Heir::SonsSons) : inheriting_;
        Excluders excluders;
        std::size_t n = ExcludersInto(c_, looked, h.row, excluders);
        if (sonsLooked) {
            // Only those who inherit are named.
            std::size_t kept = 0;
            for (std::size_t i = 0; i < n; ++i) {
                excluders[kept] = excluders[i];
                kept += (inheriting_ >> index(excluders[i])) & 1;
            }
            n = kept;
        }
        if (n != 0)
            h.excludedBy.assign(excluders.data(), excluders.data() + n);
        h.status = n == 0 ? HeirStatus::NothingLeft : HeirStatus::Excluded;
    }

    // The groups of rows that take one share together, each one part: the
    // grandmothers share one sixth, the siblings one third, the residuaries
    // what is left; every other row is a part of its own (kAlone). Read from
    // tables by the row and by the status.
    enum : std::uint8_t { kAlone, kGrandmothers, kSharedThird, kResidue, kGroups };
    static constexpr auto kGroupOfRow = [] {
        std::array<std::uint8_t, kHeirCount> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = kHeirs[i].heirClass == HeirClass::Grandmother ? kGrandmothers : kAlone;
        return t;
    }();
    static constexpr auto kGroupOfStatus = [] {
        std::array<std::uint8_t, std::size_t(HeirStatus::NothingLeft) + 1> t{};
        t[std::size_t(HeirStatus::SharedThird)] = kSharedThird;
        for (HeirStatus s : {HeirStatus::Residue, HeirStatus::ResidueWith, HeirStatus::ResidueBeside,
                             HeirStatus::GrandfatherSharing})
            t[std::size_t(s)] = kResidue;
        return t;
    }();

    // The origin, the 'awl or the radd, each part's shares, the multiplier,
    // the correction and its reduction, and each head's number of shares.
    // The fractions are counted in whole numbers over their least common
    // denominator, so that the table is worked in integers: on 64 bits where
    // they fit (the usual case, counted as the table goes), else on 128
    // (counted first, and what they leave of the whole with them);
    // false where they do not fit even 128 bits (the explanation is then
    // cleared).
    bool problem()
    {
        if (narrow_) {
            wide_ = false;
            table<std::int64_t>();
            if (!wide_)
                return true;
        }
        if (!counted128())
            return false;
        table<Int>();
        return true;
    }

    // Whether a step of the table on I leaves I: on 64 bits, the table is
    // then worked again on 128 (wide_); on 128, the step fails as the table
    // says.
    template <class I>
    bool leaves()
    {
        if constexpr (std::is_same_v<I, std::int64_t>) {
            wide_ = true;
            return true;
        } else {
            return false;
        }
    }

    // The table on I. On 64 bits, every number read from the entries and
    // parts fits once the numerators are counted (counted64), and it stops
    // at the first step whose result would not: up to there it has written
    // what the table on 128 writes.
    template <class I>
    void table()
    {
        partCount_ = 0;
        awlNote_ = raddNote_ = false;
        chains_ = true;
        othersOrigin_ = 0;
        const I least = I(least_);  // a multiple of the undistributed fraction's denominator too
        // The parts: the grandmothers share one sixth, the siblings one
        // third, the residuaries what is left; every other class is a part
        // of its own. Each part's numerator over `least`, and the unit its
        // heads' numerators are multiples of.
        std::array<int, kGroups> together = {-1, -1, -1, -1};  // the part of each group, once made
        // The origin: the least number that every fixed share divides, or
        // without a fixed share the heads of the residuaries.
        I origin = 1;
        I fixedSum = 0;  // in 24ths
        int beforeGrandfather = 24;
        bool anyFixed = false;
        bool shared = false;  // a part of more than one row
        const Part* residuePart = nullptr;
        const std::size_t rows = out_.heirs.size();
        HeirExplanation* const heirs = out_.heirs.data();
        Int* const numerators = numerators_.data();
        std::int64_t total = 0;  // on 64 bits, the heads' numerators added
        for (std::size_t i = 0; i < rows; ++i) {
            HeirExplanation& h = heirs[i];
            const auto row = std::size_t(index(h.row));
            const I persons = headsOf_[row].persons();
            I perHead;
            if constexpr (std::is_same_v<I, std::int64_t>) {
                if (!counted64(h.fraction, least, persons, perHead, total)) {
                    leaves<I>();
                    return;
                }
                numerators[i] = perHead;
            } else {
                perHead = numerators[i];
            }
            if (perHead == 0) {
                // An heir who receives nothing: who excludes him, now that
                // it is known who inherits (again, harmlessly, where the
                // table is worked again on 128 bits).
                exclusion(h);
                h.part = std::uint8_t(i);
                continue;
            }
            const I whole = perHead * persons;  // checked with the total
            const std::uint8_t rowGroup = kGroupOfRow[row];
            const std::size_t group = rowGroup != kAlone ? rowGroup : kGroupOfStatus[std::size_t(h.status)];
            std::uint8_t share = shareOf_[i];
            anyFixed = anyFixed || share != kNoShare;
            if (together[group] >= 0) [[unlikely]] {
                // Another row of a part: its heads are counted again below,
                // by the unit of the part.
                Part& part = parts_[std::size_t(together[group])];
                h.part = part.first;
                part.numerator = I(part.numerator) + whole;  // not above the total
                part.unit = gcdOf(I(part.unit), perHead);
                ++part.rows;
                part.female = part.female && female(h.row);
                shared = true;
                continue;
            }
            const std::size_t p = partCount_++;
            Part& part = parts_[p];
            h.part = std::uint8_t(i);
            together[group] = int(p);
            together[kAlone] = -1;  // each row alone is a part of its own
            // Every field of the part is written here.
            part.first = std::uint8_t(i);
            partIndex_[i] = std::uint8_t(p);
            part.spouse = isSpouse(h.row);
            part.residue = group == kResidue;
            part.twoToOne = false;
            clearWhole(part.shares);
            part.kept = 1;
            part.agreeing = 1;
            // The residuaries' part has no fixed share (chosen by a mask: the
            // groups follow no pattern).
            const auto residueMask = std::uint8_t(0 - std::uint8_t(part.residue));
            share = std::uint8_t((share & ~residueMask) | (kNoShare & residueMask));
            part.share = kShareAt[share];
            origin = lcmOfDivisorsOf24(origin, kDenominatorOf[share]);
            fixedSum += in24thsOf(share);
            beforeGrandfather -= h.row != Heir::Grandfather ? in24thsOf(share) : 0;
            residuePart = part.residue ? &part : residuePart;
            part.numerator = whole;
            part.unit = perHead;
            part.rows = 1;
            part.female = female(h.row);
            part.heads = persons;  // one row: each head's numerator is the unit
        }
        anyFixed_ = anyFixed;
        residueBeforeGrandfather_ = beforeGrandfather;
        if constexpr (std::is_same_v<I, std::int64_t>) {
            if (total != least)
                setWhole(out_.undistributed, Rational::of(least_ - total, least_));
        }
        // The heads of a part of several rows, counted by their shares:
        // where males and females share two to one, a male counts as two.
        // Each row's heads so counted are within its part of the total.
        if (shared) {
            for (std::size_t p = 0; p < partCount_; ++p)
                if (parts_[p].rows > 1)
                    parts_[p].heads = 0;
            for (std::size_t i = 0; i < rows; ++i) {
                if (numerators[i] == 0)
                    continue;
                Part& part = partAt(heirs[i].part);
                if (part.rows == 1)
                    continue;
                const I weight = quot(I(numerators[i]), I(part.unit));
                part.heads = I(part.heads) + weight * I(heads(heirs[i].row).persons());
                part.twoToOne = part.twoToOne || weight != 1;
            }
        }
        const bool residueTaken = residuePart != nullptr;
        if (!anyFixed_)
            origin = residuePart != nullptr && residuePart->heads > 0 ? I(residuePart->heads) : I(1);
        if (!fitsInt64(origin) || origin == 0) {
            fail();
            return;
        }
        out_.origin = std::int64_t(origin);
        I problem = origin;

        // Fixed shares beyond the whole raise the origin ('awl).
        // The fixed shares in the origin: origin is a multiple of every
        // share's denominator, so of 24 / gcd(24, ...); fixedSum x origin
        // / 24 is whole.
        const I raised = fixedSum * origin;  // at most 24 x 24
        if (anyFixed_ && base_ > 24 && rem(raised, I(24)) == 0 && quot(raised, I(24)) > origin &&
            fitsInt64(quot(raised, I(24)))) {
            setWhole(out_.awl, quot(raised, I(24)));
            problem = quot(raised, I(24));
            awlNote_ = true;
        }

        // A surplus without a residuary returns to the sharers other than
        // the spouses (radd).
        if (anyFixed_ && base_ < 24 && !residueTaken) {
            Int returned = problem;
            radd(returned);
            problem = I(returned);  // a problem that fits 64 bits
        }
        problem_ = problem;

        if (out_.undistributed) {
            // least less the total, reduced and brought back over `least`.
            I scaled;
            const I undistributed = I(out_.undistributed->num()) * quot(least, I(out_.undistributed->den()));
            if (!product(undistributed, problem, scaled)) {
                if (leaves<I>())
                    return;
                chains_ = false;
            } else {
                chains_ = chains_ && rem(scaled, least) == 0;
            }
        }

        // The multiplier is the least common multiple of what the parts keep
        // (partShares): the least number that makes every head's shares
        // whole, least / gcd(least, problem). Most often the problem divides
        // `least`.
        const I multiplier = rem(least, problem) == 0 ? quot(least, problem) : quot(least, gcdOf(least, problem));
        I correction = 0;
        if (fitsInt64(multiplier)) {
            setWhole(out_.multiplier, multiplier);
            if (product(problem, multiplier, correction) && fitsInt64(correction))
                setWhole(out_.correction, correction);
            else if (leaves<I>())
                return;
        }
        // Where it is 1, every part's shares divide among its heads: what
        // each keeps need not be worked out.
        const bool keeping = multiplier != 1;
        // Each row's shares in the problem (its part's, worked out at its
        // first row) and each head's in the correction.
        const bool corrected = out_.correction.has_value();
        const I perUnit = corrected ? quot(correction, least) : I(0);
        for (std::size_t i = 0; i < rows; ++i) {
            HeirExplanation& h = heirs[i];
            if (numerators[i] == 0) {
                h.originShares = 0;
            } else {
                Part& part = partAt(h.part);
                if (h.part == i && !partShares(part, problem, least, keeping))
                    return;
                if (part.shares && fitsInt64(*part.shares))
                    setWhole(h.originShares, *part.shares);
            }
            if (!corrected)
                continue;
            I shares;
            if (product(I(numerators[i]), perUnit, shares) && fitsInt64(shares))
                setWhole(h.shares, shares);
            else if (leaves<I>())
                return;
        }
        if (!corrected)
            return;
        if (perUnit > 1)
            setWhole(out_.reducedBy, perUnit);
        // The value of one share: the estate divided over the corrected
        // problem, rounded to the nearest amount, ties to even.
        const I raw = c_.estate.raw();
        if (raw < 0 && leaves<I>())
            return;
        I value = quot(raw, correction);
        const I rest = raw - value * correction;
        shareValueExact_ = rest == 0;
        if (rest > correction - rest || (rest == correction - rest && value % 2 != 0))
            ++value;
        setWhole(out_.shareValue, Currency::fromRaw(std::int64_t(value)));
    }

    // A part's shares in the problem, and where they do not divide among its
    // heads (looked at when `keeping`), what it keeps for the multiplier;
    // false where the table leaves I.
    template <class I>
    bool partShares(Part& part, I problem, I least, bool keeping)
    {
        I scaled;
        if (!product(I(part.numerator), problem, scaled)) {
            if (leaves<I>())
                return false;
            chains_ = false;
            return true;
        }
        const I shares = quot(scaled, least);
        if (shares * least != scaled) {  // not above `scaled`: no overflow
            chains_ = false;
            return true;
        }
        setWhole(part.shares, shares);
        // The shares divide among the heads when the heads divide them.
        if (const I partHeads = I(part.heads); keeping && partHeads != 1) [[unlikely]] {
            if (rem(shares, partHeads) == 0) {
                part.agreeing = partHeads;
            } else {
                const I g = gcdOf(shares, partHeads);
                part.agreeing = g;
                part.kept = quot(partHeads, g);
            }
        }
        return true;
    }

    // The radd problem, and beside a spouse the table that combines the
    // spouse's problem with it. `problem` becomes the problem of the table.
    void radd(Int& problem)
    {
        const Part* spouse = nullptr;
        std::size_t others = 0;
        const Part* only = nullptr;
        Int othersOrigin = 1;
        for (std::size_t p = 0; p < partCount_; ++p) {
            const Part& part = parts_[p];
            if (part.spouse) {
                spouse = &part;
                continue;
            }
            if (!part.share)
                return;  // not a table of fixed shares
            ++others;
            only = &part;
            othersOrigin = lcmOfDivisorsOf24(othersOrigin, part.share->den());
        }
        if (others == 0 || othersOrigin == 0)
            return;  // a spouse alone: what is left is not returned to the spouse
        // The others' shares from their own origin, or their heads when they
        // are one class.
        Int raddProblem = 0;
        if (others == 1) {
            raddProblem = only->heads;
        } else {
            for (std::size_t p = 0; p < partCount_; ++p) {
                const Part& part = parts_[p];
                if (!part.spouse)
                    raddProblem += quot(in24ths(*part.share) * othersOrigin, 24);
            }
            othersOrigin_ = othersOrigin;
        }
        if (!fitsInt64(raddProblem) || raddProblem <= 0)
            return;
        setWhole(out_.radd, raddProblem);
        raddNote_ = true;
        if (spouse == nullptr || !spouse->share) {
            problem = raddProblem;
            return;
        }
        RaddTable table;
        table.spouseProblem = std::int64_t(spouse->share->den());
        table.spouseShares = std::int64_t(spouse->share->num());
        table.remainder = table.spouseProblem - table.spouseShares;
        table.raddProblem = std::int64_t(raddProblem);
        const Int g = gcd(table.remainder, raddProblem);
        table.relation = table.remainder == raddProblem ? Relation::Equal
                         : g > 1 && table.remainder > 1 && raddProblem > 1 ? Relation::Agree
                                                                            : Relation::Coprime;
        Int combined;
        if (!multiply(Int(table.spouseProblem), raddProblem / g, combined) || !fitsInt64(combined))
            return;
        table.combined = std::int64_t(combined);
        setWhole(out_.raddTable, table);
        out_.spouseKeepsShare = true;
        problem = combined;
    }

    void fail()
    {
        chains_ = false;
        out_.origin = 0;
    }

    Part& partAt(std::uint8_t first)
    {
        return parts_[std::size_t(partIndex_[first])];
    }

    // ---- Reasons -------------------------------------------------------------

    const Word& femaleDescendant() const
    {
        for (Heir row : {Heir::Daughters, Heir::SonsDaughters, Heir::SonsSonsDaughters})
            if (present(row))
                return name(row);
        return kRowNames[std::size_t(index(Heir::Daughters))].name[0];
    }

    const Word& excludedWord(Heir row) const
    {
        static constexpr GenderedForms kExcluded = {{{"محجوب", "محجوبان", "محجوبون"}, {"محجوبة", "محجوبتان", "محجوبات"}}};
        return pick(kExcluded, count(row), female(row));
    }

    // The male who shares with a female class two to one, and the reverse.
    Heir maleOf(Heir row) const
    {
        switch (row) {
        case Heir::Daughters: return Heir::Sons;
        case Heir::FullSisters: return Heir::FullBrothers;
        case Heir::PaternalSisters: return Heir::PaternalBrothers;
        case Heir::SonsDaughters: return present(Heir::SonsSons) ? Heir::SonsSons : Heir::SonsSonsSons;
        default: return Heir::SonsSonsSons;
        }
    }
    Heir femaleOf(Heir row) const
    {
        switch (row) {
        case Heir::Sons: return Heir::Daughters;
        case Heir::SonsSons: return Heir::SonsDaughters;
        case Heir::FullBrothers: return Heir::FullSisters;
        case Heir::PaternalBrothers: return Heir::PaternalSisters;
        default:
            return present(Heir::SonsSonsDaughters) && source(Heir::SonsSonsDaughters).source == Source::ResidueFemale &&
                           !(present(Heir::SonsDaughters) && source(Heir::SonsDaughters).source == Source::ResidueFemale)
                       ? Heir::SonsSonsDaughters
                       : Heir::SonsDaughters;
        }
    }

    // Whether a female class who shares with a male two to one would take a
    // fixed share without him (then he is the unlucky brother where nothing
    // is left), or would be excluded without him (then he is the blessed
    // brother, or relative, who makes her inherit).
    enum class Without : std::uint8_t { Fixed, Excluded, Other };
    Without withoutHim(Heir female) const
    {
        const bool femaleDescendant =
            positive(c_.daughters) || positive(c_.sonsDaughters) || positive(c_.sonsSonsDaughters);
        switch (female) {
        case Heir::FullSisters: return femaleDescendant ? Without::Other : Without::Fixed;
        case Heir::PaternalSisters:
            if (atLeastTwo(c_.fullSisters))
                return Without::Excluded;
            return femaleDescendant ? Without::Other : Without::Fixed;
        case Heir::SonsDaughters: return atLeastTwo(c_.daughters) ? Without::Excluded : Without::Fixed;
        case Heir::SonsSonsDaughters:
            if (atLeastTwo(c_.daughters) || atLeastTwo(c_.sonsDaughters) ||
                (exactlyOne(c_.daughters) && positive(c_.sonsDaughters)))
                return Without::Excluded;
            return Without::Fixed;
        default: return Without::Other;
        }
    }
    static bool isPairedMale(Heir row)
    {
        return row == Heir::Sons || row == Heir::SonsSons || row == Heir::SonsSonsSons || row == Heir::FullBrothers ||
               row == Heir::PaternalBrothers;
    }

    // Who would exclude a female class without the male who makes her
    // residuary: those above her who complete the two thirds.
    void wouldExclude(Text& t, Heir female) const
    {
        switch (female) {
        case Heir::PaternalSisters: t << name(Heir::FullSisters); return;
        case Heir::SonsDaughters: t << name(Heir::Daughters); return;
        default:
            if (atLeastTwo(c_.daughters))
                t.put(name(Heir::Daughters));
            else if (atLeastTwo(c_.sonsDaughters))
                t.put(name(Heir::SonsDaughters));
            else
                t.put(name(Heir::Daughters), " و", name(Heir::SonsDaughters));
        }
    }

    // "الأخ" beside the females of his own degree, "القريب" below them.
    static const Word& relativeWord(Heir male, Heir female)
    {
        static constexpr Word kNear = "القريب", kBrother = "الأخ";
        return male == Heir::SonsSonsSons && female == Heir::SonsDaughters ? kNear : kBrother;
    }

    // The note of an heir in a problem raised by 'awl or returned by radd.
    void problemNote(Text& t, Heir row, Count n, bool isFemale) const
    {
        if (!awlNote_ && !raddNote_)
            return;
        static constexpr GenderedForms kHis = {{{"نصيبه", "نصيبهما", "نصيبهم"}, {"نصيبها", "نصيبهما", "نصيبهن"}}};
        if (awlNote_)
            t.put("، ونقص ", pick(kHis, n, isFemale), " بالعول");
        else if (isSpouse(row))
            t.put("، ولا يُرد على أحد الزوجين");
        else
            t.put("، وزاد ", pick(kHis, n, isFemale), " بالرد");
    }

    // What residuaries take: the rest, or the whole estate beside no sharer.
    const Word& rest() const
    {
        static constexpr Word kRest = " الباقي", kWholeEstate = " التركة كلها";
        return anyFixed_ ? kRest : kWholeEstate;
    }

    // Whether the siblings of a row take what is left after the
    // grandfather's sixth.
    bool afterGrandfathersSixth(Heir row) const
    {
        return (row == Heir::FullBrothers || row == Heir::FullSisters || row == Heir::PaternalBrothers ||
                row == Heir::PaternalSisters) &&
               source(Heir::Grandfather).source == Source::GrandfatherSixth;
    }

    void reason(HeirExplanation& h) const
    {
        Text t(h.reason);
        const Heir row = h.row;
        // The two most frequent first, with no more looked at than they need.
        if (h.status == HeirStatus::Fixed) {
            fixedReason(h, t);
            if (awlNote_ || raddNote_)
                problemNote(t, row, isGrandmother(row) ? grandmotherCount() : count(row), female(row));
            return;
        }
        if (h.status == HeirStatus::Excluded) {
            const std::size_t by = h.excludedBy.size();
            t.put(excludedWord(row));
            if (by != 0)
                t.put(" ب", name(h.excludedBy[0]));
            for (std::size_t i = 1; i < by; ++i)
                t.put(" و", name(h.excludedBy[i]));
            return;
        }
        const Count n = count(row);
        const bool isFemale = female(row);
        const Word& rest = this->rest();
        const bool afterGrandfathersSixth = this->afterGrandfathersSixth(row);
        switch (h.status) {
        case HeirStatus::Excluded:
        case HeirStatus::Fixed:
            return;
        case HeirStatus::NothingLeft: {
            t.put("لم يبق ل", pronoun(n, isFemale));
            if (awlNote_)
                t.put(" شيء، إذ استغرقت الفروض التركة وعالت المسألة");
            else
                t.put(" شيء بعد أصحاب الفروض");
            const detail::RowSource& s = source(row);
            if (s.source == Source::ResidueFemale && !afterGrandfathersSixth && withoutHim(row) == Without::Fixed) {
                static constexpr GenderedForms kBecame = {
                    {{}, {"، لأنها صارت عصبة مع ", "، لأنهما صارتا عصبة مع ", "، لأنهن صرن عصبة مع "}}};
                static constexpr Forms kButForHim = {"ولولاه", "ولولاهما", "ولولاهم"};
                static constexpr GenderedForms kWouldInherit = {{{}, {" لورثت بالفرض", " لورثتا بالفرض", " لورثن بالفرض"}}};
                const Heir male = maleOf(row);
                t.put(pick(kBecame, n, true), name(male), " (", relativeWord(male, row), " المشؤوم)، ",
                      pick(kButForHim, count(male)), pick(kWouldInherit, n, true));
            } else if (isPairedMale(row) && !afterGrandfathersSixth) {
                const Heir fem = femaleOf(row);
                if (present(fem) && source(fem).source == Source::ResidueFemale && withoutHim(fem) == Without::Fixed) {
                    static constexpr Forms kMadeResiduary = {"، وقد عصّب ", "، وقد عصّبا ", "، وقد عصّبوا "};
                    static constexpr GenderedForms kDidNotInherit = {
                        {{}, {" فلم ترث بالفرض", " فلم ترثا بالفرض", " فلم يرثن بالفرض"}}};
                    t.put(pick(kMadeResiduary, n), name(fem), pick(kDidNotInherit, count(fem), true), " (",
                          relativeWord(row, fem), " المشؤوم)");
                }
            }
            return;
        }
        case HeirStatus::Umariyya:
            // "وهو ربع التركة": the share's name without its article.
            t.put("للأم ثلث الباقي بعد فرض ", spouseOfDeceased(), "، وهو ",
                  kShareNamesBare[std::size_t(h.share ? shareName(*h.share) : ShareName::None)],
                  " التركة، لاجتماع الأبوين مع ", spouseOfDeceased(),
                  " دون فرع وارث أو اثنين فأكثر من الإخوة (المسألة العمرية)");
            return;
        case HeirStatus::SharedThird:
            t.put("يشترك أولاد الأم والإخوة الأشقاء في الثلث بالتساوي، ذكرهم كأنثاهم، لأنه لم يبق للأشقاء شيء بعد "
                  "الفروض (المسألة المشتركة)");
            problemNote(t, row, Count::Many, false);
            return;
        case HeirStatus::GrandfatherSharing: {
            bool sisters = false;
            for (Heir s : {Heir::FullSisters, Heir::PaternalSisters})
                sisters |= inherits(s) && source(s).source == Source::GrandfatherSharing;
            if (row == Heir::Grandfather) {
                t.put("للجد المقاسمة مع ");
                bool first = true;
                for (Heir s : {Heir::FullBrothers, Heir::FullSisters, Heir::PaternalSisters, Heir::PaternalBrothers}) {
                    if (!inherits(s) || source(s).source != Source::GrandfatherSharing)
                        continue;
                    if (!first)
                        t.put(" و");
                    t.put(name(s));
                    first = false;
                }
                if (sisters)
                    t.put(" كأنه أخ، للذكر مثل حظ الأنثيين، لأنها خير له من السدس");
                else
                    t.put(" كأنه أخ، لأنها خير له من السدس");
                return;
            }
            t.put(withLam(row, n));
            if (sisters)
                t.put(" مقاسمة الجد، إذ يُعدّ أخاً، للذكر مثل حظ الأنثيين");
            else
                t.put(" مقاسمة الجد بالتساوي، إذ يُعدّ أخاً");
            return;
        }
        case HeirStatus::ResidueBeside:
            t.put(withLam(row, n), rest, " تعصيباً مع الغير لوجود ", femaleDescendant());
            if (row == Heir::FullSisters)
                t.put("، ولا أخ شقيق يعصب", pronoun(n, isFemale), " ولا أب ولا فرع وارث ذكر يحجب",
                      pronoun(n, isFemale));
            else if (row == Heir::PaternalSisters)
                t.put("، ولا أخ لأب يعصب", pronoun(n, isFemale),
                      " ولا أب ولا فرع وارث ذكر ولا أخ شقيق ولا أخت شقيقة يحجب", pronoun(n, isFemale));
            else
                t.put("، ولا أخ لأب يعصب", pronoun(n, isFemale), " ولا أب ولا فرع وارث ذكر يحجب", pronoun(n, isFemale));
            return;
        case HeirStatus::ResidueWith: {
            const Heir male = maleOf(row);
            if (afterGrandfathersSixth) {
                t.put(withLam(row, n));
                if (present(male))
                    t.put(" مع ", name(male), " الباقي بعد سدس الجد، للذكر مثل حظ الأنثيين");
                else
                    t.put(" الباقي بعد سدس الجد");
                return;
            }
            t.put(withLam(row, n), rest, " تعصيباً بالغير مع ", name(male), "، للذكر مثل حظ الأنثيين");
            if (withoutHim(row) == Without::Excluded) {
                t.put("، ولولا ", name(male), " لم يكن ل", pronoun(n, isFemale), " شيء لاستكمال ");
                wouldExclude(t, row);
                t.put(" الثلثين (", relativeWord(male, row), " المبارك)");
            }
            return;
        }
        case HeirStatus::Residue: {
            if (row == Heir::Father) {
                if (source(Heir::Mother).source == Source::Umariyya) {
                    t.put("للأب الباقي تعصيباً بعد فرض ", spouseOfDeceased(), " وثلث الباقي للأم (المسألة العمرية)");
                    return;
                }
                t.put("للأب", rest, " تعصيباً لعدم وجود الفرع الوارث");
                return;
            }
            if (row == Heir::Grandfather) {
                // Beside sisters who hold their share, or alone.
                bool first = true;
                for (Heir sisters : {Heir::FullSisters, Heir::PaternalSisters}) {
                    if (!present(sisters) || source(sisters).source != Source::Fixed)
                        continue;
                    if (first)
                        t.put("للجد الباقي بعد فرض ");
                    else
                        t.put(" و");
                    t.put(name(sisters));
                    first = false;
                }
                if (!first) {
                    if (h.fraction > Rational::of(1, 6))
                        t.put("، وهو خير له من السدس");
                    else
                        t.put("، وهو قدر السدس");
                    return;
                }
                t.put("للجد", rest, " تعصيباً لعدم وجود الأب والفرع الوارث والإخوة الأشقاء أو لأب");
                return;
            }
            if (source(row).source == Source::ResidueMale) {
                const Heir fem = femaleOf(row);
                t.put(withLam(row, n), " مع ", name(fem));
                if (afterGrandfathersSixth) {
                    t.put(" الباقي بعد سدس الجد، للذكر مثل حظ الأنثيين");
                    return;
                }
                t.put(rest, " تعصيباً، للذكر مثل حظ الأنثيين");
                if (withoutHim(fem) == Without::Excluded) {
                    t.put("، ولولا", pronoun(n, isFemale), " لم يكن ", withLam(fem), " شيء لاستكمال ");
                    wouldExclude(t, fem);
                    t.put(" الثلثين (", relativeWord(row, fem), " المبارك)");
                }
                return;
            }
            // "يقتسمانه بالتساوي" the rest, "يقتسمانها" the whole estate;
            // then why they take it.
            static constexpr Forms kShareTheRest = {"", " يقتسمانه بالتساوي", " يقتسمونه بالتساوي"};
            static constexpr Forms kShareTheEstate = {"", " يقتسمانها بالتساوي", " يقتسمونها بالتساوي"};
            static constexpr Forms kNearest = {"، لأنه أقرب العصبة", "، لأنهما أقرب العصبة", "، لأنهم أقرب العصبة"};
            if (afterGrandfathersSixth) {
                t.put(withLam(row, n), " الباقي بعد سدس الجد", pick(kShareTheRest, n));
                return;
            }
            t.put(withLam(row, n), rest, " تعصيباً بالنفس", pick(anyFixed_ ? kShareTheRest : kShareTheEstate, n),
                  pick(kNearest, n));
            return;
        }
        case HeirStatus::FixedAndResidue:
            t.put(withLam(row, n), " السدس فرضاً والباقي تعصيباً لوجود الفرع الوارث الأنثى دون الذكر");
            if (row == Heir::Grandfather)
                t.put(" وعدم وجود الأب والإخوة الأشقاء أو لأب");
            return;
        }
    }

    // The spouse of the deceased, as the 'umariyya names him or them.
    const Word& spouseOfDeceased() const
    {
        static constexpr Word kHusband = "الزوج", kWife = "الزوجة", kWives = "الزوجات";
        return c_.isMan() ? (c_.wives.persons() > 1 ? kWives : kWife) : kHusband;
    }

    Count grandmotherCount() const
    {
        int n = 0;
        for (Heir g : {Heir::MothersMother, Heir::FathersMother, Heir::MothersMothersMother, Heir::FathersMothersMother,
                       Heir::FathersFathersMother})
            n += inherits(g);
        return n <= 1 ? Count::One : n == 2 ? Count::Two : Count::Many;
    }

    void fixedReason(const HeirExplanation& h, Text& t) const
    {
        const Heir row = h.row;
        const Count n = count(row);
        const bool isFemale = female(row);
        const ShareName share = h.share ? shareName(*h.share) : ShareName::None;
        const bool descendants = c_.children || c_.grandchildren;
        // " النصف" ... after the class's name.
        static constexpr std::array<Word, 7> kShare = {" ", " النصف", " الثلث", " الربع", " السدس", " الثمن", " الثلثان"};
        // "يقتسمنه", or "يقتسمنهما" for the two thirds.
        static constexpr GenderedForms kShareIt = {
            {{"", " يقتسمانه بالتساوي", " يقتسمونه بالتساوي"}, {"", " تقتسمانه بالتساوي", " يقتسمنه بالتساوي"}}};
        static constexpr GenderedForms kShareThem = {
            {{"", " يقتسمانهما بالتساوي", " يقتسمونهما بالتساوي"}, {"", " تقتسمانهما بالتساوي", " يقتسمنهما بالتساوي"}}};
        static constexpr GenderedForms kAlone = {
            {{" لانفراده", " لتعددهما", " لتعددهم"}, {" لانفرادها", " لتعددهما", " لتعددهن"}}};
        const Word& shared = pick(share == ShareName::TwoThirds ? kShareThem : kShareIt, n, isFemale);
        switch (row) {
        case Heir::Husband:
        case Heir::Wives:
            t.put(withLam(row, n), kShare[std::size_t(share)], shared);
            if (descendants)
                t.put(" لوجود الفرع الوارث");
            else
                t.put(" لعدم وجود الفرع الوارث");
            return;
        case Heir::Father:
            if (positive(c_.sons) || positive(c_.sonsSons) || positive(c_.sonsSonsSons))
                t.put("للأب السدس فرضاً لوجود الفرع الوارث الذكر");
            else
                t.put("للأب السدس فرضاً لوجود الفرع الوارث الأنثى، ولم يبق بعد الفروض شيء يأخذه تعصيباً");
            return;
        case Heir::Grandfather: {
            const Source s = source(row).source;
            if (raisedSixth_ || (s == Source::GrandfatherSixth && residueBeforeGrandfather_ < 4)) {
                t.put("للجد السدس فرضاً إذ لم يبق له بعد الفروض إلا أقل من السدس");
                return;
            }
            if (s == Source::GrandfatherSixth) {
                // The siblings of the kind he was compared with: the full
                // ones, unless only a full sister holding her share is there.
                const bool full =
                    present(Heir::FullBrothers) || (present(Heir::FullSisters) && source(Heir::FullSisters).source != Source::Fixed);
                t.put("للجد السدس فرضاً لأنه خير له من مقاسمة ");
                bool first = true;
                const std::array<Heir, 2> kind = full ? std::array{Heir::FullBrothers, Heir::FullSisters}
                                                      : std::array{Heir::PaternalBrothers, Heir::PaternalSisters};
                for (Heir sib : kind) {
                    if (!present(sib))
                        continue;
                    if (!first)
                        t.put(" و");
                    t.put(name(sib));
                    first = false;
                }
                if (first)
                    t.put("الإخوة");
                return;
            }
            if (positive(c_.sons) || positive(c_.sonsSons) || positive(c_.sonsSonsSons))
                t.put("للجد السدس فرضاً لوجود الفرع الوارث الذكر وعدم وجود الأب");
            else
                t.put("للجد السدس فرضاً لوجود الفرع الوارث الأنثى وعدم وجود الأب، ولم يبق بعد الفروض شيء يأخذه تعصيباً");
            return;
        }
        case Heir::Mother:
            if (share == ShareName::Third)
                t.put("للأم الثلث لعدم وجود الفرع الوارث ولعدم وجود اثنين فأكثر من الإخوة");
            else if (descendants)
                t.put("للأم السدس لوجود الفرع الوارث");
            else
                t.put("للأم السدس لوجود اثنين فأكثر من الإخوة");
            return;
        case Heir::Daughters:
            if (share == ShareName::Half)
                t.put("للبنت النصف لانفرادها وعدم وجود الابن الذي يعصبها");
            else
                t.put(withLam(row, n), " الثلثان", shared, pick(kAlone, n, isFemale), " وعدم وجود ابن يعصب",
                      pronoun(n, isFemale));
            return;
        case Heir::SonsDaughters:
            if (share == ShareName::Sixth)
                t.put(withLam(row, n), " السدس", shared,
                      " تكملة للثلثين مع البنت، لعدم وجود الابن وابن الابن الذي يعصب", pronoun(n, isFemale));
            else
                t.put(withLam(row, n), kShare[std::size_t(share)], shared, pick(kAlone, n, isFemale),
                      " وعدم وجود الابن والبنت وابن الابن الذي يعصب", pronoun(n, isFemale));
            return;
        case Heir::SonsSonsDaughters:
            if (share == ShareName::Sixth)
                t.put(withLam(row, n), " السدس", shared, " تكملة للثلثين مع ",
                      (present(Heir::SonsDaughters) && inherits(Heir::SonsDaughters) ? name(Heir::SonsDaughters) : name(Heir::Daughters)),
                      "، لعدم وجود الابن وابن الابن وابن ابن الابن الذي يعصب", pronoun(n, isFemale));
            else
                t.put(withLam(row, n), kShare[std::size_t(share)], shared, pick(kAlone, n, isFemale),
                      " وعدم وجود الابن والبنت وابن الابن وبنت الابن وابن ابن الابن الذي يعصب", pronoun(n, isFemale));
            return;
        case Heir::FullSisters:
            t.put(withLam(row, n), kShare[std::size_t(share)], shared, pick(kAlone, n, isFemale),
                  " وعدم وجود الفرع الوارث والأب والأخ الشقيق الذي يعصب", pronoun(n, isFemale));
            if (c_.grandfather)
                t.put("، ولا يعصب", pronoun(n, isFemale), " الجد");
            return;
        case Heir::PaternalSisters:
            if (share == ShareName::Sixth)
                t.put(withLam(row, n), " السدس", shared,
                      " تكملة للثلثين مع الأخت الشقيقة، لعدم وجود الفرع الوارث والأب والأخ الشقيق والأخ لأب الذي يعصب",
                      pronoun(n, isFemale));
            else
                t.put(withLam(row, n), kShare[std::size_t(share)], shared, pick(kAlone, n, isFemale),
                      " وعدم وجود الفرع الوارث والأب والأخ الشقيق والأخت الشقيقة والأخ لأب الذي يعصب",
                      pronoun(n, isFemale));
            if (c_.grandfather)
                t.put("، ولا يعصب", pronoun(n, isFemale), " الجد");
            return;
        case Heir::UterineSiblings:
            if (share == ShareName::Sixth)
                t.put("لولد الأم السدس لانفراده وعدم وجود الفرع الوارث والأصل الوارث الذكر");
            else
                t.put(withLam(row, n), " الثلث", shared, "، ذكرهم كأنثاهم،", pick(kAlone, n, isFemale),
                      " وعدم وجود الفرع الوارث والأصل الوارث الذكر");
            return;
        default:
            break;
        }
        if (isGrandmother(row)) {
            const Count sharing = grandmotherCount();
            bool fathersSide = false, far = false;
            for (Heir g : {Heir::FathersMother, Heir::FathersMothersMother, Heir::FathersFathersMother})
                fathersSide |= inherits(g);
            for (Heir g : {Heir::MothersMothersMother, Heir::FathersMothersMother, Heir::FathersFathersMother})
                far |= inherits(g);
            if (sharing != Count::One) {
                if (sharing == Count::Two)
                    t.put("تشترك الجدتان الوارثتان في السدس بالتساوي لعدم وجود الأم");
                else
                    t.put("تشترك الجدات الوارثات في السدس بالتساوي لعدم وجود الأم");
                if (fathersSide)
                    t.put(" والأب");
                if (inherits(Heir::FathersFathersMother))
                    t.put(" والجد");
                if (far) {
                    if (sharing == Count::Two)
                        t.put(" والجدة الأقرب منهما");
                    else
                        t.put(" والجدة الأقرب منهن");
                }
                return;
            }
            t.put(withLam(row, n), " السدس لعدم وجود الأم");
            if (row == Heir::FathersMother || row == Heir::FathersMothersMother || row == Heir::FathersFathersMother)
                t.put(" والأب");
            if (row == Heir::FathersFathersMother)
                t.put(" والجد");
            if (far)
                t.put(" والجدة الأقرب منها");
            return;
        }
        t.put(withLam(row, n), kShare[std::size_t(share)], shared);
    }

    // ---- The problem in sentences ----------------------------------------------

    std::string& sentence()
    {
        if (sentenceCount_ == out_.sentences.size()) [[unlikely]]
            resizeKeepingRoom(out_.sentences, sentenceCount_ + 1);
        return out_.sentences[sentenceCount_++];
    }

    // The name of a part in a sentence: its class, or what its classes are;
    // with `lam`, after "ل" ("للعصبة").
    const Word& partName(const Part& part, bool lam = false) const
    {
        static constexpr std::array<Word, 2> kTwoGrandmothers = {"الجدتين", nameAfterLam("الجدتين")};
        static constexpr std::array<Word, 2> kGrandmothers = {"الجدات", nameAfterLam("الجدات")};
        static constexpr std::array<Word, 2> kSharedThird = {"المشتركين في الثلث", nameAfterLam("المشتركين في الثلث")};
        static constexpr std::array<Word, 2> kResiduaries = {"العصبة", nameAfterLam("العصبة")};
        const Heir first = out_.heirs[part.first].row;
        if (part.rows == 1)
            return lam ? withLam(first) : name(first);
        if (isGrandmother(first))
            return (part.rows == 2 ? kTwoGrandmothers : kGrandmothers)[lam];
        if (out_.heirs[part.first].status == HeirStatus::SharedThird)
            return kSharedThird[lam];
        return kResiduaries[lam];
    }

    // The spouse or spouses of the deceased after "ل": "للزوج", "للزوجات".
    const Word& spouseWithLam() const
    {
        static constexpr Word kHusband = nameAfterLam("الزوج"), kWife = nameAfterLam("الزوجة"), kTwoWives = nameAfterLam("الزوجتين"),
                              kWives = nameAfterLam("الزوجات");
        return c_.isWoman() ? kHusband : c_.wives.isOne() ? kWife : c_.wives.persons() == 2 ? kTwoWives : kWives;
    }

    void sentences()
    {
        sentenceCount_ = 0;
        const Explanation& e = out_;
        if (e.origin == 0) {
            resizeKeepingRoom(out_.sentences, 0);
            return;
        }
        // The origin, and what it leaves for the residuaries.
        {
            Text t(sentence());
            t.put("أصل المسألة ", e.origin);
            if (anyFixed_) {
                t.put("، وهو أصغر عدد تخرج منه فروض أصحاب الفروض");
            } else {
                const Part* residue = partCount_ == 1 ? &parts_[0] : nullptr;
                if (e.origin == 1)
                    t.put("، إذ يأخذ التركة كلها عاصب واحد");
                else if (residue && residue->twoToOne)
                    t.put("، وهو عدد رؤوس العصبة، للذكر مثل حظ الأنثيين");
                else
                    t.put("، وهو عدد رؤوس العصبة");
            }
        }
        // The parts that take what is left (a bit for each), and those whose
        // shares do not divide among their heads, looked at in one pass.
        static_assert(kHeirCount + 1 <= 32, "a bit for each part");
        std::uint32_t takingRest = 0, keeping = 0;
        for (std::size_t p = 0; p < partCount_; ++p) {
            const Part& part = parts_[p];
            const bool rest = part.residue | (out_.heirs[part.first].status == HeirStatus::FixedAndResidue);
            takingRest |= std::uint32_t(rest) << p;
            keeping |= std::uint32_t(part.kept != 1) << p;
        }
        if (anyFixed_ && !e.awl && !e.radd && chains_) {
            // What the fixed shares leave of the origin, and to whom.
            for (; takingRest != 0; takingRest &= takingRest - 1) {
                const Part& part = parts_[std::size_t(std::countr_zero(takingRest))];
                const HeirExplanation& h = out_.heirs[part.first];
                if (!part.shares)
                    continue;
                Int rest = *part.shares;
                if (h.status == HeirStatus::FixedAndResidue)
                    rest -= (*h.share * Rational(e.origin)).num();
                if (rest <= 0)
                    continue;
                Text t(sentence());
                t.put("وبقي بعد الفروض ", rest, " من ", e.origin);
                if (part.residue && part.rows == 1)
                    t.put(" ", withLam(h.row), " تعصيباً");
                else if (part.residue)
                    t.put(" للعصبة");
                else
                    t.put(" ", withLam(h.row), " تعصيباً فوق فرضه");
            }
        }
        if (e.awl) {
            Text t(sentence());
            t.put("زادت الفروض على أصل المسألة فعالت من ", e.origin, " إلى ", *e.awl,
                  "، فنقص نصيب كل صاحب فرض بنسبة فرضه");
        }
        if (e.radd)
            raddSentences();
        // The parts that keep a number for the multiplier, where the shares
        // chain: each whose shares do not divide among its heads.
        if (!chains_)
            keeping = 0;
        for (std::uint32_t parts = keeping; parts != 0; parts &= parts - 1) {
            const Part& part = parts_[std::size_t(std::countr_zero(parts))];
            if (!part.shares)
                continue;
            Text t(sentence());
            t.put("سهام ", partName(part), " ", *part.shares, " لا تنقسم على عدد الرؤوس ", part.heads);
            if (part.twoToOne)
                t.put(" (الذكر برأسين)");
            if (part.agreeing > 1) {
                t.put("، وبينهما توافق ");
                agreeBy(t, part.agreeing);
                t.put("، فيُحفظ وفق الرؤوس ", part.kept);
            } else {
                t.put("، وبينهما تباين، فيُحفظ عدد الرؤوس ", part.kept);
            }
        }
        if (e.multiplier && e.correction) {
            Text t(sentence());
            const std::int64_t problem = TableProblem(e);
            if (*e.multiplier == 1) {
                if (chains_)
                    t.put("انقسمت سهام كل فريق على رؤوسه، فصحت المسألة من ", problem);
                else
                    t.put("صحت المسألة من ", problem);
            } else {
                t.put("جزء السهم ", *e.multiplier);
                if ((keeping & (keeping - 1)) != 0) {  // more than one
                    t.put("، وهو أصغر عدد تقبل القسمة عليه الأعداد المحفوظة");
                    for (std::uint32_t parts = keeping; parts != 0; parts &= parts - 1) {
                        if (parts == keeping)  // the first
                            t.put(" ");
                        else if ((parts & (parts - 1)) == 0)  // the last
                            t.put(" و");
                        else
                            t.put("، ");
                        t.put(parts_[std::size_t(std::countr_zero(parts))].kept);
                    }
                }
                t.put("، فتصح المسألة من حاصل ضرب ", problem, " في ", *e.multiplier, "، وهو ", *e.correction);
            }
        }
        if (e.reducedBy) {
            Text t(sentence());
            t.put("وتقبل المسألة وسهام الورثة كلها القسمة على ", *e.reducedBy, "، فقُسمت عليه واختُصرت إلى ",
                  *e.correction / *e.reducedBy);
        }
        if (e.shareValue) {
            Text t(sentence());
            t.put("قيمة السهم ", Amount{*e.shareValue});
            if (!shareValueExact_)
                t.put(" تقريباً");
            t.put("، وهي التركة المقسومة ", Amount{c_.estate}, " على ", *e.correction,
                  "، ونصيب كل فرد عدد سهامه في قيمة السهم");
        }
        if (e.undistributed) {
            Text t(sentence());
            t.put("بقي ");
            t << *e.undistributed;
            t.put(" من التركة دون توزيع، وهو لذوي الأرحام، ولا يُرد على الزوج أو الزوجة ما دام أحد منهم موجوداً");
        }
        if (out_.sentences.size() != sentenceCount_)
            resizeKeepingRoom(out_.sentences, sentenceCount_);
    }

    void raddSentences()
    {
        const Explanation& e = out_;
        const RaddTable* table = e.raddTable ? &*e.raddTable : nullptr;
        std::size_t others = 0;
        const Part* only = nullptr;
        for (std::size_t p = 0; p < partCount_; ++p)
            if (!parts_[p].spouse) {
                ++others;
                only = &parts_[p];
            }
        const bool women = only != nullptr && only->female;
        if (table == nullptr) {
            Text t(sentence());
            t.put("بقي فائض بعد الفروض ولا عاصب، ");
            if (others == 1 && *e.radd == 1)
                t.put("فرُدّ كله على ", partName(*only), "، فصارت المسألة بالرد من 1");
            else if (others == 1 && women)
                t.put("فرُدّ على ", partName(*only), "، وهن صنف واحد، فصارت المسألة بالرد من عدد رؤوسهن ", *e.radd);
            else if (others == 1)
                t.put("فرُدّ على ", partName(*only), "، وهم صنف واحد، فصارت المسألة بالرد من عدد رؤوسهم ", *e.radd);
            else
                t.put("فرُدّ على أصحاب الفروض بنسبة فروضهم، فصار أصل المسألة ", *e.radd, " بالرد، وهو مجموع سهامهم من ",
                      e.origin);
            return;
        }
        {
            Text t(sentence());
            t.put("بقي فائض بعد الفروض ولا عاصب، ولا يُرد على أحد الزوجين، فتُعمل مسألة للزوجية ومسألة للرد ثم تُجمعان");
        }
        {
            Text t(sentence());
            t.put("مسألة الزوجية من ", table->spouseProblem, "، ", spouseWithLam(), " منها ", table->spouseShares,
                  "، والباقي ", table->remainder, " لأهل الرد");
        }
        {
            Text t(sentence());
            t.put("مسألة الرد من ", table->raddProblem);
            if (others == 1 && table->raddProblem == 1)
                t.put("، إذ يُرد الباقي كله على ", partName(*only));
            else if (others == 1 && women)
                t.put("، عدد رؤوسهن، لأنهن صنف واحد");
            else if (others == 1)
                t.put("، عدد رؤوسهم، لأنهم صنف واحد");
            else
                t.put("، وهي مجموع سهامهم من أصل مسألتهم ", othersOrigin_);
        }
        {
            Text t(sentence());
            const Int g = gcd(table->remainder, table->raddProblem);
            switch (table->relation) {
            case Relation::Equal:
                t.put("الباقي ", table->remainder, " ومسألة الرد ", table->raddProblem,
                      " متماثلان، فتصح المسألتان من مسألة الزوجية ", table->spouseProblem, "، وهي الجامعة");
                break;
            case Relation::Agree:
                t.put("بين الباقي ", table->remainder, " ومسألة الرد ", table->raddProblem, " توافق ");
                agreeBy(t, g);
                t.put("، فيُضرب وفق مسألة الرد ", table->raddProblem / g, " في مسألة الزوجية ", table->spouseProblem,
                      "، فتكون الجامعة ", table->combined);
                break;
            case Relation::Coprime:
                t.put("بين الباقي ", table->remainder, " ومسألة الرد ", table->raddProblem,
                      " تباين، فتُضرب مسألة الرد في مسألة الزوجية ", table->spouseProblem, "، فتكون الجامعة ",
                      table->combined);
                break;
            }
        }
        {
            // Each part's shares in the combined problem: the spouse's times
            // what the radd problem was multiplied by, the others' from the
            // radd problem times what the remainder was.
            Text t(sentence());
            const Int g = gcd(table->remainder, table->raddProblem);
            t.put(spouseWithLam(), " من الجامعة ", Int(table->spouseShares) * (table->raddProblem / g));
            for (std::size_t p = 0; p < partCount_; ++p) {
                const Part& part = parts_[p];
                if (part.spouse || !part.shares)
                    continue;
                t.put("، و", partName(part, true), " ", *part.shares);
            }
        }
    }

    const EstateCase& c_;
    const DivisionResult& r_;
    const detail::Trace& t_;
    Explanation& out_;
    // The working tables, kept from one explanation to the next of a thread
    // instead of being cleared for every division: each is written before
    // it is read, but for the heads, which build clears.
    struct Tables {
        std::array<HeadCount, kHeirCount> headsOf{};  // the heads of each row shown
        std::array<Part, kHeirCount + 1> parts;
        std::array<std::uint8_t, kHeirCount> partIndex;  // by the first row of a part, its index in parts
        // Each entry's share, as an entry of kSharesOf24 (kNoShare for none).
        std::array<std::uint8_t, kHeirCount> shareOf;
        std::array<Rational::Int, kHeirCount> numerators;  // each head's fraction over the least common denominator
    };
    static Tables& tables()
    {
        thread_local Tables t;
        return t;
    }
    Tables& tables_ = tables();
    std::array<HeadCount, kHeirCount>& headsOf_ = tables_.headsOf;
    std::int64_t base_ = 24;
    std::array<Part, kHeirCount + 1>& parts_ = tables_.parts;
    std::array<std::uint8_t, kHeirCount>& partIndex_ = tables_.partIndex;
    std::array<std::uint8_t, kHeirCount>& shareOf_ = tables_.shareOf;
    std::array<Rational::Int, kHeirCount>& numerators_ = tables_.numerators;
    Rational::Int least_ = 1;  // the least common denominator of the fractions
    std::uint32_t inheriting_ = 0;  // a bit for each relative who inherits (at index(heir))
    bool narrow_ = false;  // least_ fits 64 bits: the table is worked on 64 first
    bool wide_ = false;    // the table did not fit 64 bits: it is worked on 128
    std::size_t partCount_ = 0;
    std::size_t sentenceCount_ = 0;
    Int problem_ = 1;
    Int othersOrigin_ = 0;
    Rational::Int residueBeforeGrandfather_ = 24;  // what the fixed shares but his leave, in 24ths
    bool raisedSixth_ = false;
    bool anyFixed_ = false;
    bool awlNote_ = false;
    bool raddNote_ = false;
    bool chains_ = true;
    bool shareValueExact_ = true;
};

}  // namespace

std::int64_t TableProblem(const Explanation& e) noexcept
{
    if (e.raddTable)
        return e.raddTable->combined;
    if (e.awl)
        return *e.awl;
    if (e.radd)
        return *e.radd;
    return e.origin;
}

std::vector<std::string> ProblemSentences(const Explanation& e)
{
    if (!e.exact)
        return {};
    return e.sentences;
}

std::string_view relationName(Relation relation) noexcept
{
    switch (relation) {
    case Relation::Equal: return "تماثل";
    case Relation::Agree: return "توافق";
    case Relation::Coprime: return "تباين";
    }
    return {};
}

const char* statusKey(HeirStatus status) noexcept
{
    switch (status) {
    case HeirStatus::Fixed: return "fixed";
    case HeirStatus::Residue: return "residue";
    case HeirStatus::ResidueWith: return "residue_with";
    case HeirStatus::ResidueBeside: return "residue_beside";
    case HeirStatus::FixedAndResidue: return "fixed_and_residue";
    case HeirStatus::Umariyya: return "umariyya";
    case HeirStatus::SharedThird: return "shared_third";
    case HeirStatus::GrandfatherSharing: return "grandfather_sharing";
    case HeirStatus::Excluded: return "excluded";
    case HeirStatus::NothingLeft: return "nothing_left";
    }
    return "";
}

std::string HeirName(Heir row, bool plural)
{
    const HeirInfo& n = heirInfo(row);
    return std::string(plural && !n.plural.empty() ? n.plural : n.singular);
}

std::vector<Heir> ExcludersOf(const EstateCase& c, Heir row)
{
    std::vector<Heir> out;
    ExcludersInto(c, row, out);
    return out;
}

void ExcludersInto(const EstateCase& c, Heir row, std::vector<Heir>& out)
{
    Excluders excluders;
    const std::size_t n = ExcludersInto(c, PresentRelatives(c), row, excluders);
    out.assign(excluders.data(), excluders.data() + n);
}

namespace {

std::uint32_t PresentRelatives(const EstateCase& c) noexcept
{
    static_assert(kHeirCount <= 32, "one bit for each relative");
    std::uint32_t present = 0;
    forEachIndex<kHeirs>([&](auto i) {
        if (RelativePresent(c, kHeirs[i].heir))
            present |= std::uint32_t(1) << index(kHeirs[i].heir);
    });
    return present;
}

std::size_t ExcludersInto(const EstateCase& c, std::uint32_t present, Heir row, Excluders& out) noexcept
{
    std::size_t n = 0;
    // Each excluder is named once: its bit leaves `present` when it is named.
    const auto add = [&](Heir r) {
        out[n] = r;
        n += (present >> index(r)) & 1;
        present &= ~(std::uint32_t(1) << index(r));
    };
    const auto maleDescendants = [&] {
        add(Heir::Sons);
        add(Heir::SonsSons);
        add(Heir::SonsSonsSons);
    };
    // A near grandmother who inherits excludes the far ones.
    const auto nearGrandmother = [&] {
        if (c.mothersMother)
            add(Heir::MothersMother);
        if (c.fathersMother && !c.father)
            add(Heir::FathersMother);
    };
    const auto femaleDescendant = [&c] {
        return positive(c.daughters) || positive(c.sonsDaughters) || positive(c.sonsSonsDaughters);
    };
    switch (row) {
    case Heir::Grandfather: add(Heir::Father); break;
    case Heir::MothersMother: add(Heir::Mother); break;
    case Heir::FathersMother: add(Heir::Mother); add(Heir::Father); break;
    case Heir::MothersMothersMother: add(Heir::Mother); nearGrandmother(); break;
    case Heir::FathersMothersMother: add(Heir::Mother); add(Heir::Father); nearGrandmother(); break;
    case Heir::FathersFathersMother: add(Heir::Mother); add(Heir::Father); add(Heir::Grandfather); nearGrandmother(); break;
    case Heir::SonsSons: add(Heir::Sons); break;
    case Heir::SonsDaughters:
        add(Heir::Sons);
        // Two daughters complete the two thirds, unless a male of her degree
        // or below makes her residuary.
        if (!positive(c.sonsSons) && !positive(c.sonsSonsSons) && atLeastTwo(c.daughters))
            add(Heir::Daughters);
        break;
    case Heir::SonsSonsSons: add(Heir::Sons); add(Heir::SonsSons); break;
    case Heir::SonsSonsDaughters:
        add(Heir::Sons);
        add(Heir::SonsSons);
        if (n == 0 && !positive(c.sonsSonsSons)) {
            if (atLeastTwo(c.daughters))
                add(Heir::Daughters);
            if (atLeastTwo(c.sonsDaughters))
                add(Heir::SonsDaughters);
            if (c.daughters.isOne() && positive(c.sonsDaughters)) {
                add(Heir::Daughters);
                add(Heir::SonsDaughters);
            }
        }
        break;
    case Heir::FullBrothers:
    case Heir::FullSisters:
        add(Heir::Father);
        maleDescendants();
        break;
    case Heir::PaternalBrothers:
        add(Heir::Father);
        maleDescendants();
        add(Heir::FullBrothers);
        if (positive(c.fullSisters) && femaleDescendant())
            add(Heir::FullSisters);
        break;
    case Heir::PaternalSisters:
        add(Heir::Father);
        maleDescendants();
        add(Heir::FullBrothers);
        // A full sister residuary beside female descendants, or two full
        // sisters who complete the two thirds without a paternal brother.
        if ((positive(c.fullSisters) && femaleDescendant()) || (atLeastTwo(c.fullSisters) && !positive(c.paternalBrothers)))
            add(Heir::FullSisters);
        break;
    case Heir::UterineSiblings:
        add(Heir::Father);
        add(Heir::Grandfather);
        for (Heir d : {Heir::Sons, Heir::Daughters, Heir::SonsSons, Heir::SonsDaughters, Heir::SonsSonsSons, Heir::SonsSonsDaughters})
            add(d);
        break;
    case Heir::FullBrothersSons:
    case Heir::PaternalBrothersSons:
    case Heir::FullUncles:
    case Heir::PaternalUncles:
    case Heir::FullUnclesSons:
    case Heir::PaternalUnclesSons: {
        maleDescendants();
        add(Heir::Father);
        add(Heir::Grandfather);
        add(Heir::FullBrothers);
        add(Heir::PaternalBrothers);
        // A sister residuary beside female descendants stands in a brother's place.
        if (femaleDescendant()) {
            if (positive(c.fullSisters))
                add(Heir::FullSisters);
            else if (positive(c.paternalSisters))
                add(Heir::PaternalSisters);
        }
        for (Heir nearer : {Heir::FullBrothersSons, Heir::PaternalBrothersSons, Heir::FullUncles, Heir::PaternalUncles, Heir::FullUnclesSons}) {
            if (nearer == row)
                break;
            add(nearer);
        }
        break;
    }
    default:
        break;
    }
    return n;
}

}  // namespace

DivisionResult DivideExplained(const EstateCase& estateCase, Explanation& explanation)
{
    // Every part of the trace that a division reads is written by it first
    // (the rows and sources at the marking, the ledger at the first full
    // pass), so one trace serves every division of a thread.
    thread_local detail::Trace trace;
    DivisionResult result = Divide(estateCase, &trace);
    if (result.outcome == Outcome::Divided) {
        Builder(estateCase, result, trace, explanation).build();
    } else {
        clearKeepingRoom(explanation);
    }
    return result;
}

}  // namespace qismar

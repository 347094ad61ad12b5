#include "casefile/case_file.h"

#include "casefile/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <nlohmann/json.hpp>
#include <simdjson.h>

namespace qismar {

namespace {

using json = nlohmann::json;

enum class Kind : std::uint8_t { Format, Deceased, Amount, Flag, Count, Wives, Uncertain, LaterDeaths, Details };

struct Field {
    std::string_view name;
    Kind kind;
    std::string_view arabic;  // how the windows name the field
    bool EstateCase::*flag = nullptr;
    Currency EstateCase::*value = nullptr;
    HeadCount EstateCase::*count = nullptr;
    UncertainKind uncertain{};
};

constexpr Field uncertainField(std::string_view name, std::string_view arabic, UncertainKind kind)
{
    return {name, Kind::Uncertain, arabic, nullptr, nullptr, nullptr, kind};
}

constexpr Field flagField(std::string_view name, std::string_view arabic, bool EstateCase::*member)
{
    return {name, Kind::Flag, arabic, member, nullptr};
}
constexpr Field countField(std::string_view name, std::string_view arabic, HeadCount EstateCase::*member)
{
    return {name, Kind::Count, arabic, nullptr, nullptr, member};
}
constexpr Field amountField(std::string_view name, std::string_view arabic, Currency EstateCase::*member)
{
    return {name, Kind::Amount, arabic, nullptr, member};
}

// A relative's box or count as the heir table describes it; "wives" is a
// count of 1 to 4.
consteval Field relativeField(std::string_view name)
{
    for (const HeirInfo& heir : kHeirs)
        for (const CaseField& f : heir.caseFields())
            if (f.json == name) {
                if (name == "wives")
                    return {f.json, Kind::Wives, f.label, nullptr, nullptr, f.count};
                return f.isCount() ? countField(f.json, f.label, f.count) : flagField(f.json, f.label, f.flag);
            }
    throw "no relative has this field in the heir table";
}

// Every field of a case object, in the order in which they are written.
constexpr std::array kFields = {
    Field{"format", Kind::Format, "رقم صيغة الملف"},
    Field{"deceased", Kind::Deceased, "المتوفى"},
    amountField("estate", "قيمة التركة", &EstateCase::estate),
    // The estate's preparation: amounts like the estate, and the consent.
    amountField("funeral", "نفقات التجهيز والدفن", &EstateCase::funeral),
    amountField("debts", "الديون", &EstateCase::debts),
    amountField("bequests", "الوصايا", &EstateCase::bequests),
    flagField("heirsConsent", "إجازة الورثة ما زاد على الثلث", &EstateCase::heirsConsent),
    // The relatives' boxes and counts, in the order of the entry window;
    // their names, Arabic labels and members are the heir table's.
    relativeField("father"),
    relativeField("mother"),
    relativeField("spouse"),
    relativeField("wives"),
    relativeField("grandfather"),
    relativeField("sons"),
    relativeField("daughters"),
    relativeField("sonsSons"),
    relativeField("sonsDaughters"),
    relativeField("sonsSonsSons"),
    relativeField("sonsSonsDaughters"),
    relativeField("fullSisters"),
    relativeField("fullBrothers"),
    relativeField("paternalBrothers"),
    relativeField("paternalSisters"),
    relativeField("uterineSisters"),
    relativeField("uterineBrothers"),
    relativeField("fullBrothersSons"),
    relativeField("paternalBrothersSons"),
    relativeField("fullUncles"),
    relativeField("paternalUncles"),
    relativeField("fullUnclesSons"),
    relativeField("paternalUnclesSons"),
    relativeField("mothersMother"),
    relativeField("fathersMother"),
    relativeField("mothersMothersMother"),
    relativeField("fathersMothersMother"),
    relativeField("fathersFathersMother"),
    // One heir not yet known: the class an unborn child would join, the
    // field of the class of which one head is missing, the class counted
    // with an heir of undetermined sex (uncertain_heir.h). One at most.
    uncertainField("unborn", "الحمل", UncertainKind::Unborn),
    uncertainField("missing", "المفقود", UncertainKind::Missing),
    uncertainField("undeterminedSex", "الخنثى", UncertainKind::UndeterminedSex),
    // Heads who died after the deceased and before the division: a list of
    // {"heir", "problem", "case", "same"} (later_deaths.h).
    Field{"laterDeaths", Kind::LaterDeaths, "الوفيات بعد المورث"},
    // What the case says of the deceased and the heirs for the report: an
    // object of texts and of lists of names (case_details.h).
    Field{"details", Kind::Details, "بيانات المسألة"},
};

// Every box and count of the heir table is a field, once.
static_assert([] {
    for (const HeirInfo& heir : kHeirs)
        for (const CaseField& f : heir.caseFields()) {
            int found = 0;
            for (const Field& field : kFields)
                found += field.name == f.json;
            if (found != 1)
                return false;
        }
    return true;
}(), "kFields: each relative's field of the heir table once");

// The shortest and the longest name of a field.
constexpr std::size_t kShortestName = std::ranges::min(kFields, {}, [](const Field& f) { return f.name.size(); }).name.size();
constexpr std::size_t kLongestName = std::ranges::max(kFields, {}, [](const Field& f) { return f.name.size(); }).name.size();
static_assert(kShortestName >= 4 && kLongestName <= 24, "NameWords holds a field's name whole");

// `bytes` bytes (four or eight) of a text from `at`, as one number, the
// first of them lowest.
constexpr std::uint64_t loadWord(std::string_view text, std::size_t at, std::size_t bytes) noexcept
{
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
        if (bytes == 8) {
            std::uint64_t v;
            std::memcpy(&v, text.data() + at, 8);
            return v;
        }
        std::uint32_t v;
        std::memcpy(&v, text.data() + at, 4);
        return v;
    }
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        v |= std::uint64_t{static_cast<unsigned char>(text[at + i])} << (8 * i);
    return v;
}

// A name of 4 to 24 bytes as three numbers that together hold every byte
// of it: its first and its last eight bytes (four each when it is shorter
// than eight; overlapping when shorter than sixteen) and, when it is longer
// than sixteen, the eight after the first eight.
struct NameWords {
    std::uint64_t first = 0, last = 0, middle = 0;
    friend constexpr bool operator==(const NameWords&, const NameWords&) = default;
};

constexpr NameWords nameWords(std::string_view name) noexcept
{
    const std::size_t n = name.size();
    const std::size_t bytes = n >= 8 ? 8 : 4;
    return {loadWord(name, 0, bytes), loadWord(name, n - bytes, bytes), n > 16 ? loadWord(name, 8, 8) : 0};
}

// The slot of a name in a table of 256: its first and last bytes and its
// length, mixed by `seed`.
constexpr std::size_t nameSlot(const NameWords& words, std::size_t size, std::uint32_t seed) noexcept
{
    const std::uint64_t key = words.first + std::rotl(words.last, 29) + size;
    const std::uint64_t mix = (std::uint64_t{seed} + 1) * 0x9E3779B97F4A7C15u | 1u;
    return static_cast<std::size_t>((key * mix) >> 56);
}

// The first seed under which no two fields share a slot.
constexpr std::uint32_t kFieldSeed = [] {
    for (std::uint32_t seed = 0;; ++seed) {
        std::array<bool, 256> taken{};
        bool clash = false;
        for (const Field& f : kFields) {
            const std::size_t slot = nameSlot(nameWords(f.name), f.name.size(), seed);
            clash = clash || taken[slot];
            taken[slot] = true;
        }
        if (!clash)
            return seed;
    }
}();

// The field in each slot: its name's words and size, and its index in
// kFields, or -1.
struct FieldSlot {
    NameWords words;
    std::uint8_t size = 0;
    std::int8_t field = -1;
};
constexpr auto kFieldSlots = [] {
    std::array<FieldSlot, 256> slots{};
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const NameWords words = nameWords(kFields[i].name);
        slots[nameSlot(words, kFields[i].name.size(), kFieldSeed)] =
            FieldSlot{words, static_cast<std::uint8_t>(kFields[i].name.size()), static_cast<std::int8_t>(i)};
    }
    return slots;
}();

// The field of a name, by one look in the table and a comparison of the
// name's words.
const Field* findField(std::string_view name)
{
    const std::size_t n = name.size();
    if (n < kShortestName || n > kLongestName)
        return nullptr;
    const NameWords words = nameWords(name);
    const FieldSlot& slot = kFieldSlots[nameSlot(words, n, kFieldSeed)];
    if (slot.size != n || !(slot.words == words))
        return nullptr;
    return &kFields[static_cast<std::size_t>(slot.field)];
}

// A whole amount written as digits only, at most Currency::kMaxWhole (as
// parseDigits reads it, without an exception for the texts refused).
bool parseWholeAmount(std::string_view text, Currency& out)
{
    if (text.empty() || text.size() > 15)
        return false;
    std::int64_t whole = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        whole = whole * 10 + (c - '0');
    }
    if (whole > Currency::kMaxWhole)
        return false;
    out = Currency::fromWhole(whole);
    return true;
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

// The line and column (1-based) of the parser's position, counted as the
// parser counts them: `position` characters were read, the last one where
// the error is (past the end of the text at its end).
void placeOf(std::string_view text, std::size_t position, CaseError& error)
{
    const std::size_t scanned = std::min(position, text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < scanned; ++i)
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    error.line = line;
    error.column = position - lineStart;
}
// Reads a case from the events of a parser (a member's name, a value, the
// start or end of an object or a list, in the order of the text) straight
// into the record, without keeping a document: the text must be one object
// whose members are known fields of the right type. Two parsers drive it
// (readInto): simdjson over a text it has found to be JSON, and, for a text
// it refuses, nlohmann's, whose events stop at the first problem in the
// order of the text and which says where the text stops being JSON.
class CaseReader final {
public:
    // The details go to `details` when given, else to a record of the
    // reader's own, made only when the case has any.
    CaseReader(EstateCase& target, CaseDetails* details, std::optional<UncertainHeir>& uncertain,
               std::vector<LaterDeath>& later, CaseError& error)
        : case_(&target), main_(&target), later_(later), details_(details), uncertain_(uncertain), error_(error)
    {
    }

    // The field of "missing" as given: its relative depends on the deceased,
    // who may come later in the object.
    const std::string& missingField() const noexcept { return missingField_; }

    bool sawDetails() const noexcept { return details_ != nullptr && sawDetails_; }
    CaseDetails& details()
    {
        if (details_ == nullptr)
            details_ = &own_.emplace();
        return *details_;
    }

    bool null() { return value(Value::Null); }
    bool boolean(bool v)
    {
        flagValue_ = v;
        return value(Value::Bool);
    }
    bool integer(std::uint64_t v)
    {
        negative_ = false;
        integerValue_ = v;
        return value(Value::Integer);
    }
    bool negativeInteger(std::int64_t v)
    {
        negative_ = true;
        signedValue_ = v;
        return value(Value::Integer);
    }
    // A whole number too large for 64 bits: a count or an amount beyond its
    // range, not a fraction.
    bool hugeInteger() { return value(Value::HugeInteger); }
    // A number with a fraction or an exponent.
    bool otherNumber() { return value(Value::Other); }
    bool string(std::string_view v)
    {
        stringValue_ = v;
        switch (nesting_) {
        case Nesting::Case:
        case Nesting::DeathList:
        case Nesting::Death:
        case Nesting::DeathCase:
        case Nesting::Same: return value(Value::String);
        case Nesting::Details:
            if (detailText_ == nullptr)
                return wrongKindInDetails();
            details().*detailText_ = v;
            return true;
        case Nesting::HeirNames: return wrongKindInDetails();
        case Nesting::NameList:
            details().heirNames[static_cast<std::size_t>(index(namedHeir_))].emplace_back(v);
            return true;
        }
        return false;
    }

    bool startObject()
    {
        if (depth_ == 0) {
            depth_ = 1;
            return true;
        }
        if (inLaterDeaths())
            return startLaterObject();
        if (nesting_ == Nesting::Case && field_->kind == Kind::Details) {
            nesting_ = Nesting::Details;
            details();
            sawDetails_ = true;
            return true;
        }
        if (nesting_ == Nesting::Details && detailText_ == nullptr) {
            nesting_ = Nesting::HeirNames;
            return true;
        }
        if (nesting_ != Nesting::Case)
            return wrongKindInDetails();
        return value(Value::Other);
    }
    bool endObject()
    {
        if (inLaterDeaths())
            return endLaterObject();
        if (nesting_ == Nesting::HeirNames)
            nesting_ = Nesting::Details;
        else if (nesting_ == Nesting::Details)
            nesting_ = Nesting::Case;
        else
            --depth_;
        return true;
    }
    bool startArray()
    {
        if (depth_ == 0)
            return fail(CaseProblem::NotAnObject, "a case must be a JSON object");
        if (nesting_ == Nesting::Case && field_->kind == Kind::LaterDeaths) {
            nesting_ = Nesting::DeathList;
            return true;
        }
        if (inLaterDeaths())
            return value(Value::Other);
        if (nesting_ == Nesting::HeirNames) {
            nesting_ = Nesting::NameList;
            return true;
        }
        if (nesting_ != Nesting::Case)
            return wrongKindInDetails();
        return value(Value::Other);
    }
    bool endArray()
    {
        if (nesting_ == Nesting::NameList)
            nesting_ = Nesting::HeirNames;
        else if (nesting_ == Nesting::DeathList)
            nesting_ = Nesting::Case;
        return true;
    }

    bool key(std::string_view name)
    {
        if (nesting_ == Nesting::Details)
            return detailKey(name);
        if (nesting_ == Nesting::HeirNames)
            return heirKey(name);
        if (nesting_ == Nesting::Death)
            return deathKey(name);
        if (nesting_ == Nesting::Same)
            return sameKey(name);
        if (nesting_ == Nesting::DeathCase)
            return deathCaseKey(name);
        return caseKey(name);
    }

    // A member's name in the case object itself.
    bool caseKey(std::string_view name)
    {
        field_ = findField(name);
        if (field_ == nullptr) {
            error_.problem = CaseProblem::UnknownField;
            error_.field = shortened(name);
            error_.message = "unknown field ";
            appendQuoted(error_.field, error_.message);
            return false;
        }
        // Only the members of the case object reach here: a nested object
        // is refused as a value before its keys are read.
        const std::size_t index = static_cast<std::size_t>(field_ - kFields.data());
        if (seen_[index]) {
            error_.problem = CaseProblem::DuplicateField;
            error_.field = std::string(field_->name);
            error_.message = "duplicate field ";
            appendQuoted(field_->name, error_.message);
            return false;
        }
        seen_[index] = true;
        return true;
    }

    // The value of the member of the case object just named, when it has
    // the form of most cases: a count or the wives in range, a box, an
    // amount of digits, the deceased. Read straight into the case; false,
    // with nothing changed, for any other value, which then takes the
    // general way (and its message, when refused).
    bool plainValue(simdjson::dom::element v)
    {
        switch (field_->kind) {
        case Kind::Count: {
            std::int64_t n = 0;
            if (v.get_int64().get(n) != simdjson::SUCCESS || n < 0 || n > kMaxCount)
                return false;
            case_->*(field_->count) = HeadCount(n);
            return true;
        }
        case Kind::Flag: {
            bool b = false;
            if (v.get_bool().get(b) != simdjson::SUCCESS)
                return false;
            case_->*(field_->flag) = b;
            return true;
        }
        case Kind::Amount: {
            std::string_view text;
            if (v.get_string().get(text) == simdjson::SUCCESS)
                return parseWholeAmount(text, case_->*(field_->value));
            std::int64_t n = 0;
            if (v.get_int64().get(n) != simdjson::SUCCESS || n < 0 || n > Currency::kMaxWhole)
                return false;
            case_->*(field_->value) = Currency::fromRaw(n * Currency::kScale);
            return true;
        }
        case Kind::Deceased: {
            std::string_view text;
            if (v.get_string().get(text) != simdjson::SUCCESS)
                return false;
            if (text == "man")
                case_->deceased = Deceased::Man;
            else if (text == "woman")
                case_->deceased = Deceased::Woman;
            else
                return false;
            return true;
        }
        case Kind::Wives: {
            std::int64_t n = 0;
            if (v.get_int64().get(n) != simdjson::SUCCESS || n < 1 || n > 4)
                return false;
            case_->wives = HeadCount(n);
            return true;
        }
        default: return false;
        }
    }

private:
    enum class Value : std::uint8_t { Null, Bool, Integer, HugeInteger, String, Other };
    // Where in the case object the parser is: its members, the members of
    // "details", the lists of "details.heirNames", one list.
    // In "laterDeaths": the list, one death's members, the members of its
    // "case", the members of its "same".
    enum class Nesting : std::uint8_t { Case, Details, HeirNames, NameList, DeathList, Death, DeathCase, Same };

    bool detailKey(std::string_view name)
    {
        detailText_ = nullptr;
        std::size_t member = kDetailMembers.size();
        for (std::size_t i = 0; i < kDetailMembers.size(); ++i)
            if (kDetailMembers[i].json == name) {
                detailText_ = kDetailMembers[i].text;
                member = i;
            }
        if (member == kDetailMembers.size() && name != "heirNames")
            return failNested(CaseProblem::UnknownField, "details." + shortened(name), "unknown field ");
        detailPath_ = "details.";
        detailPath_ += name;
        if (seenDetails_.test(member))
            return failNested(CaseProblem::DuplicateField, detailPath_, "duplicate field ");
        seenDetails_.set(member);
        return true;
    }

    bool heirKey(std::string_view name)
    {
        for (const HeirInfo& heir : kHeirs)
            if (heir.name == name) {
                namedHeir_ = heir.heir;
                detailPath_ = "details.heirNames.";
                detailPath_ += name;
                const auto i = static_cast<std::size_t>(index(heir.heir));
                if (seenHeirs_.test(i))
                    return failNested(CaseProblem::DuplicateField, detailPath_, "duplicate field ");
                seenHeirs_.set(i);
                return true;
            }
        return failNested(CaseProblem::UnknownField, "details.heirNames." + shortened(name), "unknown field ");
    }

    bool failNested(CaseProblem problem, std::string path, const char* what)
    {
        error_.problem = problem;
        error_.field = std::move(path);
        error_.message = what;
        appendQuoted(error_.field, error_.message);
        return false;
    }

    // A value of the wrong kind inside "details", where the parser is.
    bool wrongKindInDetails()
    {
        switch (nesting_) {
        case Nesting::Details:
            return failDetails(detailText_ != nullptr ? " must be a text" : " must be an object of lists of names");
        case Nesting::HeirNames: return failDetails(" must be a list of names");
        case Nesting::NameList: return failDetails(" must be a list of texts");
        default: break;
        }
        return failDetails(" must be an object");
    }

    bool failDetails(const char* message)
    {
        error_.problem = CaseProblem::BadValue;
        error_.field = nesting_ == Nesting::Case ? std::string("details") : detailPath_;
        error_.message.clear();
        appendQuoted(error_.field, error_.message);
        error_.message += message;
        return false;
    }

    bool fail(CaseProblem problem, const char* message)
    {
        error_.problem = problem;
        error_.message = message;
        return false;
    }

    bool failField(CaseProblem problem, const char* message)
    {
        error_.problem = problem;
        error_.field = nesting_ == Nesting::DeathCase ? deathPath("case." + std::string(field_->name))
                                                     : std::string(field_->name);
        error_.message.clear();
        appendQuoted(error_.field, error_.message);
        error_.message += message;
        return false;
    }

    bool value(Value kind)
    {
        if (depth_ == 0)
            return fail(CaseProblem::NotAnObject, "a case must be a JSON object");
        if (nesting_ == Nesting::DeathList || nesting_ == Nesting::Death || nesting_ == Nesting::Same)
            return laterValue(kind);
        if (nesting_ != Nesting::Case && nesting_ != Nesting::DeathCase)
            return wrongKindInDetails();
        switch (field_->kind) {
        case Kind::LaterDeaths:
            return failField(CaseProblem::BadValue, " must be a list of objects");
        case Kind::Details:
            return failDetails(" must be an object");
        case Kind::Uncertain:
            return uncertainValue(kind);
        case Kind::Format:
            if (kind != Value::Integer)
                return failField(CaseProblem::BadValue, " must be 1");
            if (negative_ || integerValue_ != static_cast<std::uint64_t>(kCaseFormat)) {
                error_.problem = CaseProblem::OtherFormat;
                error_.field = std::string(field_->name);
                error_.message = "the case is written in format " +
                                 (negative_ ? std::to_string(signedValue_) : std::to_string(integerValue_)) +
                                 "; this program reads format 1 only";
                return false;
            }
            return true;
        case Kind::Deceased:
            if (kind == Value::String && stringValue_ == "man")
                case_->deceased = Deceased::Man;
            else if (kind == Value::String && stringValue_ == "woman")
                case_->deceased = Deceased::Woman;
            else
                return failField(CaseProblem::BadValue, " must be \"man\" or \"woman\"");
            return true;
        case Kind::Flag:
            if (kind != Value::Bool)
                return failField(CaseProblem::BadValue, " must be true or false");
            case_->*(field_->flag) = flagValue_;
            return true;
        case Kind::Count:
            if (kind == Value::HugeInteger)
                return failField(CaseProblem::ValueTooLarge, " is beyond the largest count (at most 1000000000 persons)");
            if (kind != Value::Integer || negative_)
                return failField(CaseProblem::BadValue, " must be a whole number of 0 or more");
            if (integerValue_ > static_cast<std::uint64_t>(kMaxCount))
                return failField(CaseProblem::ValueTooLarge, " is beyond the largest count (at most 1000000000 persons)");
            case_->*(field_->count) = HeadCount(static_cast<std::int64_t>(integerValue_));
            return true;
        case Kind::Wives:
            if (kind != Value::Integer || negative_ || integerValue_ < 1 || integerValue_ > 4)
                return failField(CaseProblem::BadValue, " must be a whole number from 1 to 4");
            case_->wives = HeadCount(static_cast<std::int64_t>(integerValue_));
            return true;
        case Kind::Amount:
            if (kind == Value::String) {
                if (!parseWholeAmount(stringValue_, case_->*(field_->value)))
                    return failAmountText();
                return true;
            }
            if (kind == Value::HugeInteger)
                return failField(CaseProblem::ValueTooLarge,
                                 " is beyond the range of money amounts (at most 922337203685477)");
            if (kind != Value::Integer || negative_)
                return failField(CaseProblem::BadValue, " must be a text of digits or a whole number of 0 or more");
            if (integerValue_ > static_cast<std::uint64_t>(Currency::kMaxWhole))
                return failField(CaseProblem::ValueTooLarge,
                                 " is beyond the range of money amounts (at most 922337203685477)");
            case_->*(field_->value) = Currency::fromWhole(static_cast<std::int64_t>(integerValue_));
            return true;
        }
        return false;
    }

    // An amount's text that parseWholeAmount refused: too many digits, or
    // not digits only.
    bool failAmountText()
    {
        const bool digitsOnly = !stringValue_.empty() && std::all_of(stringValue_.begin(), stringValue_.end(), [](char ch) {
            return ch >= '0' && ch <= '9';
        });
        if (digitsOnly)
            return failField(CaseProblem::ValueTooLarge, " is beyond the range of money amounts (at most 922337203685477)");
        return failField(CaseProblem::BadValue, " must be a text of the digits 0 to 9 only");
    }

    bool uncertainValue(Value kind)
    {
        if (uncertain_) {
            const char* other = uncertain_->kind == UncertainKind::Unborn    ? "unborn"
                                : uncertain_->kind == UncertainKind::Missing ? "missing"
                                                                             : "undeterminedSex";
            error_.problem = CaseProblem::BadValue;
            error_.field = std::string(field_->name);
            error_.message.clear();
            appendQuoted(field_->name, error_.message);
            error_.message += ": a case has one uncertain heir at most, and \"";
            error_.message += other;
            error_.message += "\" is given too";
            error_.arabic = "لا تقبل المسألة إلا وارثاً واحداً مجهول الحال (حمل أو مفقود أو خنثى)، وفيها اثنان";
            return false;
        }
        UncertainHeir heir;
        heir.kind = field_->uncertain;
        if (heir.kind == UncertainKind::Missing) {
            if (kind != Value::String || !isRelativeField(stringValue_))
                return failField(CaseProblem::BadValue, " must name the field of a relative in the case, such as \"sons\"");
            missingField_ = stringValue_;
            uncertain_ = heir;
            return true;
        }
        const auto& lines = heir.kind == UncertainKind::Unborn ? kUnbornLines : kUndeterminedLines;
        if (kind == Value::String)
            for (const KinLineName& line : lines)
                if (line.json == stringValue_) {
                    heir.line = line.line;
                    uncertain_ = heir;
                    return true;
                }
        std::string message = " must be one of";
        for (const KinLineName& line : lines) {
            message += &line == lines.data() ? " \"" : ", \"";
            message += line.json;
            message += '"';
        }
        return failField(CaseProblem::BadValue, message.c_str());
    }

    static bool isRelativeField(std::string_view name)
    {
        for (const HeirInfo& info : kHeirs)
            for (const CaseField& f : info.caseFields())
                if (f.json == name)
                    return true;
        return false;
    }

    // ------------------------------------------------ "laterDeaths"

    enum class DeathMember : std::uint8_t { Heir, Problem, Case, Same };

    bool inLaterDeaths() const noexcept
    {
        return nesting_ == Nesting::DeathList || nesting_ == Nesting::Death || nesting_ == Nesting::DeathCase ||
               nesting_ == Nesting::Same;
    }

    std::string deathPath(std::string_view member) const
    {
        std::string path = "laterDeaths[" + std::to_string(later_.empty() ? 0 : later_.size() - 1) + "]";
        if (!member.empty()) {
            path += '.';
            path += member;
        }
        return path;
    }

    bool failDeath(CaseProblem problem, std::string path, std::string_view message)
    {
        error_.problem = problem;
        error_.field = std::move(path);
        error_.message.clear();
        appendQuoted(error_.field, error_.message);
        error_.message += message;
        return false;
    }

    bool startLaterObject()
    {
        switch (nesting_) {
        case Nesting::DeathList:
            if (later_.size() + 1 >= kMaxProblems)
                return failDeath(CaseProblem::BadValue, "laterDeaths",
                                 " holds at most " + std::to_string(kMaxProblems - 1) +
                                     " deaths (a case divides at most " + std::to_string(kMaxProblems) + " problems)");
            later_.emplace_back();
            seenDeath_.reset();
            nesting_ = Nesting::Death;
            return true;
        case Nesting::Death:
            if (deathMember_ == DeathMember::Case) {
                case_ = &later_.back().ownCase;
                seenInDeath_.reset();
                nesting_ = Nesting::DeathCase;
                return true;
            }
            if (deathMember_ == DeathMember::Same) {
                nesting_ = Nesting::Same;
                return true;
            }
            return laterValue(Value::Other);
        default: return nesting_ == Nesting::DeathCase ? value(Value::Other) : laterValue(Value::Other);
        }
    }

    bool endLaterObject()
    {
        switch (nesting_) {
        case Nesting::DeathCase:
            case_ = main_;
            nesting_ = Nesting::Death;
            return true;
        case Nesting::Same: nesting_ = Nesting::Death; return true;
        case Nesting::Death:
            if (!seenDeath_.test(std::size_t(DeathMember::Heir)))
                return failDeath(CaseProblem::BadValue, deathPath("heir"),
                                 " is missing: it names the class of the earlier problem that held the dead head");
            nesting_ = Nesting::DeathList;
            return true;
        default: return true;
        }
    }

    bool deathKey(std::string_view name)
    {
        static constexpr std::pair<std::string_view, DeathMember> kMembers[] = {
            {"heir", DeathMember::Heir}, {"problem", DeathMember::Problem}, {"case", DeathMember::Case},
            {"same", DeathMember::Same}};
        for (const auto& [member, which] : kMembers)
            if (member == name) {
                deathMember_ = which;
                if (seenDeath_.test(std::size_t(which)))
                    return failNested(CaseProblem::DuplicateField, deathPath(member), "duplicate field ");
                seenDeath_.set(std::size_t(which));
                return true;
            }
        return failNested(CaseProblem::UnknownField, deathPath(shortened(name)), "unknown field ");
    }

    bool deathCaseKey(std::string_view name)
    {
        field_ = findField(name);
        if (field_ == nullptr)
            return failNested(CaseProblem::UnknownField, deathPath("case." + shortened(name)), "unknown field ");
        if (!isRelativeField(name))
            return failDeath(CaseProblem::BadValue, deathPath("case." + std::string(name)),
                             " is not allowed here: a later death's case holds only his relatives (his estate is what "
                             "he received, his sex follows from his class)");
        const std::size_t index = static_cast<std::size_t>(field_ - kFields.data());
        if (seenInDeath_.test(index))
            return failNested(CaseProblem::DuplicateField, deathPath("case." + std::string(name)), "duplicate field ");
        seenInDeath_.set(index);
        return true;
    }

    bool sameKey(std::string_view name)
    {
        if (!isRelativeField(name))
            return failNested(CaseProblem::UnknownField, deathPath("same." + shortened(name)), "unknown field ");
        for (const auto& [mine, theirs] : later_.back().same)
            if (mine == name)
                return failNested(CaseProblem::DuplicateField, deathPath("same." + std::string(name)),
                                  "duplicate field ");
        later_.back().same.emplace_back(name, std::string());
        return true;
    }

    // A value of a death, of its "same", or an element of the list.
    bool laterValue(Value kind)
    {
        switch (nesting_) {
        case Nesting::DeathList: return failDeath(CaseProblem::BadValue, "laterDeaths", " must be a list of objects");
        case Nesting::Same: {
            auto& link = later_.back().same.back();
            const std::string path = deathPath("same." + link.first);
            if (kind != Value::String || !isRelativeField(stringValue_))
                return failDeath(CaseProblem::BadValue, path, " must name a relative's field of the earlier problem");
            link.second = stringValue_;
            return true;
        }
        case Nesting::Death:
            switch (deathMember_) {
            case DeathMember::Heir:
                if (kind != Value::String || !isRelativeField(stringValue_))
                    return failDeath(CaseProblem::BadValue, deathPath("heir"),
                                     " must name a relative's field (\"sons\", \"wives\", \"mother\" ...)");
                later_.back().heir = stringValue_;
                return true;
            case DeathMember::Problem:
                if (kind != Value::Integer || negative_ || integerValue_ < 1 || integerValue_ > kMaxProblems - 1)
                    return failDeath(CaseProblem::BadValue, deathPath("problem"),
                                     " must be a whole number from 1 to " + std::to_string(kMaxProblems - 1));
                later_.back().problem = static_cast<int>(integerValue_);
                return true;
            case DeathMember::Case:
                return failDeath(CaseProblem::BadValue, deathPath("case"), " must be an object of relatives");
            case DeathMember::Same:
                return failDeath(CaseProblem::BadValue, deathPath("same"), " must be an object of fields");
            }
            return false;
        default: return false;
        }
    }

    EstateCase* case_;  // the case whose fields are read: the main one, or a later death's
    EstateCase* main_;
    std::vector<LaterDeath>& later_;
    CaseDetails* details_;
    std::optional<UncertainHeir>& uncertain_;
    std::string missingField_;
    std::optional<CaseDetails> own_;
    bool sawDetails_ = false;
    CaseError& error_;
    Nesting nesting_ = Nesting::Case;
    std::string CaseDetails::*detailText_ = nullptr;
    Heir namedHeir_{};
    std::string detailPath_;
    std::bitset<kDetailMembers.size() + 1> seenDetails_;
    std::bitset<kHeirCount> seenHeirs_;
    const Field* field_ = nullptr;
    std::bitset<kFields.size()> seen_;
    std::bitset<kFields.size()> seenInDeath_;
    std::bitset<4> seenDeath_;
    DeathMember deathMember_ = DeathMember::Heir;
    int depth_ = 0;
    bool flagValue_ = false;
    bool negative_ = false;
    std::uint64_t integerValue_ = 0;
    std::int64_t signedValue_ = 0;
    std::string_view stringValue_;
};

// nlohmann's events, for a text that simdjson refused: they stop at the
// first problem in the order of the text, and a text that is not JSON is
// described with the line and column where it stops being JSON.
class CaseSax final : public nlohmann::json_sax<json> {
public:
    CaseSax(std::string_view text, CaseReader& reader, CaseError& error) : text_(text), reader_(reader), error_(error) {}

    bool null() override { return reader_.null(); }
    bool boolean(bool v) override { return reader_.boolean(v); }
    bool number_integer(number_integer_t v) override
    {
        return v < 0 ? reader_.negativeInteger(v) : reader_.integer(static_cast<std::uint64_t>(v));
    }
    bool number_unsigned(number_unsigned_t v) override { return reader_.integer(v); }
    bool number_float(number_float_t, const string_t& written) override
    {
        // A whole number too large for 64 bits reaches here as a float.
        const bool whole = !written.empty() && std::all_of(written.begin(), written.end(), [](char ch) {
            return ch >= '0' && ch <= '9';
        });
        return whole ? reader_.hugeInteger() : reader_.otherNumber();
    }
    bool string(string_t& v) override { return reader_.string(v); }
    bool binary(binary_t&) override { return reader_.otherNumber(); }
    bool start_object(std::size_t) override { return reader_.startObject(); }
    bool end_object() override { return reader_.endObject(); }
    bool start_array(std::size_t) override { return reader_.startArray(); }
    bool end_array() override { return reader_.endArray(); }
    bool key(string_t& name) override { return reader_.key(name); }

    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override
    {
        // Drop the library's "[json.exception.parse_error.101] " prefix.
        std::string_view what = e.what();
        if (const auto close = what.find("] "); what.starts_with("[json.exception") && close != what.npos)
            what.remove_prefix(close + 2);
        error_.problem = CaseProblem::NotJson;
        error_.message = "not valid JSON: ";
        error_.message += shortenedParseMessage(what);
        placeOf(text_, position, error_);
        return false;
    }

private:
    std::string_view text_;
    CaseReader& reader_;
    CaseError& error_;
};

// Gives a document that simdjson has read to the reader, value by value in
// the order of the text, until the reader refuses one.
bool walk(simdjson::dom::element e, CaseReader& reader);

// The same for the whole document: the members of the case object, most of
// them plain values that go straight into the case.
bool walkCase(simdjson::dom::element document, CaseReader& reader)
{
    simdjson::dom::object object;
    if (document.get_object().get(object) != simdjson::SUCCESS)
        return walk(document, reader);
    if (!reader.startObject())
        return false;
    for (const simdjson::dom::key_value_pair member : object)
        if (!reader.caseKey(member.key) || (!reader.plainValue(member.value) && !walk(member.value, reader)))
            return false;
    return reader.endObject();
}

bool walk(simdjson::dom::element e, CaseReader& reader)
{
    using simdjson::dom::element_type;
    switch (e.type()) {
    case element_type::OBJECT:
        if (!reader.startObject())
            return false;
        for (const simdjson::dom::key_value_pair member : simdjson::dom::object(e))
            if (!reader.key(member.key) || !walk(member.value, reader))
                return false;
        return reader.endObject();
    case element_type::ARRAY:
        if (!reader.startArray())
            return false;
        for (const simdjson::dom::element item : simdjson::dom::array(e))
            if (!walk(item, reader))
                return false;
        return reader.endArray();
    case element_type::INT64: {
        const std::int64_t v = e.get_int64().value_unsafe();
        return v < 0 ? reader.negativeInteger(v) : reader.integer(static_cast<std::uint64_t>(v));
    }
    case element_type::UINT64: return reader.integer(e.get_uint64().value_unsafe());
    // A fraction or an exponent: simdjson refuses the text of a whole
    // number beyond 64 bits, which the other parser then reads.
    case element_type::DOUBLE: return reader.otherNumber();
    case element_type::STRING: return reader.string(e.get_string().value_unsafe());
    case element_type::BOOL: return reader.boolean(e.get_bool().value_unsafe());
    case element_type::NULL_VALUE: return reader.null();
    }
    return false;
}

// The largest text given to simdjson, beyond the longest line of
// qismar-cli: its parser takes memory in proportion to the text.
constexpr std::size_t kMaxParsedBytes = std::size_t{2} << 20;

// simdjson's parser and the padded copy of the text it reads, kept by each
// thread from one case object to the next.
class ParserRoom {
public:
    // The text, copied with the zeroed bytes that simdjson may read past
    // its end, and parsed; false when simdjson refuses it.
    bool parse(std::string_view text, simdjson::dom::element& document)
    {
        const std::size_t needed = text.size() + simdjson::SIMDJSON_PADDING;
        if (size_ < needed) {
            size_ = std::max(needed, 2 * size_);
            padded_ = std::make_unique<char[]>(size_);
        }
        std::memcpy(padded_.get(), text.data(), text.size());
        std::memset(padded_.get() + text.size(), 0, simdjson::SIMDJSON_PADDING);
        if (parser_.parse(padded_.get(), text.size(), false).get(document) != simdjson::SUCCESS)
            return false;
        return true;
    }
    // Gives back the memory of a text much larger than a case, so that a
    // thread keeps what an ordinary case takes.
    void release(std::string_view text)
    {
        if (text.size() <= kKeptBytes)
            return;
        padded_.reset();
        size_ = 0;
        parser_ = simdjson::dom::parser{};
    }

private:
    static constexpr std::size_t kKeptBytes = std::size_t{64} * 1024;
    simdjson::dom::parser parser_;
    std::unique_ptr<char[]> padded_;
    std::size_t size_ = 0;
};

// ---------------------------------------------------------------- writing

void appendWhole(std::int64_t v, std::string& out) { out += std::to_string(v); }

// A value that a case object can hold: whole, not negative, at most `limit`.
std::int64_t wholeValue(Currency v, std::int64_t limit, ErrorCode beyond)
{
    if (v.raw() < 0)
        throw EngineError(ErrorCode::InvalidCount);
    const std::int64_t whole = v.whole();  // throws NotAWholeNumber
    if (whole > limit)
        throw EngineError(beyond);
    return whole;
}

std::int64_t wholeValue(HeadCount v, std::int64_t limit, ErrorCode beyond)
{
    if (v.persons() < 0)
        throw EngineError(ErrorCode::InvalidCount);
    if (v.persons() > limit)
        throw EngineError(beyond);
    return v.persons();
}

// ---------------------------------------------------------------- files

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) noexcept : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return fd_; }
    void reset(int fd) noexcept
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and tells whether closing succeeded.
    bool close() noexcept
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
private:
    int fd_;
};

bool failSystem(CaseError& error, CaseProblem problem, const char* what, int code)
{
    error.problem = problem;
    error.systemError = code;
    error.message = std::string(what) + ": " + std::strerror(code);
    return false;
}

bool failFile(CaseError& error, CaseProblem problem, std::string message)
{
    error.problem = problem;
    error.message = std::move(message);
    return false;
}

// Where the first byte that is not part of well-formed UTF-8 stands, or
// npos. Overlong forms, surrogates and code points above U+10FFFF are not
// well-formed.
std::size_t firstNonUtf8(std::string_view text)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;  // no overlong form
            else if (c == 0xED)
                high = 0x9F;  // no surrogate
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;  // nothing above U+10FFFF
        } else {
            return i;
        }
        if (i + length > n)
            return i;
        if (s[i + 1] < low || s[i + 1] > high)
            return i;
        for (std::size_t k = 2; k < length; ++k)
            if ((s[i + k] & 0xC0) != 0x80)
                return i;
        i += length;
    }
    return std::string_view::npos;
}

void placeOfByte(std::string_view text, std::size_t offset, CaseError& error)
{
    // The byte itself is the character read last.
    placeOf(text, offset + 1, error);
}

}  // namespace

namespace {

// Reads a case object into the case, its uncertain heir, its later deaths
// and its details (when `details` is given: it is empty on entry); the
// details are checked either way.
bool readInto(std::string_view text, EstateCase& out, CaseDetails* details, std::optional<UncertainHeir>& uncertain,
              std::vector<LaterDeath>& later, CaseError& error)
{
    out = EstateCase{};
    uncertain.reset();
    later.clear();
    // As a new CaseError, keeping the room of its texts.
    error.problem = CaseProblem::None;
    error.field.clear();
    error.line = error.column = 0;
    error.systemError = 0;
    error.message.clear();
    error.arabic.clear();
    CaseReader reader(out, details, uncertain, later, error);
    // simdjson reads what is JSON (it refuses a NUL byte anywhere);
    // nlohmann's parser reads again a text that simdjson refuses (or one
    // too large to copy for it), to find the first problem in the order of
    // the text and where it stands.
    thread_local ParserRoom room;
    std::string_view body = text;
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    simdjson::dom::element document;
    bool ok = false;
    if (body.size() <= kMaxParsedBytes && room.parse(body, document)) {
        ok = walkCase(document, reader);
    } else if (const std::size_t nul = text.find('\0'); nul != text.npos) {
        // nlohmann's parser takes a NUL byte for the end of its input and
        // would ignore whatever follows it; no valid case holds one.
        error.problem = CaseProblem::NotJson;
        error.message = "not valid JSON: a NUL byte at column " + std::to_string(nul + 1);
        placeOfByte(text, nul, error);
    } else {
        CaseSax events(text, reader, error);
        ok = json::sax_parse(text.begin(), text.end(), &events);
    }
    room.release(body);
    if (!ok) {
        if (error.message.empty()) {
            error.problem = CaseProblem::NotJson;
            error.message = "not a valid case";
        }
        return false;
    }
    try {
        out.deriveEntryWindowState();
    } catch (const EngineError&) {
        error.problem = CaseProblem::CountsTooLarge;
        error.message = "the counts add up beyond the range of counts";
        return false;
    }
    if (uncertain && uncertain->kind == UncertainKind::Missing) {
        // "spouse" is the husband or the wives as the deceased is; a field
        // of the other spouse still names that relative, whom the division
        // then finds absent.
        const std::string& field = reader.missingField();
        const Deceased other = out.isMan() ? Deceased::Woman : Deceased::Man;
        uncertain->missing = heirOfCaseField(field, out.deceased).value_or(heirOfCaseField(field, other).value_or(Heir::Sons));
    }
    for (std::size_t i = 0; i < later.size(); ++i) {
        try {
            later[i].ownCase.deriveEntryWindowState();
        } catch (const EngineError&) {
            error.problem = CaseProblem::CountsTooLarge;
            error.field = "laterDeaths[" + std::to_string(i) + "].case";
            error.message = "the counts of \"" + error.field + "\" add up beyond the range of counts";
            return false;
        }
    }
    if (!reader.sawDetails())
        return true;
    if (DetailsProblem p = checkCaseDetails(reader.details(), out)) {
        error.problem = CaseProblem::BadValue;
        error.field = std::move(p.field);
        error.message = std::move(p.english);
        error.arabic = std::move(p.arabic);
        return false;
    }
    return true;
}

}  // namespace

bool readCaseObject(std::string_view text, CaseRecord& record, CaseError& error)
{
    // A record reused from line to line keeps its room; most cases have no
    // details to clear.
    if (!record.details.empty())
        record.details = CaseDetails{};
    record.laterDeaths.clear();
    return readInto(text, record.estate, &record.details, record.uncertain, record.laterDeaths, error);
}

bool readCaseObject(std::string_view text, EstateCase& out, CaseError& error)
{
    std::optional<UncertainHeir> uncertain;
    std::vector<LaterDeath> later;
    return readInto(text, out, nullptr, uncertain, later, error);
}

bool readCaseObject(std::string_view text, EstateCase& out, std::string& error)
{
    CaseError e;
    const bool ok = readCaseObject(text, out, e);
    error = std::move(e.message);
    return ok;
}

std::string writeCaseObject(const EstateCase& c)
{
    CaseRecord record;
    record.estate = c;
    return writeCaseObject(record);
}

namespace {

// "details" as an object of the texts given and the lists of names, in the
// order of kDetailMembers and of the heir table.
void appendDetails(const CaseDetails& d, std::string& out)
{
    out += '{';
    bool first = true;
    const auto member = [&](std::string_view name) {
        if (!first)
            out += ", ";
        first = false;
        appendQuoted(name, out);
        out += ": ";
    };
    for (const DetailMember& m : kDetailMembers)
        if (const std::string& text = d.*(m.text); !text.empty()) {
            member(m.json);
            appendQuoted(text, out);
        }
    bool anyNames = false;
    for (const HeirInfo& heir : kHeirs) {
        const std::vector<std::string>& names = d.heirNames[static_cast<std::size_t>(index(heir.heir))];
        if (names.empty())
            continue;
        if (!anyNames) {
            member("heirNames");
            out += '{';
            anyNames = true;
        } else {
            out += ", ";
        }
        appendQuoted(heir.name, out);
        out += ": [";
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0)
                out += ", ";
            appendQuoted(names[i], out);
        }
        out += ']';
    }
    if (anyNames)
        out += '}';
    out += '}';
}

}  // namespace

// A relative's box or count, when it differs from the initial value;
// `name` writes the member's name.
template <class Name>
void appendRelative(const Field& f, const EstateCase& c, const Name& name, std::string& out)
{
    const EstateCase initial;
    switch (f.kind) {
    case Kind::Flag:
        if (c.*(f.flag) != initial.*(f.flag)) {
            name(f.name);
            out += c.*(f.flag) ? "true" : "false";
        }
        break;
    case Kind::Count: {
        const std::int64_t v = wholeValue(c.*(f.count), kMaxCount, ErrorCode::CountTooLarge);
        if (v != 0) {
            name(f.name);
            appendWhole(v, out);
        }
        break;
    }
    case Kind::Wives: {
        const std::int64_t v = wholeValue(c.wives, 4, ErrorCode::InvalidCount);
        if (v < 1)
            throw EngineError(ErrorCode::InvalidCount);
        if (v != 1) {
            name(f.name);
            appendWhole(v, out);
        }
        break;
    }
    default: break;
    }
}

// "laterDeaths": per death its heir, its problem when not 1, its case (the
// relatives only) and its links when it has any.
void appendLaterDeaths(const std::vector<LaterDeath>& later, std::string& out)
{
    out += '[';
    for (std::size_t i = 0; i < later.size(); ++i) {
        const LaterDeath& d = later[i];
        if (i > 0)
            out += ", ";
        out += "{\"heir\": ";
        appendQuoted(d.heir, out);
        if (d.problem != 1)
            out += ", \"problem\": " + std::to_string(d.problem);
        out += ", \"case\": {";
        bool first = true;
        const auto name = [&](std::string_view field) {
            if (!first)
                out += ", ";
            first = false;
            out += '"';
            out += field;
            out += "\": ";
        };
        for (const Field& f : kFields)
            if (f.kind != Kind::Flag || f.flag != &EstateCase::heirsConsent)
                appendRelative(f, d.ownCase, name, out);
        out += '}';
        if (!d.same.empty()) {
            out += ", \"same\": {";
            for (std::size_t k = 0; k < d.same.size(); ++k) {
                if (k > 0)
                    out += ", ";
                appendQuoted(d.same[k].first, out);
                out += ": ";
                appendQuoted(d.same[k].second, out);
            }
            out += '}';
        }
        out += '}';
    }
    out += ']';
}

std::string writeCaseObject(const CaseRecord& record)
{
    const EstateCase& c = record.estate;
    std::string out = "{";
    bool first = true;
    const auto name = [&](std::string_view field) {
        if (!first)
            out += ", ";
        first = false;
        out += '"';
        out += field;
        out += "\": ";
    };
    for (const Field& f : kFields) {
        switch (f.kind) {
        case Kind::Format:
            name(f.name);
            appendWhole(kCaseFormat, out);
            break;
        case Kind::Deceased:
            name(f.name);
            out += c.isWoman() ? "\"woman\"" : "\"man\"";
            break;
        case Kind::Amount: {
            const std::int64_t v = wholeValue(c.*(f.value), Currency::kMaxWhole, ErrorCode::OutOfRange);
            // The estate always, the deductions when there are any.
            if (f.value == &EstateCase::estate || v != 0) {
                name(f.name);
                out += '"';
                appendWhole(v, out);
                out += '"';
            }
            break;
        }
        case Kind::Flag:
        case Kind::Count:
        case Kind::Wives: appendRelative(f, c, name, out); break;
        case Kind::LaterDeaths:
            if (!record.laterDeaths.empty()) {
                name(f.name);
                appendLaterDeaths(record.laterDeaths, out);
            }
            break;
        case Kind::Uncertain:
            if (record.uncertain && record.uncertain->kind == f.uncertain) {
                name(f.name);
                out += '"';
                if (f.uncertain == UncertainKind::Missing) {
                    out += headFieldOf(record.uncertain->missing);
                } else {
                    const auto& lines = f.uncertain == UncertainKind::Unborn ? kUnbornLines : kUndeterminedLines;
                    const auto* line = std::find_if(lines.begin(), lines.end(),
                                                    [&](const KinLineName& l) { return l.line == record.uncertain->line; });
                    if (line == lines.end())
                        throw EngineError(ErrorCode::InvalidCount);
                    out += line->json;
                }
                out += '"';
            }
            break;
        case Kind::Details:
            if (!record.details.empty()) {
                name(f.name);
                appendDetails(record.details, out);
            }
            break;
        }
    }
    out += '}';
    return out;
}

bool readCaseFile(const std::string& path, EstateCase& out, CaseError& error)
{
    CaseRecord record;
    const bool ok = readCaseFile(path, record, error);
    out = record.estate;
    return ok;
}

bool readCaseFile(const std::string& path, CaseRecord& out, CaseError& error)
{
    out = CaseRecord{};
    error = CaseError{};
    // Opening a pipe without O_NONBLOCK would wait for a writer; a regular
    // file reads the same either way.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0)
        return failSystem(error, CaseProblem::CannotOpen, "cannot open the file", errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return failSystem(error, CaseProblem::CannotRead, "cannot read the file", errno);
    if (S_ISDIR(info.st_mode))
        return failFile(error, CaseProblem::Folder, "a folder, not a case file");
    if (!S_ISREG(info.st_mode))
        return failFile(error, CaseProblem::NotAFile, "not a regular file, so not a case file");
    const std::string tooLarge =
        "larger than " + std::to_string(kMaxCaseFileBytes) + " bytes, so not a case file";
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > kMaxCaseFileBytes)
        return failFile(error, CaseProblem::TooLarge, tooLarge);
    // The file may grow while it is read: one byte more than the limit is
    // asked for, and getting it means the file is too large.
    std::string text(kMaxCaseFileBytes + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(file.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failSystem(error, CaseProblem::CannotRead, "cannot read the file", errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxCaseFileBytes)
        return failFile(error, CaseProblem::TooLarge, tooLarge);
    text.resize(got);
    if (const std::size_t nul = text.find('\0'); nul != text.npos) {
        placeOfByte(text, nul, error);
        return failFile(error, CaseProblem::NotText, "a NUL byte at line " + std::to_string(error.line) +
                                                         ", column " + std::to_string(error.column) +
                                                         ": a binary file, not a case file");
    }
    if (const std::size_t bad = firstNonUtf8(text); bad != std::string_view::npos) {
        placeOfByte(text, bad, error);
        return failFile(error, CaseProblem::NotUtf8, "not UTF-8 text (a byte that is not UTF-8 at line " +
                                                         std::to_string(error.line) + ", column " +
                                                         std::to_string(error.column) + ")");
    }
    std::string_view content = text;
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    if (content.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return failFile(error, CaseProblem::Empty, "the file is empty");
    return readCaseObject(text, out, error);
}

bool readCaseFile(const std::string& path, EstateCase& out, std::string& error)
{
    CaseError e;
    const bool ok = readCaseFile(path, out, e);
    error = std::move(e.message);
    return ok;
}

bool writeCaseFile(const std::string& path, const EstateCase& c, CaseError& error)
{
    CaseRecord record;
    record.estate = c;
    return writeCaseFile(path, record, error);
}

bool writeCaseFile(const std::string& path, const CaseRecord& c, CaseError& error)
{
    error = CaseError{};
    if (DetailsProblem p = checkCaseDetails(c.details, c.estate)) {
        error.field = p.field;
        error.arabic = "في المسألة قيمة لا يمكن حفظها: " + p.arabic;
        return failFile(error, CaseProblem::NotWritable, "the case cannot be written: " + p.english);
    }
    std::string content;
    try {
        content = writeCaseObject(c);
    } catch (const EngineError& e) {
        error.arabic = e.code() == ErrorCode::NotAWholeNumber
                           ? "ملف المسألة يحفظ المبالغ أعداداً صحيحة، وفي المسألة مبلغ بكسور: اقسمها واطبع تقريرها، أو اكتب المبلغ دون كسور لتحفظها"
                           : "في المسألة قيمة لا يمكن حفظها: " + std::string(e.arabic());
        return failFile(error, CaseProblem::NotWritable, std::string("the case cannot be written: ") + e.what());
    }
    content += '\n';

    FileWriteError written;
    if (writeWholeFile(path, content, written))
        return true;
    switch (written.problem) {
    case FileWriteProblem::Folder: return failFile(error, CaseProblem::Folder, std::move(written.message));
    case FileWriteProblem::NotAFile: return failFile(error, CaseProblem::NotAFile, std::move(written.message));
    default: return failSystem(error, CaseProblem::CannotWrite, "cannot write the file", written.systemError);
    }
}

std::string CaseErrorArabic(const CaseError& e)
{
    if (!e.arabic.empty())
        return e.arabic;
    const Field* f = findField(e.field);
    const std::string field = f ? "«" + std::string(f->arabic) + "»" : "«" + e.field + "»";
    const auto place = [&]() -> std::string {
        if (e.line == 0)
            return {};
        return " (السطر " + std::to_string(e.line) + "، العمود " + std::to_string(e.column) + ")";
    };
    const auto system = [&] { return systemErrorArabic(e.systemError, e.problem == CaseProblem::CannotWrite); };
    switch (e.problem) {
    case CaseProblem::None: return {};
    case CaseProblem::NotJson:
        return "محتوى الملف ليس نص JSON صحيحاً" + place();
    case CaseProblem::NotAnObject: return "الملف لا يحوي كائن JSON واحداً يصف مسألة";
    case CaseProblem::UnknownField: return "في الملف حقل لا يعرفه البرنامج: " + field;
    case CaseProblem::DuplicateField: return "الحقل " + field + " مكرر في الملف";
    case CaseProblem::BadValue:
        if (!f && e.field.starts_with("laterDeaths"))
            return "قيمة غير صحيحة في «الوفيات بعد المورث»: " + e.field;
        if (!f)
            return e.field.starts_with("details") ? "قيمة غير صحيحة في «بيانات المسألة»: " + e.field
                                                  : "قيمة غير صحيحة في الملف";
        switch (f->kind) {
        case Kind::Format: return "رقم صيغة الملف يجب أن يكون 1";
        case Kind::Deceased: return "المتوفى يجب أن يكون \"man\" (رجل) أو \"woman\" (امرأة)";
        case Kind::Flag: return "قيمة " + field + " يجب أن تكون true أو false";
        case Kind::Count: return "قيمة " + field + " يجب أن تكون عدداً صحيحاً من 0 فأكثر";
        case Kind::Wives: return "عدد الزوجات يجب أن يكون عدداً صحيحاً من 1 إلى 4";
        case Kind::Amount: return "قيمة " + field + " يجب أن تكون مبلغاً بالأرقام من 0 إلى 9 فقط";
        case Kind::Details: return "«بيانات المسألة» يجب أن تكون كائناً من نصوص وقوائم أسماء";
        case Kind::Uncertain:
            return f->uncertain == UncertainKind::Missing
                       ? "قيمة " + field + " يجب أن تكون اسم حقل لوارث في المسألة، مثل \"sons\""
                       : "قيمة " + field + " ليست من القيم التي يعرفها البرنامج";
        case Kind::LaterDeaths: return "«الوفيات بعد المورث» يجب أن تكون قائمة من كائنات";
        }
        return {};
    case CaseProblem::ValueTooLarge:
        if (f && f->kind == Kind::Amount)
            return "قيمة " + field + " أكبر من أكبر مبلغ يقبله البرنامج (922337203685477)";
        return "قيمة " + field + " أكبر من أكبر عدد من الأشخاص يقبله البرنامج (1000000000)";
    case CaseProblem::OtherFormat:
        return "الملف مكتوب بصيغة غير الصيغة 1، وهذا البرنامج لا يقرأ غيرها";
    case CaseProblem::CountsTooLarge: return "مجموع الأعداد في الملف أكبر مما يقبله البرنامج";
    case CaseProblem::CannotOpen: return "تعذر فتح الملف: " + system();
    case CaseProblem::Folder: return "الاسم لمجلد وليس لملف مسألة";
    case CaseProblem::NotAFile: return "ليس ملفاً عادياً، فلا يكون ملف مسألة";
    case CaseProblem::TooLarge:
        return "حجم الملف أكبر من " + std::to_string(kMaxCaseFileBytes / 1024) +
               " كيلوبايت، فليس ملف مسألة";
    case CaseProblem::CannotRead: return "تعذرت قراءة الملف: " + system();
    case CaseProblem::NotText: return "الملف ثنائي وليس نصاً" + place() + "، فليس ملف مسألة";
    case CaseProblem::NotUtf8: return "الملف ليس نصاً بترميز UTF-8" + place();
    case CaseProblem::Empty: return "الملف فارغ";
    case CaseProblem::CannotWrite: return "تعذرت كتابة الملف: " + system();
    case CaseProblem::NotWritable: return "في المسألة قيمة لا يمكن حفظها";
    }
    return {};
}

}  // namespace qismar

// Qismar: the relatives who can inherit, described once.
//
// Every relative the program divides among has one entry in kHeirs, in the
// order of the result rows: what qismar-cli calls him, the members of the
// case that say whether he survives and how many of him, his Arabic names,
// his gender and his class. Whatever lists relatives (the result rows, the
// explanation, the checks of a division, the person count, the case files,
// the windows) reads this table; a relative is added here first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "engine/estate_case.h"

namespace qismar {

// The relatives who have a line in the result, in the order of the results
// window: one per class of heir (the wives together, the uterine brothers
// and sisters together).
enum class Heir : std::uint8_t {
    Husband,
    Wives,
    Father,
    Mother,
    Sons,
    Daughters,
    SonsSons,
    SonsDaughters,
    FullBrothers,
    FullSisters,
    Grandfather,
    UterineSiblings,
    MothersMother,
    FathersMother,
    PaternalSisters,
    PaternalBrothers,
    FullBrothersSons,
    PaternalBrothersSons,
    FullUncles,
    PaternalUncles,
    FullUnclesSons,
    PaternalUnclesSons,
    MothersMothersMother,
    FathersMothersMother,
    FathersFathersMother,
    SonsSonsDaughters,
    SonsSonsSons,
};
inline constexpr int kHeirCount = 27;

constexpr int index(Heir heir) noexcept { return static_cast<int>(heir); }
constexpr Heir heirAt(int i) noexcept { return static_cast<Heir>(i); }

// Mixed: the uterine brothers and sisters, one class whatever their sex
// (the sentences speak of them in the masculine).
enum class Gender : std::uint8_t { Male, Female, Mixed };

enum class HeirClass : std::uint8_t {
    Spouse,            // the husband, the wives
    Ascendant,         // the father, the mother, the father's father
    Grandmother,       // the five grandmothers who can inherit
    Descendant,        // children, and the children of sons to the third degree
    Sibling,           // full and paternal brothers and sisters
    UterineSibling,    // brothers and sisters through the mother only
    // Brothers' sons, uncles and uncles' sons: listed in the table nearest
    // first, the order in which each excludes the ones after him.
    DistantResiduary,
};

// A member of the case that says whether a relative survives (a box ticked)
// or how many of him survive (a count).
struct CaseField {
    std::string_view json;   // its name in a case object: "daughters"
    std::string_view label;  // its Arabic name in the windows and in the case files' messages: "عدد البنات"
    bool EstateCase::*flag = nullptr;
    HeadCount EstateCase::*count = nullptr;

    constexpr bool isCount() const noexcept { return count != nullptr; }
};

struct HeirInfo {
    Heir heir;
    std::string_view key;         // qismar-cli's "key" of his row: "n1", ...
    std::string_view name;        // qismar-cli's "heir": "husband", "uterineSiblings", ...
    int line;                     // his line in the results window, 1 to 28 (23 is not used)
    std::string_view singular;    // his Arabic name in the explanation: "الابن"
    std::string_view plural;      // "الأبناء"; empty for a relative who is always one
    // Two of him after a preposition or second in a construct ("للبنتين",
    // "مع ابني الابن"); empty for a relative who is always one.
    std::string_view dual;
    std::string_view rowCaption;  // the caption of his line in the results window, blanks included
    Gender gender;
    HeirClass heirClass;
    // A spouse inherits from a deceased of the other sex only.
    std::optional<Deceased> spouseOf;
    // The female of his degree and line with whom a male shares a residue,
    // two to one.
    std::optional<Heir> sister;
    // The members of the case that say whether and how many: a box, a box
    // and its count (the wives), or counts added together (the uterine
    // sisters and brothers).
    std::array<CaseField, 2> fields;
    std::uint8_t fieldCount;

    constexpr std::span<const CaseField> caseFields() const noexcept { return {fields.data(), fieldCount}; }
    // Whether he can be more than one (his heads are then his counts).
    constexpr bool counted() const noexcept
    {
        for (const CaseField& f : caseFields())
            if (f.isCount())
                return true;
        return false;
    }
    constexpr bool female() const noexcept { return gender == Gender::Female; }
};

namespace heirs_detail {

constexpr CaseField box(std::string_view json, std::string_view label, bool EstateCase::*member)
{
    return {json, label, member, nullptr};
}
constexpr CaseField count(std::string_view json, std::string_view label, HeadCount EstateCase::*member)
{
    return {json, label, nullptr, member};
}
constexpr HeirInfo entry(Heir heir, std::string_view key, std::string_view name, int line, std::string_view singular,
                         std::string_view plural, std::string_view dual, std::string_view rowCaption, Gender gender,
                         HeirClass heirClass, CaseField first, std::optional<CaseField> second = {}, std::optional<Heir> sister = {},
                         std::optional<Deceased> spouseOf = {})
{
    return {heir,      key,      name,   line, singular, plural, dual, rowCaption, gender, heirClass, spouseOf,
            sister,    {first, second.value_or(CaseField{})}, std::uint8_t(second ? 2 : 1)};
}

inline constexpr CaseField kSpouseBox = box("spouse", "الزوج أو الزوجات", &EstateCase::spouse);

}  // namespace heirs_detail

// One entry per relative, in the order of Heir.
inline constexpr std::array<HeirInfo, kHeirCount> kHeirs = [] {
    using namespace heirs_detail;
    using G = Gender;
    using C = HeirClass;
    using H = Heir;
    using E = EstateCase;
    return std::array<HeirInfo, kHeirCount>{{
        entry(H::Husband, "n1", "husband", 1, "الزوج", "", "", "الزوج", G::Male, C::Spouse, kSpouseBox, {}, {},
              Deceased::Woman),
        entry(H::Wives, "n2", "wives", 2, "الزوجة", "الزوجات", "الزوجتين", "لكل زوجة", G::Female, C::Spouse, kSpouseBox,
              count("wives", "عدد الزوجات", &E::wives), {}, Deceased::Man),
        entry(H::Father, "n3", "father", 3, "الأب", "", "", "الأب", G::Male, C::Ascendant, box("father", "الأب", &E::father)),
        entry(H::Mother, "n4", "mother", 4, "الأم", "", "", "الأم", G::Female, C::Ascendant, box("mother", "الأم", &E::mother)),
        entry(H::Sons, "n5", "sons", 5, "الابن", "الأبناء", "الابنين", "لكل ابن ", G::Male, C::Descendant,
              count("sons", "عدد الأبناء الذكور", &E::sons), {}, H::Daughters),
        entry(H::Daughters, "n6", "daughters", 6, "البنت", "البنات", "البنتين", "لكل بنت", G::Female, C::Descendant,
              count("daughters", "عدد البنات", &E::daughters)),
        entry(H::SonsSons, "n7", "sonsSons", 7, "ابن الابن", "أبناء الابن", "ابني الابن", "لكل ابن ابن ", G::Male, C::Descendant,
              count("sonsSons", "عدد أبناء الابن", &E::sonsSons), {}, H::SonsDaughters),
        entry(H::SonsDaughters, "n8", "sonsDaughters", 8, "بنت الابن", "بنات الابن", "بنتي الابن", "لكل بنت ابن", G::Female,
              C::Descendant, count("sonsDaughters", "عدد بنات الابن", &E::sonsDaughters)),
        entry(H::FullBrothers, "n9", "fullBrothers", 9, "الأخ الشقيق", "الإخوة الأشقاء", "الأخوين الشقيقين", "لكل أخ شقيق ", G::Male,
              C::Sibling, count("fullBrothers", "عدد الإخوة الأشقاء", &E::fullBrothers), {}, H::FullSisters),
        entry(H::FullSisters, "n10", "fullSisters", 10, "الأخت الشقيقة", "الأخوات الشقيقات", "الأختين الشقيقتين", "لكل أخت شقيقة",
              G::Female, C::Sibling, count("fullSisters", "عدد الأخوات الشقيقات", &E::fullSisters)),
        entry(H::Grandfather, "n11", "grandfather", 11, "الجد", "", "", "الجد", G::Male, C::Ascendant,
              box("grandfather", "الجد", &E::grandfather)),
        entry(H::UterineSiblings, "n12", "uterineSiblings", 12, "ولد الأم", "أولاد الأم", "ولدي الأم", "لكل أخ أو أخت لأم",
              G::Mixed, C::UterineSibling, count("uterineSisters", "عدد الأخوات لأم", &E::uterineSisters),
              count("uterineBrothers", "عدد الإخوة لأم", &E::uterineBrothers)),
        entry(H::MothersMother, "n13", "mothersMother", 13, "أم الأم", "", "", " الجدة أم الأم", G::Female,
              C::Grandmother, box("mothersMother", "أم الأم", &E::mothersMother)),
        entry(H::FathersMother, "n14", "fathersMother", 14, "أم الأب", "", "", "الجدة أم الأب", G::Female,
              C::Grandmother, box("fathersMother", "أم الأب", &E::fathersMother)),
        entry(H::PaternalSisters, "n15", "paternalSisters", 15, "الأخت لأب", "الأخوات لأب", "الأختين لأب", "الأخت لأب", G::Female,
              C::Sibling, count("paternalSisters", "عدد الأخوات لأب", &E::paternalSisters)),
        entry(H::PaternalBrothers, "n16", "paternalBrothers", 16, "الأخ لأب", "الإخوة لأب", "الأخوين لأب", "أخ لأب", G::Male,
              C::Sibling, count("paternalBrothers", "عدد الإخوة لأب", &E::paternalBrothers), {},
              H::PaternalSisters),
        entry(H::FullBrothersSons, "n17", "fullBrothersSons", 17, "ابن الأخ الشقيق", "أبناء الأخ الشقيق", "ابني الأخ الشقيق",
              "ابن الأخ الشقيق", G::Male, C::DistantResiduary,
              count("fullBrothersSons", "عدد أبناء الإخوة الأشقاء", &E::fullBrothersSons)),
        entry(H::PaternalBrothersSons, "n18", "paternalBrothersSons", 18, "ابن الأخ لأب", "أبناء الأخ لأب", "ابني الأخ لأب",
              "ابن الأخ لأب", G::Male, C::DistantResiduary,
              count("paternalBrothersSons", "عدد أبناء الإخوة لأب", &E::paternalBrothersSons)),
        entry(H::FullUncles, "n19", "fullUncles", 19, "العم الشقيق", "الأعمام الأشقاء", "العمين الشقيقين", "عم شقيق", G::Male,
              C::DistantResiduary, count("fullUncles", "عدد الأعمام الأشقاء", &E::fullUncles)),
        entry(H::PaternalUncles, "n20", "paternalUncles", 20, "العم لأب", "الأعمام لأب", "العمين لأب", "عم لأب", G::Male,
              C::DistantResiduary, count("paternalUncles", "عدد الأعمام لأب", &E::paternalUncles)),
        entry(H::FullUnclesSons, "n21", "fullUnclesSons", 21, "ابن العم الشقيق", "أبناء العم الشقيق", "ابني العم الشقيق", "ابن عم شقيق",
              G::Male, C::DistantResiduary, count("fullUnclesSons", "عدد أبناء الأعمام الأشقاء", &E::fullUnclesSons)),
        entry(H::PaternalUnclesSons, "n22", "paternalUnclesSons", 22, "ابن العم لأب", "أبناء العم لأب", "ابني العم لأب",
              "ابن عم لأب", G::Male, C::DistantResiduary,
              count("paternalUnclesSons", "عدد أبناء الأعمام لأب", &E::paternalUnclesSons)),
        entry(H::MothersMothersMother, "n24", "mothersMothersMother", 24, "أم أم الأم", "", "", "أم أم الأم", G::Female,
              C::Grandmother, box("mothersMothersMother", "أم أم الأم", &E::mothersMothersMother)),
        entry(H::FathersMothersMother, "n25", "fathersMothersMother", 25, "أم أم الأب", "", "", "أم أم الأب", G::Female,
              C::Grandmother, box("fathersMothersMother", "أم أم الأب", &E::fathersMothersMother)),
        entry(H::FathersFathersMother, "n26", "fathersFathersMother", 26, "أم أبي الأب", "", "", "أم أبو الأب", G::Female,
              C::Grandmother, box("fathersFathersMother", "أم أبي الأب", &E::fathersFathersMother)),
        entry(H::SonsSonsDaughters, "n27", "sonsSonsDaughters", 27, "بنت ابن الابن", "بنات ابن الابن", "بنتي ابن الابن",
              "بنت ابن الابن", G::Female, C::Descendant,
              count("sonsSonsDaughters", "عدد بنات ابن الابن", &E::sonsSonsDaughters)),
        entry(H::SonsSonsSons, "n28", "sonsSonsSons", 28, "ابن ابن الابن", "أبناء ابن الابن", "ابني ابن الابن", "ابن ابن الابن",
              G::Male, C::Descendant, count("sonsSonsSons", "عدد أبناء ابن الابن", &E::sonsSonsSons), {},
              H::SonsSonsDaughters),
    }};
}();

constexpr const HeirInfo& heirInfo(Heir heir) noexcept { return kHeirs[std::size_t(index(heir))]; }

// The relative whose qismar-cli "key" is `key`, or whose "heir" is `name`.
constexpr std::optional<Heir> heirByKey(std::string_view key) noexcept
{
    for (const HeirInfo& info : kHeirs)
        if (info.key == key)
            return info.heir;
    return std::nullopt;
}
constexpr std::optional<Heir> heirByName(std::string_view name) noexcept
{
    for (const HeirInfo& info : kHeirs)
        if (info.name == name)
            return info.heir;
    return std::nullopt;
}

// The relative that a case field counts or ticks ("sons", "uterineBrothers",
// "wives"); "spouse" is the husband of a deceased woman and the wives of a
// deceased man.
constexpr std::optional<Heir> heirOfCaseField(std::string_view json, Deceased deceased) noexcept
{
    for (const HeirInfo& info : kHeirs) {
        if (info.spouseOf && *info.spouseOf != deceased)
            continue;
        for (const CaseField& f : info.caseFields())
            if (f.json == json)
                return info.heir;
    }
    return std::nullopt;
}

// The case field that names one head of a relative: his count (the wives'
// count, the uterine sisters' for both uterine classes), else his box.
constexpr std::string_view headFieldOf(Heir heir) noexcept
{
    const HeirInfo& info = heirInfo(heir);
    for (const CaseField& f : info.caseFields())
        if (f.isCount())
            return f.json;
    return info.fields[0].json;
}

static_assert([] {
    for (int i = 0; i < kHeirCount; ++i) {
        const HeirInfo& info = kHeirs[std::size_t(i)];
        if (info.heir != heirAt(i) || heirByKey(info.key) != info.heir || heirByName(info.name) != info.heir)
            return false;
        if (info.fieldCount < 1 || (info.plural.empty() == info.counted()) || (info.dual.empty() == info.counted()) ||
            (info.sister && info.gender != Gender::Male))
            return false;
    }
    return true;
}(), "kHeirs: one entry per relative in the order of Heir, each key and name once, a plural and a dual exactly for a counted relative");

// Every count of persons in a case, once, in the order of the table.
inline constexpr auto kCountFields = [] {
    constexpr std::size_t n = [] {
        std::size_t counts = 0;
        for (const HeirInfo& info : kHeirs)
            for (const CaseField& f : info.caseFields())
                counts += f.isCount();
        return counts;
    }();
    std::array<CaseField, n> out{};
    std::size_t next = 0;
    for (const HeirInfo& info : kHeirs)
        for (const CaseField& f : info.caseFields())
            if (f.isCount())
                out[next++] = f;
    return out;
}();

// The relatives of one class, in the order of the table.
template <HeirClass kind>
inline constexpr auto kHeirsOfClass = [] {
    constexpr std::size_t n = [] {
        std::size_t count = 0;
        for (const HeirInfo& info : kHeirs)
            count += info.heirClass == kind;
        return count;
    }();
    std::array<Heir, n> out{};
    std::size_t next = 0;
    for (const HeirInfo& info : kHeirs)
        if (info.heirClass == kind)
            out[next++] = info.heir;
    return out;
}();

namespace heirs_detail {

template <class F, std::size_t... I>
constexpr void unroll(F& f, std::index_sequence<I...>)
{
    (f(std::integral_constant<std::size_t, I>{}), ...);
}

}  // namespace heirs_detail

// Calls f(i) for every index i of the constexpr array `list`, in order and
// unrolled, i being a std::integral_constant: list[i], and whatever the heir
// table says of it, are then known at compile time and fold away, so that
// code that reads the table runs as fast as code written out by hand.
template <const auto& list, class F>
constexpr void forEachIndex(F&& f)
{
    heirs_detail::unroll(f, std::make_index_sequence<std::tuple_size_v<std::remove_cvref_t<decltype(list)>>>{});
}

// The number of heads a relative's row stands for: his counts added (the
// wives' count, the uterine sisters and brothers together), 1 for a relative
// who is always one. A sum beyond the 64-bit range, which no checked case
// comes near, is held at its largest value.
constexpr HeadCount HeadsOf(const EstateCase& c, Heir heir) noexcept
{
    const HeirInfo& info = heirInfo(heir);
    if (!info.counted())
        return HeadCount(1);
    std::int64_t persons = 0;
    for (const CaseField& f : info.caseFields())
        if (f.isCount() && __builtin_add_overflow(persons, (c.*f.count).persons(), &persons))
            return HeadCount(INT64_MAX);
    return HeadCount(persons);
}

// Whether the relative survives in the case: his box is ticked (a spouse's
// only for a deceased of the other sex), or his counts add up to more than 0.
// A present relative's row is never empty after a division.
constexpr bool RelativePresent(const EstateCase& c, Heir heir) noexcept
{
    const HeirInfo& info = heirInfo(heir);
    if (info.spouseOf && c.deceased != *info.spouseOf)
        return false;
    if (const CaseField& first = info.fields[0]; first.flag != nullptr)
        return c.*first.flag;
    return HeadsOf(c, heir).positive();
}

// The persons of a case: the heads of every present relative. Throws
// OutOfRange where the sum leaves the 64-bit range.
HeadCount PersonsInCase(const EstateCase& estateCase);

}  // namespace qismar

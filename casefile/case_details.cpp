#include "casefile/case_details.h"

#include <cstdint>
#include <utility>

namespace qismar {

bool CaseDetails::empty() const noexcept
{
    // Every size looked at, without a branch for each: most cases have none.
    std::size_t sizes = 0;
    for (const DetailMember& m : kDetailMembers)
        sizes |= (this->*(m.text)).size();
    if (sizes != 0)
        return false;
    // A list that never held a name has no storage: one load each tells.
    const std::uintptr_t storage = [this]<std::size_t... I>(std::index_sequence<I...>) {
        return (reinterpret_cast<std::uintptr_t>(heirNames[I].data()) | ...);
    }(std::make_index_sequence<kHeirCount>{});
    if (storage == 0)
        return true;
    for (const std::vector<std::string>& names : heirNames)
        sizes |= names.size();
    return sizes == 0;
}

std::size_t characterCount(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char ch : utf8)
        if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80)
            ++n;
    return n;
}

namespace {

// The first control character of a UTF-8 text (C0, DEL or C1), or -1.
long firstControl(std::string_view utf8)
{
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x20 || b == 0x7F)
            return static_cast<long>(b);
        // U+0080 to U+009F are written C2 80 to C2 9F.
        if (b == 0xC2 && i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            if (next >= 0x80 && next <= 0x9F)
                return static_cast<long>(next);
        }
    }
    return -1;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

DetailsProblem problem(std::string field, std::string english, std::string arabic)
{
    return {std::move(field), std::move(english), std::move(arabic)};
}

DetailsProblem checkText(std::string_view text, std::string field, std::string_view arabicName)
{
    const std::string quoted = "«" + std::string(arabicName) + "»";
    if (characterCount(text) > kMaxDetailCharacters)
        return problem(field, "\"" + field + "\" is longer than " + std::to_string(kMaxDetailCharacters) + " characters",
                       quoted + " أطول من " + std::to_string(kMaxDetailCharacters) + " حرفاً");
    if (firstControl(text) >= 0)
        return problem(field, "\"" + field + "\" holds a control character (a line break, a tab or the like)",
                       quoted + " فيه حرف تحكم (سطر جديد أو جدولة أو نحوهما)، فلا يكون في اسم أو بيان");
    return {};
}

}  // namespace

bool parseDateOfDeath(std::string_view t, CivilDate& out)
{
    if (t.size() != 10 || t[4] != '-' || t[7] != '-')
        return false;
    const auto digits = [&](std::size_t from, std::size_t count, int& value) {
        value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return false;
            value = value * 10 + (t[i] - '0');
        }
        return true;
    };
    CivilDate d;
    if (!digits(0, 4, d.year) || !digits(5, 2, d.month) || !digits(8, 2, d.day))
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    const int days = kDays[d.month - 1] + (d.month == 2 && leapYear(d.year) ? 1 : 0);
    if (d.day > days)
        return false;
    out = d;
    return true;
}

DetailsProblem checkCaseDetails(const CaseDetails& details, const EstateCase& estateCase)
{
    if (details.empty())
        return {};
    for (const DetailMember& m : kDetailMembers)
        if (DetailsProblem p = checkText(details.*(m.text), "details." + std::string(m.json), m.arabic))
            return p;
    if (!details.dateOfDeath.empty()) {
        CivilDate date;
        if (!parseDateOfDeath(details.dateOfDeath, date))
            return problem("details.dateOfDeath",
                           "\"details.dateOfDeath\" must be a real date written YYYY-MM-DD (as 2024-03-16)",
                           "«تاريخ الوفاة» يجب أن يكون تاريخاً صحيحاً يكتب سنة-شهر-يوم (مثل 2024-03-16)");
    }
    for (const HeirInfo& heir : kHeirs) {
        const std::vector<std::string>& names = details.heirNames[static_cast<std::size_t>(index(heir.heir))];
        if (names.empty())
            continue;
        const std::string field = "details.heirNames." + std::string(heir.name);
        const std::string arabic = "أسماء " + std::string(heir.plural.empty() ? heir.singular : heir.plural);
        for (const std::string& n : names)
            if (DetailsProblem p = checkText(n, field, arabic))
                return p;
        const HeadCount heads = RelativePresent(estateCase, heir.heir) ? HeadsOf(estateCase, heir.heir) : HeadCount(0);
        const std::uint64_t room = heads.persons() > 0 ? static_cast<std::uint64_t>(heads.persons()) : 0;
        if (static_cast<std::uint64_t>(names.size()) > room)
            return problem(field,
                           "\"" + field + "\" gives " + std::to_string(names.size()) + (names.size() == 1 ? " name for " : " names for ") +
                               std::to_string(heads.persons()) + (heads.persons() == 1 ? " person" : " persons") +
                               " of the case",
                           "«" + arabic + "» فيها " + std::to_string(names.size()) + " من الأسماء، وعددهم في المسألة " +
                               std::to_string(heads.persons()));
    }
    return {};
}

}  // namespace qismar

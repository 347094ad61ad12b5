// Qismar: what a case says of the deceased beyond the division, for the
// report a clerk signs: the deceased's name, the date and place of death, a
// court or file number, the currency's name and the heirs' names. Every
// part is optional; none of it changes the division.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/estate_case.h"
#include "engine/heirs.h"

namespace qismar {

// The most characters (not bytes) of each text of the details, a name of
// an heir included.
inline constexpr std::size_t kMaxDetailCharacters = 200;

// The currency a report names when the case names none.
inline constexpr std::string_view kDefaultCurrency = "جنيه";

struct CaseDetails {
    std::string name;         // the deceased's name
    std::string dateOfDeath;  // "YYYY-MM-DD", Gregorian
    std::string place;        // of death
    std::string reference;    // the court's or the file's number
    std::string currency;     // the currency's name; empty: kDefaultCurrency
    // Names of the heads of each relative, in the order of the heir table;
    // a class may name fewer heads than it has.
    std::array<std::vector<std::string>, kHeirCount> heirNames;

    bool empty() const noexcept;
    bool operator==(const CaseDetails&) const = default;
};

// The members of "details" in a case object, in the order they are written.
struct DetailMember {
    std::string_view json;     // "dateOfDeath"
    std::string_view arabic;   // "تاريخ الوفاة"
    std::string CaseDetails::*text;
};
inline constexpr std::array<DetailMember, 5> kDetailMembers{{
    {"name", "اسم المتوفى", &CaseDetails::name},
    {"dateOfDeath", "تاريخ الوفاة", &CaseDetails::dateOfDeath},
    {"place", "مكان الوفاة", &CaseDetails::place},
    {"reference", "رقم الملف أو القضية", &CaseDetails::reference},
    {"currency", "اسم العملة", &CaseDetails::currency},
}};

// What is wrong with the details of a case, in English and in Arabic, each
// naming the part concerned; empty when nothing is.
struct DetailsProblem {
    std::string field;  // "details.dateOfDeath", "details.heirNames.sons"
    std::string english;
    std::string arabic;
    explicit operator bool() const noexcept { return !english.empty(); }
};

// Checks the details against their rules and the case they belong to:
// every text at most kMaxDetailCharacters characters of UTF-8 without
// control characters, the date a real day of the Gregorian calendar written
// YYYY-MM-DD, and no relative given more names than he has heads (none for
// a relative who is not in the case).
DetailsProblem checkCaseDetails(const CaseDetails& details, const EstateCase& estateCase);

// The date of death as year, month and day, when it is a real date.
struct CivilDate {
    int year = 0, month = 0, day = 0;
};
bool parseDateOfDeath(std::string_view text, CivilDate& out);

// The number of characters of a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

}  // namespace qismar

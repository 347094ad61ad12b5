// Qismar: what the windows know of a head who died before the division:
// the fields of a case that hold persons, the case of each problem, the
// heads a later death may still name, and the heirs and links that follow
// from his relation to the deceased of his problem (without Qt).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/estate_case.h"
#include "engine/heirs.h"
#include "engine/later_deaths.h"

namespace qismar {

// A field of a case that holds persons, named as a later death and a link
// name it: "sons", "mother", "wives" (a man's wives), "spouse" (a woman's
// husband), "uterineSisters" ...
struct PersonField {
    std::string json;
    Heir row = Heir::Sons;
    bool female = false;
    bool counted = false;    // a count rather than a box
    std::int64_t heads = 0;  // in the case
};

// Every field of a case that holds persons, present or not, in the order of
// the heir table: the husband or the wives as the sex of its deceased
// allows, the uterine sisters and brothers each on their own.
std::vector<PersonField> personFields(const EstateCase& c);
std::optional<PersonField> personField(const EstateCase& c, std::string_view json);
// Sets the heads of a field (a box: 0 or 1; the wives: the box and the count).
void setHeads(EstateCase& c, std::string_view json, std::int64_t heads);

// Arabic names of a field: one head ("الابن", "الأخت لأم") and the class
// ("الأبناء", "الأخوات لأم"; the singular for a relative who is always one).
std::string headName(const PersonField& f);
std::string className(const PersonField& f);
// "الأولى", "الثانية" ... "الثامنة".
std::string problemOrdinal(int problem);

// The case of a problem (1 = the first case): for a later one, the dead
// head's heirs with his sex as his class gives it.
EstateCase problemCase(const EstateCase& first, const std::vector<LaterDeath>& later, int problem);

// The heads of a field of a problem that none of `later` names as dead
// (a death named through a link counts in the problem it links to).
std::int64_t headsLeft(const EstateCase& first, const std::vector<LaterDeath>& later, int problem,
                       std::string_view json);

// The later death of a head of `json` in problem `problem`, after the deaths
// `before`: his own heirs and the links that follow from his relation to
// the deceased of that problem, each of the heads still left (a son's
// mother is the deceased's wife when he had one, his full brothers and
// sisters the deceased's other sons and daughters, his father's mother the
// deceased's mother ...). Whatever depends on the family (several wives,
// half-brothers) is left for the user.
LaterDeath proposeLaterDeath(const EstateCase& first, const std::vector<LaterDeath>& before, int problem,
                             const std::string& json);

// A later deceased's heirs as a case file keeps them: relatives only (the
// sex of his problem follows from his class), their totals derived.
void keepAsCaseFilesDo(EstateCase& ownCase);

}  // namespace qismar

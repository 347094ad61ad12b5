#include "entry/counting_groups.h"

namespace qismar {

namespace {

using H = Heir;

// Sons and daughters.
constexpr CountField kChildrenFields[] = {
    {H::Sons, 0, {40, 24, 41, 21}, "asbh"},
    {H::Daughters, 0, {40, 48, 41, 21}, "bent"},
};
constexpr DialogLabel kChildrenLabels[] = {
    {"malesLabel", "ذكور", {104, 33}},
    {"femalesLabel", "إناث", {104, 56}, "bent"},
};

// The son's children, and the son's son's children, each in a frame.
constexpr CountField kGrandchildrenFields[] = {
    {H::SonsSons, 0, {224, 72, 41, 21}, "asbh"},
    {H::SonsDaughters, 0, {224, 96, 41, 21}, "bentebn"},
    {H::SonsSonsSons, 0, {88, 72, 41, 21}, "asbh"},
    {H::SonsSonsDaughters, 0, {88, 96, 41, 21}, "bentebn"},
};
constexpr DialogLabel kGrandchildrenLabels[] = {
    {"sonsChildrenMalesLabel", "ذكور", {288, 72}},
    {"sonsChildrenFemalesLabel", "إناث", {288, 96}},
    {"sonsSonsChildrenMalesLabel", "ذكور", {144, 72}},
    {"sonsSonsChildrenFemalesLabel", "إناث", {144, 96}},
};
constexpr DialogFrame kGrandchildrenFrames[] = {
    {"sonsChildrenFrame", "أبناء الأبناء", {200, 48, 137, 89}},
    {"sonsSonsChildrenFrame", "أبناء أبناء الأبناء", {48, 48, 145, 89}},
};

// Brothers and sisters in a grid: sex across, the line of kinship down.
constexpr CountField kSiblingsFields[] = {
    {H::FullSisters, 0, {32, 56, 33, 21}, "oktsh"},
    {H::FullBrothers, 0, {80, 56, 33, 21}, "asbh"},
    {H::PaternalBrothers, 0, {80, 88, 33, 21}, "asbh"},
    {H::PaternalSisters, 0, {32, 88, 33, 21}, "oktliab"},
    {H::UterineSiblings, 0, {32, 120, 33, 21}, "ebnom"},
    {H::UterineSiblings, 1, {80, 120, 33, 21}, "ebnom"},
};
constexpr DialogLabel kSiblingsLabels[] = {
    {"malesLabel", "ذكور", {89, 32}},
    {"femalesLabel", "إناث", {44, 32}},
    {"fullLabel", "أشقاء", {139, 58}},
    {"paternalLabel", "لأب", {153, 90}},
    {"uterineLabel", "لأم", {155, 122}},
};

// The sons of full and of paternal brothers, under two notes on who does not inherit.
constexpr CountField kNephewsFields[] = {
    {H::FullBrothersSons, 0, {80, 80, 33, 21}, "asbh"},
    {H::PaternalBrothersSons, 0, {80, 112, 33, 21}, "asbh"},
};
constexpr DialogLabel kNephewsLabels[] = {
    {"uterineNephewNote", "ملحوظة: ابن الأخ لأم لا يرث", {44, 32}, nullptr, true},
    {"brothersDaughterNote", "ملحوظة: بنت الأخ لا ترث", {69, 56}, nullptr, true},
    {"fullLabel", "شقيق", {120, 88}},
    {"paternalLabel", "لأب", {128, 120}},
};

// Full and paternal uncles.
constexpr CountField kUnclesFields[] = {
    {H::FullUncles, 0, {48, 24, 41, 21}, "asbh"},
    {H::PaternalUncles, 0, {48, 48, 41, 21}, "asbh"},
};
constexpr DialogLabel kUnclesLabels[] = {
    {"fullLabel", "شقيق", {112, 33}},
    {"paternalLabel", "لأب", {112, 56}},
};

// The sons of full and of paternal uncles.
constexpr CountField kCousinsFields[] = {
    {H::FullUnclesSons, 0, {48, 32, 41, 21}, "asbh"},
    {H::PaternalUnclesSons, 0, {48, 56, 41, 21}, "asbh"},
};
constexpr DialogLabel kCousinsLabels[] = {
    {"fullLabel", "شقيق", {112, 41}},
    {"paternalLabel", "لأب", {112, 64}},
};

const CountingGroup kGroups[kHeirGroupCount] = {
    {HeirGroup::Children, "childrenDialog", "أبناء  ", {170, 158}, kChildrenFields, kChildrenLabels, {}, {64, 80, 33, 25},
     true, 2, nullptr},
    {HeirGroup::Grandchildren, "grandchildrenDialog", "أحفاد", {398, 232}, kGrandchildrenFields, kGrandchildrenLabels,
     kGrandchildrenFrames, {176, 152, 41, 25}, false, 2, "أبناء وبنات البنت لا يرثون\nأبناء وبنات بنت الابن لا يرثون"},
    {HeirGroup::Siblings, "siblingsDialog", "إخوة", {209, 234}, kSiblingsFields, kSiblingsLabels, {}, {72, 152, 57, 25},
     false, 6, nullptr},
    {HeirGroup::Nephews, "nephewsDialog", "أبناء الإخوة", {228, 220}, kNephewsFields, kNephewsLabels, {},
     {88, 144, 49, 25}, false, 2, nullptr},
    {HeirGroup::Uncles, "unclesDialog", "الأعمام", {188, 163}, kUnclesFields, kUnclesLabels, {}, {72, 80, 33, 25}, true, 2,
     nullptr},
    {HeirGroup::Cousins, "cousinsDialog", "أبناء العم", {190, 164}, kCousinsFields, kCousinsLabels, {},
     {72, 88, 33, 25}, true, 2, nullptr},
};

}  // namespace

constexpr bool allCounts(std::span<const CountField> fields)
{
    for (const CountField& f : fields)
        if (!f.caseField().isCount())
            return false;
    return true;
}
static_assert(allCounts(kChildrenFields) && allCounts(kGrandchildrenFields) && allCounts(kSiblingsFields)
                  && allCounts(kNephewsFields) && allCounts(kUnclesFields) && allCounts(kCousinsFields),
              "every field of a counting dialog is a count of the heir table");

const CountingGroup& countingGroup(HeirGroup group)
{
    return kGroups[static_cast<int>(group)];
}

HeadCount groupTotal(const CountingGroup& group, const EstateCase& c)
{
    HeadCount total;
    for (const CountField& f : group.fields)
        total = total + c.*(f.count());
    return total;
}

void clearGroup(const CountingGroup& group, EstateCase& c)
{
    for (const CountField& f : group.fields)
        c.*(f.count()) = HeadCount();
}

}  // namespace qismar

// Qismar: the inputs of one division.
//
// What a case is made of: the deceased, the estate, the relatives who
// survive and how many of each, and what is paid out of the estate before
// its division. The windows, the case files and qismar-cli all fill this one
// record; a division reads nothing else.
#pragma once

#include "engine/currency.h"
#include "engine/head_count.h"

namespace qismar {

enum class Deceased : std::uint8_t { Man, Woman };

struct EstateCase {
    Deceased deceased = Deceased::Man;
    Currency estate;
    bool father = false;
    bool mother = false;
    bool spouse = false;                    // the husband, or the wives
    bool grandfather = false;               // the father's father
    // Derived from the counts (deriveEntryWindowState): some children, some
    // descendants through sons, some brothers or sisters.
    bool children = false;
    bool grandchildren = false;
    bool siblings = false;
    HeadCount wives{1};                     // 1 to 4, for a deceased man
    HeadCount siblingTotal;                 // the six sibling counts added

    HeadCount sons, daughters;
    HeadCount sonsSons, sonsDaughters, sonsSonsSons, sonsSonsDaughters;
    HeadCount fullSisters, fullBrothers, paternalBrothers, paternalSisters;
    HeadCount uterineSisters, uterineBrothers;
    HeadCount fullBrothersSons, paternalBrothersSons;
    HeadCount fullUncles, paternalUncles;
    HeadCount fullUnclesSons, paternalUnclesSons;
    // The grandmothers who survive.
    bool mothersMother = false;
    bool fathersMother = false;
    bool mothersMothersMother = false;
    bool fathersMothersMother = false;
    bool fathersFathersMother = false;

    // The estate's preparation ("تجهيز التركة"): the estate above is the
    // gross estate; these are paid out of it before the division.
    Currency funeral;       // funeral and burial costs
    Currency debts;         // the deceased's debts
    Currency bequests;      // the bequests asked for
    bool heirsConsent = false;  // the heirs consent to bequests beyond a third

    friend bool operator==(const EstateCase&, const EstateCase&) = default;

    bool isMan() const noexcept { return deceased == Deceased::Man; }
    bool isWoman() const noexcept { return deceased == Deceased::Woman; }

    // Sets what follows from the counts: the children flag when sons +
    // daughters > 0, the grandchildren flag when the four grandchild counts
    // add to more than 0, the siblings flag and total from the six sibling
    // counts. Forces the number of wives to 1 for a deceased woman. Throws
    // OutOfRange when a sum leaves the 64-bit range.
    void deriveEntryWindowState();
};

}  // namespace qismar

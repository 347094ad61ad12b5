// Qismar: the inputs of one division.
//
// The entry window and its detail dialogs hold the case in their controls;
// a front end copies them into this record when "قسم" is pressed, so that
// every read of one division sees the same values. Counts are held as
// Currency (a count of two is raw 20000), exactly as the rules read them.
#pragma once

#include "engine/currency.h"

namespace qismar {

enum class Deceased : std::uint8_t { Man, Woman };

struct EstateCase {
    // fmMain
    Deceased deceased = Deceased::Man;      // RadioButton1 / RadioButton2
    Currency estate;                        // edttarikh
    bool father = false;                    // chkAb
    bool mother = false;                    // chkOm
    bool spouse = false;                    // chkZoj
    bool grandfather = false;               // chkjd
    bool children = false;                  // chkSons
    bool grandchildren = false;             // chkEbnEbn
    bool siblings = false;                  // chkAk
    Currency wives = Currency::fromRaw(Currency::kScale);  // Edit1, 1 to 4
    Currency siblingTotal;                  // Edit11, the six sibling counts added

    // fmSon
    Currency sons, daughters;
    // fmSonOfSon
    Currency sonsSons, sonsDaughters, sonsSonsSons, sonsSonsDaughters;
    // fmBrothers
    Currency fullSisters, fullBrothers, paternalBrothers, paternalSisters;
    Currency uterineSisters, uterineBrothers;
    // fmSonOfBrother
    Currency fullBrothersSons, paternalBrothersSons;
    // fmUncle
    Currency fullUncles, paternalUncles;
    // fmSonOfUncle
    Currency fullUnclesSons, paternalUnclesSons;
    // fmGrandMother: CheckBox1 .. CheckBox5
    bool mothersMother = false;
    bool fathersMother = false;
    bool mothersMothersMother = false;
    bool fathersMothersMother = false;
    bool fathersFathersMother = false;

    // The estate's preparation (the "تجهيز التركة" dialog): the estate above
    // is the gross estate; these are paid out of it before the division.
    Currency funeral;       // funeral and burial costs
    Currency debts;         // the deceased's debts
    Currency bequests;      // the bequests asked for
    bool heirsConsent = false;  // the heirs consent to bequests beyond a third

    friend bool operator==(const EstateCase&, const EstateCase&) = default;

    bool isMan() const noexcept { return deceased == Deceased::Man; }
    bool isWoman() const noexcept { return deceased == Deceased::Woman; }

    // Sets the boxes and the siblings' total that the entry window keeps in
    // agreement with the dialogs: the children box when sons + daughters > 0,
    // the grandchildren box when the four grandchild counts add to more than
    // 0, the siblings box and Edit11 from the six sibling counts. Forces the
    // number of wives to 1 for a deceased woman. Throws OutOfRange when a sum
    // leaves the range of Currency.
    void deriveEntryWindowState();
};

}  // namespace qismar

// Cases for the tests, the screenshots and the benchmark of the results
// window and the report: each a case as the entry window would read it.
#pragma once

#include <vector>

#include "engine/estate_case.h"
#include "engine/later_deaths.h"
#include "engine/uncertain_heir.h"

namespace qismar::testing {

inline HeadCount heads(std::int64_t n) { return HeadCount(n); }

// A woman leaves her husband, her mother and two full sisters: the shares
// (1/2 + 1/6 + 2/3) raise the problem from 6 to 8 ('awl).
inline EstateCase awlCase()
{
    EstateCase c;
    c.deceased = Deceased::Woman;
    c.estate = Currency::fromWhole(80000);
    c.spouse = true;
    c.mother = true;
    c.fullSisters = heads(2);
    c.deriveEntryWindowState();
    return c;
}

// A man leaves his mother and two daughters: 1/6 + 2/3 leave a surplus that
// returns to them (radd), the problem 6 returned to 5.
inline EstateCase raddCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(90000);
    c.mother = true;
    c.daughters = heads(2);
    c.deriveEntryWindowState();
    return c;
}

// A man leaves his father, his mother, a son, two full brothers and a
// paternal uncle: the father and the son exclude the brothers and the uncle.
inline EstateCase exclusionCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(120000);
    c.father = true;
    c.mother = true;
    c.sons = heads(1);
    c.fullBrothers = heads(2);
    c.paternalUncles = heads(1);
    c.deriveEntryWindowState();
    return c;
}

// The largest case: every relative the entry window can hold, with an
// estate near 10^14, so that every line shows and the amounts are long.
inline EstateCase largestCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(99999999999999);
    c.father = true;
    c.mother = true;
    c.spouse = true;
    c.wives = heads(4);
    c.grandfather = true;
    c.sons = heads(3);
    c.daughters = heads(4);
    c.sonsSons = heads(2);
    c.sonsDaughters = heads(3);
    c.sonsSonsSons = heads(2);
    c.sonsSonsDaughters = heads(2);
    c.fullBrothers = heads(2);
    c.fullSisters = heads(3);
    c.paternalBrothers = heads(1);
    c.paternalSisters = heads(2);
    c.uterineBrothers = heads(1);
    c.uterineSisters = heads(1);
    c.fullBrothersSons = heads(2);
    c.paternalBrothersSons = heads(1);
    c.fullUncles = heads(1);
    c.paternalUncles = heads(1);
    c.fullUnclesSons = heads(1);
    c.paternalUnclesSons = heads(1);
    c.mothersMother = true;
    c.fathersMother = true;
    c.mothersMothersMother = true;
    c.fathersMothersMother = true;
    c.fathersFathersMother = true;
    c.deriveEntryWindowState();
    return c;
}

// A man leaves a wife, his father and a son; the estate of 100 000 pays
// funeral costs of 5 000, debts of 15 000 and bequests of 40 000, of which
// the heirs, who do not consent, carry out the third of 80 000.
inline EstateCase preparedCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(100000);
    c.spouse = true;
    c.father = true;
    c.sons = heads(1);
    c.funeral = Currency::fromWhole(5000);
    c.debts = Currency::fromWhole(15000);
    c.bequests = Currency::fromWhole(40000);
    c.deriveEntryWindowState();
    return c;
}

// A man leaves his pregnant wife, a daughter, his father and his mother,
// 21 600: the child to be born is the deceased's own.
inline EstateCase unbornCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(21600);
    c.spouse = true;
    c.daughters = heads(1);
    c.father = true;
    c.mother = true;
    c.deriveEntryWindowState();
    return c;
}
inline UncertainHeir unbornChild() { return {UncertainKind::Unborn, KinLine::Child, Heir::Sons}; }

// A man leaves his wife, his mother and two sons, one of whom is missing,
// 24 000.
inline EstateCase missingCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(24000);
    c.spouse = true;
    c.mother = true;
    c.sons = heads(2);
    c.deriveEntryWindowState();
    return c;
}
inline UncertainHeir missingSon() { return {UncertainKind::Missing, KinLine::Child, Heir::Sons}; }

// A man leaves a daughter, a full brother and a child of undetermined sex,
// 12 000.
inline EstateCase undeterminedCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(12000);
    c.daughters = heads(1);
    c.fullBrothers = heads(1);
    c.deriveEntryWindowState();
    return c;
}
inline UncertainHeir undeterminedChild() { return {UncertainKind::UndeterminedSex, KinLine::Child, Heir::Sons}; }

// A woman leaves her husband and a full sibling of undetermined sex,
// 10 000: a half either way.
inline EstateCase undeterminedSiblingCase()
{
    EstateCase c;
    c.deceased = Deceased::Woman;
    c.estate = Currency::fromWhole(10000);
    c.spouse = true;
    c.deriveEntryWindowState();
    return c;
}
inline UncertainHeir undeterminedSibling()
{
    return {UncertainKind::UndeterminedSex, KinLine::FullSibling, Heir::Sons};
}

// A man leaves his wife, two sons and a daughter; 24 000. One son then dies
// before the division, leaving his mother, his full brother and his full
// sister: the wife, the other son and the daughter.
inline EstateCase deadSonCase()
{
    EstateCase c;
    c.estate = Currency::fromWhole(24000);
    c.spouse = true;
    c.sons = heads(2);
    c.daughters = heads(1);
    c.deriveEntryWindowState();
    return c;
}
inline std::vector<LaterDeath> deadSon()
{
    LaterDeath son;
    son.heir = "sons";
    son.ownCase.mother = true;
    son.ownCase.fullBrothers = heads(1);
    son.ownCase.fullSisters = heads(1);
    son.ownCase.deriveEntryWindowState();
    son.same = {{"mother", "wives"}, {"fullBrothers", "sons"}, {"fullSisters", "daughters"}};
    return {son};
}

}  // namespace qismar::testing

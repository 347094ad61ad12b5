#include "engine/preparation.h"

namespace qismar {

bool HasPreparation(const EstateCase& c) noexcept
{
    return !c.funeral.isZero() || !c.debts.isZero() || !c.bequests.isZero() || c.heirsConsent;
}

PreparedEstate PrepareEstate(const EstateCase& c)
{
    if (c.estate.raw() < 0 || c.funeral.raw() < 0 || c.debts.raw() < 0 || c.bequests.raw() < 0)
        throw EngineError(ErrorCode::InvalidCount);
    PreparedEstate p;
    p.gross = c.estate;
    p.funeral = c.funeral;
    p.debts = c.debts;
    p.bequests = c.bequests;
    p.heirsConsent = c.heirsConsent;
    // The costs and the debts first, exactly. Each may be as large as the
    // largest amount, so their sum is held wide: however far it passes the
    // estate, the estate is consumed.
    const WideAmount charges = addExact(WideAmount(c.funeral), c.debts);
    if (charges >= c.estate) {
        p.consumedByDebts = true;
        p.debtsExceedBy = subtractExact(charges, c.estate);
        return p;
    }
    p.afterDebts = subtractExact(c.estate, charges).amount();
    // A third of what remains, rounded once.
    p.third = roundToCurrency(static_cast<long double>(p.afterDebts.raw()) / 3.0L);
    Currency carried = c.bequests;
    if (!c.heirsConsent && carried > p.third) {
        carried = p.third;
        p.bequestsLimitedToThird = true;
    }
    if (carried > p.afterDebts)
        carried = p.afterDebts;
    p.bequestsCarriedOut = carried;
    p.net = subtractExact(p.afterDebts, carried);
    return p;
}

DivisionResult DivideEstate(const EstateCase& estateCase, Explanation* explanation)
{
    // A zero estate is refused before anything, as when it is typed alone.
    if (!HasPreparation(estateCase) || estateCase.estate.isZero())
        return explanation ? DivideExplained(estateCase, *explanation) : Divide(estateCase);
    const PreparedEstate prepared = PrepareEstate(estateCase);
    if (prepared.consumedByDebts || prepared.net.isZero()) {
        DivisionResult result;
        result.outcome = Outcome::Consumed;
        result.problemBase = Currency::fromWhole(24);
        result.preparation = prepared;
        if (explanation) {
            explanation->exact = false;
            explanation->heirs.clear();
        }
        return result;
    }
    EstateCase net = estateCase;
    net.estate = prepared.net;
    DivisionResult result =
        explanation ? DivideExplained(net, *explanation) : Divide(net);
    result.preparation = prepared;
    return result;
}

std::string ConsumedMessage(const PreparedEstate& p)
{
    if (!p.consumedByDebts)
        return "لم يبق للورثة شيء بعد الديون والوصايا، فلا قسمة";
    if (p.debtsExceedBy.isZero())
        return "استغرقت نفقات التجهيز والديون التركة كلها، فلا يبقى للورثة شيء ولا قسمة";
    return "استغرقت نفقات التجهيز والديون التركة وزادت عليها بمقدار " + formatAmount(p.debtsExceedBy) +
           "، فلا يبقى للورثة شيء ولا قسمة";
}

std::vector<std::string> PreparationSentences(const PreparedEstate& p)
{
    std::vector<std::string> s;
    s.push_back("التركة قبل التجهيز " + formatAmount(p.gross));
    if (!p.funeral.isZero())
        s.push_back("تُخرج أولاً نفقات التجهيز والدفن " + formatAmount(p.funeral));
    if (!p.debts.isZero())
        s.push_back("ثم تُقضى الديون " + formatAmount(p.debts));
    if (p.consumedByDebts) {
        s.push_back(ConsumedMessage(p));
        return s;
    }
    if (!p.bequests.isZero()) {
        if (p.bequestsLimitedToThird)
            s.push_back("ثم تنفذ الوصايا في حدود ثلث الباقي بعد الديون (" + formatAmount(p.third) + ") من " +
                        formatAmount(p.bequests) + " لأن الورثة لم يجيزوا ما زاد على الثلث");
        else if (p.bequestsCarriedOut < p.bequests)
            s.push_back("ثم تنفذ الوصايا بإجازة الورثة بقدر كل ما بقي بعد الديون (" +
                        formatAmount(p.bequestsCarriedOut) + " من " + formatAmount(p.bequests) + ")");
        else if (p.bequests > p.third)
            s.push_back("ثم تنفذ الوصايا " + formatAmount(p.bequestsCarriedOut) +
                        " كاملة بإجازة الورثة ما زاد على ثلث الباقي بعد الديون");
        else
            s.push_back("ثم تنفذ الوصايا " + formatAmount(p.bequestsCarriedOut) +
                        " لأنها لا تزيد على ثلث الباقي بعد الديون");
    }
    if (p.net.isZero())
        s.push_back(ConsumedMessage(p));
    else
        s.push_back("الباقي للورثة " + formatAmount(p.net) + "، وعليه تُحسب الأنصبة والنسب");
    return s;
}

}  // namespace qismar

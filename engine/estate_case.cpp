#include "engine/estate_case.h"

namespace qismar {

void EstateCase::deriveEntryWindowState()
{
    children = addExact(sons, daughters).raw() > 0;
    const Currency grandchildrenTotal =
        addExact(addExact(addExact(sonsSons, sonsDaughters), sonsSonsSons), sonsSonsDaughters);
    grandchildren = grandchildrenTotal.raw() > 0;
    siblingTotal = addExact(addExact(addExact(addExact(addExact(fullSisters, fullBrothers), paternalBrothers),
                                              paternalSisters),
                                      uterineSisters),
                            uterineBrothers);
    siblings = siblingTotal.raw() > 0;
    if (isWoman())
        wives = Currency::fromRaw(Currency::kScale);
}

}  // namespace qismar

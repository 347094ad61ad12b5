#include "engine/estate_case.h"

namespace qismar {

void EstateCase::deriveEntryWindowState()
{
    children = (sons + daughters).positive();
    grandchildren = (sonsSons + sonsDaughters + sonsSonsSons + sonsSonsDaughters).positive();
    siblingTotal = fullSisters + fullBrothers + paternalBrothers + paternalSisters + uterineSisters + uterineBrothers;
    siblings = siblingTotal.positive();
    if (isWoman())
        wives = HeadCount(1);
}

}  // namespace qismar

#include "engine/heirs.h"

namespace qismar {

HeadCount PersonsInCase(const EstateCase& c)
{
    HeadCount persons;
    forEachIndex<kHeirs>([&](auto i) {
        if (RelativePresent(c, kHeirs[i].heir))
            persons = persons + HeadsOf(c, kHeirs[i].heir);
    });
    return persons;
}

}  // namespace qismar

#include "engine/heirs.h"

namespace qismar {

HeadCount PersonsInCase(const EstateCase& c)
{
    HeadCount persons;
    for (const HeirInfo& info : kHeirs)
        if (RelativePresent(c, info.heir))
            persons = persons + HeadsOf(c, info.heir);
    return persons;
}

}  // namespace qismar

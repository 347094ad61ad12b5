// The windows of the heir entry, created together for the tests, the
// benchmark and the screenshots.
#include "entry/entry_windows.h"

namespace qismar {

void createEntryWindows()
{
    new TfmMain();
    new TfmSonOfUncle();
    new TfmSon();
    new TfmBrothers();
    new TfmSonOfSon();
    new TfmDivision();
    new TfmGrandMother();
    new TfmSonOfBrother();
    new TfmUncle();
    new Treport();
    new TfmJd();
}

}  // namespace qismar

// Qismar: the windows of the heir entry and of the results.
//
// Every window here is created once, with no parent (`new TfmX()`), and is
// reachable program-wide through the reference named after it (fmMain,
// fmSon, fmDivision, report, ...): the constructor sets the reference and
// the destructor clears it. A constructor touches no other window; the
// windows reach each other only through these references, at the time of
// use. Controls keep the names of the layout (chkAb, Edit1, n3, ...), which
// are also their object names.
#pragma once

#include "entry/brothers_dialog.h"
#include "entry/counting_dialog.h"
#include "results/division_window.h"
#include "entry/entry_window.h"
#include "entry/grandfather_dialog.h"
#include "entry/grandmother_dialog.h"
#include "entry/heir_dialog.h"
#include "entry/law_excerpts.h"
#include "entry/preparation_dialog.h"
#include "entry/report_window.h"
#include "entry/son_dialog.h"
#include "entry/son_of_brother_dialog.h"
#include "entry/son_of_son_dialog.h"
#include "entry/son_of_uncle_dialog.h"
#include "entry/uncle_dialog.h"

namespace qismar {

// Creates the entry window, its dialogs, the results window and the
// information window in the program's start-up order, without the shell's
// windows between them (for the tests, the benchmark and the screenshots).
void createEntryWindows();

}  // namespace qismar

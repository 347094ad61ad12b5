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

#include "brothers_dialog.h"
#include "counting_dialog.h"
#include "division_window.h"
#include "entry_window.h"
#include "grandfather_dialog.h"
#include "grandmother_dialog.h"
#include "heir_dialog.h"
#include "law_excerpts.h"
#include "preparation_dialog.h"
#include "report_window.h"
#include "son_dialog.h"
#include "son_of_brother_dialog.h"
#include "son_of_son_dialog.h"
#include "son_of_uncle_dialog.h"
#include "uncle_dialog.h"

namespace qismar {

// Creates the entry window, its dialogs, the results window and the
// information window in the program's start-up order, without the shell's
// windows between them (for the tests, the benchmark and the screenshots).
void createEntryWindows();

}  // namespace qismar

// Qismar: "qismar --report CASE --output FILE.pdf", the report of a case
// file written as a PDF without showing a window.
#pragma once

namespace qismar {

// Whether the command line asks for a report (holds --report).
bool asksForReport(int argc, char** argv);

// Reads the case file, divides it and writes its report. Needs no display:
// without a chosen platform it draws offscreen. Returns 0 when the report
// was written; 1 for a case file that cannot be read or divided, or an output
// that cannot be written (the reason given; what was there is left as it
// was); 2 for a command line that is not understood, or an output that is
// the case file itself. Each failure is one line on standard error, in
// Arabic and in English.
int runReportCommand(int argc, char** argv);

}  // namespace qismar

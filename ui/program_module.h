// Qismar: the program's modules, loaded on first use.
//
// The parts of the program that pull in large libraries (the recitation
// player, printing) are modules beside the program, loaded the first time
// they are needed, so that starting the program does not load them.
#pragma once

#include <QString>

namespace qismar::ui {

// The factory function `symbol` of the module `name` (a library beside the
// program, "lib<name>.so"), loaded once and kept until the program ends.
// Throws UiError with `failure` and the loader's reason when the module or
// its factory cannot be found.
void* moduleFactory(const char* name, const char* symbol, const QString& failure);

}  // namespace qismar::ui

// Qismar: where the program finds the data files it reads by name.
#pragma once

#include <QString>

namespace qismar::ui {

// The path a data file (a text or the recitation) is read from. A file of
// that name in the current folder wins, as when the program is started from
// its own folder; otherwise the one in the program's folder is read, so the
// program also finds its data when it is started from elsewhere. When
// neither exists the bare name is returned, and opening it fails with the
// usual message for a missing file.
QString dataFilePath(const QString& name);

// The folder of the program's executable, where its data files are
// installed.
QString programFolder();

// Makes `folder` stand for the program's folder (an empty text gives the
// executable's folder back). Tests use it so that the data files beside
// the test programs do not answer for a file a test has removed.
void setProgramFolder(const QString& folder);

}  // namespace qismar::ui

// Qismar: the mode of the button "كيف يرث؟" and the lookup of the law
// excerpts in qanoon.txt, shared by the entry window and its dialogs.
#pragma once

#include <QString>

class QWidget;

namespace qismar {

// True while the mode started by "كيف يرث؟" is on.
bool HowInheritsMode() noexcept;
// Turns the mode on and gives the marked windows and controls the help cursor.
void StartHowInheritsMode();
// Gives the marked windows and controls their own cursor back and turns the
// mode off.
void EndHowInheritsMode();
// In the mode: ends it, finds the excerpt between the line `beginLine` and
// the line `endLine` of qanoon.txt (Windows-1256, looked up as every data
// file; read once and indexed, and read again only when it changes on disk)
// and shows it modally in the information window. Outside the mode it does
// nothing. Throws ui::UiError when the file cannot be read or holds no such
// excerpt; the mode is over and the window is not shown then.
void ShowLawExcerpt(const QString& beginLine, const QString& endLine);
// The name of the excerpt file.
inline constexpr const char* kLawExcerptFile = "qanoon.txt";

// Marks a window or a control for the help cursor of the mode.
void markForHelpCursor(QWidget* widget);

// A click (left button released over it) on `control` asks for the law
// excerpt between `beginLine` and `endLine`; outside the mode this does
// nothing and the click keeps its usual meaning.
void showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine);

// Runs while the case is cleared by the results window: no law excerpt is
// shown meanwhile, even if the mode is on.
class LookupsSuppressed {
public:
    LookupsSuppressed();
    ~LookupsSuppressed();
    LookupsSuppressed(const LookupsSuppressed&) = delete;
    LookupsSuppressed& operator=(const LookupsSuppressed&) = delete;
};

}  // namespace qismar

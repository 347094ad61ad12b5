// Qismar: the helpers every window of the desktop program shares: errors and
// message boxes, the code page, fonts and colours, counts typed as digits,
// and the placing and modal showing of windows.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QString>
#include <exception>

#include "engine/currency.h"
#include "engine/head_count.h"

class QApplication;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFileDialog;
class QWidget;

namespace qismar::ui {

// ---------------------------------------------------------------- errors

// An error that abandons the rest of a command and is reported in the
// standard error box with its message.
class UiError : public std::exception {
public:
    explicit UiError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }
private:
    QString message_;
    QByteArray utf8_;
};

// The message of an error in the program's language: the Arabic text of an
// engine error, the message of a UiError, a note for exhausted memory.
QString errorMessage(const std::exception& error);

// The standard error box: error icon, one OK button, the error's message,
// and the application's title as its title.
// Makes a file dialog of the program's own speak Arabic throughout, once
// its mode is set: its captions ("حفظ" or "فتح", "إلغاء", the name and
// type boxes) written out without the keyboard marks that would cut the
// joins of Arabic letters, the buttons without pictures (right to left, a
// small button with a picture draws its caption partly outside itself),
// and its files listed by name only, without the columns of size, kind and
// date that the system's translations leave in English.
void arabicFileDialog(QFileDialog& dialog);

void showErrorBox(const QString& message, QWidget* parent = nullptr);
// A warning message box with a single OK button.
void showWarningBox(const QString& message, QWidget* parent = nullptr);

// Runs one behaviour started by the user or by the window system. An error
// abandons the rest of that behaviour and is shown in the standard error box
// (over `parent`, or the window in front); the program carries on.
template <class F>
void guarded(F&& behaviour, QWidget* parent = nullptr) noexcept;

// A text typed or pasted by the user, as an error message quotes it: at
// most `longest` characters, with "…" when it was cut, so that no message
// grows with what was pasted.
QString quoted(const QString& text, qsizetype longest = 24);

// ---------------------------------------------------------------- text

// Decodes Windows-1256 bytes (through Qt's ICU converter). Every line end,
// CR LF, a lone CR or a lone LF, becomes "\n".
QString decodeCp1256(const QByteArray& bytes);
// Encodes text as Windows-1256 with CR LF line ends (characters outside the
// code page become '?'; used by tests and tools that write data files).
QByteArray encodeCp1256(const QString& text);

// The Arabic face that stands in for a font the layouts name ("MS Sans Serif",
// "Simplified Arabic", "Traditional Arabic", "Traditional Arabic
// Backslanted", "Mudir MT", "Tahoma"), at the given pixel size.
QFont layoutFont(const QString& layoutFamily, int pixelSize, bool bold = false);

// Colours of the windows' texts, each the layout's hue in a shade that
// reads at a contrast of at least 4.5:1 on the light faces of the windows.
inline const QColor kTextRed{200, 0, 0};        // the layout's pure red
inline const QColor kTextYellow{102, 102, 0};   // the layout's pure yellow, an olive
inline const QColor kTextNavy{0, 0, 128};
inline const QColor kTextGreen{0, 128, 0};
inline const QColor kTextMaroon{128, 0, 0};
inline const QColor kTextBlue{0, 0, 180};       // the layout's pure blue, on orange

// Gives a control the name of the layout, which is also its object name.
template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Sets the colour of a control's own text (caption or edit text).
void setTextColor(QWidget* widget, const QColor& color);

// A push button with its object name, that takes Enter only when it has
// the focus or is made the window's default.
QPushButton* pushButton(const QString& caption, const char* name, QWidget* parent);
// A centred plain-text label of one colour, drawn over the window's picture.
QLabel* plainLabel(const char* name, const QString& text, const QFont& font, const QColor& colour, QWidget* parent);

// The program's icon, read once for every window that carries it (empty when
// the pictures are not linked in).
const QIcon& programIcon();

// Lays the application out right to left and installs Qt's own Arabic
// translations, so that standard buttons and dialogs speak Arabic.
void installArabic(QApplication& app);

// ---------------------------------------------------------------- counts

// The ASCII digit for a typed digit ('0' to '9', Arabic-Indic or extended
// Arabic-Indic), or a null character for anything else.
QChar asciiDigit(QChar c) noexcept;
// The text with every Arabic-Indic digit replaced by the same ASCII digit.
QString withAsciiDigits(const QString& text);

// Reads the count that an edit holds: a whole number of zero to kMaxCount
// persons. `what` names the count in the error message ("عدد البنات").
HeadCount readCount(const QLineEdit* edit, const QString& what);

// Unchecks both buttons of an exclusive pair.
void clearRadioButtons(QRadioButton* a, QRadioButton* b);

// ---------------------------------------------------------------- windows

// The layouts give the outer size of a window, frame included: a 4-pixel
// border on each side and a 22-pixel caption. The client area is that much
// smaller.
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 30;
void setLayoutSize(QWidget* window, int layoutWidth, int layoutHeight);

// Moves a window, frame included, to the centre of the screen it is on.
void centreOnScreen(QWidget* window);
// Centres a window on the screen each time it is shown for the first time
// (later showings keep the place the user left it at).
void centreOnFirstShow(QWidget* window);

// Shows a window modally and returns when it is hidden again. A dialog runs
// its own exec(); any other window gets an application-modal nested loop.
void showModal(QWidget* window);

// ---------------------------------------------------------------- inline

void reportError(const std::exception& error, QWidget* parent) noexcept;
void reportUnknownError(QWidget* parent) noexcept;

template <class F>
void guarded(F&& behaviour, QWidget* parent) noexcept
{
    try {
        behaviour();
    } catch (const std::exception& error) {
        reportError(error, parent);
    } catch (...) {
        reportUnknownError(parent);
    }
}

}  // namespace qismar::ui

// Qismar: small building blocks shared by the entry, dialog, information and
// results windows.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <exception>
#include <memory>

#include "currency.h"
#include "picture.h"
#include "ui_common.h"

class QAbstractButton;
class QRadioButton;
class QSvgRenderer;

namespace qismar::widgets {

// The layouts give the outer size of a window, frame included: a 4-pixel
// border on each side and a 22-pixel caption. The client area is that much
// smaller.
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 30;
void setLayoutSize(QWidget* window, int layoutWidth, int layoutHeight);

// Moves a window to the centre of the screen it is on.
void centreOnScreen(QWidget* window);

// An edit for a whole number typed as digits: a typed character passes only
// when it is a digit "0" to "9" or the backspace key; the Arabic-Indic digits
// of an Arabic keyboard are entered as the same digits. Every other typed
// character is discarded. When `refill` is not empty, the edit is refilled
// with it as soon as its text becomes empty.
class DigitEdit : public QLineEdit {
public:
    DigitEdit(const QString& text, const QString& refill, QWidget* parent);
protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

// The ASCII digit for a typed digit ('0' to '9', Arabic-Indic or extended
// Arabic-Indic), or a null character for anything else.
QChar asciiDigit(QChar c) noexcept;

// The text with every Arabic-Indic digit replaced by the same ASCII digit, so
// that a pasted "٣" counts as 3.
QString withAsciiDigits(const QString& text);

// Sets the colour of a control's own text (caption or edit text).
void setTextColor(QWidget* widget, const QColor& color);

// Unchecks both buttons of an exclusive pair.
void clearRadioButtons(QRadioButton* a, QRadioButton* b);

// A warning message box with a single OK button.
void showWarningBox(const QString& message);

// The message of an error, in the program's language where it has one.
QString errorMessage(const std::exception& error);

// Runs one behaviour started by the user or by the window system. An error
// abandons the rest of that behaviour and is shown in the standard error box;
// the program carries on.
template <class F>
void guarded(F&& behaviour) noexcept
{
    try {
        behaviour();
    } catch (const std::exception& error) {
        ui::showErrorBox(errorMessage(error));
    } catch (...) {
        ui::showErrorBox(QStringLiteral("\u062D\u062F\u062B \u062E\u0637\u0623 \u063A\u064A\u0631 \u0645\u062A\u0648\u0642\u0639"));
    }
}

// Reads the count that an edit holds: a whole number of zero or more persons.
// `what` names the count in the error message ("عدد البنات").
Currency readCount(const QLineEdit* edit, const QString& what);

// Marks a window or a control for the help cursor of the "كيف يرث؟" mode.
void markForHelpCursor(QWidget* widget);

// Runs while the case is cleared by the results window: no law excerpt is
// shown meanwhile, even if the mode is on.
class LookupsSuppressed {
public:
    LookupsSuppressed();
    ~LookupsSuppressed();
    LookupsSuppressed(const LookupsSuppressed&) = delete;
    LookupsSuppressed& operator=(const LookupsSuppressed&) = delete;
};

}  // namespace qismar::widgets

namespace qismar::widgets {
// The Enter and Escape keys of the program's windows: Enter presses the
// focused push button and nothing else (no window has a default button);
// Escape does nothing. Returns false for every other key.
bool handleDialogKeys(QWidget* window, QKeyEvent* event);
}  // namespace qismar::widgets

namespace qismar::widgets {
// A click (left button released over it) on `control` asks for the law
// excerpt between `beginLine` and `endLine`; outside the "كيف يرث؟" mode this
// does nothing and the click keeps its usual meaning.
void showExcerptOnClick(QWidget* control, const QString& beginLine, const QString& endLine);
// Push buttons of the program's windows: never a default button.
void plainButton(QAbstractButton* button);
}  // namespace qismar::widgets

#include <QCheckBox>
#include <QRadioButton>

namespace qismar::widgets {
// A check box and a radio button that a click anywhere on them toggles,
// blank space beside a short caption included.
class CheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;
protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
class RadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
}  // namespace qismar::widgets

#include <QGroupBox>

namespace qismar::widgets {
// A frame with its caption at the top right, the frame line passing through
// the middle of the caption, as the layouts draw their frames. It draws no
// background, so the window's picture shows through.
class Frame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
protected:
    void paintEvent(QPaintEvent* event) override;
};
}  // namespace qismar::widgets

#include <QLabel>

namespace qismar::widgets {
// A static text whose lines are centred; a light text colour gets a thin
// dark edge so that it stays legible over a light background.
class GuidanceText : public QLabel {
public:
    using QLabel::QLabel;
protected:
    void paintEvent(QPaintEvent* event) override;
};
}  // namespace qismar::widgets

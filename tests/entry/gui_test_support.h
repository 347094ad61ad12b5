// Support for the tests that drive the entry, dialog and results windows
// with real mouse and key events, headless.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

#include "engine/estate_case.h"
#include "entry/counting_dialog.h"
#include "entry/entry_window.h"
#include "entry/grandfather_dialog.h"
#include "entry/grandmothers_dialog.h"
#include "entry/law_excerpt_window.h"
#include "entry/law_excerpts.h"
#include "entry/preparation_dialog.h"
#include "entry/uncertain_heir_dialog.h"
#include "results/division_window.h"

class QAbstractButton;
class QCheckBox;
class QFileDialog;
class QLineEdit;

namespace qismar::testing {

// Answers the modal windows that a behaviour opens, one step per window, in
// order. Each modal window, as it is shown, goes to the newest live script
// whose next step is for its kind of window; that step then acts on it from
// inside the window's own event loop. A modal window that no live script
// awaits is a failure of the newest script, which closes it so that the
// test goes on; a step whose window never opens is a failure too. Nothing
// waits for time to pass: the windows' own show events drive the script.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // A step for a window of class W.
    template <class W>
    ModalScript& on(std::function<void(W*)> act, QString what = QString())
    {
        steps_.push_back({[](QWidget* w) { return qobject_cast<W*>(w) != nullptr; },
                          [act = std::move(act)](QWidget* w) { act(qobject_cast<W*>(w)); },
                          what.isEmpty() ? QString::fromLatin1(W::staticMetaObject.className()) : what});
        return *this;
    }
    // A step for a window of a class that the test does not link against
    // (a dialog of a module loaded at run time), known by its class name.
    ModalScript& onClassNamed(const char* className, std::function<void(QWidget*)> act)
    {
        const QString name = QString::fromLatin1(className);
        steps_.push_back({[name](QWidget* w) { return w->inherits(name.toLatin1().constData()); },
                          std::move(act), name});
        return *this;
    }
    // A message box: records its icon and text, then presses its OK button.
    ModalScript& messageBox();

    // The message boxes answered so far.
    struct Box {
        QMessageBox::Icon icon;
        QString text;
        QString title;
        QString okText;  // the caption of its OK button
    };
    const std::vector<Box>& boxes() const noexcept { return boxes_; }
    // Every step was taken, and no window came that no step awaited.
    bool done() const noexcept { return steps_.empty() && failures_.isEmpty(); }
    QString failures() const;

private:
    friend class ModalWatcher;
    struct Step {
        std::function<bool(QWidget*)> match;
        std::function<void(QWidget*)> act;
        QString what;
    };
    // Takes a modal window if the next step is for it.
    bool take(QWidget* modal);
    // Records a modal window that no script awaited, and closes it.
    void refuse(QWidget* modal);

    std::deque<Step> steps_;
    std::vector<Box> boxes_;
    QStringList failures_;
};

// Clicks a control with the left mouse button, as a user does.
void click(QWidget* widget);
// Types keys into a widget, Arabic ones included.
void typeKeys(QWidget* widget, const QString& keys);
// Replaces the whole text of an edit by typing `keys` over its selection.
void typeOver(QLineEdit* edit, const QString& keys);
// Pastes `text` into an edit through the clipboard, as the edit's context
// menu does, replacing the selection (the whole text).
void pasteOver(QLineEdit* edit, const QString& text);
// Moves the mouse over a point of a widget.
void moveMouseOver(QWidget* widget, QPoint at = QPoint(-1, -1));
// Types a name into a file dialog's name box, as a user does.
void typeFileName(QFileDialog* dialog, const QString& name);
// Presses a file dialog's accepting button ("حفظ" or "فتح"), as a user does.
void pressAccept(QFileDialog* dialog);

// A count typed into a counting dialog's field of the case.
using TypedCount = std::pair<HeadCount EstateCase::*, QString>;
// Fills a counting dialog: each field named gets its text, then "تم".
std::function<void(CountingDialog*)> fillCounts(std::vector<TypedCount> counts);

// What the windows do wrong in their layout, one line a fault: a visible
// control outside its window, two sibling controls over each other (a frame
// around others and the background picture apart), a caption, a text or a
// title wider than the room its control gives it, or a window, frame
// included, larger than `screen`.
QStringList layoutFaults(QWidget* window, QSize screen = QSize(1024, 600));

// A law-excerpt file, written in Windows-1256 with CR LF line ends.
QByteArray lawExcerptFile(const QStringList& lines);

// The heir-entry window, made on its own as the program makes it, shown, in
// a temporary current directory that holds a small qanoon.txt.
class EntryWindows : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces qanoon.txt in the current directory (an empty list removes it).
    void writeLawFile(const QStringList& lines);
    void writeLawFileBytes(const QByteArray& bytes);
    void removeLawFile();

    EntryWindow& entry() const { return *entry_; }
    CountingDialog& dialog(HeirGroup group) const { return entry_->countingDialog(group); }
    GrandfatherDialog& grandfatherDialog() const { return entry_->grandfatherDialog(); }
    GrandmothersDialog& grandmothersDialog() const { return entry_->grandmothersDialog(); }
    PreparationDialog& preparation() const { return entry_->preparationDialog(); }
    DivisionWindow& results() const { return entry_->divisionWindow(); }
    LawExcerptWindow& excerptWindow() const { return entry_->howInherits().excerptWindow(); }
    bool howInheritsOn() const { return entry_->howInherits().isOn(); }

    // The current folder, and an empty folder that stands for the program's.
    QTemporaryDir dir_;
    QTemporaryDir programDir_;
    QString previousDir_;
    std::unique_ptr<EntryWindow> entry_;
};

// The default qanoon.txt of the fixture: each of the eleven keys with one line.
QStringList defaultLawLines();
// The line that the default file holds for a key ("نص المادة: ab").
QString defaultExcerpt(const char* key);

}  // namespace qismar::testing

// Every step of a script was taken, and nothing unexpected opened.
#define EXPECT_SCRIPT_DONE(script) EXPECT_TRUE((script).done()) << (script).failures().toStdString()

// A QString in test messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }

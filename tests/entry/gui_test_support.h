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

#include "entry/entry_windows.h"

class QAbstractButton;
class QCheckBox;
class QFileDialog;
class QLineEdit;

namespace qismar::testing {

// Answers the modal windows that a behaviour opens, one step per window, in
// order: each step waits until its kind of window is the active modal one,
// then acts on it (from inside that window's own event loop). A step that
// never comes is a failure; the script then closes whatever modal window is
// left so that the test does not hang.
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
        start();
        return *this;
    }
    // A step for a window of a class that the test does not link against
    // (a dialog of a module loaded at run time), known by its class name.
    ModalScript& onClassNamed(const char* className, std::function<void(QWidget*)> act)
    {
        const QString name = QString::fromLatin1(className);
        steps_.push_back({[name](QWidget* w) { return w->inherits(name.toLatin1().constData()); },
                          std::move(act), name});
        start();
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
    // Every step was taken.
    bool done() const noexcept { return steps_.empty() && failures_.isEmpty(); }
    QString failures() const;
    // Fails a modal window that opens while no step awaits one.
    void forbidUnexpected() { strict_ = true; }

private:
    struct Step {
        std::function<bool(QWidget*)> match;
        std::function<void(QWidget*)> act;
        QString what;
    };
    void start();
    void poll();
    void giveUp(const QString& why);

    std::deque<Step> steps_;
    std::vector<Box> boxes_;
    QStringList failures_;
    QPointer<QWidget> lastActed_;
    std::unique_ptr<QObject> context_;
    qint64 deadline_ = 0;
    bool polling_ = false;
    bool strict_ = false;
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

// Fills a counting dialog: each count edit gets its text, then "تم".
template <class Dialog>
std::function<void(Dialog*)> fill(std::vector<std::pair<QLineEdit* Dialog::*, QString>> counts)
{
    return [counts](Dialog* dialog) {
        for (const auto& [edit, text] : counts)
            typeOver(dialog->*edit, text);
        click(dialog->Button1);
    };
}

// A law-excerpt file, written in Windows-1256 with CR LF line ends.
QByteArray lawExcerptFile(const QStringList& lines);

// All the windows of the heir entry, created in the program's start-up order
// in a temporary current directory that holds a small qanoon.txt.
class EntryWindows : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces qanoon.txt in the current directory (an empty list removes it).
    void writeLawFile(const QStringList& lines);
    void writeLawFileBytes(const QByteArray& bytes);
    void removeLawFile();

    TfmMain* main() const { return fmMain; }

    // The current folder, and an empty folder that stands for the program's.
    QTemporaryDir dir_;
    QTemporaryDir programDir_;
    QString previousDir_;
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

// Qismar: the shared base of the heir dialogs and the estate's preparation.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace qismar {

// A fixed dialog with a title bar without buttons, the shared background
// picture, and "تم" as its only way out: Enter presses it, and Escape and a
// close request of the window system do what it does. Each dialog edits
// its part of a case; it writes into nothing else.
class HeirDialog : public QDialog {
    Q_OBJECT
public:
    QWidget* background = nullptr;  // the picture, which follows the client area

    // "تم", the dialog's way out.
    virtual void finish() = 0;

protected:
    HeirDialog(const QString& caption, int layoutWidth, int layoutHeight);
    void reject() override;
    void showEvent(QShowEvent* event) override;
    // The control that takes the focus when the dialog is shown.
    virtual QWidget* firstField() const { return nullptr; }
    // Hides the dialog and ends its modal showing, if it is showing.
    void closeDialog();

    // Controls of the dialog at their layout places (left, top, width, height).
    QCheckBox* addCheckBox(const char* name, const QString& caption, int x, int y, int w, int h);
    QRadioButton* addRadioButton(const char* name, const QString& caption, int x, int y, int w, int h);
    QPushButton* addButton(const char* name, const QString& caption, int x, int y, int w, int h);
    QGroupBox* addFrame(const char* name, const QString& caption, int x, int y, int w, int h);
    // "تم", the default button, whose click runs finish().
    QPushButton* addDoneButton(int x, int y, int w, int h);
};

}  // namespace qismar

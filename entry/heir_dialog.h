// Qismar: the shared base of the eight heir dialogs.
#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace qismar {

class TfmMain;

// Shared base of the eight heir dialogs: a fixed dialog with a title bar
// without buttons, the shared background picture, and "تم" as its only way out.
class THeirDialog : public QDialog {
    Q_OBJECT
public:
    QWidget* Image1 = nullptr;  // background picture, follows the client area
    // "تم", the dialog's way out; Enter presses it, and Escape and a close
    // request of the window system do the same.
    virtual void Button1Click() = 0;
protected:
    THeirDialog(const QString& caption, int layoutWidth, int layoutHeight);
    void reject() override;
    void showEvent(QShowEvent* event) override;
    // The control that takes the focus when the dialog is shown.
    virtual QWidget* firstField() const { return nullptr; }
    // Hides the dialog and ends its modal showing, if it is showing.
    void closeDialog();

    // The entry window, which every dialog writes back into.
    static TfmMain& entryWindow();
    // Controls of the dialog at their layout places (left, top, width, height).
    QCheckBox* addCheckBox(const char* name, const QString& caption, int x, int y, int w, int h);
    QRadioButton* addRadioButton(const char* name, const QString& caption, int x, int y, int w, int h);
    QPushButton* addButton(const char* name, const QString& caption, int x, int y, int w, int h);
    QGroupBox* addFrame(const char* name, const QString& caption, int x, int y, int w, int h);
};

}  // namespace qismar

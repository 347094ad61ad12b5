// Qismar: a dialog that counts the members of a class of heirs.
#pragma once

#include <QString>
#include <vector>

#include "entry/heir_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qismar {

// A dialog that counts the members of a class of heirs and writes the total
// into a count edit of the entry window.
class TCountingDialog : public THeirDialog {
    Q_OBJECT
public:
    QPushButton* Button1 = nullptr;  // "تم"
    // The count edits, in the order in which "تم" adds them up.
    const std::vector<QLineEdit*>& countEdits() const noexcept { return counts_; }
    // Sets every count edit to "0".
    void resetCounts();
    // "تم": closes the dialog and writes the total into the entry window.
    void Button1Click() override;
protected:
    TCountingDialog(const QString& caption, int layoutWidth, int layoutHeight);
    QWidget* firstField() const override;
    // Creates a count edit with its accessible name and the keys of the law
    // excerpt that a click on it asks for in the "كيف يرث؟" mode.
    QLineEdit* addCountEdit(const char* name, int x, int y, int w, int h, const QString& accessibleName,
                            const char* beginKey, const char* endKey);
    QPushButton* addDoneButton(int x, int y, int w, int h, bool redCaption);
    QLabel* addLabel(const char* name, const QString& text, int x, int y);
    // The count edit of the entry window that receives the total.
    virtual QLineEdit* totalEdit() const = 0;
private:
    std::vector<QLineEdit*> counts_;
};

}  // namespace qismar

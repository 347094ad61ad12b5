// Qismar: the estate's preparation dialog.
#pragma once

#include <QString>
#include <optional>

#include "entry/heir_dialog.h"
#include "engine/preparation.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qismar {

// "تجهيز التركة": what is paid out of the gross estate before it is divided,
// in the order of the law (funeral and burial costs, debts, bequests), and
// whether the heirs consent to bequests beyond a third. The gross estate is
// the entry window's estate field; the dialog shows what remains for the
// heirs as the user types. Its controls hold these amounts for the case, as
// the heir dialogs hold their counts; left empty, they change nothing.
class TfmPreparation : public THeirDialog {
    Q_OBJECT
public:
    TfmPreparation();
    ~TfmPreparation() override;

    QFrame* Panel1 = nullptr;        // under the guidance, the amounts and the consent
    QLabel* Label1 = nullptr;        // the guidance
    QLineEdit* Edit1 = nullptr;      // funeral and burial costs
    QLineEdit* Edit2 = nullptr;      // debts
    QLineEdit* Edit3 = nullptr;      // bequests
    QLabel* Label2 = nullptr;        // "نفقات التجهيز والدفن"
    QLabel* Label3 = nullptr;        // "الديون"
    QLabel* Label4 = nullptr;        // "الوصايا"
    QCheckBox* CheckBox1 = nullptr;  // the heirs' consent beyond the third
    QGroupBox* GroupBox1 = nullptr;  // "الحساب"
    QLabel* St1 = nullptr;           // how the net estate comes about
    QLabel* Label5 = nullptr;        // what remains for the heirs
    QPushButton* Button1 = nullptr;  // "تم"
    QPushButton* Button2 = nullptr;  // "مسح"

    // What the controls hold, with the gross estate from the entry window.
    struct Reading {
        EstateCase preparation;       // estate, funeral, debts, bequests, heirsConsent
        std::optional<PreparedEstate> prepared;  // when it could be computed
        QString problem;              // when it could not: why, in Arabic
        QLineEdit* problemField = nullptr;        // the field at fault, if one of ours
        bool refuse = false;  // the problem is in this dialog's amounts: "تم" refuses them
    };
    Reading read() const;

    // Whether anything is entered (an amount or the consent).
    bool isEmpty() const;
    // Sets the controls from a case (its estate is not ours).
    void setPreparation(const EstateCase& c);
    // Empties every field and unticks the consent.
    void clearFields();

    // "تم": closes the dialog, unless an amount is beyond what the program
    // can hold; then a warning names it and the field takes the focus.
    void Button1Click() override;
    // "مسح": empties the dialog.
    void Button2Click();
    // Recomputes what the dialog shows (also when the estate changes).
    void refresh();

protected:
    QWidget* firstField() const override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* addAmountEdit(const char* name, int y, const QString& accessibleName, const QString& tip);
};

// The program-wide reference to the one TfmPreparation (owned by fmMain).
extern TfmPreparation* fmPreparation;

// A short line for the entry window: what remains for the heirs after the
// preparation, or why nothing does.
QString preparationSummary(const TfmPreparation::Reading& reading);

}  // namespace qismar

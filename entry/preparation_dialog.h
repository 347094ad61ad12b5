// Qismar: the estate's preparation dialog.
#pragma once

#include <QString>
#include <optional>

#include "engine/estate_case.h"
#include "engine/preparation.h"
#include "entry/heir_dialog.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qismar {

// The estate as the entry window's field holds it: an amount, or a text
// that is not one.
struct EstateField {
    QString text;
    std::optional<Currency> amount;  // when the text is an amount of zero or more
    bool tooLarge = false;           // digits beyond the largest amount the program holds
    bool negative = false;
    static EstateField read(const QString& text);
};

// "تجهيز التركة": what is paid out of the gross estate before it is divided,
// in the order of the law (funeral and burial costs, debts, bequests), and
// whether the heirs consent to bequests beyond a third. The gross estate is
// the entry window's estate field, given to the dialog with setGrossEstate;
// the dialog shows what remains for the heirs as the user types, and
// announces every change (changed()) for the entry window to take into its
// case. Left empty, it changes nothing.
class PreparationDialog : public HeirDialog {
    Q_OBJECT
public:
    PreparationDialog();

    QFrame* panel = nullptr;             // under the guidance, the amounts and the consent
    QLabel* guidance = nullptr;
    QLineEdit* funeralEdit = nullptr;    // funeral and burial costs
    QLineEdit* debtsEdit = nullptr;
    QLineEdit* bequestsEdit = nullptr;
    QLabel* funeralLabel = nullptr;      // "نفقات التجهيز والدفن"
    QLabel* debtsLabel = nullptr;        // "الديون"
    QLabel* bequestsLabel = nullptr;     // "الوصايا"
    QCheckBox* consentBox = nullptr;     // the heirs' consent beyond the third
    QGroupBox* calculationFrame = nullptr;  // "الحساب"
    QLabel* calculation = nullptr;       // how the net estate comes about
    QLabel* remains = nullptr;           // what remains for the heirs
    QPushButton* doneButton = nullptr;   // "تم"
    QPushButton* clearButton = nullptr;  // "مسح"

    // What the controls hold, with the gross estate given.
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
    // The gross estate, as the entry window's field holds it.
    void setGrossEstate(const EstateField& estate);
    // Sets the controls from a case (its estate is not ours).
    void showPreparation(const EstateCase& c);
    // Empties every field and unticks the consent.
    void clearFields();

    // "تم": closes the dialog, unless an amount is beyond what the program
    // can hold; then a warning names it and the field takes the focus.
    void finish() override;
    // "مسح": empties the dialog.
    void clearAmounts();

signals:
    // The amounts, the consent or the estate changed.
    void changed();

protected:
    QWidget* firstField() const override;

private:
    void createAmounts();
    void createCalculation();
    void createButtons();
    QLineEdit* addAmountEdit(const char* name, int y, const QString& accessibleName, const QString& tip);
    // Recomputes what the dialog shows, and announces the change.
    void refresh();

    EstateField estate_;
};

// A short line for the entry window: what remains for the heirs after the
// preparation, or why nothing does.
QString preparationSummary(const PreparationDialog::Reading& reading);

}  // namespace qismar

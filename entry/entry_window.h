// Qismar: the heir-entry window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "estate_case.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QEvent;

namespace qismar {

// "القسمار": the heir-entry window.
class TfmMain : public QDialog {
    Q_OBJECT
public:
    TfmMain();
    ~TfmMain() override;

    QWidget* Image1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;  // "الورثة"
    QGroupBox* GroupBox2 = nullptr;  // "المتوفى"
    QGroupBox* GroupBox3 = nullptr;  // "قيمة التركة"
    QLabel* St1 = nullptr;           // guidance texts
    QRadioButton* RadioButton1 = nullptr;  // "رجل"
    QRadioButton* RadioButton2 = nullptr;  // "امرأة"
    QLineEdit* edttarikh = nullptr;        // estate value
    QPushButton* BitBtn2 = nullptr;        // "  قسم"
    QPushButton* BitBtn3 = nullptr;        // "كيف يرث؟"
    QPushButton* BitBtn1 = nullptr;        // "عودة"

    QCheckBox* chkAb = nullptr;      // father          Edit7
    QCheckBox* chkOm = nullptr;      // mother          Edit8
    QCheckBox* chkZoj = nullptr;     // spouse          Edit1 (wives)
    QCheckBox* chkSons = nullptr;    // children        Edit9
    QCheckBox* chkEbnEbn = nullptr;  // grandchildren   Edit10
    QCheckBox* chkAk = nullptr;      // siblings        Edit11
    QCheckBox* chkEbnAk = nullptr;   // nephews         Edit2
    QCheckBox* chkAm = nullptr;      // uncles          Edit5
    QCheckBox* chkjd = nullptr;      // grandfather     Edit6
    QCheckBox* chkjadh = nullptr;    // grandmothers    Edit3
    QCheckBox* chkEbnAm = nullptr;   // cousins         Edit4
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    QLineEdit* Edit8 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QLineEdit* Edit10 = nullptr;
    QLineEdit* Edit11 = nullptr;

    // The eleven heir boxes in the order in which the results window unticks them.
    std::array<QCheckBox*, 11> heirBoxes() const;

    // Ticks or unticks a box from code. When the state actually changes the
    // box's behaviour runs, exactly as after a click; errors propagate to the
    // caller.
    void setTicked(QCheckBox* box, bool ticked);

    // The buttons.
    void BitBtn2Click();  // "  قسم"
    void BitBtn3Click();  // "كيف يرث؟"
    void BitBtn1Click();  // "عودة"

    // Clears the whole case after the results window's "تم": the counts of
    // the sons and daughters, then every heir box and grandmother box, each
    // unticking running the box's own behaviour (which empties its dialog).
    // The sex of the deceased and the estate stay.
    void clearCase();

    // The case as the controls hold it; throws on a text that is not a count
    // or an estate.
    EstateCase readCase() const;

    // Writes a guidance text into St1 (its colour unchanged).
    void setGuidance(const QString& text);

    // Called when the "كيف يرث؟" mode starts or ends: the button stays
    // pressed while it is on, and the guidance says what to do.
    void howInheritsModeChanged(bool on);
    // Father, mother and spouse ticked, and neither children nor grandchildren.
    bool isUmariyya() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape and close requests of the window system do what "عودة" does.
    void reject() override;

private:
    // After every change of the heirs: the guidance that names the case follows it.
    void caseChanged();
    void boxChanged(QCheckBox* box);
    void countingBoxChanged(QCheckBox* box);
    void parentBoxChanged(QCheckBox* box);
    void spouseBoxChanged();
    void grandfatherBoxChanged();
    void grandmotherBoxChanged();
    void RadioButton1Click();
    void RadioButton2Click();
    void Edit1Change();
    void guidanceOnMouseMove(QObject* watched);
};

// The program-wide reference to the one TfmMain.
extern TfmMain* fmMain;

}  // namespace qismar

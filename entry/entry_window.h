// Qismar: the heir-entry window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "engine/estate_case.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QEvent;

namespace qismar {

class TfmPreparation;

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
    QPushButton* BitBtn4 = nullptr;        // "فتح مسألة" (Ctrl+O)
    QPushButton* BitBtn5 = nullptr;        // "حفظ المسألة" (Ctrl+S)
    QPushButton* BitBtn6 = nullptr;        // "تجهيز التركة", in the estate's frame
    QLabel* Label1 = nullptr;              // under it: what remains after the preparation

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
    void BitBtn4Click();  // "فتح مسألة": asks for a case file and opens it
    void BitBtn5Click();  // "حفظ المسألة": asks for a file name and saves the case
    void BitBtn6Click();  // "تجهيز التركة": shows the preparation dialog

    // Clears the whole case after the results window's "تم": the counts of
    // the sons and daughters, then every heir box and grandmother box, each
    // unticking running the box's own behaviour (which empties its dialog).
    // The sex of the deceased and the estate stay.
    void clearCase();

    // Opens a case file: the controls of this window and of the dialogs then
    // hold the case exactly as if it had been typed from a cleared case. A
    // file that is refused is reported in one error box that names the file
    // and the problem, and nothing changes. Returns whether it was opened.
    bool openCaseFile(const QString& path);
    // Saves the case the controls hold; a failure is reported in one error
    // box and the file that was there stays as it was. Returns whether it
    // was saved.
    bool saveCaseFile(const QString& path);
    // Clears the case as the results window's "تم" does, then puts `c` into
    // the controls as a user would type it. Refuses (UiError, before any
    // change) a case that the dialogs cannot hold.
    void showCase(const EstateCase& c);
    // Why the dialogs cannot hold a case (empty when they can).
    static QString whyNotShown(const EstateCase& c);
    // The whole case the controls hold, the preparation included (readCase
    // stops at an estate of zero); throws on a text that is not a count or
    // an amount.
    EstateCase wholeCase() const;

    // The preparation dialog, owned by this window.
    TfmPreparation* preparation() const noexcept { return preparation_; }
    // After a change of the estate or of the preparation: the line under
    // "تجهيز التركة" and the button's state follow it.
    void preparationChanged();

    // The case as the controls hold it, the preparation included; throws on
    // a text that is not a count or an amount.
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
    // Asks for a case file in the program's own (Arabic) file dialog; an
    // empty text when the user cancels.
    QString askForCaseFile(bool saving);
    void readEstate(EstateCase& c) const;
    void readHeirs(EstateCase& c) const;
    void readPreparation(EstateCase& c) const;
    // Shows the name of a case file in the guidance after it was opened or saved.
    void fileGuidance(const QString& text);

    TfmPreparation* preparation_ = nullptr;
    QString caseFolder_;  // where the file dialogs start
    QString caseFile_;    // the file last opened or saved

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

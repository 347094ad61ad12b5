// Qismar: the windows of the heir entry and of the results.
//
// Every window here is created once, with no parent (`new TfmX()`), and is
// reachable program-wide through the reference named after it (fmMain,
// fmSon, fmDivision, report, ...): the constructor sets the reference and
// the destructor clears it. A constructor touches no other window; the
// windows reach each other only through these references, at the time of
// use. Controls keep the names of the layout (chkAb, Edit1, n3, ...), which
// are also their object names.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

#include "division.h"
#include "law_excerpts.h"
#include "estate_case.h"
#include "result_rows.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qismar {

// Creates the entry window, its dialogs, the results window and the
// information window in the program's start-up order, without the shell's
// windows between them (for the tests, the benchmark and the screenshots).
void createEntryWindows();

// ---------------------------------------------------------------------------
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
};

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

// "أبناء  ": sons and daughters; total into fmMain's Edit9.
class TfmSon : public TCountingDialog {
    Q_OBJECT
public:
    TfmSon();
    ~TfmSon() override;
    QLineEdit* Edit1 = nullptr;  // sons
    QLineEdit* Edit2 = nullptr;  // daughters
    QLabel* Label1 = nullptr;    // "ذكور"
    QLabel* Label2 = nullptr;    // "إناث"
protected:
    QLineEdit* totalEdit() const override;
};

// "أحفاد": the son's children and the son's son's children; total into Edit10.
class TfmSonOfSon : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfSon();
    ~TfmSonOfSon() override;
    QGroupBox* GroupBox1 = nullptr;  // "أبناء الأبناء"
    QGroupBox* GroupBox2 = nullptr;  // "أبناء أبناء الأبناء"
    QLineEdit* Edit1 = nullptr;      // son's sons
    QLineEdit* Edit2 = nullptr;      // son's daughters
    QLineEdit* Edit3 = nullptr;      // son's son's sons
    QLineEdit* Edit4 = nullptr;      // son's son's daughters
protected:
    QLineEdit* totalEdit() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// "إخوة": full, paternal and maternal brothers and sisters; total into Edit11.
class TfmBrothers : public TCountingDialog {
    Q_OBJECT
public:
    TfmBrothers();
    ~TfmBrothers() override;
    QLineEdit* Edit1 = nullptr;  // full sisters
    QLineEdit* Edit2 = nullptr;  // full brothers
    QLineEdit* Edit3 = nullptr;  // paternal half-brothers
    QLineEdit* Edit4 = nullptr;  // paternal half-sisters
    QLineEdit* Edit5 = nullptr;  // maternal half-sisters
    QLineEdit* Edit6 = nullptr;  // maternal half-brothers
protected:
    QLineEdit* totalEdit() const override;
};

// "أبناء الإخوة": sons of full and of paternal brothers; total into Edit2.
class TfmSonOfBrother : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfBrother();
    ~TfmSonOfBrother() override;
    QLineEdit* Edit2 = nullptr;  // sons of full brothers
    QLineEdit* Edit3 = nullptr;  // sons of paternal half-brothers
protected:
    QLineEdit* totalEdit() const override;
};

// "الأعمام": full and paternal uncles; total into Edit5.
class TfmUncle : public TCountingDialog {
    Q_OBJECT
public:
    TfmUncle();
    ~TfmUncle() override;
    QLineEdit* Edit1 = nullptr;  // full paternal uncles
    QLineEdit* Edit2 = nullptr;  // paternal half-uncles
protected:
    QLineEdit* totalEdit() const override;
};

// "أبناء العم": sons of full and of paternal uncles; total into Edit4.
class TfmSonOfUncle : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfUncle();
    ~TfmSonOfUncle() override;
    QLineEdit* Edit1 = nullptr;  // sons of full paternal uncles
    QLineEdit* Edit2 = nullptr;  // sons of paternal half-uncles
protected:
    QLineEdit* totalEdit() const override;
};

// "الجدة": which grandmothers survive; the count goes into Edit3.
class TfmGrandMother : public THeirDialog {
    Q_OBJECT
public:
    TfmGrandMother();
    ~TfmGrandMother() override;
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // mother's mother
    QCheckBox* CheckBox2 = nullptr;  // father's mother
    QCheckBox* CheckBox3 = nullptr;  // mother's mother's mother
    QCheckBox* CheckBox4 = nullptr;  // father's mother's mother
    QCheckBox* CheckBox5 = nullptr;  // father's father's mother
    QRadioButton* RadioButton1 = nullptr;  // "جدة قريبة"
    QRadioButton* RadioButton2 = nullptr;  // "جدة بعيدة"
    QPushButton* Button1 = nullptr;        // "تم"
    std::array<QCheckBox*, 5> boxes() const { return {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5}; }
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click() override;
    // The tool-tip notice shown once a far grandmother is entered twice.
    static QString sameGrandmotherNotice();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
private:
    void noticeOnMouseMove();
};

// "جد": which grandfather survives.
class TfmJd : public THeirDialog {
    Q_OBJECT
public:
    TfmJd();
    ~TfmJd() override;
    QRadioButton* RadioButton1 = nullptr;  // "أبو الأب"
    QRadioButton* RadioButton2 = nullptr;  // "أبو أبي الأب"
    QPushButton* Button1 = nullptr;        // "تم"
    void Button1Click() override;
    // Clears both radio buttons.
    void clearChoice();
};

// ---------------------------------------------------------------------------
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

// ---------------------------------------------------------------------------
// "قسمة الأنصبة": the results window.
class TfmDivision : public QDialog {
    Q_OBJECT
public:
    TfmDivision();
    ~TfmDivision() override;

    QWidget* Image1 = nullptr;
    QPushButton* Button1 = nullptr;  // "تم"
    // The 27 lines in the order of the rows (index(Row)): amount edit n<k>
    // (edtNebnAmLiAb for the paternal uncle's sons), caption label nd<k>,
    // percentage text ns<k>.
    std::array<QLineEdit*, kRowCount> amounts{};
    std::array<QLabel*, kRowCount> captions{};
    std::array<QLabel*, kRowCount> percentages{};

    // The last line, shown only when the rows leave part of the estate
    // undistributed: "الباقي دون توزيع", its amount and its percentage.
    QLineEdit* undistributedAmount = nullptr;
    QLabel* undistributedCaption = nullptr;
    QLabel* undistributedPercentage = nullptr;

    QLineEdit* amount(Row row) const { return amounts[static_cast<std::size_t>(index(row))]; }
    QLabel* caption(Row row) const { return captions[static_cast<std::size_t>(index(row))]; }
    QLabel* percentage(Row row) const { return percentages[static_cast<std::size_t>(index(row))]; }

    // The rows as the amount edits hold them; throws for a text that is not a row's text.
    ResultRows currentRows() const;
    // Writes the rows and the percentages that a division produced.
    void applyDivision(const DivisionResult& result);
    // Empties the amount edits of the given rows.
    void clearRows(const std::vector<Row>& rows);

    // Run before the window is drawn whenever it is shown: turns "0" and the
    // engine's "لا شيئ له" into "لا شيء له", stacks the non-empty lines from the top and sizes the window.
    void FormShow();
    void HideAllLines();
    // "تم": closes the window and clears the whole case.
    void Button1Click();

    // The height of the window as the layout measures it (with a frame).
    int layoutHeight() const;

    // The percentage text of a line between two divisions: 19 blanks.
    static QString blankPercentage();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and close requests of the window system do what "تم" does:
    // close the window and clear the case.
    void reject() override;
};

// ---------------------------------------------------------------------------
// "معلومات": the information window that shows a law excerpt.
class Treport : public QDialog {
    Q_OBJECT
public:
    Treport();
    ~Treport() override;
    QWidget* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;  // "إغلاق"
};

// ---------------------------------------------------------------------------
// The program-wide references.
extern TfmMain* fmMain;
extern TfmSonOfUncle* fmSonOfUncle;
extern TfmSon* fmSon;
extern TfmBrothers* fmBrothers;
extern TfmSonOfSon* fmSonOfSon;
extern TfmDivision* fmDivision;
extern TfmGrandMother* fmGrandMother;
extern TfmSonOfBrother* fmSonOfBrother;
extern TfmUncle* fmUncle;
extern Treport* report;
extern TfmJd* fmJd;

}  // namespace qismar

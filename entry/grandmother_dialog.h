// Qismar: the grandmothers dialog.
#pragma once

#include <QString>
#include <array>

#include "entry/heir_dialog.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QRadioButton;
class QMouseEvent;
class QEvent;

namespace qismar {

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

// The program-wide reference to the one TfmGrandMother.
extern TfmGrandMother* fmGrandMother;

}  // namespace qismar

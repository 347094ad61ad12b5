// Qismar: the grandmothers dialog.
#pragma once

#include <QString>
#include <array>

#include "engine/estate_case.h"
#include "entry/heir_dialog.h"

class QCheckBox;
class QFrame;
class QPushButton;
class QRadioButton;
class QMouseEvent;
class QEvent;

namespace qismar {

// "الجدة": which grandmothers survive, either the near ones (the mother's
// mother, the father's mother) or the far ones, never both: choosing the
// group greys and clears the other.
class GrandmothersDialog : public HeirDialog {
    Q_OBJECT
public:
    GrandmothersDialog();
    QFrame* nearPanel = nullptr;
    QFrame* farPanel = nullptr;
    QCheckBox* mothersMother = nullptr;
    QCheckBox* fathersMother = nullptr;
    QCheckBox* mothersMothersMother = nullptr;
    QCheckBox* fathersMothersMother = nullptr;
    QCheckBox* fathersFathersMother = nullptr;
    QRadioButton* nearChoice = nullptr;  // "جدة قريبة"
    QRadioButton* farChoice = nullptr;   // "جدة بعيدة"
    QPushButton* doneButton = nullptr;   // "تم"
    // The five boxes, in the order of the case's fields.
    std::array<QCheckBox*, 5> boxes() const
    {
        return {mothersMother, fathersMother, mothersMothersMother, fathersMothersMother, fathersFathersMother};
    }

    // The boxes show the grandmothers of `c`, and the group chosen is theirs
    // (without any, the group stays as it was chosen).
    void showCase(const EstateCase& c);
    // Lets the user tick the grandmothers; "تم" writes them into `c`.
    void edit(EstateCase& c);
    void finish() override;

    // The tool-tip notice shown once a far grandmother is entered twice.
    static QString sameGrandmotherNotice();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void nearChosen();
    void farChosen();
    void noticeOnMouseMove();

    bool taken_ = false;
};

}  // namespace qismar

// Qismar: the information window that shows a law excerpt.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace qismar {

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

// The program-wide reference to the one Treport.
extern Treport* report;

}  // namespace qismar

// Qismar: the information window that shows an article of the law.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace qismar {

// "معلومات": the window in which the "كيف يرث؟" mode shows the article of
// the law about a relative.
class LawExcerptWindow : public QDialog {
    Q_OBJECT
public:
    LawExcerptWindow();

    QWidget* background = nullptr;
    QPlainTextEdit* excerptText = nullptr;
    QPushButton* closeButton = nullptr;  // "إغلاق"
};

}  // namespace qismar

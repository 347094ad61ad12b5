// Qismar: the text viewer of the laws and works.
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace qismar {

namespace ui {
class Picture;
class TextArea;
}  // namespace ui

// The text viewer of the laws and works.
class Tbook_1 : public QDialog {
    Q_OBJECT
public:
    explicit Tbook_1(QWidget* parent = nullptr);
    ~Tbook_1() override;

    QPushButton* Button1;
    ui::Picture* Image1;
    ui::TextArea* Memo1;
    QPushButton* Button3;

public slots:
    void Button1Click();
    void Button3Click();
};

// The program-wide reference to the one Tbook_1.
extern Tbook_1* book_1;

}  // namespace qismar

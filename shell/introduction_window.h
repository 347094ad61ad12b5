// Qismar: the introduction.
#pragma once

#include <QDialog>
#include <QString>

class QPushButton;

namespace qismar {

namespace ui {
class Picture;
class TextArea;
}  // namespace ui

// The introduction, read once while the window is created.
class TfmIntroduc : public QDialog {
    Q_OBJECT
public:
    explicit TfmIntroduc(QWidget* parent = nullptr);
    ~TfmIntroduc() override;

    // Loads introduc.txt into the text area; raises ui::UiError when the
    // file cannot be read, leaving the text area as it was.
    void FormCreate();

    ui::Picture* Image1;
    ui::TextArea* Memo1;
    QPushButton* Button1;

public slots:
    void Button1Click();

};

// The program-wide reference to the one TfmIntroduc.
extern TfmIntroduc* fmIntroduc;

}  // namespace qismar

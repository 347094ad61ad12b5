// Qismar: the notice on the legal basis of the program.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

// The notice on the legal basis of the program.
class TfmNote : public QDialog {
    Q_OBJECT
public:
    explicit TfmNote(QWidget* parent = nullptr);
    ~TfmNote() override;

    ui::Picture* Image1;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;

public slots:
    void Button1Click();

    void setVisible(bool visible) override;

private:
    void fitLines();
    bool fitted_ = false;
};

// The program-wide reference to the one TfmNote.
extern TfmNote* fmNote;

}  // namespace qismar

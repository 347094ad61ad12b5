// Qismar: the inheritance verses with the recitation.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

namespace shell {
class MediaControl;
}  // namespace shell

// The inheritance verses with the recitation.
class TfmAyah : public QDialog {
    Q_OBJECT
public:
    explicit TfmAyah(QWidget* parent = nullptr);
    ~TfmAyah() override;

    // The recitation's file name, looked up as every data file.
    static QString recitationFile();

    // Opens the recitation in the media control for a showing of the
    // window. Without a recitation file the control stays greyed and a line
    // says where the file goes; a file that cannot be played raises
    // ui::UiError (naming it) and leaves the window as it was.
    void openRecitation();

    ui::Picture* Image1;
    shell::MediaControl* MediaPlayer1;
    QPushButton* Button1;
    QLabel* NoRecitation;

    void done(int result) override;

public slots:
    void Button1Click();

protected:
    void reject() override;
};

// The program-wide reference to the one TfmAyah.
extern TfmAyah* fmAyah;

}  // namespace qismar

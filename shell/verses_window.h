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

// The inheritance verses ("آيات الميراث"): the printed page and, below it,
// the media control that plays the recitation.
class VersesWindow : public QDialog {
    Q_OBJECT
public:
    explicit VersesWindow(QWidget* parent = nullptr);
    ~VersesWindow() override;

    // The recitation's file name, looked up as every data file.
    static QString recitationFile();

    // Opens the recitation in the media control for a showing of the
    // window. Without a recitation file the control stays greyed and a line
    // says where the file goes; a file that cannot be played raises
    // ui::UiError (naming it) and leaves the window as it was.
    void openRecitation();

    shell::MediaControl* mediaControl() const { return mediaControl_; }
    QPushButton* doneButton() const { return doneButton_; }
    // Shown while there is no recitation to play: where the file goes.
    QLabel* noRecitationLine() const { return noRecitationLine_; }
    ui::Picture* page() const { return page_; }

    void done(int result) override;

protected:
    // Escape and the close box do what "تم" does.
    void reject() override;

private:
    ui::Picture* page_;
    shell::MediaControl* mediaControl_;
    QPushButton* doneButton_;
    QLabel* noRecitationLine_;
};

}  // namespace qismar

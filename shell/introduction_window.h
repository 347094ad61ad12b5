// Qismar: the introduction.
#pragma once

#include <QByteArray>
#include <QDialog>

class QPushButton;

namespace qismar {

namespace ui {
class Picture;
class TextArea;
}  // namespace ui

// The data file of the introduction.
QString introductionFile();

// Reads the introduction (Windows-1256 text); raises ui::UiError, naming
// the file, when it is missing or cannot be read.
QByteArray readIntroduction();

// The introduction, shown by "مقدمة". Its text is read once, while the
// program starts (see Program::checkDataFiles), and given to the window when
// the window is made; it is decoded and laid out when first shown.
class IntroductionWindow : public QDialog {
    Q_OBJECT
public:
    explicit IntroductionWindow(QWidget* parent = nullptr);
    ~IntroductionWindow() override;

    // The introduction as read from its file.
    void setText(const QByteArray& cp1256Text);

    ui::TextArea* textArea() const { return textArea_; }
    QPushButton* doneButton() const { return doneButton_; }

private:
    ui::Picture* picture_;
    ui::TextArea* textArea_;
    QPushButton* doneButton_;
};

}  // namespace qismar

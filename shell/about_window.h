// Qismar: the animated About window.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

// The About window ("حول"), whose caption and credit lines are brought in
// by a three-stage animation at every opening: the title slides into the
// caption letter by letter, then the credit is typed, then the three lines
// below it appear one after the other. Each stage runs on its own timer.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
    ~AboutWindow() override;

    static constexpr int kCaptionLength = 40;
    static QString titleText();      // the text that slides into the caption
    static QString creditPrefix();   // the text typed into the credit line

    // Prepares and starts the animation for an opening: nothing typed yet,
    // the typing started, the first letter of the title about to slide in,
    // the slide started.
    void startAnimation();

    // One tick of each stage's timer.
    void slideTitle();       // the current letter of the title moves one place
    void typeCredit();       // one more letter of the credit is typed
    void revealNextLine();   // the next line below the credit appears

    const QString& captionBuffer() const { return captionBuffer_; }
    int letterIndex() const { return letterIndex_; }
    int slideCounter() const { return slideCounter_; }
    int typedCount() const { return typedCount_; }
    int revealStep() const { return revealStep_; }

    QLabel* creditLine() const { return creditLine_; }    // typed: "برمجة: "
    QLabel* teamLine() const { return teamLine_; }
    QLabel* editionLine() const { return editionLine_; }
    QLabel* placeLine() const { return placeLine_; }
    QPushButton* doneButton() const { return doneButton_; }
    QTimer* slideTimer() const { return slideTimer_; }
    QTimer* typingTimer() const { return typingTimer_; }
    QTimer* revealTimer() const { return revealTimer_; }

    void done(int result) override;
    void setVisible(bool visible) override;

private:
    void createLines();
    void createTimers();
    void reset();
    void showCaption();

    QString captionBuffer_;
    int letterIndex_ = 0;
    int slideCounter_ = 0;
    int typedCount_ = 0;
    int revealStep_ = 0;

    ui::Picture* picture_ = nullptr;
    QLabel* creditLine_ = nullptr;
    QLabel* teamLine_ = nullptr;
    QLabel* editionLine_ = nullptr;
    QLabel* placeLine_ = nullptr;
    QPushButton* doneButton_ = nullptr;
    QTimer* slideTimer_ = nullptr;
    QTimer* typingTimer_ = nullptr;
    QTimer* revealTimer_ = nullptr;
};

}  // namespace qismar

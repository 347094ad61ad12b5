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

// The About window, whose caption and credit lines are brought in by a
// three-stage animation at every opening.
class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent = nullptr);
    ~TAbout() override;

    static constexpr int kCaptionLength = 40;
    static QString titleText();      // the text that slides into the caption
    static QString creditPrefix();   // the text typed into Label1

    // Prepares and starts the animation for an opening: typed count 0,
    // Timer2 started, letter index 1, slide counter 0, Timer1 started.
    void startAnimation();

    const QString& captionBuffer() const { return captionBuffer_; }
    int letterIndex() const { return letterIndex_; }
    int slideCounter() const { return slideCounter_; }
    int typedCount() const { return typedCount_; }
    int revealStep() const { return revealStep_; }

    ui::Picture* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* Button1;
    QTimer* Timer1;
    QTimer* Timer2;
    QTimer* Timer3;

    void done(int result) override;

public slots:
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Button1Click();

    void setVisible(bool visible) override;

private:
    void reset();
    void showCaption();

    QString captionBuffer_;
    int letterIndex_ = 0;
    int slideCounter_ = 0;
    int typedCount_ = 0;
    int revealStep_ = 0;
};

// The program-wide reference to the one TAbout.
extern TAbout* About;

}  // namespace qismar

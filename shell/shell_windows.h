// Qismar: the windows of the application shell: the main window with its
// menu and marquee, the introduction, the text viewer and its summary, the
// verses with their recitation, the notice and the About window.
//
// Each window exists once for the whole run and is reachable program-wide
// through the reference that bears its name, set by its constructor.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace qismar {

namespace ui {
class Picture;
class TextArea;
}  // namespace ui

namespace shell {
class MediaControl;
}  // namespace shell

// The main window: a title page with the menu bar from which the user
// reaches every other window.
class TfmInterface : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmInterface(QWidget* parent = nullptr);
    ~TfmInterface() override;

    // The rotating text of the marquee (112 characters).
    const QString& marqueeText() const { return marquee_; }
    static QString initialMarqueeText();

    ui::Picture* Image1;
    QMenuBar* MainMenu1;
    QTimer* Timer2;
    QMenu* f;
    QMenu* N2;
    QMenu* N3;
    QAction* N11;
    QAction* N9;
    QAction* n7;
    QAction* N8;
    QAction* N12;
    QAction* N15;
    QAction* N14;
    QAction* N6;
    QAction* N10;
    QAction* N18;
    QAction* N4;
    QAction* N1;
    QAction* N19;
    QAction* N13;
    QAction* N16;
    QAction* N5;

public slots:
    void N11Click();
    void n7Click();
    void N12Click();
    void N14Click();
    void N6Click();
    void N18Click();
    void N1Click();
    void N13Click();
    void N16Click();
    void N5Click();
    void Timer2Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showBook(const QString& fileName, const QString& caption, const QString& summary);

    QString marquee_;
};

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

// The summary of the text shown in the viewer.
class TAbout_book1 : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_book1(QWidget* parent = nullptr);
    ~TAbout_book1() override;

    // The summary: several lines joined by a carriage return, shown one
    // under the other.
    void setSummary(const QString& summary);
    const QString& summary() const { return summary_; }

    ui::Picture* Image1;
    QLabel* StaticText1;
    QPushButton* Button1;

public slots:
    void Button1Click();

private:
    QString summary_;
};

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

extern TfmInterface* fmInterface;
extern TfmIntroduc* fmIntroduc;
extern TAbout* About;
extern Tbook_1* book_1;
extern TAbout_book1* About_book1;
extern TfmAyah* fmAyah;
extern TfmNote* fmNote;

}  // namespace qismar

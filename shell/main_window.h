// Qismar: the main window: title page, menu bar and marquee.
#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QTimer;

namespace qismar {

class EntryWindow;
namespace ui {
class Picture;
}  // namespace ui

// The main window: a title page with the menu bar from which the user
// reaches every other window.
class TfmInterface : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmInterface(QWidget* parent = nullptr);
    ~TfmInterface() override;

    // The heir-entry window that "دخول" shows and whose title carries the marquee.
    void setEntryWindow(EntryWindow* window) { entry_ = window; }

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
    EntryWindow* entry_ = nullptr;
};

// The program-wide reference to the one TfmInterface.
extern TfmInterface* fmInterface;

}  // namespace qismar

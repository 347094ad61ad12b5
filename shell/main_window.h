// Qismar: the main window: title page, menu bar and marquee.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>

#include "shell/book.h"

class QAction;
class QMenu;
class QTimer;

namespace qismar {

namespace ui {
class Picture;
}  // namespace ui

// The main window: a title page with the menu bar from which the user
// reaches every other window. It opens none of them itself: each command is
// a signal that the program answers by opening the window asked for (see
// Program), so that the main window knows no other window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The rotating text of the marquee (112 characters), which the
    // heir-entry window carries as its caption.
    const QString& marqueeText() const { return marquee_; }
    static QString initialMarqueeText();
    // Moves the marquee on by one character, as each tick of its timer does.
    void rotateMarquee();
    QTimer* marqueeTimer() const { return marqueeTimer_; }

    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* booksMenu() const { return booksMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }

    // "ملف"
    QAction* introductionAction() const { return introductionAction_; }  // "مقدمة"
    QAction* versesAction() const { return versesAction_; }              // "آيات الميراث"
    QAction* entryAction() const { return entryAction_; }                // "دخول"
    QAction* exitAction() const { return exitAction_; }                  // "خروج"
    // "كتب"
    QAction* sudaneseLawAction() const { return sudaneseLawAction_; }
    QAction* egyptianLawAction() const { return egyptianLawAction_; }
    QAction* nazmiyyaAction() const { return nazmiyyaAction_; }
    QAction* muhadhdhabAction() const { return muhadhdhabAction_; }
    // "تعليمات"
    QAction* noticeAction() const { return noticeAction_; }  // "تنبيه"
    QAction* aboutAction() const { return aboutAction_; }    // "حول"

    // Asked before the program quits ("خروج", the close box, Alt+F4): false
    // keeps the program running. Whoever holds a case sets it.
    void setQuitCheck(std::function<bool()> check) { quitCheck_ = std::move(check); }

signals:
    void introductionRequested();
    void versesRequested();
    void entryRequested();
    void bookRequested(const qismar::Book& book);
    void noticeRequested();
    void aboutRequested();
    // After every move of the marquee, with its whole text.
    void marqueeMoved(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createTitlePage();
    void createActions();
    void createMenus();
    void connectActions();
    void startMarquee();

    std::function<bool()> quitCheck_;
    QString marquee_;
    QTimer* marqueeTimer_ = nullptr;
    ui::Picture* titlePage_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* booksMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* introductionAction_ = nullptr;
    QAction* versesAction_ = nullptr;
    QAction* entryAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* sudaneseLawAction_ = nullptr;
    QAction* egyptianLawAction_ = nullptr;
    QAction* nazmiyyaAction_ = nullptr;
    QAction* muhadhdhabAction_ = nullptr;
    QAction* noticeAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
};

}  // namespace qismar

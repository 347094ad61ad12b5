// Qismar: the desktop program: the application object, the program object
// that owns every window and opens each one, and the start-up.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "shell/book.h"

class QWidget;

namespace qismar {

class AboutWindow;
class BookViewer;
class EntryWindow;
class IntroductionWindow;
class MainWindow;
class NoticeWindow;
class VersesWindow;

// The program's application object. Besides what QApplication does, an
// error that escapes a window's own handling is reported in the standard
// error box instead of ending the program.
class QismarApplication : public QApplication {
public:
    QismarApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Names, reading direction, translations and icon of the application.
void prepareApplication(QApplication& app);

// The program: it owns the main window and every other window, and answers
// the main window's commands by opening the window asked for. Only the main
// window is made with the program; each other window is made the first time
// it is opened, and lives until the program ends.
class Program : public QObject {
    Q_OBJECT
public:
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Reads the data files that the program needs from the start, without
    // making their windows, and reports each one that is missing or damaged
    // in the standard error box; the program goes on without it. Called
    // before the main window is shown.
    void checkDataFiles();

    // Shows the main window maximized.
    void showMainWindow();

    // The start of the program: the data files checked (each problem in
    // its error box), then the main window shown.
    void start();

    // Opens a case file at start-up, as a double click on it does: the
    // entry window shows the case, as "دخول" shows it. A file that is
    // refused is reported in one error box, and the main window stays as it
    // was.
    void openCaseAtStart(const QString& path);

    // The main window's commands.
    void showIntroduction();     // "مقدمة"
    void showVerses();           // "آيات الميراث"
    void openEntryWindow();      // "دخول"
    void showBook(const Book& book);  // the "كتب" menu
    void showNotice();           // "تنبيه"
    void showAboutDialog();      // "حول"

    MainWindow& mainWindow() { return *mainWindow_; }
    // The other windows, each made by its first call here.
    IntroductionWindow& introduction();
    BookViewer& bookViewer();
    VersesWindow& verses();
    NoticeWindow& notice();
    AboutWindow& about();
    // The heir-entry window, which owns its dialogs and the results window.
    EntryWindow& entryWindow();

    // The program's windows that exist, in the order they were made (the
    // entry window without the dialogs it owns).
    std::vector<QWidget*> windowsMade() const;

private:
    std::unique_ptr<MainWindow> mainWindow_;
    // The introduction as read at start-up (empty when it could not be read).
    QByteArray introductionText_;
    std::unique_ptr<IntroductionWindow> introduction_;
    std::unique_ptr<BookViewer> bookViewer_;
    std::unique_ptr<VersesWindow> verses_;
    std::unique_ptr<NoticeWindow> notice_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<EntryWindow> entryWindow_;
    std::vector<QWidget*> made_;
};

// Only the start-up benchmark's probe sets these (to note the times and
// quit); the program itself never does.
struct StartupOptions {
    // Called once from the event loop right after the main window was first
    // shown (it is mapped; it may not be painted yet).
    std::function<void()> afterFirstShow;
    // Called once from the event loop right after the main window's first
    // frame was drawn on the screen.
    std::function<void()> afterFirstFrame;
};

// The case file named on the command line: the first argument after the
// program's name that is not an option (the application object has already
// taken its own options out), or an empty text.
QString caseFileArgument(const QStringList& arguments);

// The whole program: start-up, the message loop until the main window
// closes, and the destruction of every window.
int runQismar(int& argc, char** argv, const StartupOptions& options = {});

}  // namespace qismar

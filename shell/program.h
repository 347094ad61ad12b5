// Qismar: start-up of the desktop program: the application object, the
// windows of the program created once in their fixed order, the main window.
#pragma once

#include <QApplication>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

namespace qismar {

class EntryWindow;

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

// The windows of the program, each created once, in the order in which the
// program depends on them: the main window first, then the entry window
// (which owns its dialogs and the results window), the introduction (which
// reads its text while it is created) after them.
// An error while a window is created is reported in the standard error box
// and creation goes on with the next window.
class ProgramWindows {
public:
    struct Entry {
        QString name;
        QWidget* window;
    };

    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // In order of creation.
    const std::vector<Entry>& windows() const { return windows_; }

    // Shows the main window maximized.
    void showMainWindow();

    // The heir-entry window ("دخول").
    EntryWindow* entryWindow() const noexcept { return entry_; }

private:
    template <class Window>
    Window* create(const char* name);

    std::vector<Entry> windows_;
    EntryWindow* entry_ = nullptr;
};

struct StartupOptions {
    // Called once from the event loop right after the main window was first
    // shown. Only the start-up benchmark's probe sets it (to note the time
    // and quit); the program itself never does.
    std::function<void()> afterFirstShow;
};

// The case file named on the command line: the first argument after the
// program's name that is not an option (the application object has already
// taken its own options out), or an empty text.
QString caseFileArgument(const QStringList& arguments);

// Opens a case file at start-up, as a double click on it does: the entry
// window shows the case, as "دخول" shows it. A file that is refused is
// reported in one error box, and the main window stays as it was.
void openCaseAtStart(const ProgramWindows& windows, const QString& path);

// The whole program: start-up, the message loop until the main window
// closes, and the destruction of every window.
int runQismar(int& argc, char** argv, const StartupOptions& options = {});

}  // namespace qismar

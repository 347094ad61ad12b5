#include "shell/program.h"

#include "entry/entry_window.h"
#include "shell/shell_windows.h"
#include "ui/ui_common.h"

#include <QFile>
#include <QIcon>
#include <QTimer>

#include <dlfcn.h>
#include <thread>

namespace qismar {

QismarApplication::QismarApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QismarApplication::notify(QObject* receiver, QEvent* event)
{
    // Last line of defence: a handler is expected to report its own errors.
    // An error met while such a report is on screen is not reported again,
    // so that a failing paint cannot stack error boxes without end.
    static bool reporting = false;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (!reporting) {
            reporting = true;
            ui::reportError(e, nullptr);
            reporting = false;
        }
    }
    return false;
}

void prepareApplication(QApplication& app)
{
    ui::installArabic(app);
    // The title of the standard error box. Only the name is set: a display
    // name would be appended to every window caption by the desktop.
    QCoreApplication::setApplicationName(QStringLiteral("القسمار"));
    QGuiApplication::setDesktopFileName(QStringLiteral("qismar"));
    QApplication::setWindowIcon(ui::programIcon());
}

template <class Window>
Window* ProgramWindows::create(const char* name)
{
    Window* window = nullptr;
    ui::guarded([&] { window = new Window(); });
    windows_.push_back({QString::fromLatin1(name), window});
    return window;
}

ProgramWindows::ProgramWindows()
{
    create<TfmInterface>("fmInterface");
    // The entry window owns its dialogs and the results window.
    entry_ = create<EntryWindow>("fmMain");
    if (fmInterface)
        fmInterface->setEntryWindow(entry_);
    if (TfmIntroduc* introduction = create<TfmIntroduc>("fmIntroduc")) {
        // The window exists whatever happens; only its text may be missing.
        ui::guarded([introduction] { introduction->FormCreate(); });
    }
    create<TAbout>("About");
    create<Tbook_1>("book_1");
    create<TAbout_book1>("About_book1");
    create<TfmAyah>("fmAyah");
    create<TfmNote>("fmNote");
}

ProgramWindows::~ProgramWindows()
{
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
        delete it->window;
}

void ProgramWindows::showMainWindow()
{
    if (!fmInterface)
        return;
    // Centred at its design size, for when it is restored from maximized.
    ui::centreOnScreen(fmInterface);
    fmInterface->showMaximized();
}

namespace {

// Runs an action from the event loop right after the first Show of the
// watched window.
class AfterFirstShow : public QObject {
public:
    explicit AfterFirstShow(std::function<void()> action) : action_(std::move(action)) {}
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, action_);
        }
        return false;
    }
private:
    std::function<void()> action_;
};

// Reading the font configuration is the longest single step of the first
// text layout, and the code page's converter tables are read when the
// introduction is first decoded. Both are process-wide caches whose
// initialisation is thread-safe, so they are filled on a second thread while
// the application object is being made, and the windows find them ready.
std::thread warmUpSharedCaches()
{
    return std::thread([] {
        if (void* library = dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD)) {
            using Init = int (*)();
            if (auto init = reinterpret_cast<Init>(dlsym(library, "FcInit")))
                init();
            dlclose(library);
        }
        ui::decodeCp1256(QByteArrayLiteral("\xC7"));
    });
}

}  // namespace

QString caseFileArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].startsWith(QLatin1Char('-')))
            return arguments[i];
    return QString();
}

void openCaseAtStart(const ProgramWindows& windows, const QString& path)
{
    bool opened = false;
    EntryWindow* entry = windows.entryWindow();
    ui::guarded([&] { opened = entry && entry->openCaseFile(path); });
    if (opened && fmInterface)
        fmInterface->N12Click();
}

int runQismar(int& argc, char** argv, const StartupOptions& options)
{
    std::thread warmUp = warmUpSharedCaches();
    QismarApplication app(argc, argv);
    prepareApplication(app);
    ProgramWindows windows;
    warmUp.join();
    AfterFirstShow afterShow(options.afterFirstShow);
    if (options.afterFirstShow && fmInterface)
        fmInterface->installEventFilter(&afterShow);
    windows.showMainWindow();
    if (!fmInterface)
        return 1;
    if (const QString path = caseFileArgument(QCoreApplication::arguments()); !path.isEmpty())
        QTimer::singleShot(0, &app, [&windows, path] { openCaseAtStart(windows, path); });
    return app.exec();
}

}  // namespace qismar

// Qismar: the desktop program: the application object, the program object
// that owns and opens the windows, and the start-up.
#include "shell/program.h"

#include "entry/entry_window.h"
#include "shell/about_window.h"
#include "shell/book_viewer.h"
#include "shell/introduction_window.h"
#include "shell/main_window.h"
#include "shell/notice_window.h"
#include "shell/verses_window.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <QWindow>

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

// ---------------------------------------------------------------- Program

Program::Program() : mainWindow_(std::make_unique<MainWindow>())
{
    made_.push_back(mainWindow_.get());
    MainWindow* main = mainWindow_.get();
    // Each command runs guarded: an error is reported over the main window,
    // and the program carries on.
    const auto answer = [this, main](auto signal, void (Program::*command)()) {
        connect(main, signal, this, [this, main, command] { ui::guarded([&] { (this->*command)(); }, main); });
    };
    answer(&MainWindow::introductionRequested, &Program::showIntroduction);
    answer(&MainWindow::versesRequested, &Program::showVerses);
    answer(&MainWindow::entryRequested, &Program::openEntryWindow);
    answer(&MainWindow::noticeRequested, &Program::showNotice);
    answer(&MainWindow::aboutRequested, &Program::showAboutDialog);
    connect(main, &MainWindow::bookRequested, this,
            [this, main](const Book& book) { ui::guarded([&] { showBook(book); }, main); });
    // A case typed and not saved is not lost by quitting: the entry window
    // asks first, when it was ever made.
    main->setQuitCheck([this] {
        bool mayQuit = true;
        if (entryWindow_)
            ui::guarded([&] { mayQuit = entryWindow_->confirmLeavingCase(); }, mainWindow_.get());
        return mayQuit;
    });
}

Program::~Program()
{
    // The other windows go first (none of them refers to another), the main
    // window, whose marquee the entry window follows, last.
    entryWindow_.reset();
    about_.reset();
    notice_.reset();
    verses_.reset();
    bookViewer_.reset();
    introduction_.reset();
    mainWindow_.reset();
}

void Program::checkDataFiles()
{
    // The introduction is read now, so that a missing or refused file is
    // reported while the program starts; its window, made when "مقدمة" is
    // first chosen, shows what was read here.
    introductionText_.clear();
    ui::guarded([this] { introductionText_ = readIntroduction(); });
    if (introduction_)
        introduction_->setText(introductionText_);
}

void Program::showMainWindow()
{
    // Centred at its design size, for when it is restored from maximized.
    ui::centreOnScreen(mainWindow_.get());
    mainWindow_->showMaximized();
}

void Program::start()
{
    checkDataFiles();
    showMainWindow();
}

IntroductionWindow& Program::introduction()
{
    if (!introduction_) {
        introduction_ = std::make_unique<IntroductionWindow>();
        introduction_->setText(introductionText_);
        made_.push_back(introduction_.get());
    }
    return *introduction_;
}

BookViewer& Program::bookViewer()
{
    if (!bookViewer_) {
        bookViewer_ = std::make_unique<BookViewer>();
        made_.push_back(bookViewer_.get());
    }
    return *bookViewer_;
}

VersesWindow& Program::verses()
{
    if (!verses_) {
        verses_ = std::make_unique<VersesWindow>();
        made_.push_back(verses_.get());
    }
    return *verses_;
}

NoticeWindow& Program::notice()
{
    if (!notice_) {
        notice_ = std::make_unique<NoticeWindow>();
        made_.push_back(notice_.get());
    }
    return *notice_;
}

AboutWindow& Program::about()
{
    if (!about_) {
        about_ = std::make_unique<AboutWindow>();
        made_.push_back(about_.get());
    }
    return *about_;
}

EntryWindow& Program::entryWindow()
{
    if (!entryWindow_) {
        entryWindow_ = std::make_unique<EntryWindow>();
        // Its caption carries the marquee from the marquee's next move on.
        connect(mainWindow_.get(), &MainWindow::marqueeMoved, entryWindow_.get(), &QWidget::setWindowTitle);
        made_.push_back(entryWindow_.get());
    }
    return *entryWindow_;
}

std::vector<QWidget*> Program::windowsMade() const
{
    return made_;
}

void Program::showIntroduction()
{
    ui::showModal(&introduction());
}

void Program::showVerses()
{
    VersesWindow& window = verses();
    window.openRecitation();
    ui::showModal(&window);
}

void Program::openEntryWindow()
{
    ui::showModal(&entryWindow());
}

void Program::showBook(const Book& book)
{
    // Reading comes first: a file that cannot be read leaves the viewer,
    // its caption and its summary as they were (and makes no viewer).
    const QString text = ui::readTextFile(book.fileName);
    BookViewer& viewer = bookViewer();
    viewer.setBook(book, text);
    ui::showModal(&viewer);
}

void Program::showNotice()
{
    ui::showModal(&notice());
}

void Program::showAboutDialog()
{
    AboutWindow& window = about();
    window.startAnimation();
    ui::showModal(&window);
}

void Program::openCaseAtStart(const QString& path)
{
    bool opened = false;
    ui::guarded([&] { opened = entryWindow().openCaseFile(path); });
    if (opened)
        ui::guarded([this] { openEntryWindow(); }, mainWindow_.get());
}

// ---------------------------------------------------------------- start-up

namespace {

// Runs the start-up options' actions from the event loop: one right after
// the watched window's first Show, one right after its first frame was
// drawn (the window is shown, its surface on the screen, or the platform's
// stand-in for it, is exposed, and the handling of that exposure has
// painted and flushed the whole window).
class StartupWatch : public QObject {
public:
    StartupWatch(QWidget* window, const StartupOptions& options) : window_(window), options_(options)
    {
        window_->installEventFilter(this);
    }
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            window_->removeEventFilter(this);
            if (options_.afterFirstShow)
                QTimer::singleShot(0, qApp, options_.afterFirstShow);
            if (window_->windowHandle())
                window_->windowHandle()->installEventFilter(this);
        } else if (watched == window_->windowHandle() && event->type() == QEvent::Expose
                   && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            // Queued: it runs once the exposure, which paints, is handled.
            if (options_.afterFirstFrame)
                QTimer::singleShot(0, qApp, options_.afterFirstFrame);
        }
        return false;
    }
private:
    QWidget* window_;
    StartupOptions options_;
};

// Reading the font configuration is the longest single step of the first
// text layout. It is a process-wide cache whose initialisation is
// thread-safe, so it is filled on a second thread while the application
// object is being made, and the main window's menus find it ready.
std::thread warmUpFontConfiguration()
{
    return std::thread([] {
        if (void* library = dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD)) {
            using Init = int (*)();
            if (auto init = reinterpret_cast<Init>(dlsym(library, "FcInit")))
                init();
            dlclose(library);
        }
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

int runQismar(int& argc, char** argv, const StartupOptions& options)
{
    std::thread warmUp = warmUpFontConfiguration();
    QismarApplication app(argc, argv);
    prepareApplication(app);
    std::unique_ptr<Program> made;
    ui::guarded([&] { made = std::make_unique<Program>(); });
    warmUp.join();
    if (!made)
        return 1;
    Program& program = *made;
    std::unique_ptr<StartupWatch> watch;
    if (options.afterFirstShow || options.afterFirstFrame)
        watch = std::make_unique<StartupWatch>(&program.mainWindow(), options);
    program.start();
    if (const QString path = caseFileArgument(QCoreApplication::arguments()); !path.isEmpty())
        QTimer::singleShot(0, &program, [&program, path] { program.openCaseAtStart(path); });
    return app.exec();
}

}  // namespace qismar

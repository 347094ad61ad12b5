// The main window: title page, menu bar, and the marquee that scrolls
// through the caption of the heir-entry window.
#include "shell/main_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace qismar {

namespace {

// The works of the "كتب" menu, in its order.
const Book& sudaneseLaw()
{
    static const Book book{
        QStringLiteral("qanoon2.txt"), QStringLiteral("نص القانون السوداني"),
        QStringLiteral("نص القانون السوداني\rقانون الأحوال الشخصية للمسلمين\rلسنة 1991م\rالكتاب الخامس: الإرث")};
    return book;
}

const Book& egyptianLaw()
{
    static const Book book{QStringLiteral("massri.txt"), QStringLiteral("نص القانون المصري"),
                           QStringLiteral("نص القانون المصري\rرقم 77\rلسنة 1943\r")};
    return book;
}

const Book& nazmiyya()
{
    static const Book book{
        QStringLiteral("Nzmya.txt"), QStringLiteral("النظيمية"),
        QStringLiteral("اسم الكتاب: النظيمية\rالمؤلف: الإمام النظيمي\rملحوظة: أرجوزة في علم الفرائض على المذهب الشافعي")};
    return book;
}

const Book& muhadhdhab()
{
    static const Book book{
        QStringLiteral("mohazab.txt"), QStringLiteral("المهذب"),
        QStringLiteral(
            "اسم الكتاب: المهذب\rالمؤلف: الكتبيري\rملحوظة: هذا النص يمثل باباً من الكتاب الذي هو من\rكتب الفقه الشافعي")};
    return book;
}

// A menu command; the object name is the one the layout gave it, which the
// tests use to list the menus.
QAction* command(const char* objectName, const QString& caption, QObject* owner)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

void addSeparator(QMenu* menu, const char* objectName)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(objectName));
}

}  // namespace

QString MainWindow::initialMarqueeText()
{
    return QStringLiteral("برنامج القسمار  ").repeated(7);
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), marquee_(initialMarqueeText())
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("برنامج القسمار"));
    // System menu with close, and a minimize box; no maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(643, 492);

    createTitlePage();
    createActions();
    createMenus();
    connectActions();
    startMarquee();
}

MainWindow::~MainWindow() = default;

void MainWindow::createTitlePage()
{
    titlePage_ = new ui::Picture(QStringLiteral(":/pictures/interface.svg"), this);
    titlePage_->setAttribute(Qt::WA_TransparentForMouseEvents);
    titlePage_->setObjectName(QStringLiteral("titlePage"));
    setCentralWidget(titlePage_);
}

void MainWindow::createActions()
{
    introductionAction_ = command("N11", QStringLiteral("مقدمة"), this);
    versesAction_ = command("n7", QStringLiteral("آيات الميراث"), this);
    entryAction_ = command("N12", QStringLiteral("دخول"), this);
    exitAction_ = command("N14", QStringLiteral("خروج"), this);
    sudaneseLawAction_ = command("N6", sudaneseLaw().caption, this);
    egyptianLawAction_ = command("N18", egyptianLaw().caption, this);
    nazmiyyaAction_ = command("N1", nazmiyya().caption, this);
    muhadhdhabAction_ = command("N13", muhadhdhab().caption, this);
    noticeAction_ = command("N16", QStringLiteral("تنبيه"), this);
    aboutAction_ = command("N5", QStringLiteral("حول"), this);
}

void MainWindow::createMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setNativeMenuBar(false);
    // An Arabic face for the menus, so their captions need no fallback face.
    const QFont menuFont = ui::layoutFont(QStringLiteral("Tahoma"), 14);
    bar->setFont(menuFont);
    bar->setLayoutDirection(Qt::RightToLeft);

    fileMenu_ = bar->addMenu(QStringLiteral("ملف"));
    fileMenu_->setObjectName(QStringLiteral("f"));
    fileMenu_->addAction(introductionAction_);
    addSeparator(fileMenu_, "N9");
    fileMenu_->addAction(versesAction_);
    addSeparator(fileMenu_, "N8");
    fileMenu_->addAction(entryAction_);
    addSeparator(fileMenu_, "N15");
    fileMenu_->addAction(exitAction_);

    booksMenu_ = bar->addMenu(QStringLiteral("كتب"));
    booksMenu_->setObjectName(QStringLiteral("N2"));
    booksMenu_->addAction(sudaneseLawAction_);
    addSeparator(booksMenu_, "N10");
    booksMenu_->addAction(egyptianLawAction_);
    addSeparator(booksMenu_, "N4");
    booksMenu_->addAction(nazmiyyaAction_);
    addSeparator(booksMenu_, "N19");
    booksMenu_->addAction(muhadhdhabAction_);

    helpMenu_ = bar->addMenu(QStringLiteral("تعليمات"));
    helpMenu_->setObjectName(QStringLiteral("N3"));
    helpMenu_->addAction(noticeAction_);
    helpMenu_->addAction(aboutAction_);

    for (QMenu* menu : {fileMenu_, booksMenu_, helpMenu_}) {
        menu->setFont(menuFont);
        // Arabic menus: items start at the right, whatever the application's direction.
        menu->setLayoutDirection(Qt::RightToLeft);
    }
}

void MainWindow::connectActions()
{
    connect(introductionAction_, &QAction::triggered, this, &MainWindow::introductionRequested);
    connect(versesAction_, &QAction::triggered, this, &MainWindow::versesRequested);
    connect(entryAction_, &QAction::triggered, this, &MainWindow::entryRequested);
    connect(exitAction_, &QAction::triggered, this, &MainWindow::close);
    const auto book = [this](QAction* action, const Book& which) {
        connect(action, &QAction::triggered, this, [this, &which] { emit bookRequested(which); });
    };
    book(sudaneseLawAction_, sudaneseLaw());
    book(egyptianLawAction_, egyptianLaw());
    book(nazmiyyaAction_, nazmiyya());
    book(muhadhdhabAction_, muhadhdhab());
    connect(noticeAction_, &QAction::triggered, this, &MainWindow::noticeRequested);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::aboutRequested);
}

void MainWindow::startMarquee()
{
    marqueeTimer_ = new QTimer(this);
    marqueeTimer_->setObjectName(QStringLiteral("Timer2"));
    marqueeTimer_->setInterval(150);
    connect(marqueeTimer_, &QTimer::timeout, this, &MainWindow::rotateMarquee);
    marqueeTimer_->start();
}

void MainWindow::rotateMarquee()
{
    // The first character goes to the end.
    if (!marquee_.isEmpty())
        marquee_ = marquee_.mid(1) + marquee_.at(0);
    emit marqueeMoved(marquee_);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, once whoever holds a case
    // that was not saved has had its say.
    if (quitCheck_ && !quitCheck_()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

}  // namespace qismar

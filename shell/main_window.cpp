// The main window: title page, menu bar, and the marquee that scrolls
// through the caption of the heir-entry window.
#include "shell/main_window.h"
#include "shell/shell_windows.h"

#include "entry/entry_window.h"
#include "shell/media_control.h"
#include "ui/picture.h"
#include "ui/text_area.h"
#include "ui/text_file.h"
#include "ui/ui_common.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

namespace qismar {

TfmInterface* fmInterface = nullptr;

namespace {

// What each book command loads, how the viewer is captioned, and the
// summary shown by "نبذة" (lines joined by a carriage return).
struct BookSource {
    const char16_t* fileName;
    const char16_t* caption;
    const char16_t* summary;
};

constexpr BookSource kSudaneseLaw = {
    u"qanoon2.txt", u"نص القانون السوداني",
    u"نص القانون السوداني\rقانون الأحوال الشخصية للمسلمين\rلسنة 1991م\rالكتاب الخامس: الإرث"};
constexpr BookSource kEgyptianLaw = {u"massri.txt", u"نص القانون المصري", u"نص القانون المصري\rرقم 77\rلسنة 1943\r"};
constexpr BookSource kNazmiyya = {
    u"Nzmya.txt", u"النظيمية",
    u"اسم الكتاب: النظيمية\rالمؤلف: الإمام النظيمي\rملحوظة: أرجوزة في علم الفرائض على المذهب الشافعي"};
constexpr BookSource kMuhadhdhab = {
    u"mohazab.txt", u"المهذب",
    u"اسم الكتاب: المهذب\rالمؤلف: الكتبيري\rملحوظة: هذا النص يمثل باباً من الكتاب الذي هو من\rكتب الفقه الشافعي"};

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

}  // namespace

QString TfmInterface::initialMarqueeText()
{
    return QStringLiteral("برنامج القسمار  ").repeated(7);
}

TfmInterface::TfmInterface(QWidget* parent)
    : QMainWindow(parent), marquee_(initialMarqueeText())
{
    fmInterface = this;
    setObjectName(QStringLiteral("fmInterface"));
    setWindowTitle(QStringLiteral("برنامج القسمار"));
    // System menu with close, and a minimize box; no maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(643, 492);

    Image1 = new ui::Picture(QStringLiteral(":/pictures/interface.svg"), this);
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->setObjectName(QStringLiteral("Image1"));
    setCentralWidget(Image1);

    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    // An Arabic face for the menus, so their captions need no fallback face.
    const QFont menuFont = ui::layoutFont(QStringLiteral("Tahoma"), 14);
    MainMenu1->setFont(menuFont);
    MainMenu1->setLayoutDirection(Qt::RightToLeft);
    f = MainMenu1->addMenu(QStringLiteral("ملف"));
    f->setObjectName(QStringLiteral("f"));
    f->setFont(menuFont);
    N11 = addItem(f, "N11", QStringLiteral("مقدمة"));
    N9 = addSeparator(f, "N9");
    n7 = addItem(f, "n7", QStringLiteral("آيات الميراث"));
    N8 = addSeparator(f, "N8");
    N12 = addItem(f, "N12", QStringLiteral("دخول"));
    N15 = addSeparator(f, "N15");
    N14 = addItem(f, "N14", QStringLiteral("خروج"));

    N2 = MainMenu1->addMenu(QStringLiteral("كتب"));
    N2->setObjectName(QStringLiteral("N2"));
    N2->setFont(menuFont);
    N6 = addItem(N2, "N6", QStringLiteral("نص القانون السوداني"));
    N10 = addSeparator(N2, "N10");
    N18 = addItem(N2, "N18", QStringLiteral("نص القانون المصري"));
    N4 = addSeparator(N2, "N4");
    N1 = addItem(N2, "N1", QStringLiteral("النظيمية"));
    N19 = addSeparator(N2, "N19");
    N13 = addItem(N2, "N13", QStringLiteral("المهذب"));

    N3 = MainMenu1->addMenu(QStringLiteral("تعليمات"));
    N3->setObjectName(QStringLiteral("N3"));
    N3->setFont(menuFont);
    // Arabic menus: items start at the right, whatever the application's direction.
    for (QMenu* menu : {f, N2, N3})
        menu->setLayoutDirection(Qt::RightToLeft);
    N16 = addItem(N3, "N16", QStringLiteral("تنبيه"));
    N5 = addItem(N3, "N5", QStringLiteral("حول"));

    const auto bind = [this](QAction* action, void (TfmInterface::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    bind(N11, &TfmInterface::N11Click);
    bind(n7, &TfmInterface::n7Click);
    bind(N12, &TfmInterface::N12Click);
    bind(N14, &TfmInterface::N14Click);
    bind(N6, &TfmInterface::N6Click);
    bind(N18, &TfmInterface::N18Click);
    bind(N1, &TfmInterface::N1Click);
    bind(N13, &TfmInterface::N13Click);
    bind(N16, &TfmInterface::N16Click);
    bind(N5, &TfmInterface::N5Click);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(150);
    connect(Timer2, &QTimer::timeout, this, &TfmInterface::Timer2Timer);
    Timer2->start();
}

TfmInterface::~TfmInterface()
{
    if (fmInterface == this)
        fmInterface = nullptr;
}

void TfmInterface::Timer2Timer()
{
    // Rotate the text by one character towards its start.
    if (!marquee_.isEmpty())
        marquee_ = marquee_.mid(1) + marquee_.at(0);
    if (entry_)
        entry_->setWindowTitle(marquee_);
}

void TfmInterface::N11Click()
{
    ui::guarded([] { ui::showModal(fmIntroduc); }, this);
}

void TfmInterface::n7Click()
{
    ui::guarded(
        [] {
            if (!fmAyah)
                return;
            fmAyah->openRecitation();
            ui::showModal(fmAyah);
        },
        this);
}

void TfmInterface::N12Click()
{
    ui::guarded([this] { ui::showModal(entry_); }, this);
}

void TfmInterface::N14Click()
{
    close();
}

void TfmInterface::showBook(const QString& fileName, const QString& caption, const QString& summary)
{
    ui::guarded(
        [&] {
            // Reading comes first: a file that cannot be read leaves the
            // viewer, its caption and the summary as they were.
            const QString text = ui::readTextFile(fileName);
            if (!book_1 || !About_book1)
                return;
            book_1->Memo1->setTextForShowing(text);
            book_1->setWindowTitle(caption);
            About_book1->setSummary(summary);
            ui::showModal(book_1);
        },
        this);
}

void TfmInterface::N6Click()
{
    showBook(QString::fromUtf16(kSudaneseLaw.fileName), QString::fromUtf16(kSudaneseLaw.caption),
             QString::fromUtf16(kSudaneseLaw.summary));
}

void TfmInterface::N18Click()
{
    showBook(QString::fromUtf16(kEgyptianLaw.fileName), QString::fromUtf16(kEgyptianLaw.caption),
             QString::fromUtf16(kEgyptianLaw.summary));
}

void TfmInterface::N1Click()
{
    showBook(QString::fromUtf16(kNazmiyya.fileName), QString::fromUtf16(kNazmiyya.caption),
             QString::fromUtf16(kNazmiyya.summary));
}

void TfmInterface::N13Click()
{
    showBook(QString::fromUtf16(kMuhadhdhab.fileName), QString::fromUtf16(kMuhadhdhab.caption),
             QString::fromUtf16(kMuhadhdhab.summary));
}

void TfmInterface::N16Click()
{
    ui::guarded([] { ui::showModal(fmNote); }, this);
}

void TfmInterface::N5Click()
{
    ui::guarded(
        [] {
            if (!About)
                return;
            About->startAnimation();
            ui::showModal(About);
        },
        this);
}

void TfmInterface::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program: nothing is asked and
    // nothing is kept.
    event->accept();
    QCoreApplication::quit();
}

}  // namespace qismar

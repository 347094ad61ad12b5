// The reading windows: the introduction, the text viewer and its summary.
#include "shell_windows.h"

#include "picture.h"
#include "text_area.h"
#include "text_file.h"
#include "fitted_label.h"
#include "ui_common.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace qismar {

TfmIntroduc* fmIntroduc = nullptr;
Tbook_1* book_1 = nullptr;
TAbout_book1* About_book1 = nullptr;

namespace {

const QColor& kMaroon = ui::kTextMaroon;
const QSize kSummaryBox(320, 140);

QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace


namespace {

// A text area with the given colours and font, right to left, with a
// vertical scroll bar and lines wrapped at the edge.
ui::TextArea* makeMemo(QWidget* parent, const QColor& background, const QColor& text, const QFont& font)
{
    auto* memo = new ui::TextArea(font, parent);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setLayoutDirection(Qt::RightToLeft);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, text);
    memo->setPalette(palette);
    return memo;
}

}  // namespace

// ---------------------------------------------------------------- introduction

TfmIntroduc::TfmIntroduc(QWidget* parent) : QDialog(parent)
{
    fmIntroduc = this;
    setObjectName(QStringLiteral("fmIntroduc"));
    setWindowTitle(QStringLiteral("المقدمة"));
    // A title bar without any buttons: "تم" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(640, 479);

    ui::centreOnFirstShow(this);
    Image1 = ui::Picture::background(QStringLiteral(":/pictures/introduction.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    Memo1 = makeMemo(this, QColor(255, 255, 128), kMaroon, ui::layoutFont(QStringLiteral("Simplified Arabic"), 16, true));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(71, 64, 497, 297);
    Memo1->setAccessibleName(QStringLiteral("المقدمة"));

    Button1 = makeButton(QStringLiteral("تم"), "Button1", this);
    Button1->setGeometry(282, 395, 75, 28);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfmIntroduc::Button1Click);
}

TfmIntroduc::~TfmIntroduc()
{
    if (fmIntroduc == this)
        fmIntroduc = nullptr;
}

void TfmIntroduc::FormCreate()
{
    // Read now, so that a missing file is reported while the program starts;
    // laid out in the text area when the window is first shown.
    Memo1->setTextForShowing(ui::readTextFile(QStringLiteral("introduc.txt")));
}

void TfmIntroduc::Button1Click()
{
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- text viewer

Tbook_1::Tbook_1(QWidget* parent) : QDialog(parent)
{
    book_1 = this;
    setObjectName(QStringLiteral("book_1"));
    setWindowTitle(QStringLiteral("كتاب المهذب"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(620, 450);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);

    // The top row: "نبذة" at the side where reading starts.
    auto* top = new QHBoxLayout;
    Button1 = makeButton(QStringLiteral("نبذة"), "Button1", this);
    Button1->setMinimumWidth(75);
    top->addWidget(Button1);
    top->addStretch();
    layout->addLayout(top);

    // The picture below the top row, with the text area lying on it.
    ui::centreOnFirstShow(this);
    Image1 = new ui::Picture(QStringLiteral(":/pictures/viewer.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setMinimumSize(200, 150);
    auto* onPicture = new QVBoxLayout(Image1);
    onPicture->setContentsMargins(41, 26, 42, 26);
    Memo1 = makeMemo(Image1, QColor(255, 128, 0), ui::kTextBlue, ui::layoutFont(QStringLiteral("Mudir MT"), 19, true));
    Memo1->setAccessibleName(QStringLiteral("النص"));
    onPicture->addWidget(Memo1);
    layout->addWidget(Image1, 1);

    auto* bottom = new QHBoxLayout;
    Button3 = makeButton(QStringLiteral("تم"), "Button3", this);
    Button3->setMinimumWidth(75);
    Button3->setDefault(true);
    bottom->addStretch();
    bottom->addWidget(Button3);
    bottom->addStretch();
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &Tbook_1::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Tbook_1::Button3Click);
}

Tbook_1::~Tbook_1()
{
    if (book_1 == this)
        book_1 = nullptr;
}

void Tbook_1::Button1Click()
{
    ui::guarded([] { ui::showModal(About_book1); }, this);
}

void Tbook_1::Button3Click()
{
    done(QDialog::Accepted);
}

// ---------------------------------------------------------------- summary

TAbout_book1::TAbout_book1(QWidget* parent) : QDialog(parent)
{
    About_book1 = this;
    setObjectName(QStringLiteral("About_book1"));
    setWindowTitle(QStringLiteral("نبذة"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    resize(388, 245);

    ui::centreOnFirstShow(this);
    Image1 = ui::Picture::background(QStringLiteral(":/pictures/summary.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    // The summary box is larger than the layout's 289 x 113, and its font
    // gives way where needed, so that the longest summary shows whole.
    StaticText1 = new ui::FittedLabel(this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setFixedSize(kSummaryBox);
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setLineWidth(2);
    StaticText1->setFont(ui::layoutFont(QStringLiteral("Traditional Arabic"), 16, true));
    StaticText1->setAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    StaticText1->setWordWrap(true);
    StaticText1->setTextFormat(Qt::PlainText);
    StaticText1->setAutoFillBackground(true);
    QPalette palette = StaticText1->palette();
    palette.setColor(QPalette::WindowText, kMaroon);
    StaticText1->setPalette(palette);
    StaticText1->setContentsMargins(6, 0, 6, 0);
    setSummary(QStringLiteral("أرجوزة على المذهب الشافعي"));

    Button1 = makeButton(QStringLiteral("تم"), "Button1", this);
    Button1->setMinimumWidth(75);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAbout_book1::Button1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 16, 12, 14);
    layout->addStretch();
    layout->addWidget(StaticText1, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
}

TAbout_book1::~TAbout_book1()
{
    if (About_book1 == this)
        About_book1 = nullptr;
}

void TAbout_book1::setSummary(const QString& summary)
{
    summary_ = summary;
    QString shown = summary;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    StaticText1->setText(shown);
    StaticText1->setAccessibleName(shown);
}

void TAbout_book1::Button1Click()
{
    done(QDialog::Accepted);
}

}  // namespace qismar

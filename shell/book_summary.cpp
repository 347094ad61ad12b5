// The summary of the text in the viewer, shown by "نبذة".
#include "shell/book_summary.h"

#include "ui/fitted_label.h"
#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QPushButton>

namespace qismar {

TAbout_book1* About_book1 = nullptr;

namespace {

const QSize kSummaryBox(320, 140);

}  // namespace

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
    palette.setColor(QPalette::WindowText, ui::kTextMaroon);
    StaticText1->setPalette(palette);
    StaticText1->setContentsMargins(6, 0, 6, 0);
    setSummary(QStringLiteral("أرجوزة على المذهب الشافعي"));

    Button1 = ui::pushButton(QStringLiteral("تم"), "Button1", this);
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

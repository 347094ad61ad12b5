// The About window, whose caption and credit lines are brought in by a
// three-stage animation at every opening.
#include "shell/about_window.h"

#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace qismar {

TAbout* About = nullptr;

QString TAbout::titleText()
{
    return QStringLiteral("حول برنامج القسمار");
}

QString TAbout::creditPrefix()
{
    return QStringLiteral("برمجة: ");
}

TAbout::TAbout(QWidget* parent) : QDialog(parent), captionBuffer_(kCaptionLength, QLatin1Char(' '))
{
    About = this;
    setObjectName(QStringLiteral("About"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    // Wider than the layout's 277, so that the title fits the caption.
    resize(320, 221);
    ui::centreOnFirstShow(this);

    Image1 = ui::Picture::background(QStringLiteral(":/pictures/about.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));

    const QColor maroon(128, 0, 0);
    Label1 = ui::plainLabel("Label1", QString(), ui::layoutFont(QStringLiteral("Mudir MT"), 19, true), maroon, this);
    Label2 = ui::plainLabel("Label2", QStringLiteral("فريق تطوير القسمار"), ui::layoutFont(QStringLiteral("Tahoma"), 16, true),
                       ui::kTextRed, this);
    Label3 = ui::plainLabel("Label3", QStringLiteral("الإصدار الأول"), ui::layoutFont(QStringLiteral("Tahoma"), 16, true),
                       ui::kTextNavy, this);
    Label4 = ui::plainLabel("Label4", QStringLiteral("الخرطوم 2026"), ui::layoutFont(QStringLiteral("Tahoma"), 13, true),
                       maroon, this);
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        // Lines that are still hidden keep their place, so nothing jumps
        // when they appear.
        QSizePolicy policy = label->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
    }
    Label2->hide();
    Label3->hide();
    Label4->hide();

    Button1 = new QPushButton(QStringLiteral("تم"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setMinimumWidth(75);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TAbout::Button1Click);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 14, 12, 12);
    layout->setSpacing(2);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addWidget(Label4);
    layout->addStretch();
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(1500);
    connect(Timer1, &QTimer::timeout, this, &TAbout::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TAbout::Timer2Timer);
    connect(Timer3, &QTimer::timeout, this, &TAbout::Timer3Timer);
}

TAbout::~TAbout()
{
    if (About == this)
        About = nullptr;
}

void TAbout::startAnimation()
{
    typedCount_ = 0;
    Timer2->start();
    letterIndex_ = 1;
    slideCounter_ = 0;
    Timer1->start();
}

void TAbout::Timer1Timer()
{
    const QString title = titleText();
    const int letters = int(title.size());
    // Nothing to move before an opening, nor once the last letter is home.
    if (letterIndex_ < 1 || letterIndex_ > letters
        || (letterIndex_ == letters && kCaptionLength - slideCounter_ == letters)) {
        Timer1->stop();
        return;
    }
    if (kCaptionLength - slideCounter_ == letterIndex_) {
        ++letterIndex_;
        slideCounter_ = 0;
    }
    ++slideCounter_;
    // Positions count from 1: the letter moves to 40 - slide and leaves a
    // blank at the place it has just left.
    captionBuffer_[kCaptionLength - slideCounter_ - 1] = title.at(letterIndex_ - 1);
    captionBuffer_[kCaptionLength - slideCounter_] = QLatin1Char(' ');
    showCaption();
    if (letterIndex_ == letters && kCaptionLength - slideCounter_ == letters)
        Timer1->stop();
}

void TAbout::Timer2Timer()
{
    const QString prefix = creditPrefix();
    if (typedCount_ >= prefix.size()) {
        Timer2->stop();
        return;
    }
    ++typedCount_;
    Label1->setText(Label1->text() + prefix.at(typedCount_ - 1));
    if (typedCount_ == prefix.size()) {
        Timer2->stop();
        Timer3->start();
    }
}

void TAbout::Timer3Timer()
{
    ++revealStep_;
    switch (revealStep_) {
    case 1: Label2->show(); break;
    case 2: Label3->show(); break;
    case 3: Label4->show(); break;
    case 4: Timer3->stop(); break;
    default: break;
    }
}

void TAbout::reset()
{
    Label1->clear();
    Label2->hide();
    Label3->hide();
    Label4->hide();
    captionBuffer_ = QString(kCaptionLength, QLatin1Char(' '));
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    revealStep_ = 0;
    showCaption();
}

void TAbout::showCaption()
{
    // The blanks after the last letter are not shown: they would only push
    // the title out of the title bar.
    QString shown = captionBuffer_;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    setWindowTitle(shown);
}

void TAbout::Button1Click()
{
    reset();
    accept();
}

void TAbout::done(int result)
{
    // Closing by the close box or Escape resets the window as "تم" does,
    // so the next opening starts from an idle window.
    reset();
    QDialog::done(result);
}

void TAbout::setVisible(bool visible)
{
    // The typed line keeps the height of its text while it is still empty,
    // so the lines below do not move; measured when the window is first
    // shown, not while the program starts (measuring text loads fonts).
    if (visible && Label1->minimumHeight() == 0)
        Label1->setMinimumHeight(QFontMetrics(Label1->font()).height());
    QDialog::setVisible(visible);
}

}  // namespace qismar

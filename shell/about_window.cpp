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

QString AboutWindow::titleText()
{
    return QStringLiteral("حول برنامج القسمار");
}

QString AboutWindow::creditPrefix()
{
    return QStringLiteral("برمجة: ");
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent), captionBuffer_(kCaptionLength, QLatin1Char(' '))
{
    setObjectName(QStringLiteral("About"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    setLayoutDirection(Qt::RightToLeft);
    // Wider than the layout's 277, so that the title fits the caption.
    resize(320, 221);
    ui::centreOnFirstShow(this);

    picture_ = ui::Picture::background(QStringLiteral(":/pictures/about.svg"), this);
    picture_->setObjectName(QStringLiteral("picture"));
    createLines();
    createTimers();
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::createLines()
{
    const QColor maroon(128, 0, 0);
    creditLine_ = ui::plainLabel("creditLine", QString(), ui::layoutFont(QStringLiteral("Mudir MT"), 19, true), maroon, this);
    teamLine_ = ui::plainLabel("teamLine", QStringLiteral("فريق تطوير القسمار"),
                               ui::layoutFont(QStringLiteral("Tahoma"), 16, true), ui::kTextRed, this);
    editionLine_ = ui::plainLabel("editionLine", QStringLiteral("الإصدار الأول"),
                                  ui::layoutFont(QStringLiteral("Tahoma"), 16, true), ui::kTextNavy, this);
    placeLine_ = ui::plainLabel("placeLine", QStringLiteral("الخرطوم 2026"),
                                ui::layoutFont(QStringLiteral("Tahoma"), 13, true), maroon, this);
    for (QLabel* line : {creditLine_, teamLine_, editionLine_, placeLine_}) {
        // Lines that are still hidden keep their place, so nothing jumps
        // when they appear.
        QSizePolicy policy = line->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        line->setSizePolicy(policy);
    }
    teamLine_->hide();
    editionLine_->hide();
    placeLine_->hide();

    doneButton_ = new QPushButton(QStringLiteral("تم"), this);
    doneButton_->setObjectName(QStringLiteral("doneButton"));
    doneButton_->setMinimumWidth(75);
    doneButton_->setDefault(true);
    // done() resets the window, however it is closed.
    connect(doneButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 14, 12, 12);
    layout->setSpacing(2);
    for (QLabel* line : {creditLine_, teamLine_, editionLine_, placeLine_})
        layout->addWidget(line);
    layout->addStretch();
    layout->addWidget(doneButton_, 0, Qt::AlignHCenter);
}

void AboutWindow::createTimers()
{
    const auto timer = [this](const char* objectName, int interval, void (AboutWindow::*step)()) {
        auto* made = new QTimer(this);
        made->setObjectName(QString::fromLatin1(objectName));
        made->setInterval(interval);
        connect(made, &QTimer::timeout, this, step);
        return made;
    };
    slideTimer_ = timer("Timer1", 1, &AboutWindow::slideTitle);
    slideTimer_->setTimerType(Qt::PreciseTimer);
    typingTimer_ = timer("Timer2", 500, &AboutWindow::typeCredit);
    revealTimer_ = timer("Timer3", 1500, &AboutWindow::revealNextLine);
}

void AboutWindow::startAnimation()
{
    typedCount_ = 0;
    typingTimer_->start();
    letterIndex_ = 1;
    slideCounter_ = 0;
    slideTimer_->start();
}

void AboutWindow::slideTitle()
{
    const QString title = titleText();
    const int letters = int(title.size());
    // Nothing to move before an opening, nor once the last letter is home.
    if (letterIndex_ < 1 || letterIndex_ > letters
        || (letterIndex_ == letters && kCaptionLength - slideCounter_ == letters)) {
        slideTimer_->stop();
        return;
    }
    // A letter that has arrived at its place: the next one enters at the end.
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
        slideTimer_->stop();
}

void AboutWindow::typeCredit()
{
    const QString prefix = creditPrefix();
    if (typedCount_ >= prefix.size()) {
        typingTimer_->stop();
        return;
    }
    ++typedCount_;
    creditLine_->setText(creditLine_->text() + prefix.at(typedCount_ - 1));
    // The credit typed whole: the lines below it follow.
    if (typedCount_ == prefix.size()) {
        typingTimer_->stop();
        revealTimer_->start();
    }
}

void AboutWindow::revealNextLine()
{
    ++revealStep_;
    switch (revealStep_) {
    case 1: teamLine_->show(); break;
    case 2: editionLine_->show(); break;
    case 3: placeLine_->show(); break;
    case 4: revealTimer_->stop(); break;
    default: break;
    }
}

void AboutWindow::reset()
{
    creditLine_->clear();
    teamLine_->hide();
    editionLine_->hide();
    placeLine_->hide();
    captionBuffer_ = QString(kCaptionLength, QLatin1Char(' '));
    slideTimer_->stop();
    typingTimer_->stop();
    revealTimer_->stop();
    revealStep_ = 0;
    showCaption();
}

void AboutWindow::showCaption()
{
    // The blanks after the last letter are not shown: they would only push
    // the title out of the title bar.
    QString shown = captionBuffer_;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    setWindowTitle(shown);
}

void AboutWindow::done(int result)
{
    // However the window closes ("تم", the close box, Escape), it is reset,
    // so the next opening starts from an idle window.
    reset();
    QDialog::done(result);
}

void AboutWindow::setVisible(bool visible)
{
    // The typed line keeps the height of its text while it is still empty,
    // so the lines below do not move; measured when the window is first
    // shown, not while the program starts (measuring text loads fonts).
    if (visible && creditLine_->minimumHeight() == 0)
        creditLine_->setMinimumHeight(QFontMetrics(creditLine_->font()).height());
    QDialog::setVisible(visible);
}

}  // namespace qismar

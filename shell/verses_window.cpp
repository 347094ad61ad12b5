// The verses window: the printed page of the inheritance verses and, below
// it, the media control that plays the recitation.
#include "shell/verses_window.h"

#include "shell/media_control.h"
#include "ui/data_files.h"
#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace qismar {

namespace {

// The page of the verses, and the strip below it that holds the controls,
// so that neither covers the text or the page's border.
constexpr int kPageWidth = 481;
constexpr int kPageHeight = 451;
constexpr int kStripHeight = 72;

}  // namespace

QString VersesWindow::recitationFile()
{
    return QStringLiteral("ayh.wav");
}

VersesWindow::VersesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("versesWindow"));
    setWindowTitle(QStringLiteral("آيات الميراث - سورة النساء"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(kPageWidth, kPageHeight + kStripHeight);
    ui::centreOnFirstShow(this);

    page_ = new ui::Picture(QStringLiteral(":/pictures/verses.svg"), this);
    page_->setObjectName(QStringLiteral("page"));
    page_->setAttribute(Qt::WA_TransparentForMouseEvents);
    page_->setGeometry(0, 0, kPageWidth, kPageHeight);

    // The control at the lower left, above the close button.
    mediaControl_ = new shell::MediaControl(this);
    mediaControl_->move(10, kPageHeight + 6);

    doneButton_ = new QPushButton(QStringLiteral("تم"), this);
    doneButton_->setObjectName(QStringLiteral("doneButton"));
    doneButton_->setGeometry(32, kPageHeight + 6 + 30 + 6, 41, 25);
    doneButton_->setDefault(true);
    // done() stops the sound, however the window closes.
    connect(doneButton_, &QPushButton::clicked, this, &QDialog::accept);

    noRecitationLine_ = new QLabel(this);
    noRecitationLine_->setObjectName(QStringLiteral("NoRecitation"));
    noRecitationLine_->setGeometry(105, kPageHeight + 6, kPageWidth - 105 - 10, 30);
    noRecitationLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noRecitationLine_->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 13));
    noRecitationLine_->setText(
        QStringLiteral("لسماع التلاوة ضع تسجيلها باسم %1 في مجلد البرنامج").arg(recitationFile()));
    noRecitationLine_->hide();
}

VersesWindow::~VersesWindow() = default;

void VersesWindow::openRecitation()
{
    const QString name = recitationFile();
    const QFileInfo found(ui::dataFilePath(name));
    if (!found.exists() && !found.isSymLink()) {
        // No recording ships with the program: the page is shown all the
        // same, with the control greyed and a line saying where it goes.
        mediaControl_->setFileName(name);
        mediaControl_->closeFile();
        const QString folder = QDir::toNativeSeparators(ui::programFolder());
        noRecitationLine_->setToolTip(folder);
        noRecitationLine_->setAccessibleDescription(folder);
        noRecitationLine_->show();
        return;
    }
    noRecitationLine_->hide();
    mediaControl_->setFileName(name);
    mediaControl_->open();
}

void VersesWindow::reject()
{
    accept();
}

void VersesWindow::done(int result)
{
    // However the window closes, the recitation does not go on without it.
    mediaControl_->stop();
    QDialog::done(result);
}

}  // namespace qismar

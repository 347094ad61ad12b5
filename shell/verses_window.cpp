// The verses window: the printed page of the inheritance verses and, below
// it, the media control that plays the recitation.
#include "shell/verses_window.h"

#include "ui/data_files.h"
#include "shell/media_control.h"
#include "ui/picture.h"
#include "ui/ui_common.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace qismar {

TfmAyah* fmAyah = nullptr;

namespace {

// The page of the verses, and the strip below it that holds the controls,
// so that neither covers the text or the page's border.
constexpr int kPageWidth = 481;
constexpr int kPageHeight = 451;
constexpr int kStripHeight = 72;

}  // namespace

QString TfmAyah::recitationFile()
{
    return QStringLiteral("ayh.wav");
}

TfmAyah::TfmAyah(QWidget* parent) : QDialog(parent)
{
    fmAyah = this;
    setObjectName(QStringLiteral("fmAyah"));
    setWindowTitle(QStringLiteral("آيات الميراث - سورة النساء"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setLayoutDirection(Qt::RightToLeft);
    setFixedSize(kPageWidth, kPageHeight + kStripHeight);
    ui::centreOnFirstShow(this);

    Image1 = new ui::Picture(QStringLiteral(":/pictures/verses.svg"), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image1->setGeometry(0, 0, kPageWidth, kPageHeight);

    // The control at the lower left, above the close button.
    MediaPlayer1 = new shell::MediaControl(this);
    MediaPlayer1->move(10, kPageHeight + 6);

    Button1 = new QPushButton(QStringLiteral("تم"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(32, kPageHeight + 6 + 30 + 6, 41, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfmAyah::Button1Click);

    // Shown while there is no recitation to play: where the file goes.
    NoRecitation = new QLabel(this);
    NoRecitation->setObjectName(QStringLiteral("NoRecitation"));
    NoRecitation->setGeometry(105, kPageHeight + 6, kPageWidth - 105 - 10, 30);
    NoRecitation->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NoRecitation->setFont(ui::layoutFont(QStringLiteral("Tahoma"), 13));
    NoRecitation->setText(QStringLiteral("لسماع التلاوة ضع تسجيلها باسم %1 في مجلد البرنامج").arg(recitationFile()));
    NoRecitation->hide();
}

TfmAyah::~TfmAyah()
{
    if (fmAyah == this)
        fmAyah = nullptr;
}

void TfmAyah::openRecitation()
{
    const QString name = recitationFile();
    const QFileInfo found(ui::dataFilePath(name));
    if (!found.exists() && !found.isSymLink()) {
        // No recording ships with the program: the page is shown all the
        // same, with the control greyed and a line saying where it goes.
        MediaPlayer1->setFileName(name);
        MediaPlayer1->closeFile();
        const QString folder = QDir::toNativeSeparators(ui::programFolder());
        NoRecitation->setToolTip(folder);
        NoRecitation->setAccessibleDescription(folder);
        NoRecitation->show();
        return;
    }
    NoRecitation->hide();
    MediaPlayer1->setFileName(name);
    MediaPlayer1->open();
}

void TfmAyah::Button1Click()
{
    MediaPlayer1->stop();
    done(QDialog::Accepted);
}

void TfmAyah::reject()
{
    // Escape and the close box do what "تم" does.
    Button1Click();
}

void TfmAyah::done(int result)
{
    // However the window closes, the recitation does not go on without it.
    MediaPlayer1->stop();
    QDialog::done(result);
}

}  // namespace qismar

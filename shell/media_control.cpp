// The media control of the verses window: play, pause (a second press
// resumes) and stop, over a recitation player.
#include "shell/media_control.h"

#include "ui/data_files.h"
#include "shell/recitation_player.h"
#include "ui/ui_common.h"
#include "shell/wave_check.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace qismar {

namespace shell {

namespace {

enum class Glyph { Play, Pause, Stop };

// The media symbols are drawn the same way in both reading directions.
QIcon mediaIcon(Glyph glyph)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 20, 20));
    switch (glyph) {
    case Glyph::Play: {
        QPainterPath path;
        path.moveTo(9, 6);
        path.lineTo(26, 16);
        path.lineTo(9, 26);
        path.closeSubpath();
        painter.drawPath(path);
        break;
    }
    case Glyph::Pause:
        painter.drawRect(8, 7, 6, 18);
        painter.drawRect(18, 7, 6, 18);
        break;
    case Glyph::Stop:
        painter.drawRect(8, 8, 16, 16);
        break;
    }
    painter.end();
    return QIcon(pixmap);
}

QToolButton* mediaButton(Glyph glyph, const QString& name, const char* objectName, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(mediaIcon(glyph));
    button->setIconSize(QSize(14, 14));
    button->setFixedSize(28, 30);
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

MediaControl::MediaControl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mediaControl"));
    // Media buttons keep their order in either reading direction.
    setLayoutDirection(Qt::LeftToRight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    play_ = mediaButton(Glyph::Play, QStringLiteral("تشغيل"), "Play", this);
    pause_ = mediaButton(Glyph::Pause, QStringLiteral("إيقاف مؤقت أو استئناف"), "Pause", this);
    stop_ = mediaButton(Glyph::Stop, QStringLiteral("إيقاف"), "Stop", this);
    // Pause stays pressed while the recitation is paused.
    pause_->setCheckable(true);
    layout->addWidget(play_);
    layout->addWidget(pause_);
    layout->addWidget(stop_);
    setFixedSize(85, 30);
    connect(play_, &QToolButton::clicked, this, &MediaControl::play);
    connect(pause_, &QToolButton::clicked, this, &MediaControl::pause);
    connect(stop_, &QToolButton::clicked, this, &MediaControl::stop);
    setMode(Mode::Closed);
}

MediaControl::~MediaControl() = default;

void MediaControl::setPlayer(std::unique_ptr<RecitationPlayer> player)
{
    player_ = std::move(player);
    if (player_) {
        player_->onFinished = [this] {
            if (mode_ == Mode::Playing)
                setMode(Mode::Stopped);
        };
        player_->onFailed = [this](const QString& message) { playerFailed(message); };
    }
    setMode(Mode::Closed);
}

void MediaControl::open()
{
    // The file is checked before the player sees it: the player alone
    // reports a bad file late and repeatedly.
    checkWaveFile(fileName_);
    if (!player_)
        setPlayer(createRecitationPlayer());
    player_->open(QFileInfo(ui::dataFilePath(fileName_)).absoluteFilePath());
    setMode(Mode::Stopped);
}

void MediaControl::closeFile()
{
    if (mode_ == Mode::Playing || mode_ == Mode::Paused)
        player_->stop();
    setMode(Mode::Closed);
}

void MediaControl::play()
{
    if (mode_ == Mode::Closed || mode_ == Mode::Playing)
        return;
    player_->play();
    setMode(Mode::Playing);
}

void MediaControl::pause()
{
    if (mode_ == Mode::Playing) {
        player_->pause();
        setMode(Mode::Paused);
    } else if (mode_ == Mode::Paused) {
        player_->play();
        setMode(Mode::Playing);
    }
}

void MediaControl::stop()
{
    if (mode_ != Mode::Playing && mode_ != Mode::Paused)
        return;
    player_->stop();
    setMode(Mode::Stopped);
}

void MediaControl::setMode(Mode mode)
{
    mode_ = mode;
    play_->setEnabled(mode == Mode::Stopped || mode == Mode::Paused);
    pause_->setEnabled(mode == Mode::Playing || mode == Mode::Paused);
    stop_->setEnabled(mode == Mode::Playing || mode == Mode::Paused);
    pause_->setChecked(mode == Mode::Paused);
}

void MediaControl::playerFailed(const QString& message)
{
    // The first failure of an opening ends it: the buttons go grey until
    // the verses are opened again, and later reports are not shown.
    if (mode_ == Mode::Closed)
        return;
    setMode(Mode::Closed);
    ui::showErrorBox(QStringLiteral("تعذر تشغيل ملف التلاوة %1: %2").arg(fileName_, message), window());
}

}  // namespace shell

}  // namespace qismar

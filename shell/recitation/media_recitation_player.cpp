// The module with the program's recitation player: Qt Multimedia's media
// player with an audio output.
#include "shell/recitation_player.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

namespace qismar::shell {

namespace {

class MediaRecitationPlayer final : public RecitationPlayer {
public:
    MediaRecitationPlayer()
    {
        player_.setAudioOutput(&output_);
        QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, [this](QMediaPlayer::MediaStatus status) {
            if (status == QMediaPlayer::EndOfMedia && onFinished)
                onFinished();
        });
        // The media player reports one failure several times, and keeps
        // doing so while it is driven: only the first report of an opening
        // counts.
        QObject::connect(&player_, &QMediaPlayer::errorOccurred, [this](QMediaPlayer::Error, const QString& message) {
            if (failed_)
                return;
            failed_ = true;
            if (onFailed)
                onFailed(message);
        });
    }

    ~MediaRecitationPlayer() override
    {
        QObject::disconnect(&player_, nullptr, nullptr, nullptr);
    }

    void open(const QString& path) override
    {
        // Clearing the source first makes the player read the file again
        // even when its name is unchanged, and puts the position back at
        // the start.
        player_.setSource(QUrl());
        failed_ = false;
        player_.setSource(QUrl::fromLocalFile(path));
    }

    void play() override
    {
        if (!failed_)
            player_.play();
    }

    void pause() override
    {
        if (!failed_ && player_.playbackState() == QMediaPlayer::PlayingState)
            player_.pause();
    }

    void stop() override
    {
        // The media player's own stop would rewind; a paused player keeps its place.
        pause();
    }

    qint64 position() const override { return player_.position(); }

private:
    QAudioOutput output_;
    QMediaPlayer player_;
    bool failed_ = false;
};

}  // namespace

}  // namespace qismar::shell

extern "C" Q_DECL_EXPORT qismar::shell::RecitationPlayer* qismar_create_recitation_player()
{
    return new qismar::shell::MediaRecitationPlayer;
}

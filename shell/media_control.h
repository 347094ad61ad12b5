// Qismar: the media control of the verses window: play, pause (a second
// press resumes) and stop, over a recitation player.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

class QToolButton;

namespace qismar::shell {

class RecitationPlayer;

class MediaControl : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Closed, Stopped, Playing, Paused };

    explicit MediaControl(QWidget* parent = nullptr);
    ~MediaControl() override;

    void setFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& fileName() const { return fileName_; }

    // Checks the file and opens it in the player, closing what was open:
    // any sound stops and the position goes back to the beginning. A file
    // that is missing or cannot be played raises ui::UiError and leaves the
    // control as it was.
    void open();
    // Closes whatever is open, ending any sound: every button is greyed
    // until the next open().
    void closeFile();
    void play();
    // Pauses while playing; pressed again, resumes.
    void pause();
    // Halts and keeps the position.
    void stop();

    Mode mode() const { return mode_; }

    // The player the control drives. The first open() creates the
    // program's own player unless one was given here.
    void setPlayer(std::unique_ptr<RecitationPlayer> player);
    RecitationPlayer* player() const { return player_.get(); }

    QToolButton* playButton() const { return play_; }
    QToolButton* pauseButton() const { return pause_; }
    QToolButton* stopButton() const { return stop_; }

private:
    void setMode(Mode mode);
    void playerFailed(const QString& message);

    QString fileName_;
    std::unique_ptr<RecitationPlayer> player_;
    Mode mode_ = Mode::Closed;
    QToolButton* play_;
    QToolButton* pause_;
    QToolButton* stop_;
};

}  // namespace qismar::shell

// Qismar: the sound player behind the verses window's media control.
//
// The player of the running program lives in a module of its own, loaded the
// first time the verses are opened, so that the sound system is neither
// loaded nor connected to while the program starts.
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace qismar::shell {

// What the media control needs of a player. The control keeps the logic
// (which button does what in which state); a player only carries out the
// commands and reports the end of the sound and a failure.
class RecitationPlayer {
public:
    virtual ~RecitationPlayer() = default;

    // Closes whatever is open (ending any sound) and opens `path`, with the
    // position back at the beginning. Nothing plays yet.
    virtual void open(const QString& path) = 0;
    // Plays from the current position; from the beginning once the end was reached.
    virtual void play() = 0;
    // Halts the sound and keeps the position.
    virtual void pause() = 0;
    // Halts the sound and keeps the position (the next play continues from it).
    virtual void stop() = 0;
    // Milliseconds from the beginning of the sound.
    virtual qint64 position() const = 0;

    // Called from the event loop when the sound reached its end and stopped.
    std::function<void()> onFinished;
    // Called from the event loop when the opened file cannot be played;
    // at most once per opening.
    std::function<void(const QString&)> onFailed;
};

// The name of the module with the program's player, beside the program.
inline constexpr const char* kRecitationModule = "qismar_recitation";
// The function the module exports; it returns a new player.
inline constexpr const char* kRecitationFactory = "qismar_create_recitation_player";
using RecitationFactory = RecitationPlayer* (*)();

// Loads the module (once) and makes a player. Throws ui::UiError when the
// module cannot be loaded.
std::unique_ptr<RecitationPlayer> createRecitationPlayer();

}  // namespace qismar::shell

#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "audio/sound_library.h"

namespace vx {

class Dialogs;

// The failure text of a sound library failure code; empty for codes without one.
QString ErrorText(int code);

// The one message box for sound library failures: `message`, a blank line and the library's last
// failure code, critical icon, title "Error".
void ThrowError(audio::SoundLibrary& library, Dialogs& dialogs, const QString& message);

// Key codes handed to the key-release hook after an error box.
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyAlt = 18;

// Starts and stops the output and reports the library's failures.
class SoundSystem {
  public:
    SoundSystem(audio::SoundLibrary& library, Dialogs& dialogs);

    // After every error box the keyboard model is told that Ctrl and Alt are up (key code, shift state 0):
    // the box took the key releases that happened while it was open.
    void setKeyReleaseHook(std::function<void(int keyCode, int shift)> hook) {
        keyRelease_ = std::move(hook);
    }

    // Opens `device` at `frequency` Hz and starts the output. On failure the reason was shown and the
    // program must end; false is returned.
    bool init_BASS(int device, std::uint32_t frequency);
    void ThrowError(const QString& message);
    // Stops the output and frees the decks' equalisers and streams (0 for an empty deck) and the output.
    // Every step runs whatever the one before answered.
    void terminate_BASS(audio::Handle leftStream, audio::Handle rightStream);

    // How often the sound broke up since the program started, as the DJ reads it.
    QString dropoutText() const;

    audio::SoundLibrary& library() { return library_; }

  private:
    audio::SoundLibrary& library_;
    Dialogs& dialogs_;
    std::function<void(int, int)> keyRelease_;
};

}  // namespace vx

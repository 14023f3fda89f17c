// The exit rules: refused while a deck plays, the unsaved playlist offered, then everything stopped.
#include "app/app_lifecycle.h"
#include "services/dialogs.h"

namespace vx {

bool AppLifecycle::anyDeckPlaying() {
    return streams_.isStreamPlaying(decks_->streamHandle(0)) ||
           streams_.isStreamPlaying(decks_->streamHandle(1));
}

bool AppLifecycle::requestExit() {
    if (state_ == State::ShutDown) return true;
    if (state_ == State::Running && anyDeckPlaying()) {
        dialogs_.message("Can't Exit when song is playing. Pause or Stop all music before closing...", {},
                         Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return false;
    }
    if (playlist_->changed()) {
        const QString last = playlist_->lastPlaylist();
        const QString question =
            last.isEmpty() ? QStringLiteral("Save Playlist? ") : "Save Playlist to " + last + " ?";
        switch (dialogs_.message(question, "Save Playlist...", Dialogs::Icon::Information,
                                 Dialogs::Buttons::YesNoCancel)) {
            case Dialogs::Answer::Yes:
                if (!playlist_->save()) return false;  // the save told why; nothing is lost by staying
                break;
            case Dialogs::Answer::No:
                break;
            default:
                return false;
        }
    }
    if (tmrAsync_) tmrAsync_->setEnabled(false);
    if (state_ == State::Running) soundSystem_.terminate_BASS(decks_->streamHandle(0), decks_->streamHandle(1));
    state_ = State::ShutDown;
    return true;
}

void AppLifecycle::unload() {
    tmrAsync_.reset();
}

}  // namespace vx

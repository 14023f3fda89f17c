#include "services/streams.h"

#include <QFileInfo>
#include <cmath>

#include "services/dialogs.h"
#include "services/sound_system.h"

namespace vx {

using audio::Handle;

QString clockText(std::int64_t seconds) {
    std::int64_t minutes = 0, hours = 0;
    if (seconds >= 60) {
        minutes = seconds / 60;
        seconds %= 60;
    }
    if (minutes >= 60) {
        hours = minutes / 60;
        minutes %= 60;
    }
    auto field = [](std::int64_t v) {
        // Two digits at least; a negative value keeps its sign in front: -5 -> "-05".
        return v < 0 ? "-" + QString::number(-v).rightJustified(2, '0')
                     : QString::number(v).rightJustified(2, '0');
    };
    return field(hours) + ":" + field(minutes) + ":" + field(seconds);
}

Streams::Streams(audio::SoundLibrary& library, Dialogs& dialogs) : library_(library), dialogs_(dialogs) {}

void Streams::reportError(const QString& message) {
    if (errorReporter_) {
        errorReporter_(message);
    } else {
        ThrowError(library_, dialogs_, message);
    }
}

Streams::Opened Streams::openStream(const QString& path) {
    return adopt(prepare(library_, path), path);
}

Streams::Preparation Streams::prepare(audio::SoundLibrary& library, const QString& path) {
    const std::string file = path.toStdString();
    Preparation p;
    p.windowsMedia = library.prepareStream(audio::Family::WindowsMedia, file);
    if (p.windowsMedia->error != audio::kOk) p.plain = library.prepareStream(audio::Family::Plain, file);
    return p;
}

Streams::Opened Streams::adopt(Preparation prepared, const QString& path) {
    if (const Handle h = library_.createPrepared(std::move(prepared.windowsMedia), flags_)) {
        return {h, StreamKind::WindowsMedia};
    }
    // The plain family answers for everything else, so the kind is plain even when this open fails.
    if (!prepared.plain) prepared.plain = library_.prepareStream(audio::Family::Plain, path.toStdString());
    const Handle h = library_.createPrepared(std::move(prepared.plain), flags_);
    if (h) {
        library_.preBuffer(h);
        return {h, StreamKind::Plain};
    }
    if (!autoDjOn_) {
        if (QFileInfo(path).isFile()) {
            reportError("The selected file could not be loaded. Please choose another file...");
        } else {
            const QString text =
                QStringLiteral("The selected file can not be found at its original location.") + QChar(13) +
                QChar(13) + "Remove from Playlist?";
            const auto answer =
                dialogs_.message(text, "File Not Found", Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
            if (answer == Dialogs::Answer::Yes && removeFromPlaylist_) removeFromPlaylist_();
        }
    }
    return {0, StreamKind::Plain};
}

bool Streams::isStreamPlaying(Handle h) {
    const int first = library_.activity(h);
    const int second = library_.activity(h);
    return first != audio::kStopped && second != audio::kPaused;
}

bool Streams::playStream(Handle h, StreamKind) {
    return library_.play(h);
}

bool Streams::resumeStream(Handle h, StreamKind kind) {
    // A Windows Media stream resumes by playing from where it was paused.
    return kind == StreamKind::WindowsMedia ? library_.play(h) : library_.resume(h);
}

std::int64_t Streams::getStreamPosition(Handle h, StreamKind) {
    return library_.position(h);
}

bool Streams::setStreamPosition(Handle h, StreamKind kind, std::int64_t bytes) {
    library_.eqReset(h);
    const bool ok = library_.setPosition(h, bytes);
    if (kind != StreamKind::WindowsMedia) library_.preBuffer(h);
    return ok;
}

std::int64_t Streams::songLengthBytes(Handle h) {
    return library_.length(h);
}

QString Streams::songLengthText(Handle h, std::int64_t lengthBytes) {
    const std::int64_t seconds = std::llround(library_.bytesToSeconds(h, lengthBytes));
    return clockText(seconds < 0 ? 0 : seconds);
}

QString Streams::getTimeRemain(Handle h, std::int64_t lengthBytes, std::int64_t positionBytes) {
    return clockText(std::llround(library_.bytesToSeconds(h, lengthBytes - positionBytes)));
}

}  // namespace vx

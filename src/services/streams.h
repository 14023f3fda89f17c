#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "audio/sound_library.h"

namespace vx {

class Dialogs;

// Which stream family serves a deck's stream; every transport call goes to that family.
enum class StreamKind : int { None = 0, WindowsMedia = 1, Plain = 2 };

// Whole seconds as "hh:mm:ss" (each field at least two digits): 3725 -> "01:02:05", -5 -> "00:00:-05".
QString clockText(std::int64_t seconds);

// The decks' transport primitives over the sound library, with the messages of a failed open.
class Streams {
  public:
    struct Opened {
        audio::Handle handle = 0;
        StreamKind kind = StreamKind::None;
    };

    // A file read ahead for openStream(): the Windows Media family's try, and the plain family's when
    // that one is known to fail.
    struct Preparation {
        std::unique_ptr<audio::PreparedStream> windowsMedia;
        std::unique_ptr<audio::PreparedStream> plain;
    };

    Streams(audio::SoundLibrary& library, Dialogs& dialogs);

    // Stream flags given to both create calls (0, or audio::kExactSeek).
    void setStreamFlags(std::uint32_t flags) { flags_ = flags; }
    std::uint32_t streamFlags() const { return flags_; }
    // While Auto DJ runs, a failed open shows nothing.
    void setAutoDjOn(bool on) { autoDjOn_ = on; }
    // Called when the user answers Yes to "Remove from Playlist?".
    void setRemoveFromPlaylist(std::function<void()> remove) { removeFromPlaylist_ = std::move(remove); }
    // Shows a library failure (the program passes the sound system's ThrowError, which also releases the
    // held modifier keys); without one the error box is shown directly.
    void setErrorReporter(std::function<void(const QString&)> report) { errorReporter_ = std::move(report); }

    // Windows Media family first, then the plain family (pre-buffered). handle 0 on failure.
    Opened openStream(const QString& path);
    // openStream() in its two halves: prepare() reads the file and may run on any thread; adopt() makes
    // the stream of it on the UI thread, with openStream()'s messages.
    static Preparation prepare(audio::SoundLibrary& library, const QString& path);
    Opened adopt(Preparation prepared, const QString& path);
    bool isStreamPlaying(audio::Handle h);  // playing or stalled counts; paused does not
    bool playStream(audio::Handle h, StreamKind kind);
    bool resumeStream(audio::Handle h, StreamKind kind);
    std::int64_t getStreamPosition(audio::Handle h, StreamKind kind);
    bool setStreamPosition(audio::Handle h, StreamKind kind,
                           std::int64_t bytes);  // resets the equaliser first

    // Length in bytes of the stream (stored by the caller in its deck) and its clock text.
    std::int64_t songLengthBytes(audio::Handle h);
    QString songLengthText(audio::Handle h, std::int64_t lengthBytes);
    QString getTimeRemain(audio::Handle h, std::int64_t lengthBytes, std::int64_t positionBytes);

    audio::SoundLibrary& library() { return library_; }

  private:
    void reportError(const QString& message);

    audio::SoundLibrary& library_;
    Dialogs& dialogs_;
    std::uint32_t flags_ = 0;
    bool autoDjOn_ = false;
    std::function<void()> removeFromPlaylist_;
    std::function<void(const QString&)> errorReporter_;
};

}  // namespace vx

#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "services/atomic_file.h"

namespace vx {

// One song of a mix: where it starts in the audio file, in frames at the file's rate.
struct CueTrack {
    QString title;
    QString performer;  // empty: no PERFORMER line
    std::int64_t startFrame = 0;
};

// The title and performer of a song file from its tags (ID3v2, ID3v1, then the Windows Media list);
// the title is the file's name without extension when no tag gives one.
CueTrack cueTrackForFile(const QString& path);

// A cue sheet for one audio file: FILE "name" WAVE, then per song TRACK nn AUDIO with its TITLE,
// PERFORMER and INDEX 01 mm:ss:ff (75 frames a second, rounded down, minutes past 99 as they come).
// Texts are put in double quotes; a double quote inside becomes a single one and line breaks and other
// control characters become spaces, since the format has no escapes. At most 99 tracks; UTF-8, LF.
QString cueSheetText(const QString& audioFileName, const std::vector<CueTrack>& tracks, int rate);

// mm:ss:ff of a frame position.
QString cueTime(std::int64_t frame, int rate);

// The cue sheet beside an audio file: the same name with ".cue" for its extension.
QString cueSheetPathFor(const QString& audioPath);

// Writes the cue sheet of `audioPath` beside it through the program's checked atomic write.
std::optional<FileError> writeCueSheet(const QString& audioPath, const std::vector<CueTrack>& tracks,
                                       int rate, FileSystem& fs = PosixFileSystem::instance());

}  // namespace vx

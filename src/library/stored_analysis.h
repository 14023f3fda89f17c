#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

namespace vx {

// What the analysis of a song found, as the track database keeps it. The waveform summary is opaque here:
// the analysis writes it and reads it back.
struct StoredAnalysis {
    QByteArray waveform;
    double durationS = 0;
    double bpm = 0;
    double beatOffsetS = 0;
    double bpmConfidence = 0;
    double lufs = 0;
    double truePeakDbtp = 0;
    double audibleStartS = 0;
    double audibleEndS = 0;

    bool operator==(const StoredAnalysis&) const = default;
};

// One song of the database: its analysis and where it was last seen.
struct StoredTrack {
    QString fingerprint;
    QString path;     // the last path it was seen at; empty when another song has taken that path since
    qint64 size = 0;  // bytes of that file when it was analysed
    StoredAnalysis analysis;
    QDateTime analysedAt;  // UTC, to the second
};

// The figures a playlist sorts by, read without touching the song files.
struct SortValues {
    double bpm = 0;
    double durationS = 0;
    double lufs = 0;
};

constexpr int kHotCueSlots = 4;
// Positions in seconds from the start of the song, slot 1 at index 0; nullopt for an empty slot.
using StoredHotCues = std::array<std::optional<double>, kHotCueSlots>;

}  // namespace vx

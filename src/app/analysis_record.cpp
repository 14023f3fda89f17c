#include "app/analysis_record.h"

#include <cmath>
#include <cstring>

namespace vx {

namespace {
constexpr char kWaveformVersion = 1;
constexpr int kHeaderBytes = 5;
constexpr int kRows = 2 * analysis::WaveformSummary::kBands;  // peak and RMS of every band
constexpr qint64 kMaxPoints = 24LL * 3600 * analysis::WaveformSummary::kPointsPerSecond;  // a day

std::vector<std::uint8_t>& row(analysis::WaveformSummary& w, int i) {
    return i < analysis::WaveformSummary::kBands ? w.peak[i] : w.rms[i - analysis::WaveformSummary::kBands];
}
}  // namespace

StoredAnalysis toStored(const analysis::TrackAnalysis& found) {
    StoredAnalysis s;
    analysis::WaveformSummary w = found.waveform;
    const auto points = static_cast<std::uint32_t>(w.points());
    s.waveform.reserve(kHeaderBytes + kRows * qsizetype(points));
    s.waveform.append(kWaveformVersion);
    for (int b = 0; b < 4; ++b) s.waveform.append(static_cast<char>((points >> (8 * b)) & 0xFF));
    for (int i = 0; i < kRows; ++i) {
        std::vector<std::uint8_t>& r = row(w, i);
        r.resize(points);  // a summary with ragged bands is stored square
        s.waveform.append(reinterpret_cast<const char*>(r.data()), qsizetype(points));
    }
    s.durationS = found.lengthS;
    s.bpm = found.bpm;
    s.beatOffsetS = found.beatOffsetS;
    s.bpmConfidence = found.bpmConfidence;
    s.lufs = found.lufs;
    s.truePeakDbtp = found.truePeakDbtp;
    s.audibleStartS = found.audibleStartS;
    s.audibleEndS = found.audibleEndS;
    return s;
}

std::optional<analysis::TrackAnalysis> fromStored(const StoredAnalysis& stored) {
    const QByteArray& blob = stored.waveform;
    if (blob.size() < kHeaderBytes || blob[0] != kWaveformVersion) return std::nullopt;
    std::uint32_t points = 0;
    for (int b = 0; b < 4; ++b) points |= std::uint32_t(std::uint8_t(blob[1 + b])) << (8 * b);
    if (points > kMaxPoints || blob.size() != kHeaderBytes + kRows * qsizetype(points)) return std::nullopt;
    for (double v : {stored.durationS, stored.bpm, stored.beatOffsetS, stored.bpmConfidence, stored.lufs,
                     stored.truePeakDbtp, stored.audibleStartS, stored.audibleEndS}) {
        if (!std::isfinite(v)) return std::nullopt;
    }
    analysis::TrackAnalysis a;
    for (int i = 0; i < kRows; ++i) {
        const auto* from = reinterpret_cast<const std::uint8_t*>(blob.constData()) + kHeaderBytes + i * qsizetype(points);
        row(a.waveform, i).assign(from, from + points);
    }
    a.lengthS = stored.durationS;
    a.bpm = stored.bpm;
    a.beatOffsetS = stored.beatOffsetS;
    a.bpmConfidence = stored.bpmConfidence;
    a.lufs = stored.lufs;
    a.truePeakDbtp = stored.truePeakDbtp;
    a.audibleStartS = stored.audibleStartS;
    a.audibleEndS = stored.audibleEndS;
    return a;
}

}  // namespace vx

#include "analysis/analyser.h"

#include <vector>

#include "analysis/signal_features.h"
#include "audio/ffmpeg_source.h"

namespace vx::analysis {

Analyser::Analyser() : features_(std::make_unique<SignalFeatures>(kAnalysisRate)) {}
Analyser::~Analyser() = default;

void Analyser::feed(const std::int16_t* stereo, std::size_t frames, float gain) {
    span_.feed(stereo, static_cast<std::int64_t>(frames));
    scaled_.resize(2 * frames);
    const float scale = gain / 32768.0f;
    for (std::size_t i = 0; i < 2 * frames; ++i) scaled_[i] = stereo[i] * scale;
    features_->feed(scaled_.data(), frames);
    frames_ += static_cast<std::int64_t>(frames);
}

TrackAnalysis Analyser::finish() {
    TrackAnalysis out;
    features_->finish(out);
    out.lengthS = static_cast<double>(frames_) / kAnalysisRate;
    out.audibleStartS = static_cast<double>(span_.first()) / kAnalysisRate;
    out.audibleEndS = static_cast<double>(span_.end()) / kAnalysisRate;
    return out;
}

std::optional<TrackAnalysis> analyseFile(const std::string& path, std::string* error,
                                         const std::atomic<bool>* cancel) {
    int code = audio::kOk;
    auto source = audio::FfmpegSource::open(path, audio::Family::Plain, &code, kAnalysisRate);
    if (!source && code == audio::kErrFormat)
        source = audio::FfmpegSource::open(path, audio::Family::WindowsMedia, &code, kAnalysisRate);
    if (!source) {
        *error = code == audio::kErrFileOpen ? "cannot be read" : "not a playable sound file";
        return std::nullopt;
    }
    const float gain = source->info().sampleGain;
    Analyser analyser;
    std::vector<std::int16_t> pcm;
    pcm.reserve(1 << 16);
    std::int64_t frames = 0;
    bool more = true;
    while (more) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            *error = "cancelled";
            return std::nullopt;
        }
        more = source->decodeMore(pcm);
        analyser.feed(pcm.data(), pcm.size() / 2, gain);
        frames += static_cast<std::int64_t>(pcm.size() / 2);
    }
    if (frames == 0) {
        *error = "no sound could be decoded";
        return std::nullopt;
    }
    return analyser.finish();
}

}  // namespace vx::analysis

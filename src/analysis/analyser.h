#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/track_analysis.h"
#include "audio/audible_span.h"

namespace vx::analysis {

class SignalFeatures;

// Every track is analysed at this rate, whatever its own: the results do not depend on it.
constexpr int kAnalysisRate = 44100;

// Analyses one track's decoded sound: 16-bit stereo at kAnalysisRate, fed in order.
class Analyser {
  public:
    Analyser();
    ~Analyser();
    // `gain`: what the samples are multiplied by when played (the decoder's sampleGain).
    void feed(const std::int16_t* stereo, std::size_t frames, float gain = 1.0f);
    TrackAnalysis finish();

  private:
    std::unique_ptr<SignalFeatures> features_;
    audio::AudibleSpan span_;
    std::int64_t frames_ = 0;
    std::vector<float> scaled_;
};

// Decodes the file through the engine's decoder and analyses it. On failure (unreadable, no sound, or
// `cancel` set meanwhile) returns nothing and says why in *error.
std::optional<TrackAnalysis> analyseFile(const std::string& path, std::string* error,
                                         const std::atomic<bool>* cancel = nullptr);

}  // namespace vx::analysis

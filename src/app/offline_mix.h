#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "mixer/cue_sheet.h"

namespace vx {

// Auto DJ played on the offline engine: the program's own decks, mixer and Auto DJ, ticked on a virtual
// clock in 10 ms steps, with the mix rendered as fast as the CPU allows instead of through a sound card.
// One pass through the playlist, from its first entry until its last has played to its end. Every song
// is decoded completely before its deck takes it, so the same playlist always gives the same sound.
class OfflineMix {
  public:
    static constexpr int kRate = 44100;
    static constexpr int kStepMs = 10;

    struct Options {
        QStringList songs;             // the playlist's paths
        int automixStart = 85;         // AutomixStart
        double maxSeconds = 0;         // stop after this much of the mix; 0: the whole pass
    };

    explicit OfflineMix(Options options);
    ~OfflineMix();
    OfflineMix(const OfflineMix&) = delete;
    OfflineMix& operator=(const OfflineMix&) = delete;

    // Told of an entry passed over because it would not load; and once per step of the mix.
    void setSkippedHandler(std::function<void(const QString& path)> skipped);
    // Renders the next step (10 ms) into `out` (interleaved stereo); 0 frames when the mix is over.
    int renderStep(std::vector<float>& out);
    // Seconds of the mix rendered; songs started so far, with where each one becomes audible.
    double secondsRendered() const;
    const std::vector<CueTrack>& tracks() const;
    int entriesDone() const;  // how far through the playlist the pass has got
    // Seconds each display tick's Auto DJ check took (the benchmark's autodj_tick_ms).
    const std::vector<double>& autoDjCheckSeconds() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> p_;
};

// velumix --render-mix PLAYLIST OUT [--seconds N]: writes the mix to OUT (.wav or .flac) and its cue
// sheet to OUT's name with .cue, showing progress and skipped entries on `err`. The exit code: 0 when a
// mix was written, 1 when nothing could be rendered or written.
int runRenderMix(const QString& playlist, const QString& out, double maxSeconds, int automixStart,
                 std::FILE* err);

}  // namespace vx

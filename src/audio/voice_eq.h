#pragma once

#include <array>

#include "audio/eq_design.h"

namespace vx::audio {

inline constexpr int kMaxEqBands = 4;  // band slots of the equaliser effect

// The equaliser of one stream, run by the audio thread on the stream's sound after its read heads are
// summed, so that seeks and loop wraps (crossfaded before it) never disturb the filters.
//
// Every change glides: gains and widths move to their new values over about 20 ms, switching on starts
// from the identity, switching off glides back to it and only then stops filtering (from then on the
// sound passes bit for bit). The isolator is blended in and out the same way, so changing the mode
// clicks no more than turning a knob.
class VoiceEq {
  public:
    // Any thread, before the stream is handed to the audio thread.
    void prepare(int outRate);

    // Audio thread. Sets band `band` of `bandCount` slots.
    void setBand(int band, const EqBandDesign& design, int bandCount, EqMode mode);
    // Audio thread: glide every band back to the identity, then stop.
    void remove();
    // True while anything is filtered (also while gliding out after remove()).
    bool active() const { return bands_ > 0; }
    // Audio thread: forget what the filters still ring with (after a long silence).
    void settle();
    // Audio thread: filters `frames` frames in place.
    void process(float* l, float* r, int frames);

  private:
    struct Glide {
        float now = 1, target = 1, step = 0;
        int left = 0;  // sub-blocks to go
        void to(float value, int steps);
        bool advance();  // false once still
    };
    struct Coeffs {  // of one state-variable filter: a1..a3 shape it, m0..m2 mix its parts
        float a1 = 0, a2 = 0, a3 = 0, m0 = 1, m1 = 0, m2 = 0;
        bool operator==(const Coeffs&) const = default;
    };
    struct Band {
        EqBandDesign design;
        Glide a, invQ;
        Coeffs now;                    // what the last sub-block ended with
        float s1[2] = {}, s2[2] = {};  // filter state per channel
    };
    struct Svf {  // a fixed second-order section of the isolator
        float a1 = 0, a2 = 0, a3 = 0, k = 0;
    };

    void retarget();
    bool gliding() const;
    void clearState();
    void runBells(float* l, float* r, int count);
    void runIsolator(float* l, float* r, int count);

    int rate_ = 44100;
    int glideSteps_ = 55;
    int bands_ = 0;
    bool removing_ = false;
    EqMode mode_ = EqMode::Peaking;
    std::array<Band, kMaxEqBands> band_{};

    // Isolator: gains of the three parts and the blend of the whole network into the sound.
    std::array<Glide, 3> isoGain_{};
    Glide isoMix_{0, 0, 0, 0};
    bool isoRan_ = false;
    float isoApplied_[4] = {1, 1, 1, 0};  // gains and blend the last sub-block ended with
    std::array<Svf, 4> lowSections_{},
        highSections_{};  // one fourth-order Butterworth at each crossover, twice
    // State [filter][section][state][channel]: low-pass and high-pass at 250 Hz, the 2.5 kHz all-pass of
    // the low part, low-pass and high-pass at 2.5 kHz.
    float iso_[5][4][2][2] = {};
};

}  // namespace vx::audio

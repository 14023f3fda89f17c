#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "audio/voice.h"

namespace vx::audio {

// A stream's time stretcher: plays what it is fed faster or slower without changing its pitch. Made on
// the UI thread, with every buffer it will ever need; from then on every member is the audio thread's
// and none allocates, locks or logs.
//
// After restart() the stretcher is fed padFrames() of what precedes the first frame to be heard, then
// the sound itself; the first discardFrames() frames it gives back belong to the pad. From then on lag()
// tells how many frames fed have not been heard yet.
class KeyLock {
  public:
    explicit KeyLock(int outRate);
    ~KeyLock();
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;

    // The speeds it plays at; beyond them it holds the nearest (a brake slows down no further).
    static constexpr double kSlowest = 0.25, kFastest = 4.0;

    // Source frames per output frame: above 1 the sound plays faster.
    void setSpeed(double speed);
    void restart(double speed);
    int padFrames() const { return pad_; }
    int discardFrames() const { return delay_; }
    // Frames the stretcher asks for before it gives more (1..kMaxBlock).
    int required() const;
    void feed(const float* left, const float* right, int frames);
    int available() const;
    // Up to `frames` stretched frames into left/right; answers how many. `heard`: false for frames thrown
    // away (the pad's), which do not count as played.
    int take(float* left, float* right, int frames, bool heard = true);
    // Frames fed but not yet taken as heard, in the stretcher's input frames.
    double lag() const { return fed_ - heard_; }
    // Input frames a block may take at most, restart included.
    int reach() const { return reach_; }

    // Scratch for the caller's input, kMaxBlock frames each.
    float* inLeft() { return in_[0].data(); }
    float* inRight() { return in_[1].data(); }

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int pad_ = 0;
    int delay_ = 0;
    int reach_ = 0;
    double speed_ = 1;
    double fed_ = 0;
    double heard_ = 0;
    std::array<std::array<float, kMaxBlock>, 2> in_{};
};

}  // namespace vx::audio

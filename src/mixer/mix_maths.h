#pragma once

// The mixer's arithmetic as pure functions: what each deck sends, and how two output-channel levels
// become one volume and one pan for a stream. Everything is in double precision and rounds to the
// nearest integer with halves going to the even neighbour, so 2.5 -> 2 and 3.5 -> 4.

namespace vx::mixer {

// Nearest integer, halves to even (independent of the floating-point rounding mode).
int roundHalfEven(double x);

// The controls that decide both decks' levels. Levels and volumes are meaning, 0..sliderMax
// (loudest at sliderMax), not raw positions of sliders that grow downwards.
struct MixInputs {
    int sliderMax = 100;
    int crossfader = 50;  // 0 = left deck only, sliderMax = right deck only
    int mainVolume = 50;
    int leftLevel = 0;
    int rightLevel = 0;
};

struct OutputLevels {
    int left = 0;
    int right = 0;
    bool operator==(const OutputLevels&) const = default;
};

// Each half of the crossfader's travel fades out the deck on the far side, linearly; at the centre both
// decks play at their own level times the main volume.
OutputLevels outputLevels(const MixInputs& in);

// Levels of one stream on the left and the right output channel.
struct ChannelLevels {
    int left = 0;
    int right = 0;
    bool operator==(const ChannelLevels&) const = default;
};

// Volume 0..100 and pan -100 (left) .. 100 (right) of one stream.
struct Balance {
    int volume = 0;
    int pan = 0;
    bool operator==(const Balance&) const = default;
};

// The louder channel gives the volume; the quieter one, as a share of it, the pan. (0, 0) gives (0, 0).
Balance channelBalance(int leftChannel, int rightChannel);

// Monitor modes: 1 = left deck in the headphones, 2 = right deck, anything else = plain stereo.
inline constexpr int kMonitorLeft = 1;
inline constexpr int kMonitorRight = 2;
inline constexpr int kMonitorStereo = 3;

// What each deck's stream sends to the two output channels. In a monitor mode the right output channel
// carries the mix and the left one the monitored deck at the headphone level; the other deck stays on
// the right channel only. In stereo both decks are centred.
struct StreamSplit {
    ChannelLevels leftDeck;
    ChannelLevels rightDeck;
};
StreamSplit monitorSplit(int monitorMode, OutputLevels levels, int monitorLevel);

// Vertical sliders grow downwards: the top (value 0) is the loudest. These turn a slider position into
// the level it means and back.
inline int levelFromDownwardSlider(int value, int maximum) {
    return maximum - value;
}
inline int downwardSliderFromLevel(int level, int maximum) {
    return maximum - level;
}

}  // namespace vx::mixer

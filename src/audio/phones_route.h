#pragma once

#include <string>
#include <string_view>

namespace vx::audio {

// Where the headphones listen. Split: no output of their own; the mixer shares the one stereo output
// between the mix and the monitored deck. Channels34: the main device is opened with four channels,
// 1-2 the mix and 3-4 the headphones. Device: a second output device, named as the device list names it.
struct PhonesRoute {
    enum class Kind { Split, Channels34, Device };
    Kind kind = Kind::Split;
    std::string device;  // Device only

    bool ownOutput() const { return kind != Kind::Split; }
    bool operator==(const PhonesRoute&) const = default;
};

// The `Headphones` setting's text: "split", "channels34" or "device:<name>". Anything else (and a
// device without a name) is Split, so an unreadable value never takes the headphones away from the mix.
PhonesRoute phonesRouteFromText(std::string_view text);
std::string phonesRouteText(const PhonesRoute& route);

}  // namespace vx::audio

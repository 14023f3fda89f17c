#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vx::audio {

// The sound system a device belongs to.
enum class HostApi { Alsa, Jack, Other };

// One stereo output as the device list shows it.
struct OutputDevice {
    std::string name;
    HostApi api = HostApi::Other;
    bool systemDefault = false;  // the device the audio library itself calls the default
    std::string description;     // sound system and name, as the user is shown it
};

// The devices the default output tries, best first (indices into `devices`). A desktop's sound server
// comes first, so that Velumix plays along with other programs instead of taking the card from them:
// ALSA's "pipewire", then "pulse", then "default" (which the server's ALSA plug-in usually routes to
// itself, and which is the card's mixing device on a machine without a server). After them the
// library's own default, then every other device in list order, so that a machine with any working
// output still plays.
std::vector<std::size_t> defaultOutputOrder(const std::vector<OutputDevice>& devices);

// The engine's number (1..n) of the first device of `api` in `devices`, 0 when there is none.
int firstDeviceOf(const std::vector<OutputDevice>& devices, HostApi api);

}  // namespace vx::audio

#include "audio/default_output.h"

#include <algorithm>
#include <array>

namespace vx::audio {

std::vector<std::size_t> defaultOutputOrder(const std::vector<OutputDevice>& devices) {
    std::vector<std::size_t> order;
    const auto add = [&order](std::size_t i) {
        if (std::find(order.begin(), order.end(), i) == order.end()) order.push_back(i);
    };
    static constexpr std::array<const char*, 3> kServerPcms = {"pipewire", "pulse", "default"};
    for (const char* pcm : kServerPcms) {
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if (devices[i].api == HostApi::Alsa && devices[i].name == pcm) add(i);
        }
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].systemDefault) add(i);
    }
    for (std::size_t i = 0; i < devices.size(); ++i) add(i);
    return order;
}

int firstDeviceOf(const std::vector<OutputDevice>& devices, HostApi api) {
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].api == api) return static_cast<int>(i) + 1;
    }
    return 0;
}

}  // namespace vx::audio

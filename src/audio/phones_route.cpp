#include "audio/phones_route.h"

namespace vx::audio {

namespace {
constexpr std::string_view kDevicePrefix = "device:";
}

PhonesRoute phonesRouteFromText(std::string_view text) {
    if (text == "channels34") return {PhonesRoute::Kind::Channels34, {}};
    if (text.starts_with(kDevicePrefix) && text.size() > kDevicePrefix.size()) {
        return {PhonesRoute::Kind::Device, std::string(text.substr(kDevicePrefix.size()))};
    }
    return {};
}

std::string phonesRouteText(const PhonesRoute& route) {
    switch (route.kind) {
        case PhonesRoute::Kind::Channels34:
            return "channels34";
        case PhonesRoute::Kind::Device:
            return std::string(kDevicePrefix) + route.device;
        case PhonesRoute::Kind::Split:
            break;
    }
    return "split";
}

}  // namespace vx::audio

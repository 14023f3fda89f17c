#include "mixer/limit_light.h"

namespace vx {

bool LimitLight::tick(std::uint32_t count) {
    const bool was = lit();
    if (count != last_) {
        last_ = count;
        left_ = hold_;
    } else if (left_ > 0) {
        --left_;
    }
    return lit() != was;
}

}  // namespace vx

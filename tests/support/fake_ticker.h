#pragma once

#include "services/virtual_ticker.h"

namespace vx::test {

// Timers that never fire by themselves: a test fires them with fire() or advance().
using FakeTicker = VirtualTicker;

}  // namespace vx::test

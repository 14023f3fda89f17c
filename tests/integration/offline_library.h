#pragma once

#include "audio/engine.h"

namespace vx::test {

// The program's engine with its device replaced by offline rendering: the start-up's init opens the
// mix without an output and the test pulls the sound with render(). Every other call is the engine's.
class OfflineLibrary : public audio::Engine {
  public:
    OfflineLibrary() : audio::Engine(audio::EngineOptions{}) {}
    bool init(int, std::uint32_t frequency) override { return initOffline(frequency); }
};

}  // namespace vx::test

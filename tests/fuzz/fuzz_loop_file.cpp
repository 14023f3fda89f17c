// Reads a loop file of arbitrary bytes against songs of several lengths, the edge ones included.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "deck/loop_file.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = vx::fuzz::writeInput("song_L.dat", data, size);
    constexpr std::int64_t kLengths[] = {0, 1, 4'000'000, std::numeric_limits<std::int64_t>::max()};
    for (const std::int64_t length : kLengths) {
        const auto result = vx::loopfile::read(path, length);
        if (result.status == vx::loopfile::ReadStatus::Ok &&
            !(0 <= result.loop.start && result.loop.start < result.loop.end && result.loop.end <= length)) {
            __builtin_trap();  // a good loop always lies inside the song
        }
    }
    return 0;
}

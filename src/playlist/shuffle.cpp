#include "playlist/shuffle.h"

namespace vx::playlist {

std::vector<int> shuffleSwaps(int n, RandomSource& random) {
    std::vector<int> swaps;
    if (n < 1) return swaps;
    const int rounds = n <= 500 ? 2 * n : n;
    swaps.reserve(size_t(rounds) + 1);
    for (int i = 0; i <= rounds; ++i) {
        int r = int(random.next() * (n + 1)) - 1;
        if (r < 0) r = n;
        swaps.push_back(r);
    }
    return swaps;
}

}  // namespace vx::playlist

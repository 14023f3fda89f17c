#pragma once

#include <vector>

#include "playlist/random_source.h"

namespace vx::playlist {

// The rows that the shuffle swaps with the first row, for a list of n + 1 entries: 2n + 1 swaps for up to
// 501 entries, n + 1 beyond. Each is drawn as floor(x * (n + 1)) - 1, with -1 standing for the last row.
std::vector<int> shuffleSwaps(int n, RandomSource& random);

// Applies the swaps to a list of n + 1 items.
template <typename T>
void applyShuffle(std::vector<T>& items, const std::vector<int>& swaps) {
    for (int r : swaps) std::swap(items[size_t(r)], items[0]);
}

}  // namespace vx::playlist

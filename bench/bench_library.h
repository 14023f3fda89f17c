#pragma once

#include <ostream>

// Track database figure on 10,000 analysed songs ("name value unit"): db_open_10k_tracks_ms, opening the
// library and reading the sort values of every song by path, the median of five runs.
void runLibraryBenchmarks(std::ostream& out);

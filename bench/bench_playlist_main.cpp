// A stand-in entry point so the benchmark program links while it holds only the playlist figures. It is
// weak: the shared benchmark main, when present, takes its place.
#include <iostream>

#include "bench_playlist.h"

__attribute__((weak)) int main() {
    runPlaylistBenchmarks(std::cout);
    return 0;
}

#pragma once

#include <ostream>

// Playlist figures on 10,000 generated tagged MP3 files, one line each ("name value unit"):
// playlist_open_10k_s, playlist_open_vs_taglib, playlist_open_max_freeze_ms, playlist_sort_10k_ms.
void runPlaylistBenchmarks(std::ostream& out);

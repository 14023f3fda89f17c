#pragma once

#include <filesystem>
#include <ostream>

// Console figures, one line each ("name value unit"), on the benchmark's two 5-minute MP3s
// (track5_0.mp3 and track5_1.mp3 in `tracks`):
// - startup_s: the real program, from process start until its main window is shown (median of five);
// - rss_idle_mib, rss_two_tracks_mib, cpu_playing_pct: the real program idle, and with both decks
//   playing the two tracks through the silent output;
// - control_to_sound_ms (and one line per control): from a control on the UI thread until the rendered
//   output changes, offline in-process; output_period_ms beside it;
// - ui_tick_ms, ui_tick_paint_ms: one 80 ms display tick with both decks playing, with the window's
//   refresh, and with the repaint it causes;
// - resize_frame_ms: the whole console laid out and painted at a new size (offscreen, median of a sweep,
//   UI-thread CPU time; resize_frame_wall_ms the same in wall-clock time).
void runConsoleBenchmarks(std::ostream& out, const std::filesystem::path& tracks);

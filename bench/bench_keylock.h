#pragma once

#include <filesystem>
#include <ostream>

// keylock_cpu_pct_per_deck: the share of one core that one key-locked deck's mixing takes (reading the
// song, stretching it at +6 % and the rest of its voice), the song decoded beforehand, over 60 s of sound.
// keylock_added_cpu_pct_per_deck: what key lock adds to the same deck played plainly.
void runKeyLockBenchmarks(std::ostream& out, const std::filesystem::path& tracks);

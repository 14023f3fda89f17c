#pragma once

#include <QString>
#include <cstdint>

// Pitch and display arithmetic of a deck, as pure functions.
namespace vx::deckmath {

inline constexpr int kPitchCentre = 1000;  // slider centre: no change
inline constexpr int kPitchMax = 2000;

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), whatever the FPU mode.
std::int64_t roundHalfEven(double x);

// Playback frequency for pitch position p (0..2000 and beyond while bending) on base frequency `base`:
// every unit away from 1000 is 0.01 % times the range.
int pitchFrequency(int pitchValue, int baseFrequency, double pitchRange);

// The LCD's pitch text: " 0.00% " at the centre, else " - 1.50%" / " + 0.15%" (two decimals, halves
// rounded away from zero as a decimal number, so 0.015 shows 0.02).
QString pitchText(int pitchValue, double pitchRange);

// A percentage with at least one integer digit and two decimals.
QString formatPercent(double percent);

// Progress 0..100 of `position` in a song of `length` bytes (0 when the length is unknown).
int progressOf(std::int64_t position, std::int64_t length);

// The byte a progress value 0..100 points at.
std::int64_t positionOfProgress(int progress, std::int64_t length);

}  // namespace vx::deckmath

#pragma once
// One-dimensional gradient noise, read by the expression function noise and
// by the noise wave of oscillations.
//
// InitNoiseTables fills the permutation and gradient tables once from the
// global random generator (after start-up seeded it); afterwards the tables
// are read-only and GradientNoise1D is a pure function of them. Before
// InitNoiseTables runs every gradient is 0 and so is the noise.
// Main thread only while the tables are filled; reading is safe from any thread.

#include <array>

constexpr int kNoiseTableSize = 514;

// Entries 0-255 are a permutation of 0-255; 256-513 repeat 0-257.
extern std::array<int, kNoiseTableSize> NoisePermutation;
// Entries 0-255 are gradients in [-1, 1]; 256-513 repeat 0-257.
extern std::array<float, kNoiseTableSize> NoiseGradient1;

void InitNoiseTables();

// 0 at every whole number, continuous, repeating every 256 units.
float GradientNoise1D(double x);

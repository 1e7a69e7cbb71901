#pragma once

// The value noise that tints the vertex colours of a static world: one 256 x 256 table shared by the
// module, filled once from three octaves of smoothed, cosine-blended lattice noise (it depends on
// nothing, so every world map would fill it with the same values).

// The table entry nearest (x, y), both rounded to nearest and wrapped to 0..255.
float map_noise2(float x, float y);
// The lattice noise at (x, y): -1..1.
float map_noise_int(int x, int y);
// The lattice noise smoothed over its eight neighbours.
float map_noise_smooth(int x, int y);
// Cosine blend of `a` and `b` by `t` (0..1).
float map_noise_cosine(float a, float b, float t);

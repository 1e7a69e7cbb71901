#pragma once
#include <cstdint>

// Smoothed value noise for the small irregularities of the terrain beside roads and of the surfaces the
// road builder lays out. Two tables are computed once, shared by every map controller and counted: the
// first controller builds them, the last one frees them. Builders only look values up.

// Rows and columns of the first table (entry [i * 32 + j] = noise_value(i, j)).
constexpr int32_t noise_table_rows = 4096;
constexpr int32_t noise_table_columns = 32;
// Rows and columns of the second table (entry [i * 256 + j] = noise_value(i * 0.5, j * 0.5)).
constexpr int32_t noise_table2_size = 256;

// The tables (null while no map controller holds them) and the number of controllers that hold them.
extern float* noise_table;
extern float* noise_table2;
extern int32_t noise_users;

// Takes one use of the tables, building them when they do not exist. False (reported) when memory
// runs out; the use is not taken then.
bool noise_tables_build();
// Gives one use back; the last use frees the tables. A call without a use is ignored.
void noise_tables_free();

// First table at row i and column j, both wrapped into the table (4096 and 32 fold back to 0). The
// tables must exist.
float noise_sample(int32_t i, int32_t j);
// Second table at x and y rounded to the nearest integers (the current rounding mode), wrapped to 256.
float noise_sample2(float x, float y);

// Integer noise in (-1, 1] at (x, y).
float noise_hash(int32_t x, int32_t y);
// The noise at (x, y) smoothed over its eight neighbours.
float noise_smooth(int32_t x, int32_t y);
// Cosine interpolation from a (t = 0) to b (t = 1).
float noise_interp(float a, float b, float t);
// Three octaves of interpolated smoothed noise at (x, y), the octaves at frequencies 1, 2, 4 and
// amplitudes 1, 0.25, 0.0625.
float noise_value(float x, float y);

#include "road/noise.h"

#include <cmath>

#include "engine/reset.h"
#include "common/engine_api.h"

float* noise_table = nullptr;
float* noise_table2 = nullptr;
int32_t noise_users = 0;

namespace {

// Frees both tables, whatever the count.
void free_tables()
{
    if (noise_table)
        api::mem_sys_free(noise_table);
    if (noise_table2)
        api::mem_sys_free(noise_table2);
    noise_table = nullptr;
    noise_table2 = nullptr;
}

// A reset of the engine drops every use (the controllers holding them are gone by then).
void reset_noise()
{
    free_tables();
    noise_users = 0;
}

const engine_reset_registrar_t noise_reset(reset_order_entities + 10, reset_noise);

// One octave: the smoothed noise at the four integer corners around (x, y), interpolated.
float noise_octave(const float x, const float y)
{
    const int32_t ix = static_cast<int32_t>(x);
    const int32_t iy = static_cast<int32_t>(y);
    const float fx = x - static_cast<float>(ix);
    const float fy = y - static_cast<float>(iy);
    const float i1 = noise_interp(noise_smooth(ix, iy), noise_smooth(ix + 1, iy), fx);
    const float i2 = noise_interp(noise_smooth(ix, iy + 1), noise_smooth(ix + 1, iy + 1), fx);
    return noise_interp(i1, i2, fy);
}

}  // namespace

float noise_hash(const int32_t x, const int32_t y)
{
    // Arithmetic modulo 2^32, as the table values depend on the wrap-round.
    uint32_t n = static_cast<uint32_t>(x) + static_cast<uint32_t>(y) * 57u;
    n = (n << 13) ^ n;
    const uint32_t m = (n * (n * n * 15731u + 789221u) - 771171059u) & 0x7fffffffu;
    return 1.0f - static_cast<float>(m) * 9.313226e-10f;
}

float noise_smooth(const int32_t x, const int32_t y)
{
    const float corners =
        noise_hash(x - 1, y - 1) + noise_hash(x + 1, y - 1) + noise_hash(x - 1, y + 1) + noise_hash(x + 1, y + 1);
    const float sides = noise_hash(x - 1, y) + noise_hash(x + 1, y) + noise_hash(x, y - 1) + noise_hash(x, y + 1);
    return corners * 0.0625f + sides * 0.125f + noise_hash(x, y) * 0.25f;
}

float noise_interp(const float a, const float b, const float t)
{
    const float f = (1.0f - std::cos(t * 3.1415927f)) * 0.5f;
    return (1.0f - f) * a + f * b;
}

float noise_value(const float x, const float y)
{
    return noise_octave(x, y) + 0.25f * noise_octave(2.0f * x, 2.0f * y) + 0.0625f * noise_octave(4.0f * x, 4.0f * y);
}

bool noise_tables_build()
{
    if (!noise_table) {
        noise_table = static_cast<float*>(api::mem_sys_alloc(sizeof(float) * noise_table_rows * noise_table_columns));
        noise_table2 = static_cast<float*>(api::mem_sys_alloc(sizeof(float) * noise_table2_size * noise_table2_size));
        if (!noise_table || !noise_table2) {
            free_tables();
            api::error("Not enough memory for the terrain noise tables");
            return false;
        }
        for (int32_t i = 0; i < noise_table_rows; ++i) {
            for (int32_t j = 0; j < noise_table_columns; ++j)
                noise_table[i * noise_table_columns + j] = noise_value(static_cast<float>(i), static_cast<float>(j));
        }
        for (int32_t i = 0; i < noise_table2_size; ++i) {
            for (int32_t j = 0; j < noise_table2_size; ++j)
                noise_table2[i * noise_table2_size + j] =
                    noise_value(static_cast<float>(i) * 0.5f, static_cast<float>(j) * 0.5f);
        }
    }
    ++noise_users;
    return true;
}

void noise_tables_free()
{
    if (noise_users <= 0)
        return;
    if (--noise_users == 0)
        free_tables();
}

float noise_sample(const int32_t i, const int32_t j)
{
    // Both sizes are powers of two: the mask wraps any index, negative ones included, into the table.
    const int32_t row = i & (noise_table_rows - 1);
    const int32_t column = j & (noise_table_columns - 1);
    return noise_table[row * noise_table_columns + column];
}

float noise_sample2(const float x, const float y)
{
    const int32_t row = static_cast<int32_t>(std::lrint(x)) & (noise_table2_size - 1);
    const int32_t column = static_cast<int32_t>(std::lrint(y)) & (noise_table2_size - 1);
    return noise_table2[row * noise_table2_size + column];
}

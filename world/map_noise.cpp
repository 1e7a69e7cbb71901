#include "world/map_noise.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// One octave at frequency `f`: the smoothed lattice values round (f x, f y), blended.
float octave(float x, float y, float f)
{
    const float sx = f * x;
    const float sy = f * y;
    const int ix = static_cast<int>(sx);
    const int iy = static_cast<int>(sy);
    const float fx = sx - static_cast<float>(ix);
    const float fy = sy - static_cast<float>(iy);
    const float a = map_noise_smooth(ix, iy);
    const float b = map_noise_smooth(ix + 1, iy);
    const float c = map_noise_smooth(ix, iy + 1);
    const float d = map_noise_smooth(ix + 1, iy + 1);
    return map_noise_cosine(map_noise_cosine(a, b, fx), map_noise_cosine(c, d, fx), fy);
}

const std::vector<float>& table()
{
    static const std::vector<float> values = [] {
        std::vector<float> t(256 * 256);
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j) {
                const float x = 0.5f * static_cast<float>(i);
                const float y = 0.5f * static_cast<float>(j);
                t[static_cast<size_t>(i) * 256 + static_cast<size_t>(j)] =
                    octave(x, y, 1.0f) + 0.25f * octave(x, y, 2.0f) + 0.0625f * octave(x, y, 4.0f);
            }
        return t;
    }();
    return values;
}

}  // namespace

float map_noise_int(int x, int y)
{
    uint32_t m = static_cast<uint32_t>(x) + 57u * static_cast<uint32_t>(y);
    m = (m << 13) ^ m;
    const uint32_t v = (m * (m * m * 15731u + 789221u) - 771171059u) & 0x7fffffffu;
    return 1.0f - static_cast<float>(v) / 1073741824.0f;
}

float map_noise_smooth(int x, int y)
{
    const float corners = map_noise_int(x - 1, y - 1) + map_noise_int(x + 1, y - 1) + map_noise_int(x - 1, y + 1) +
                          map_noise_int(x + 1, y + 1);
    const float sides =
        map_noise_int(x - 1, y) + map_noise_int(x + 1, y) + map_noise_int(x, y - 1) + map_noise_int(x, y + 1);
    return corners / 16.0f + sides / 8.0f + map_noise_int(x, y) / 4.0f;
}

float map_noise_cosine(float a, float b, float t)
{
    const float g = (1.0f - std::cos(t * 3.1415927f)) * 0.5f;
    return a * (1.0f - g) + b * g;
}

namespace {

// A coordinate rounded to nearest and wrapped to 0..255; positions from files may be anything, so
// what is not a finite number counts as 0.
uint32_t table_step(float value)
{
    if (!std::isfinite(value))
        return 0;
    const double wrapped = std::fmod(std::nearbyint(static_cast<double>(value)), 256.0);
    return static_cast<uint32_t>(static_cast<int32_t>(wrapped)) & 255u;
}

}  // namespace

float map_noise2(float x, float y) { return table()[table_step(x) * 256 + table_step(y)]; }

#include "road/terrain_profile.h"

#include <cmath>

#include "road/map_edge.h"
#include "road/noise.h"

namespace {

// Bits of the edge flag word that choose each side's noise amplitude and falloff rows.
constexpr int amplitude_shift[2] = {4, 8};
constexpr int falloff_shift[2] = {12, 16};

// The noise amplitude a two-bit field picks: 200, 100 with the lower bit, 0 with the upper bit.
float noise_amplitude_of(const uint32_t field)
{
    if (field & 2u)
        return 0.0f;
    return (field & 1u) ? 100.0f : 200.0f;
}

// The height of column `column` of `heights` (null reads as flat).
float height_at(const float* heights, const int32_t column) { return heights ? heights[column - 1] : 0.0f; }

// The noise of `row` at `column`, halved for the three columns nearest the road.
float column_noise(const uint32_t row, const int32_t column)
{
    const float noise = noise_sample(static_cast<int32_t>(row), column);
    return column < 4 ? noise * 0.5f : noise;
}

}  // namespace

float terrain_falloff_weight(const int32_t row, const int32_t rows, const int32_t centre)
{
    if (row <= 0)
        return 0.0f;
    if (row >= rows - 1)
        return 1.0f;
    const float weight = 1.0f / (1.0f + std::exp(-static_cast<float>(row - centre)));
    return weight > 0.98f ? 1.0f : weight;
}

void terrain_profile_t::clear() { *this = terrain_profile_t{}; }

void terrain_profile_t::setup_cross_section(const map_edge_t& edge, const float* side0_heights,
                                            const float* side1_heights)
{
    clear();
    const float* const heights[2] = {side0_heights, side1_heights};
    for (int side = 0; side < 2; ++side) {
        terrain_side_t& state = sides[side];
        state.heights = heights[side];
        state.height_scale = edge.sides[side].height_scale;
        state.noise_amplitude = noise_amplitude_of((edge.flags >> amplitude_shift[side]) & 3u);
        const uint32_t falloff = (edge.flags >> falloff_shift[side]) & 3u;
        state.falloff_rows = falloff == 0 ? 16 : (falloff & 1u) ? 8 : 4;
        state.falloff_centre = state.falloff_rows / 2;
    }
    reset_noise_row(edge);
}

void terrain_profile_t::set_end_road(const map_edge_t& neighbour, const float* side0_heights,
                                     const float* side1_heights)
{
    const float* const heights[2] = {side0_heights, side1_heights};
    for (int side = 0; side < 2; ++side) {
        sides[side].end_heights = heights[side];
        sides[side].end_height_scale = neighbour.sides[side].height_scale;
        sides[side].end_noise_amplitude = noise_amplitude_of((neighbour.flags >> amplitude_shift[side]) & 3u);
    }
    end_mark = static_cast<uint32_t>(neighbour.noise_row);
}

void terrain_profile_t::set_start_prefab(const float* first, const float* second)
{
    start_lists[0] = first;
    start_lists[1] = second;
}

void terrain_profile_t::set_end_prefab(const float* first, const float* second)
{
    sides[0].end_heights = first;
    sides[1].end_heights = second;
    sides[0].end_height_scale = sides[1].end_height_scale = 1.0f;
    end_mark = terrain_prefab_mark;
}

void terrain_profile_t::reset_noise_row(const map_edge_t& edge) { noise_row = edge.noise_row - 1; }

void terrain_profile_t::next_noise_row(const int32_t row, const int32_t rows)
{
    ++noise_row;
    setup_terrain_falloff(row, rows);
}

void terrain_profile_t::setup_terrain_falloff(const int32_t row, const int32_t rows)
{
    for (terrain_side_t& side : sides) {
        side.weight = 1.0f;
        side.blend = terrain_blend_none;
    }
    // Side 0's start blend is enabled by the first list, side 1's by the second.
    for (int side = 0; side < 2; ++side) {
        terrain_side_t& state = sides[side];
        if (start_lists[side] && row < state.falloff_rows) {
            state.blend = terrain_blend_start_prefab;
            state.row_in_zone = row;
            state.weight = terrain_falloff_weight(row, state.falloff_rows, state.falloff_centre);
        }
    }
    // An end blend overrides a start blend of the same row.
    for (terrain_side_t& state : sides) {
        if (state.end_heights && row >= rows - state.falloff_rows) {
            state.blend = end_mark == terrain_prefab_mark ? terrain_blend_end_prefab : terrain_blend_end_road;
            state.row_in_zone = row - (rows - state.falloff_rows);
            state.weight = terrain_falloff_weight(state.row_in_zone, state.falloff_rows, state.falloff_centre);
        }
    }
}

float terrain_profile_t::terrain_height(const int side, const int32_t row, const int32_t column,
                                        const bool next_row) const
{
    if (side < 0 || side > 1 || column < 1 || column > terrain_profile_columns)
        return 0.0f;
    const terrain_side_t& state = sides[side];
    const float own = height_at(state.heights, column) * state.height_scale +
                      column_noise(static_cast<uint32_t>(row), column) * state.noise_amplitude;
    const float weight = next_row
                             ? terrain_falloff_weight(state.row_in_zone + 1, state.falloff_rows, state.falloff_centre)
                             : state.weight;
    switch (state.blend) {
    case terrain_blend_none:
        return own;
    case terrain_blend_start_prefab:
        // Side 0 blends into the record's second list, side 1 into its first.
        return own * weight + height_at(start_lists[1 - side], column) * (1.0f - weight);
    case terrain_blend_end_prefab:
        return own * (1.0f - weight) + height_at(state.end_heights, column) * weight;
    case terrain_blend_end_road:
        return own * (1.0f - weight) + (height_at(state.end_heights, column) * state.end_height_scale +
                                        column_noise(end_mark, column) * state.end_noise_amplitude) *
                                           weight;
    }
    return 0.0f;
}

#pragma once
#include <cstdint>

struct map_edge_t;

// Columns of a side's terrain strip that have a profile height (column 1 at the road's edge).
constexpr int32_t terrain_profile_columns = 32;
// End mark of a terrain profile whose end neighbour is a prefab rather than a Road.
constexpr uint32_t terrain_prefab_mark = 0xD8437956u;

// How a side's terrain row is blended with a neighbour's.
enum terrain_blend_t : int32_t {
    terrain_blend_none = 0,
    terrain_blend_start_prefab = 1,
    terrain_blend_end_prefab = 2,
    terrain_blend_end_road = 3,
};

// The own-height weight of row `row` of a blend zone of `rows` rows centred on `centre`: 0 at row 0,
// the logistic curve between (1 once it passes 0.98), 1 from the zone's last row on.
float terrain_falloff_weight(int32_t row, int32_t rows, int32_t centre);

// One side of an edge's terrain profile: its heights across the strip, scaled and roughened by noise,
// and how the current row blends into a neighbour.
struct terrain_side_t {
    // The 32 heights of the side's profile (index column - 1); null reads as flat.
    const float* heights = nullptr;
    float height_scale = 1.0f;
    float noise_amplitude = 0.0f;
    int32_t falloff_rows = 16;
    int32_t falloff_centre = 8;
    // The end neighbour's heights (null none), its scale and noise amplitude.
    const float* end_heights = nullptr;
    float end_height_scale = 1.0f;
    float end_noise_amplitude = 0.0f;
    // The current row's blend: mode, row within the blend zone and own-height weight.
    terrain_blend_t blend = terrain_blend_none;
    int32_t row_in_zone = 0;
    float weight = 1.0f;
};

// The terrain beside a Road edge: both sides' profiles, the neighbours they blend into near the ends
// and the running noise row. Shared by the render build and the collision skirts, so that what is
// drawn and what is driven on meet.
class terrain_profile_t {
public:
    // Side 0 is the edge's first side, side 1 its second.
    terrain_side_t sides[2];
    // Height lists of the start prefab's terrain record: side 1 blends into the first, side 0 into the
    // second; each one's presence enables the other side's start blend.
    const float* start_lists[2] = {nullptr, nullptr};
    // The end neighbour's first noise row, or terrain_prefab_mark.
    uint32_t end_mark = 0;
    // The running noise row.
    int32_t noise_row = 0;

    // Empties the profile: no heights, no neighbours, row 0.
    void clear();
    // Sets both sides from `edge` (height scales, noise amplitudes and falloff rows from its flag word)
    // with the heights of its two profiles, clears the neighbours and resets the noise row.
    void setup_cross_section(const map_edge_t& edge, const float* side0_heights, const float* side1_heights);
    // The end neighbour is the Road `neighbour` with its two profiles' heights.
    void set_end_road(const map_edge_t& neighbour, const float* side0_heights, const float* side1_heights);
    // The start neighbour is a prefab whose terrain record holds `first` and `second`.
    void set_start_prefab(const float* first, const float* second);
    // The end neighbour is a prefab whose terrain record holds `first` (side 0) and `second` (side 1).
    void set_end_prefab(const float* first, const float* second);
    // The noise row before the edge's first one (edge word 37 - 1).
    void reset_noise_row(const map_edge_t& edge);
    // Moves to the next noise row and sets the blends of row `row` of an edge of `rows` rows.
    void next_noise_row(int32_t row, int32_t rows);
    // Sets both sides' blend mode, row in zone and weight for row `row` of an edge of `rows` rows.
    void setup_terrain_falloff(int32_t row, int32_t rows);
    // The terrain height at column `column` (1 at the road's edge) of side `side` for noise row
    // `noise_row`; with `next_row` the weight of the row after the current one. 0 outside the profile.
    float terrain_height(int side, int32_t noise_row, int32_t column, bool next_row) const;
};

#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class seg_server_t;
struct gfx_shader_t;
struct map_edge_t;
struct seg_shader_t;

// The renderer's shader of entry `index` of a segment-server shader array of `count` entries: an
// index outside the array draws with the fallback at index -1. Null when the array is not loaded.
const gfx_shader_t* segment_table_shader(const seg_shader_t* table, int32_t count, int32_t index);
// The terrain of side `side` of `edge` in the terrain shader table, -1 (the fallback) when out of range.
int32_t segment_side_terrain(const seg_server_t& server, const map_edge_t& edge, int side);
// Entry `index` of the terrain shader table (terrains, transitions and blends together).
const gfx_shader_t* segment_terrain_shader(const seg_server_t& server, int32_t index);
// The shader of road layer `layer` of a Road edge: the road type's surface, the centre terrain, and
// the transition between the two.
const gfx_shader_t* segment_road_layer_shader(const seg_server_t& server, const map_edge_t& edge, int32_t layer);

// The terrain layers of a build: one layer per distinct terrain shader, numbered from a first layer on
// in the order the shaders were added.
class segment_terrain_layers_t {
public:
    // Forgets every shader; the next one added gets layer `first_layer`.
    void clear(int32_t first_layer);
    // Gives `shader` a layer unless it has one.
    void add(int32_t shader);
    // Layers numbered so far.
    size_t count() const { return shaders_.size(); }
    // The layer of `shader` (which was added).
    int32_t layer_of(int32_t shader) const;
    // The shader layer `layer` draws.
    int32_t shader_at(int32_t layer) const { return shaders_[static_cast<size_t>(layer - first_)]; }

private:
    int32_t first_ = 0;
    std::vector<int32_t> shaders_;
};

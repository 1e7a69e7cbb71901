#include "road/segment_shaders.h"

#include <algorithm>

#include "road/map_edge.h"
#include "road/seg_server.h"

const gfx_shader_t* segment_table_shader(const seg_shader_t* table, const int32_t count, const int32_t index)
{
    if (!table)
        return nullptr;
    return table[index >= 0 && index < count ? index : -1].shader;
}

int32_t segment_side_terrain(const seg_server_t& server, const map_edge_t& edge, const int side)
{
    const int32_t terrain = edge.sides[side].terrain;
    return terrain >= 0 && terrain < server.terrain_shader_count ? terrain : -1;
}

const gfx_shader_t* segment_terrain_shader(const seg_server_t& server, const int32_t index)
{
    const int32_t count = server.terrain_shader_count + server.trans_shader_count + server.blend_shader_count;
    return segment_table_shader(server.terrain_shaders, count, index);
}

const gfx_shader_t* segment_road_layer_shader(const seg_server_t& server, const map_edge_t& edge, const int32_t layer)
{
    const int32_t centre =
        edge.centre_word >= 0 && edge.centre_word < server.terrain_shader_count ? edge.centre_word : -1;
    switch (layer) {
    case 0:
        return segment_table_shader(server.road_shaders, server.road_shader_count, edge.road_type);
    case 1:
        return segment_terrain_shader(server, centre);
    default:
        return segment_terrain_shader(server, server.terrain_trans_shader(edge.road_type, centre));
    }
}

void segment_terrain_layers_t::clear(const int32_t first_layer)
{
    first_ = first_layer;
    shaders_.clear();
}

void segment_terrain_layers_t::add(const int32_t shader)
{
    if (std::find(shaders_.begin(), shaders_.end(), shader) == shaders_.end())
        shaders_.push_back(shader);
}

int32_t segment_terrain_layers_t::layer_of(const int32_t shader) const
{
    const auto at = std::find(shaders_.begin(), shaders_.end(), shader);
    return first_ + static_cast<int32_t>(at - shaders_.begin());
}

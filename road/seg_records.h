#pragma once
#include <cstdint>
#include <string>

#include "engine/vec.h"

struct c_item_t;
struct gfx_shader_t;

// Path of the shader every shader array of the segment server keeps at index -1, and that stands in
// for an entry its definition file leaves out.
inline constexpr const char* seg_fallback_shader_path = "/specials/notfound.shd";

// A shader the segment server holds: the counted cache handle it gives back at unload (null when the
// cache has no kind for the name) and the renderer's record drawn with it.
struct seg_shader_t {
    c_item_t* item = nullptr;
    const gfx_shader_t* shader = nullptr;
};

// Takes a shader through the cache and the renderer.
seg_shader_t seg_shader_take(const char* path);
// Gives back the cache handle of `shader` (once) and clears it.
void seg_shader_give_back(seg_shader_t& shader);

// The name a shader path is matched by: the part after the last "/" with the extension (from the last
// ".") cut off; "/shaders/blend/grass_sand_3.shd" gives "grass_sand_3".
std::string seg_file_name(const char* path);

// One trader of the map's loading docks, indexed by its "id": the name of its file (63 characters at
// most), the text the map maker is shown for it (its "name", a text key; empty when the file has none)
// and the shader of the label drawn over its docks.
struct seg_trader_t {
    char name[64];
    char display_name[64];
    seg_shader_t label;
};

// One city: its rectangle on the ground (x and z), its height, and where and how a game started in it
// puts the truck.
struct city_area_t {
    float x_min;
    float x_max;
    float z_max;
    float z_min;
    float y;
    vec3_t start_position;
    float start_rotation;
};

// Quads one lane-arrow packet has room for, and the vertices each quad takes (two triangles).
constexpr int32_t seg_arrow_quad_capacity = 100;
constexpr int32_t seg_arrow_quad_vertices = 6;
// The renderer's packet word of a lane-arrow packet.
constexpr uint32_t seg_arrow_packet_word = 393;

// The painted lane arrows of one kind (left, straight, straight and right, right), drawn as one packet
// with one shader; its vertex storage lies in the segment server's block.
struct seg_arrow_packet_t {
    seg_shader_t shader;
    uint32_t packet;
    int32_t quad_count;
    vec3_t* positions;      // seg_arrow_quad_capacity * seg_arrow_quad_vertices
    float* texture_coords;  // two per vertex
};

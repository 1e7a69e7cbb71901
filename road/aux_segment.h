#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

class base_ctrl_e;
class r_packet_t;
struct gfx_shader_t;
struct map_aux_edge_t;

// An aux render slot: the mesh of one aux edge (an aux model's cross-section swept along the smooth
// curve between its two aux nodes), kept in one pool block with 16-bit indices.
class aux_segment_t {
public:
    aux_segment_t() = default;
    ~aux_segment_t();
    aux_segment_t(const aux_segment_t&) = delete;
    aux_segment_t& operator=(const aux_segment_t&) = delete;

    // Empties the slot's counts and pointers (its block is not given back: see release).
    void clear();
    // Builds the mesh of `edge` (one of `controller`'s); false, with nothing held, when the edge has no
    // usable aux model or its mesh would not fit one block.
    bool build(base_ctrl_e& controller, const map_aux_edge_t& edge);
    // Gives back the mesh and packets; the slot holds no aux edge.
    void release(base_ctrl_e& controller);
    // Widens `bounds` over the mesh's vertices.
    void update_bounds(cd_bounds_t& bounds) const;
    // Queues the mesh for drawing, shaded by the world's `lights` (an engine light list) when its
    // material is lit.
    void draw(const void* lights) const;

    int32_t vertex_count = 0;
    vec3_t* positions = nullptr;
    vec3_t* normals = nullptr;
    float* uvs = nullptr;
    int32_t index_count = 0;
    uint16_t* indices = nullptr;
    // Midpoint of the two aux nodes.
    vec3_t centre;
    const gfx_shader_t* shader = nullptr;
    // The material is lit: the mesh carries normals and is shaded by the world's light.
    bool lit = false;
    // The aux edge held, -1 free; shown this frame.
    int32_t aux_edge = -1;
    uint8_t visible = 0;

private:
    void* buffer_ = nullptr;
    r_packet_t* index_packet_ = nullptr;
    r_packet_t* vertex_packet_ = nullptr;
};

#include "road/aux_segment.h"

#include <cmath>

#include "engine/geometry.h"
#include "engine/gfx_render.h"
#include "engine/matrix.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/road_template.h"

namespace {

constexpr vec3_t up_axis(0.0f, 1.0f, 0.0f);
// Bytes the mesh may take: 12 + 12 + 8 per vertex and 2 per index must stay below one block.
constexpr int64_t aux_mesh_limit = 65536;

const aux_segment_t& owner_of(void* owner) { return *static_cast<const aux_segment_t*>(owner); }
int vertex_count_of(void* owner, int) { return owner_of(owner).vertex_count; }
const float* positions_of(void* owner, int) { return &owner_of(owner).positions->x; }
const float* normals_of(void* owner, int) { return &owner_of(owner).normals->x; }
const float* uvs_of(void* owner, int) { return owner_of(owner).uvs; }
const float* centre_of(void* owner, int) { return &owner_of(owner).centre.x; }
int index_count_of(void* owner, int) { return owner_of(owner).index_count; }
const uint16_t* indices_of(void* owner, int) { return owner_of(owner).indices; }

// How the renderer reads an aux mesh: with the normals the world's light shades it by, for a lit
// material, or without them.
const r_packet_decl_t aux_lit_vertex_decl = {
    "aux_segment_vpd_vertex", vertex_count_of, positions_of, normals_of, uvs_of, nullptr, centre_of, nullptr, nullptr};
const r_packet_decl_t aux_unlit_vertex_decl = {
    "aux_segment_vpd_vertex", vertex_count_of, positions_of, nullptr, uvs_of, nullptr, centre_of, nullptr, nullptr};
const r_packet_decl_t aux_index_decl = {"segment_ipd", vertex_count_of, nullptr,        nullptr,   nullptr,
                                        nullptr,       centre_of,       index_count_of, indices_of};

constexpr float world_frame[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void drop_packet(r_packet_t*& packet)
{
    if (packet && packet->dec_refs() == 0)
        api::gfx_free_packet(packet);
    packet = nullptr;
}

}  // namespace

aux_segment_t::~aux_segment_t()
{
    drop_packet(index_packet_);
    drop_packet(vertex_packet_);
}

void aux_segment_t::clear()
{
    vertex_count = index_count = 0;
    positions = normals = nullptr;
    uvs = nullptr;
    indices = nullptr;
    shader = nullptr;
    aux_edge = -1;
    visible = 0;
    lit = false;
}

void aux_segment_t::release(base_ctrl_e& controller)
{
    controller.segment_blocks.give(buffer_);
    buffer_ = nullptr;
    drop_packet(index_packet_);
    drop_packet(vertex_packet_);
    clear();
}

bool aux_segment_t::build(base_ctrl_e& controller, const map_aux_edge_t& edge)
{
    if (buffer_)
        release(controller);
    const seg_server_t* server = controller.seg_server;
    if (!server || edge.model < 0 || static_cast<size_t>(edge.model) >= server->aux_models.size())
        return false;
    const aux_model_t& model = server->aux_models[static_cast<size_t>(edge.model)];
    const road_section_t& part = model.part;
    const map_aux_node_t* from =
        controller.aux_nodes.valid(edge.nodes[0]) ? &controller.aux_nodes[edge.nodes[0]] : nullptr;
    const map_aux_node_t* to =
        controller.aux_nodes.valid(edge.nodes[1]) ? &controller.aux_nodes[edge.nodes[1]] : nullptr;
    // A model without length or an edge without length cannot be cut into pieces.
    if (!from || !to || part.vertex_count() == 0 || !(part.length > 0.0f) || !(edge.length > 0.0f) ||
        !std::isfinite(edge.length))
        return false;
    const road_template_t shape(part);
    const double pieces_wanted = std::ceil(static_cast<double>(edge.length) / part.length);
    if (pieces_wanted > 65535.0)
        return false;
    const auto pieces = static_cast<int32_t>(pieces_wanted);
    const int64_t vertices = shape.vertices(pieces);
    const int64_t index_total = shape.indices(pieces);
    if (2 * (16 * vertices + index_total) >= aux_mesh_limit)
        return false;
    buffer_ = controller.segment_blocks.take();
    if (!buffer_)
        return false;
    auto* cursor = static_cast<char*>(buffer_);
    positions = reinterpret_cast<vec3_t*>(cursor);
    normals = positions + vertices;
    uvs = reinterpret_cast<float*>(normals + vertices);
    indices = reinterpret_cast<uint16_t*>(uvs + 2 * vertices);
    centre = (from->position + to->position) * 0.5f;
    lit = false;
    if (server->aux_shaders.valid(-1)) {
        const seg_flagged_shader_t& material = server->aux_shaders.at_or_spare(edge.material);
        shader = material.shader.shader;
        lit = material.flag != 0;
    }
    index_packet_ = api::gfx_alloc_packet(&aux_index_decl, this, 0);
    vertex_packet_ = api::gfx_alloc_packet(lit ? &aux_lit_vertex_decl : &aux_unlit_vertex_decl, this, 0);
    const float scale = edge.length / 3.0f;
    const vec3_t start_tangent = from->vector * scale;
    const vec3_t end_tangent = to->vector * scale;
    vertex_count = index_count = 0;
    for (int32_t k = 0; k < pieces; ++k) {
        const float t0 = static_cast<float>(k) / static_cast<float>(pieces);
        const float t1 = k + 1 == pieces ? 1.0f : static_cast<float>(k + 1) / static_cast<float>(pieces);
        vec3_t p[2], tangent[2];
        smooth_curve(from->position, start_tangent, to->position, end_tangent, t0, p[0], &tangent[0]);
        smooth_curve(from->position, start_tangent, to->position, end_tangent, t1, p[1], &tangent[1]);
        const vec3_t s0 = tangent[0].cross(up_axis).normalized();
        const vec3_t s1 = tangent[1].cross(up_axis).normalized();
        // A lit material's profile normals turned into the piece's heading.
        mat4_t turn;
        if (lit)
            matrix_set_rotate(turn, cartes_2_ypr(tangent[0]));
        for (int32_t v = 0; v < part.vertex_count(); ++v) {
            if (k > 0 && !shape.emitted(v))
                continue;
            const vec3_t& x = part.positions[static_cast<size_t>(v)];
            const vec3_t a = p[0] - s0 * x.x + vec3_t(0.0f, x.y, 0.0f);
            const vec3_t b = p[1] - s1 * x.x + vec3_t(0.0f, x.y, 0.0f);
            positions[vertex_count] = a + (b - a) * part.t[static_cast<size_t>(v)];
            const vec3_t& normal = part.normals.empty() ? up_axis : part.normals[static_cast<size_t>(v)];
            normals[vertex_count] = lit ? mult_normal_matrix_fast(turn, normal) : normal;
            uvs[2 * vertex_count] = part.uvs.empty() ? 0.0f : part.uvs[2 * static_cast<size_t>(v)];
            uvs[2 * vertex_count + 1] =
                (part.uvs.empty() ? 0.0f : part.uvs[2 * static_cast<size_t>(v) + 1]) + static_cast<float>(k);
            ++vertex_count;
        }
        for (const uint16_t index : part.indices)
            indices[index_count++] = static_cast<uint16_t>(shape.index_on_row(index, k));
    }
    return true;
}

void aux_segment_t::update_bounds(cd_bounds_t& bounds) const
{
    for (int32_t v = 0; v < vertex_count; ++v)
        bounds.add_point(positions[v].x, positions[v].y, positions[v].z);
}

void aux_segment_t::draw(const void* lights) const
{
    if (vertex_count == 0 || index_count == 0 || !index_packet_ || !vertex_packet_)
        return;
    r_proto_t* proto = api::gfx_alloc_proto(1);
    if (!proto)
        return;
    proto->set_vertex_packet(0, vertex_packet_);
    proto->set_index_packet(index_packet_);
    proto->set_shader(shader);
    proto->flags = 0;
    proto->set_frame(world_frame);
    if (lit)
        proto->set_lights(lights);
    api::gfx_queue_proto(proto);
    if (proto->dec_refs() == 0)
        api::gfx_free_proto(proto);
}

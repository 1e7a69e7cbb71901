#include "road/segment.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/gfx_render.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/noise.h"
#include "world/environment_colour.h"

namespace {

// The slot and layer a packet callback is asked about.
const segment_layer_t& packet_layer(void* owner, const int element)
{
    const auto* slot = static_cast<const segment_t*>(owner);
    return slot->layer_at(element / slot->layer_count, element % slot->layer_count);
}

int vertex_count_of(void* owner, const int element) { return packet_layer(owner, element).vertex_count; }
// Every vertex of a coloured layer takes the environment's one light colour.
const uint32_t* colours_of(void* owner, const int element)
{
    static std::vector<uint32_t> colours;
    const auto count = static_cast<size_t>(std::max(vertex_count_of(owner, element), 1));
    const uint32_t colour = environment_light_colour();
    if (colours.size() < count || colours.front() != colour)
        colours.assign(std::max(count, colours.size()), colour);
    return colours.data();
}
const float* positions_of(void* owner, const int element) { return &packet_layer(owner, element).positions->x; }
const float* normals_of(void* owner, const int element) { return &packet_layer(owner, element).normals->x; }
const float* uvs_of(void* owner, const int element) { return packet_layer(owner, element).uvs; }
const float* centre_of(void* owner, const int element) { return &packet_layer(owner, element).centre.x; }
int index_count_of(void* owner, const int element) { return packet_layer(owner, element).index_count; }
const uint16_t* indices_of(void* owner, const int element) { return packet_layer(owner, element).indices; }

// How the renderer reads a built edge's vertices and indices: lit by their normals, or coloured by the
// environment.
const r_packet_decl_t segment_vertex_decl = {
    "segment_vpd_vertex", vertex_count_of, positions_of, normals_of, uvs_of, nullptr, centre_of, nullptr, nullptr};
const r_packet_decl_t segment_coloured_vertex_decl = {
    "segment_vpd_vertex", vertex_count_of, positions_of, normals_of, uvs_of, colours_of, centre_of, nullptr, nullptr};
const r_packet_decl_t segment_index_decl = {"segment_ipd", vertex_count_of, nullptr,        nullptr,   nullptr,
                                            nullptr,       centre_of,       index_count_of, indices_of};

// The frame every packet of the road network is drawn in: the world's own.
constexpr float world_frame[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Gives back one use of `packet`, freeing it at the last.
void drop_packet(r_packet_t*& packet)
{
    if (packet && packet->dec_refs() == 0)
        api::gfx_free_packet(packet);
    packet = nullptr;
}

}  // namespace

template <typename T> T* segment_carver_t::take(const size_t count)
{
    T* const at = reinterpret_cast<T*>(cursor_);
    cursor_ += sizeof(T) * count;
    return at;
}

void segment_carver_t::carve(segment_layer_t& layer)
{
    const auto vertices = static_cast<size_t>(layer.vertex_count);
    layer.positions = take<vec3_t>(vertices);
    layer.normals = take<vec3_t>(vertices);
    layer.uvs = take<float>(2 * vertices);
    layer.indices = take<uint16_t>(static_cast<size_t>(layer.index_count));
    // Keep the next layer's floats aligned after an odd number of indices.
    cursor_ += (layer.index_count & 1) * sizeof(uint16_t);
}

float segment_shading(const vec3_t& point) { return (noise_sample2(point.x * 0.004f, point.z * 0.004f) + 1.0f) * 0.6f; }

const map_node_t* segment_node(const base_ctrl_e& controller, const int32_t node)
{
    return controller.nodes.valid(node) ? &controller.nodes[node] : nullptr;
}

segment_t::segment_t() { terrain.clear(); }

segment_t::~segment_t()
{
    for (segment_layer_t& layer : layers_) {
        drop_packet(layer.index_packet);
        drop_packet(layer.vertex_packet);
    }
}

bool segment_t::allocate(base_ctrl_e& controller, const int32_t pieces, const int32_t layers)
{
    built_ = true;
    piece_count = 0;
    layer_count = layers;
    pieces_.assign(static_cast<size_t>(pieces), segment_piece_t{});
    layers_.assign(static_cast<size_t>(pieces) * static_cast<size_t>(layers), segment_layer_t{});
    for (segment_piece_t& piece : pieces_) {
        piece.bounds.set_empty();
        piece.block = controller.segment_blocks.take();
        if (!piece.block)
            return false;
        ++piece_count;
    }
    return true;
}

void segment_t::set_up_layer(const int32_t piece, const int32_t layer, const gfx_shader_t* shader, const bool coloured)
{
    segment_layer_t& at = layer_at(piece, layer);
    const int element = piece * layer_count + layer;
    at.shader = shader;
    if (at.vertex_packet && at.coloured != coloured)
        drop_packet(at.vertex_packet);
    at.coloured = coloured;
    if (!at.index_packet)
        at.index_packet = api::gfx_alloc_packet(&segment_index_decl, this, element);
    if (!at.vertex_packet)
        at.vertex_packet =
            api::gfx_alloc_packet(coloured ? &segment_coloured_vertex_decl : &segment_vertex_decl, this, element);
}

bool segment_t::build(base_ctrl_e& controller, map_edge_t& edge, const bool preview)
{
    if (built_) {
        // A preview replaces whatever the slot showed without telling the controller about it.
        if (preview)
            edge_index = -1;
        free(controller);
    }
    const int32_t saved_sign = edge.sign;
    int32_t index = -1;
    if (preview) {
        edge.sign = -1;
    } else {
        index = static_cast<int32_t>(&edge - controller.edges.begin());
        randomizer.seed(static_cast<uint32_t>(index));
    }
    bool built = false;
    switch (edge.kind) {
    case map_edge_city_road:
        built = build_city_road(controller, edge, preview);
        break;
    case map_edge_road:
        built =
            (edge.flags & map_edge_terrain_only) ? build_road_variant(controller, edge) : build_road(controller, edge);
        break;
    case map_edge_fork:
    case map_edge_cross:
    case map_edge_prefab:
        built = build_prefab(controller, edge, preview);
        break;
    default:
        break;
    }
    if (built)
        bound_layers();
    if (preview) {
        edge.sign = saved_sign;
        return built;
    }
    if (!built) {
        // Nothing the traffic could drive on: keep the slot empty and say nothing.
        free(controller);
        return false;
    }
    edge_index = index;
    if (!(edge.flags & map_edge_terrain_only))
        controller.on_segment_built(index);
    return true;
}

void segment_t::bound_layers()
{
    for (segment_layer_t& layer : layers_) {
        if (layer.radius > 1.0f || layer.vertex_count <= 0 || !layer.positions)
            continue;
        vec3_t low = layer.positions[0];
        vec3_t high = low;
        for (int32_t v = 1; v < layer.vertex_count; ++v) {
            const vec3_t& p = layer.positions[v];
            low = vec3_t(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = vec3_t(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
        layer.centre = (low + high) * 0.5f;
        // A layer of one point still gets a sphere that the draw tests.
        layer.radius = std::max((high - low).length() * 0.5f, 1.5f);
    }
}

void segment_t::free(base_ctrl_e& controller)
{
    for (segment_piece_t& piece : pieces_)
        controller.segment_blocks.give(piece.block);
    for (segment_layer_t& layer : layers_) {
        drop_packet(layer.index_packet);
        drop_packet(layer.vertex_packet);
    }
    pieces_.clear();
    layers_.clear();
    piece_count = 0;
    const bool was_built = built_;
    built_ = false;
    for (int side = 0; side < 2; ++side) {
        grid_positions[side] = grid_normals[side] = nullptr;
        grid_points[side] = 0;
    }
    // What the build placed goes back even when it failed half way and holds no edge.
    remove_instances(controller);
    if (edge_index >= 0 && was_built && controller.edges.valid(edge_index)) {
        const map_edge_t& edge = controller.edges[edge_index];
        if (!(edge.flags & map_edge_terrain_only))
            controller.on_segment_freed(edge_index);
        if (edge.kind == map_edge_fork && edge.sides[0].vegetation != -1 && edge.sides[0].vegetation != -2)
            controller.on_edge_freed(edge_index);
    }
    release_city_parts(controller);
}

void segment_t::release(base_ctrl_e& controller)
{
    free(controller);
    edge_index = -1;
    visible = 0;
}

void segment_t::draw(const cd_bounds_t* box, const void* lights) const
{
    for (int32_t piece = 0; piece < piece_count; ++piece) {
        if (box && !pieces_[piece].bounds.overlaps(*box))
            continue;
        for (int32_t layer = 0; layer < layer_count; ++layer) {
            const segment_layer_t& at = layer_at(piece, layer);
            if (at.vertex_count == 0 || at.index_count == 0 || !at.vertex_packet || !at.index_packet)
                continue;
            if (at.radius > 1.0f && api::gfx_sphere_visible && !api::gfx_sphere_visible(&at.centre.x, at.radius))
                continue;
            r_proto_t* proto = api::gfx_alloc_proto(1);
            if (!proto)
                return;
            proto->set_vertex_packet(0, at.vertex_packet);
            proto->set_index_packet(at.index_packet);
            proto->set_shader(at.shader);
            proto->flags = 0;
            proto->set_frame(world_frame);
            if (!at.coloured)
                proto->set_lights(lights);
            api::gfx_queue_proto(proto);
            if (proto->dec_refs() == 0)
                api::gfx_free_proto(proto);
        }
    }
}

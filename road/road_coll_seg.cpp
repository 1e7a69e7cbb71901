#include "road/road_coll_seg.h"

#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "engine/matrix.h"
#include "common/engine_api.h"
#include "physics/bv_tree.h"
#include "road/base_ctrl.h"
#include "road/road_item_id.h"
#include "road/road_section_split.h"
#include "road/road_template.h"
#include "road/segment.h"
#include "road/segment_railing.h"
#include "road/segment_terrain.h"

namespace {

constexpr vec3_t up_axis(0.0f, 1.0f, 0.0f);
// The turns about the vertical axis of a Cross's traffic lights at nodes 0 to 3 when its prefab gives
// no placements of its own.
constexpr float quarter_turn_angles[4] = {-90.0f, 90.0f, 0.0f, 180.0f};
// Bytes a vertex, an index and a triangle's material take in a block.
constexpr uint32_t vertex_bytes = 12;
constexpr uint32_t index_bytes = 2;
constexpr uint32_t material_bytes = 4;
// Vertices of a skirt row and triangles of a skirt step, per side.
constexpr uint32_t skirt_row_vertices = 6;
constexpr uint32_t skirt_step_triangles = 10;
// How far the wall under each skirt hangs below the skirt's third column, and how far in from it. It
// hangs down rather than rising: the ground beside an open road is for driving on (the world's ground
// lies under the skirt), so nothing walls the road in, and a body coming back from that ground meets a
// face under the verge where the skirt stands above the ground instead of slipping under its sheet.
// Barriers along a road are its railings.
constexpr float wall_depth = 500.0f;
constexpr float wall_inset = 100.0f;
// Threshold and leaf size of a piece's triangle tree, and how far each leaf's bounds are widened.
constexpr float piece_tree_threshold = 200.0f;
constexpr uint16_t piece_leaf_size = 2;
constexpr float piece_leaf_margin = 1.0f;

// Bytes of a piece of `vertices` and `indices`, each array starting 4-aligned.
uint32_t piece_bytes(const uint32_t vertices, const uint32_t indices)
{
    return vertex_bytes * vertices + (index_bytes * indices + 3) / 4 * 4 + material_bytes * (indices / 3);
}

// Triangles of a skirt step in row-vertex numbers (s the start row, e the end row): four quads
// between the columns, then the wall. The second side's winding; the first side's is reversed.
struct skirt_triangle_t {
    bool end[3];
    uint8_t column[3];
    uint32_t material;
};
constexpr skirt_triangle_t skirt_triangles[skirt_step_triangles] = {
    {{false, true, false}, {0, 0, 1}, road_coll_skirt}, {{false, true, true}, {1, 0, 1}, road_coll_skirt},
    {{false, true, false}, {1, 1, 2}, road_coll_skirt}, {{false, true, true}, {2, 1, 2}, road_coll_skirt},
    {{false, true, false}, {2, 2, 3}, road_coll_skirt}, {{false, true, true}, {3, 2, 3}, road_coll_skirt},
    {{false, true, false}, {3, 3, 4}, road_coll_skirt}, {{false, true, true}, {4, 3, 4}, road_coll_skirt},
    {{false, true, false}, {3, 3, 5}, road_coll_wall},  {{false, true, true}, {5, 3, 5}, road_coll_wall},
};

// A Road edge's sweep into collision pieces.
struct coll_sweep_t {
    road_coll_seg_t& slot;
    const road_section_t& surface;
    road_template_t shape;
    road_curve_t curve;
    int32_t steps;
    terrain_side_input_t sides[2];
};

// Where template vertex `v` of `piece` lies between the cross-sections (p, s) at a step's two ends.
vec3_t place(const road_section_t& piece, const int32_t v, const vec3_t p[2], const vec3_t s[2])
{
    const vec3_t& x = piece.positions[static_cast<size_t>(v)];
    const vec3_t a = p[0] - s[0] * x.x + vec3_t(0.0f, x.y, 0.0f);
    const vec3_t b = p[1] - s[1] * x.x + vec3_t(0.0f, x.y, 0.0f);
    return a + (b - a) * piece.t[static_cast<size_t>(v)];
}

// The six vertices of a skirt row of `side` at `t` (end row when `end`): the road's edge, four columns
// and the wall's foot.
void skirt_row(const coll_sweep_t& sweep, const int side, const float t, const int32_t step, const bool end,
               const vec3_t& road_edge, const vec3_t& wall_direction, vec3_t out[skirt_row_vertices])
{
    const terrain_side_input_t& input = sweep.sides[side];
    vec3_t point, tangent, s;
    sweep.curve.at(t, point, tangent, s);
    vec3_t outer;
    smooth_curve(input.outer_start, sweep.curve.start_tangent, input.outer_end, sweep.curve.end_tangent, t, outer,
                 nullptr);
    vec3_t outward = (outer - point).normalized();
    if (side == 0)
        outward = -outward;
    out[0] = road_edge;
    for (int32_t k = 0; k < 4; ++k) {
        // A side without a strip keeps its skirt straight out from the road.
        const float turn = input.width > 0 ? static_cast<float>(k) / static_cast<float>(input.width) : 0.0f;
        vec3_t at = point + (s + (outward - s) * turn) * segment_column_offset(side, input.offset, k + 1);
        if (k > 0)
            at.y += sweep.slot.terrain.terrain_height(side, step + (end ? 1 : 0), k + 1, end) + input.edge_height;
        out[1 + k] = at;
    }
    out[5] = out[3] - vec3_t(0.0f, wall_depth, 0.0f) - wall_direction * wall_inset;
}

// Writes a leaf over road triangles: its ids and the five-axis bounds of their vertices, widened a little
// so that a point on a triangle's plane is never lost to rounding.
cd_bvnode_t* road_subseg_leaf_bounds(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    const auto* piece = static_cast<const road_coll_piece_t*>(owner);
    auto* node = static_cast<cd_bvnode_t*>(tree.take(cd_bvnode_leaf_size(group.count)));
    if (!node)
        return nullptr;
    node->first = node->second = nullptr;
    node->bounds.set_empty();
    node->count() = static_cast<uint16_t>(group.count);
    uint32_t* ids = node->ids();
    for (const cd_bvitem_t& item : tree.items_of(group)) {
        *ids++ = item.id;
        const uint32_t first = item.id & 0xFFFFu;
        for (uint32_t c = 0; c < 3; ++c) {
            const vec3_t& v = piece->vertices[piece->indices[first + c]];
            node->bounds.add_point(v.x, v.y, v.z);
        }
    }
    node->bounds.widen(piece_leaf_margin);
    return node;
}

}  // namespace

road_coll_seg_t::road_coll_seg_t() { terrain.clear(); }

road_coll_seg_t::~road_coll_seg_t()
{
    // Blocks go back to their controller's pool in release; the trees are the slot's own.
    for (road_coll_piece_t& piece : pieces_)
        if (piece.tree_memory)
            api::mem_sys_free(piece.tree_memory);
}

bool road_coll_seg_t::open_piece(base_ctrl_e& controller, const uint32_t vertices, const uint32_t indices,
                                 const bool share)
{
    block_pool_t& pool = is_freeitem ? controller.freeitem_blocks : controller.segment_blocks;
    const uint32_t bytes = piece_bytes(vertices, indices);
    road_coll_piece_t piece;
    char* at = nullptr;
    if (share && !pieces_.empty() && block_fill_ + bytes < road_coll_prefab_block_fill) {
        const road_coll_piece_t& before = pieces_.back();
        at = reinterpret_cast<char*>(before.materials + before.index_count / 3);
        block_fill_ += bytes;
    } else {
        piece.block = pool.take();
        if (!piece.block)
            return false;
        at = static_cast<char*>(piece.block);
        block_fill_ = bytes;
    }
    piece.vertices = reinterpret_cast<vec3_t*>(at);
    piece.indices = reinterpret_cast<uint16_t*>(at + vertex_bytes * vertices);
    piece.materials = reinterpret_cast<uint32_t*>(at + vertex_bytes * vertices + (index_bytes * indices + 3) / 4 * 4);
    piece.bounds.set_empty();
    pieces_.push_back(piece);
    piece_count = static_cast<int32_t>(pieces_.size());
    return true;
}

void road_coll_seg_t::free_pieces(base_ctrl_e& controller)
{
    block_pool_t& pool = is_freeitem ? controller.freeitem_blocks : controller.segment_blocks;
    for (road_coll_piece_t& piece : pieces_) {
        if (piece.tree_memory)
            api::mem_sys_free(piece.tree_memory);
        pool.give(piece.block);
    }
    pieces_.clear();
    piece_count = 0;
    step_count = 0;
    terrain.clear();
}

void road_coll_seg_t::release(base_ctrl_e& controller)
{
    free_pieces(controller);
    owner = 0xFFFFFFFFu;
}

bool road_coll_seg_t::build_edge(base_ctrl_e& controller, map_edge_t& edge)
{
    free_pieces(controller);
    is_freeitem = false;
    if (edge.definition < 0 || !controller.seg_server)
        return false;
    bool built = false;
    switch (edge.kind) {
    case map_edge_city_road:
        built = build_city_road(controller, edge);
        break;
    case map_edge_road:
        built = build_segment_pieces(controller, edge);
        break;
    default:
        built = build_prefab(controller, edge);
        break;
    }
    if (!built) {
        free_pieces(controller);
        return false;
    }
    owner = static_cast<uint32_t>(&edge - controller.edges.begin());
    return true;
}

bool road_coll_seg_t::build_segment_pieces(base_ctrl_e& controller, map_edge_t& edge)
{
    const seg_server_t& server = *controller.seg_server;
    if (static_cast<size_t>(edge.definition) >= server.road_defs.size())
        return false;
    const road_def_t& def = server.road_defs[static_cast<size_t>(edge.definition)];
    const road_section_t& surface = def.collision;
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (def.bytes == 0 || surface.vertex_count() == 0 || !(surface.length > 0.0f) || !start || !end)
        return false;
    for (const int32_t corner : surface.corners)
        if (corner < 0)
            return false;
    coll_sweep_t sweep{*this, surface, road_template_t(surface), road_curve_t(*start, *end, edge.length), 0, {}};
    sweep.steps = std::max(1, static_cast<int32_t>(std::ceil(edge.length * (1.0f / surface.length))));
    step_count = sweep.steps;
    sweep.sides[1].offset = -surface.left_xy[0];
    sweep.sides[1].edge_height = surface.left_xy[1];
    sweep.sides[0].offset = -surface.right_xy[0];
    sweep.sides[0].edge_height = surface.right_xy[1];
    vec3_t p[2], tangent[2], s[2];
    sweep.curve.at(0.0f, p[0], tangent[0], s[0]);
    sweep.curve.at(1.0f, p[1], tangent[1], s[1]);
    for (int side = 0; side < 2; ++side) {
        terrain_side_input_t& input = sweep.sides[side];
        input.width = segment_strip_width(edge, side);
        const float reach = input.offset + (side == 1 ? 400.0f : -400.0f) * static_cast<float>(input.width);
        input.outer_start = p[0] + s[0] * reach;
        input.outer_end = p[1] + s[1] * reach;
    }
    segment_setup_terrain(terrain, controller, edge);
    // The railings' collision: the middle piece swept, the begin and end pieces where the run starts
    // and ends.
    edge_railing_t railings[2];
    std::vector<road_template_t> railing_shapes[2];
    for (int side = 0; side < 2; ++side) {
        railings[side] = segment_edge_railing(controller, edge, side);
        if (railings[side].def && railings[side].def->collision[railing_middle].vertex_count() > 0)
            railing_shapes[side].emplace_back(railings[side].def->collision[railing_middle]);
        else
            railings[side].def = nullptr;
    }
    // The begin or end collision piece of side `side`, null where the run goes on or it has none.
    const auto rigid = [&](const int side, const railing_piece_t which, const bool here) -> const road_section_t* {
        const edge_railing_t& railing = railings[side];
        if (!railing.def || !here || !(which == railing_begin ? railing.begin : railing.end))
            return nullptr;
        const road_section_t& piece = railing.def->collision[which];
        return piece.vertex_count() > 0 ? &piece : nullptr;
    };
    // Vertices and indices of a piece of `steps` steps, the edge's first and/or last.
    const auto counts = [&](const int32_t steps, const bool first, const bool last, uint32_t& vertices,
                            uint32_t& indices) {
        vertices = static_cast<uint32_t>(sweep.shape.vertices(steps)) +
                   2 * skirt_row_vertices * static_cast<uint32_t>(steps + 1);
        indices = static_cast<uint32_t>(sweep.shape.indices(steps)) + 2 * 3 * skirt_step_triangles * steps;
        for (int side = 0; side < 2; ++side) {
            if (!railings[side].def)
                continue;
            const road_section_t* ends[2] = {rigid(side, railing_begin, first), rigid(side, railing_end, last)};
            const int32_t middle = std::max(0, steps - (ends[0] ? 1 : 0) - (ends[1] ? 1 : 0));
            vertices += static_cast<uint32_t>(railing_shapes[side][0].vertices(middle));
            indices += static_cast<uint32_t>(railing_shapes[side][0].indices(middle));
            for (const road_section_t* piece : ends)
                if (piece) {
                    vertices += static_cast<uint32_t>(piece->vertex_count());
                    indices += static_cast<uint32_t>(piece->index_count() / 3 * 3);
                }
        }
    };
    uint32_t all_vertices = 0, all_indices = 0;
    counts(sweep.steps, true, true, all_vertices, all_indices);
    const road_section_split_t split =
        road_section_split(static_cast<int64_t>(piece_bytes(all_vertices, all_indices)), sweep.steps);
    uint32_t piece_vertices = 0, piece_indices = 0;
    counts(split.rows_per_piece, true, true, piece_vertices, piece_indices);
    if (piece_bytes(piece_vertices, piece_indices) > static_cast<uint32_t>(segment_block_bytes) ||
        piece_indices > 0xFFFFu || split.pieces > 256) {
        api::error("Road %s: its collision does not fit its pieces; edge %u has none", def.name,
                   static_cast<uint32_t>(&edge - controller.edges.begin()));
        return false;
    }
    int32_t step = 0;
    for (int32_t index = 0; index < split.pieces; ++index) {
        const int32_t steps = index + 1 == split.pieces ? split.last_rows : split.rows_per_piece;
        uint32_t vertices = 0, indices = 0;
        counts(steps, index == 0, index + 1 == split.pieces, vertices, indices);
        if (!open_piece(controller, vertices, indices, false))
            return false;
        road_coll_piece_t& piece = pieces_.back();
        const int32_t first_step = step;
        // Surface first (its rows share vertices), then the railings, then the skirts of both sides.
        for (int32_t r = 0; r < steps; ++r, ++step) {
            const float t0 = static_cast<float>(step) / static_cast<float>(sweep.steps);
            const float t1 =
                step + 1 == sweep.steps ? 1.0f : static_cast<float>(step + 1) / static_cast<float>(sweep.steps);
            sweep.curve.at(t0, p[0], tangent[0], s[0]);
            sweep.curve.at(t1, p[1], tangent[1], s[1]);
            for (int32_t v = 0; v < surface.vertex_count(); ++v) {
                if (r > 0 && !sweep.shape.emitted(v))
                    continue;
                const vec3_t at = place(surface, v, p, s);
                piece.vertices[piece.vertex_count++] = at;
                piece.bounds.add_point(at.x, at.y, at.z);
            }
            for (int32_t i = 0; i < surface.index_count(); ++i) {
                piece.indices[piece.index_count] =
                    static_cast<uint16_t>(sweep.shape.index_on_row(surface.indices[static_cast<size_t>(i)], r));
                if (i % 3 == 0)
                    piece.materials[piece.index_count / 3] =
                        surface.triangle_words.empty() ? 0u : surface.triangle_words[static_cast<size_t>(i / 3)];
                ++piece.index_count;
            }
        }
        for (const int side : {1, 0}) {
            if (!railings[side].def)
                continue;
            const float base = -sweep.sides[side].offset;
            int32_t middle_row = 0;
            uint32_t middle_base = 0;
            // Appends `model`'s triangles; a rigid model's vertices all, a swept one's as its row needs.
            const auto add = [&](const road_section_t& model, const bool swept, const vec3_t at_p[2],
                                 const vec3_t at_s[2]) {
                const uint32_t first_vertex = piece.vertex_count;
                if (swept && middle_row == 0)
                    middle_base = first_vertex;
                for (int32_t v = 0; v < model.vertex_count(); ++v) {
                    if (swept && middle_row > 0 && !railing_shapes[side][0].emitted(v))
                        continue;
                    const auto i = static_cast<size_t>(v);
                    const vec3_t at = railing_point(model.positions[i], model.t[i], at_p, at_s, base, side);
                    piece.vertices[piece.vertex_count++] = at;
                    piece.bounds.add_point(at.x, at.y, at.z);
                }
                for (int32_t i = 0; i + 2 < model.index_count(); i += 3) {
                    uint32_t corner[3];
                    for (int c = 0; c < 3; ++c) {
                        const uint16_t u = model.indices[static_cast<size_t>(i + c)];
                        corner[c] = swept
                                        ? middle_base +
                                              static_cast<uint32_t>(railing_shapes[side][0].index_on_row(u, middle_row))
                                        : first_vertex + u;
                    }
                    if (side == 0)
                        std::swap(corner[1], corner[2]);
                    piece.materials[piece.index_count / 3] = road_coll_railing;
                    for (const uint32_t c : corner)
                        piece.indices[piece.index_count++] = static_cast<uint16_t>(c);
                }
            };
            for (int32_t r = 0, at_step = first_step; r < steps; ++r, ++at_step) {
                const float t0 = static_cast<float>(at_step) / static_cast<float>(sweep.steps);
                const float t1 = at_step + 1 == sweep.steps
                                     ? 1.0f
                                     : static_cast<float>(at_step + 1) / static_cast<float>(sweep.steps);
                sweep.curve.at(t0, p[0], tangent[0], s[0]);
                sweep.curve.at(t1, p[1], tangent[1], s[1]);
                const road_section_t* begin = rigid(side, railing_begin, at_step == 0);
                const road_section_t* end = rigid(side, railing_end, at_step + 1 == sweep.steps);
                if (begin)
                    add(*begin, false, p, s);
                if (end)
                    add(*end, false, p, s);
                if (!begin && !end) {
                    add(railings[side].def->collision[railing_middle], true, p, s);
                    ++middle_row;
                }
            }
        }
    }
    // The skirts, step by step again, after every piece's surface and railings.
    step = 0;
    for (int32_t index = 0; index < split.pieces; ++index) {
        road_coll_piece_t& piece = pieces_[static_cast<size_t>(index)];
        const int32_t steps = index + 1 == split.pieces ? split.last_rows : split.rows_per_piece;
        const uint32_t skirt_base = piece.vertex_count;
        for (int32_t r = 0; r < steps; ++r, ++step) {
            terrain.setup_terrain_falloff(step, sweep.steps);
            const float t[2] = {
                static_cast<float>(step) / static_cast<float>(sweep.steps),
                step + 1 == sweep.steps ? 1.0f : static_cast<float>(step + 1) / static_cast<float>(sweep.steps)};
            sweep.curve.at(t[0], p[0], tangent[0], s[0]);
            sweep.curve.at(t[1], p[1], tangent[1], s[1]);
            for (const int side : {1, 0}) {
                const int32_t near_corner =
                    side == 1 ? surface.corners[road_left_near] : surface.corners[road_right_near];
                const int32_t far_corner = side == 1 ? surface.corners[road_left_far] : surface.corners[road_right_far];
                vec3_t outer;
                smooth_curve(sweep.sides[side].outer_start, sweep.curve.start_tangent, sweep.sides[side].outer_end,
                             sweep.curve.end_tangent, t[0], outer, nullptr);
                const vec3_t wall_direction = (outer - p[0]).normalized();
                // Row vertices of this side: the piece's first step writes its start row too.
                const uint32_t side_base = skirt_base + (side == 1 ? 0u : skirt_row_vertices * (steps + 1));
                const uint32_t start_row = side_base + skirt_row_vertices * static_cast<uint32_t>(r);
                const uint32_t end_row = start_row + skirt_row_vertices;
                vec3_t row[skirt_row_vertices];
                if (r == 0) {
                    skirt_row(sweep, side, t[0], step, false, place(surface, near_corner, p, s), wall_direction, row);
                    std::copy(row, row + skirt_row_vertices, piece.vertices + start_row);
                }
                skirt_row(sweep, side, t[1], step, true, place(surface, far_corner, p, s), wall_direction, row);
                std::copy(row, row + skirt_row_vertices, piece.vertices + end_row);
                for (const vec3_t& at : row)
                    piece.bounds.add_point(at.x, at.y, at.z);
                if (r == 0)
                    for (uint32_t v = 0; v < skirt_row_vertices; ++v)
                        piece.bounds.add_point(piece.vertices[start_row + v].x, piece.vertices[start_row + v].y,
                                               piece.vertices[start_row + v].z);
                for (const skirt_triangle_t& triangle : skirt_triangles) {
                    uint32_t corner[3];
                    for (int c = 0; c < 3; ++c)
                        corner[c] = (triangle.end[c] ? end_row : start_row) + triangle.column[c];
                    if (side == 0)
                        std::swap(corner[1], corner[2]);
                    piece.materials[piece.index_count / 3] = triangle.material;
                    for (const uint32_t c : corner)
                        piece.indices[piece.index_count++] = static_cast<uint16_t>(c);
                }
            }
        }
        piece.vertex_count = skirt_base + 2 * skirt_row_vertices * static_cast<uint32_t>(steps + 1);
    }
    return true;
}

bool road_coll_seg_t::build_city_road(base_ctrl_e& controller, map_edge_t& edge)
{
    const seg_server_t& server = *controller.seg_server;
    if (static_cast<size_t>(edge.definition) >= server.city_road_defs.size())
        return false;
    const city_road_def_t& def = server.city_road_defs[static_cast<size_t>(edge.definition)];
    const road_section_t& mesh = def.collision;
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (def.bytes == 0 || mesh.vertex_count() == 0 || !start || !end)
        return false;
    // The block keeps its three arrays at fixed places: a mesh that would overrun one has no collision.
    if (static_cast<uint32_t>(mesh.vertex_count()) > road_coll_city_max_vertices ||
        static_cast<uint32_t>(mesh.index_count()) > road_coll_city_max_indices) {
        api::error("City road %s: its collision mesh of %d vertices and %d indices does not fit; edge %u has none",
                   def.name, mesh.vertex_count(), mesh.index_count(),
                   static_cast<uint32_t>(&edge - controller.edges.begin()));
        return false;
    }
    road_coll_piece_t piece;
    piece.block = controller.segment_blocks.take();
    if (!piece.block)
        return false;
    char* const block = static_cast<char*>(piece.block);
    piece.vertices = reinterpret_cast<vec3_t*>(block);
    piece.indices = reinterpret_cast<uint16_t*>(block + road_coll_city_indices_at);
    piece.materials = reinterpret_cast<uint32_t*>(block + road_coll_city_materials_at);
    piece.bounds.set_empty();
    const vec3_t side_start = start->direction.cross(up_axis);
    const vec3_t side_end = end->direction.cross(up_axis);
    for (int32_t v = 0; v < mesh.vertex_count(); ++v) {
        const vec3_t& x = mesh.positions[static_cast<size_t>(v)];
        const vec3_t a = start->position - side_start * x.x + vec3_t(0.0f, x.y, 0.0f);
        const vec3_t b = end->position - side_end * x.x + vec3_t(0.0f, x.y, 0.0f);
        const vec3_t at = a + (b - a) * mesh.t[static_cast<size_t>(v)];
        piece.vertices[piece.vertex_count++] = at;
        piece.bounds.add_point(at.x, at.y, at.z);
    }
    std::copy(mesh.indices.begin(), mesh.indices.end(), piece.indices);
    piece.index_count = static_cast<uint32_t>(mesh.index_count());
    std::fill(piece.materials, piece.materials + piece.index_count / 3, uint32_t{road_coll_city_road});
    add_roadside_objects(server, edge, *start, *end, piece);
    pieces_.push_back(piece);
    piece_count = 1;
    return true;
}

void road_coll_seg_t::add_roadside_objects(const seg_server_t& server, const map_edge_t& edge, const map_node_t& start,
                                           const map_node_t& end, road_coll_piece_t& piece)
{
    const float length = edge.length;
    const vec3_t forward = (start.position - end.position).normalized();
    const vec3_t side = start.direction.cross(up_axis);
    // First side (word 26) from the middle, the second (word 33) 2000 before it; every 4000 both ways.
    const int32_t lamps[2] = {edge.sides[0].vegetation, edge.sides[1].vegetation};
    const float middles[2] = {length * 0.5f, length * 0.5f - 2000.0f};
    const float sides[2] = {-1300.0f, 1300.0f};
    for (int s = 0; s < 2; ++s) {
        if (lamps[s] < 0 || static_cast<size_t>(lamps[s]) >= server.cityblock_lamps.size())
            continue;
        const model_collision_t& mesh = server.cityblock_lamps[static_cast<size_t>(lamps[s])].collision;
        if (mesh.vertex_count() == 0)
            continue;
        const auto place = [&](const float distance) {
            const auto vertices = static_cast<uint32_t>(mesh.vertex_count());
            const auto indices = static_cast<uint32_t>(mesh.index_count() / 3 * 3);
            // The block's fixed places hold this many; an object that does not fit is left out.
            if (piece.vertex_count + vertices >= road_coll_city_max_vertices ||
                piece.index_count + indices > road_coll_city_max_indices)
                return;
            for (uint32_t k = 0; k < indices; ++k)
                if (mesh.indices[k] >= vertices)
                    return;
            const vec3_t stand = start.position - forward * distance + side * sides[s];
            const uint32_t first = piece.vertex_count;
            for (const vec3_t& v : mesh.positions) {
                const vec3_t at = v + stand;
                piece.vertices[piece.vertex_count++] = at;
                piece.bounds.add_point(at.x, at.y, at.z);
            }
            for (uint32_t k = 0; k < indices; ++k) {
                if (k % 3 == 0)
                    piece.materials[piece.index_count / 3] = road_coll_object;
                piece.indices[piece.index_count++] = static_cast<uint16_t>(first + mesh.indices[k]);
            }
        };
        for (float d = middles[s]; d > 0.0f; d -= 4000.0f)
            place(d);
        for (float d = middles[s] + 4000.0f; d < length; d += 4000.0f)
            place(d);
    }
}

bool road_coll_seg_t::build_prefab(base_ctrl_e& controller, map_edge_t& edge)
{
    const prefab_t* prefab = controller.get_prefab_def(edge, nullptr);
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    if (!prefab || !start)
        return false;
    const uint32_t turns = edge.flags & 3u;
    vec3_t offset = start->position;
    if (!prefab->nodes.empty()) {
        const auto count = static_cast<int32_t>(prefab->nodes.size());
        offset -= prefab_turn(prefab->nodes[static_cast<size_t>(((edge.centre_word % count) + count) % count)].position,
                              turns);
    }
    for (const prefab_coll_part_t& part : prefab->coll_parts) {
        const auto vertices = static_cast<uint32_t>(part.positions.size());
        const auto indices = static_cast<uint32_t>(part.indices.size() / 3 * 3);
        const bool indices_in_range =
            std::all_of(part.indices.begin(), part.indices.end(), [&](const uint16_t i) { return i < vertices; });
        if (!indices_in_range || piece_bytes(vertices, indices) > static_cast<uint32_t>(segment_block_bytes) ||
            indices > 0xFFFFu || pieces_.size() >= 256) {
            api::error("Prefab %s: a collision part does not fit a piece; edge %u has no collision", prefab->name,
                       static_cast<uint32_t>(&edge - controller.edges.begin()));
            return false;
        }
        if (!open_piece(controller, vertices, indices, true))
            return false;
        road_coll_piece_t& piece = pieces_.back();
        for (const vec3_t& position : part.positions) {
            const vec3_t at = prefab_turn(position, turns) + offset;
            piece.vertices[piece.vertex_count++] = at;
            piece.bounds.add_point(at.x, at.y, at.z);
        }
        std::copy(part.indices.begin(), part.indices.begin() + indices, piece.indices);
        piece.index_count = indices;
        std::fill(piece.materials, piece.materials + indices / 3, static_cast<uint32_t>(part.kind));
    }
    if (edge.kind == map_edge_cross && edge.sides[0].strip_width != 0)
        return add_traffic_lights(controller, edge, *prefab, turns, offset);
    return true;
}

bool road_coll_seg_t::add_traffic_lights(base_ctrl_e& controller, const map_edge_t& edge, const prefab_t& prefab,
                                         const uint32_t turns, const vec3_t& offset)
{
    const seg_server_t& server = *controller.seg_server;
    const auto node_count = static_cast<int32_t>(prefab.nodes.size());
    // The traffic-light model of each node slot: edge words 20 on, one per prefab node.
    const int32_t* models = &edge.sides[0].railing;
    const auto model_at = [&](const int32_t i) -> const model_collision_t* {
        const int32_t model = models[i];
        if (model < 0 || static_cast<size_t>(model) >= server.tr_lights.size())
            return nullptr;
        const model_collision_t& mesh = server.tr_lights[static_cast<size_t>(model)].collision;
        return mesh.vertex_count() > 0 ? &mesh : nullptr;
    };
    uint32_t vertices = 0, indices = 0;
    const int32_t slots = std::min(node_count, 4);
    for (int32_t i = 0; i < slots; ++i)
        if (const model_collision_t* mesh = model_at(i)) {
            vertices += static_cast<uint32_t>(mesh->vertex_count());
            indices += static_cast<uint32_t>(mesh->index_count() / 3 * 3);
        }
    if (vertices == 0)
        return true;
    if (vertices > 0xFFFFu || piece_bytes(vertices, indices) > static_cast<uint32_t>(segment_block_bytes) ||
        pieces_.size() >= 256)
        return true;
    if (!open_piece(controller, vertices, indices, true))
        return false;
    road_coll_piece_t& piece = pieces_.back();
    quat_t edge_turn;
    edge_turn.set(up_axis, static_cast<float>(turns) * 90.0f);
    for (int32_t i = 0; i < slots; ++i) {
        const model_collision_t* mesh = model_at(i);
        if (!mesh)
            continue;
        const int32_t node = ((edge.centre_word + i) % node_count + node_count) % node_count;
        vec3_t place = prefab.nodes[static_cast<size_t>(node)].position;
        quat_t turn;
        if (static_cast<size_t>(node) < prefab.light_places.size()) {
            place = prefab.light_places[static_cast<size_t>(node)].position;
            turn = prefab.light_places[static_cast<size_t>(node)].rotation;
        } else {
            turn.set(up_axis, quarter_turn_angles[node % 4]);
        }
        const quat_t rotation = edge_turn * turn;
        const vec3_t at = prefab_turn(place, turns) + offset;
        const auto first = piece.vertex_count;
        for (const vec3_t& v : mesh->positions) {
            const vec3_t point = rotation.rotate(v) + at;
            piece.vertices[piece.vertex_count++] = point;
            piece.bounds.add_point(point.x, point.y, point.z);
        }
        for (int32_t k = 0; k + 2 < mesh->index_count(); k += 3) {
            bool inside = true;
            for (int c = 0; c < 3; ++c)
                inside &= mesh->indices[static_cast<size_t>(k + c)] < static_cast<uint32_t>(mesh->vertex_count());
            if (!inside)
                continue;
            piece.materials[piece.index_count / 3] = road_coll_object;
            for (int c = 0; c < 3; ++c)
                piece.indices[piece.index_count++] =
                    static_cast<uint16_t>(first + mesh->indices[static_cast<size_t>(k + c)]);
        }
    }
    return true;
}

bool road_coll_seg_t::build_freeitem(base_ctrl_e& controller, map_freeitem_t& item)
{
    free_pieces(controller);
    is_freeitem = true;
    const seg_server_t* server = controller.seg_server;
    if (!server || item.model < 0 || static_cast<size_t>(item.model) >= server->freeitem_models.size())
        return false;
    const freeitem_model_t& model = server->freeitem_models[static_cast<size_t>(item.model)];
    const model_collision_t& mesh = model.collision;
    const auto vertices = static_cast<uint32_t>(mesh.vertex_count());
    const auto indices = static_cast<uint32_t>(mesh.index_count() / 3 * 3);
    const auto index = static_cast<uint32_t>(&item - controller.freeitems.begin());
    if (vertices == 0 || indices == 0) {
        api::error("Freeitem %s has no 'zcoll' part!", model.name);
        return false;
    }
    const bool indices_in_range =
        std::all_of(mesh.indices.begin(), mesh.indices.end(), [&](const uint16_t i) { return i < vertices; });
    if (!indices_in_range || piece_bytes(vertices, indices) > controller.freeitem_blocks.unit()) {
        api::error("Free item %u: its collision mesh does not fit a block; it has no collision", index);
        return false;
    }
    if (!open_piece(controller, vertices, indices, false))
        return false;
    road_coll_piece_t& piece = pieces_.back();
    mat4_t turn;
    matrix_set_rotate(turn, item.rotation);
    for (const vec3_t& position : mesh.positions) {
        const vec3_t at = mult_normal_matrix_fast(turn, position) + item.position;
        piece.vertices[piece.vertex_count++] = at;
        piece.bounds.add_point(at.x, at.y, at.z);
    }
    std::copy(mesh.indices.begin(), mesh.indices.begin() + indices, piece.indices);
    piece.index_count = indices;
    std::fill(piece.materials, piece.materials + indices / 3, uint32_t{road_coll_object});
    owner = road_item_freeitem_base + index;
    return true;
}

cd_bvnode_t* road_coll_seg_t::piece_tree(const int32_t index)
{
    if (index < 0 || index >= piece_count)
        return nullptr;
    road_coll_piece_t& piece = pieces_[static_cast<size_t>(index)];
    if (piece.tree || piece.index_count < 3)
        return piece.tree;
    cd_bvtree_t builder(piece.index_count / 3, 128);
    builder.set_callbacks(&piece, piece_tree_threshold, piece_leaf_size, road_subseg_leaf_bounds, nullptr, nullptr);
    for (uint32_t first = 0; first + 2 < piece.index_count; first += 3) {
        cd_bvitem_t* item = builder.add_item();
        if (!item)
            return nullptr;
        const vec3_t& a = piece.vertices[piece.indices[first]];
        const vec3_t& b = piece.vertices[piece.indices[first + 1]];
        const vec3_t& c = piece.vertices[piece.indices[first + 2]];
        item->id = road_coll_triangle_id(slot_number, static_cast<uint32_t>(index), first);
        item->minimum = vec3_t(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z}));
        item->maximum = vec3_t(std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z}));
        item->centre = (a + b + c) * 0.33333334f;
    }
    size_t size = 0;
    piece.tree = builder.build(&size, &piece.tree_memory);
    return piece.tree;
}

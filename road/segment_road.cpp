#include <algorithm>
#include <cmath>
#include <vector>

#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/road_section_split.h"
#include "road/road_template.h"
#include "road/segment.h"
#include "road/segment_vegetation.h"
#include "road/segment_railing.h"
#include "road/segment_shaders.h"
#include "road/segment_terrain.h"

namespace {

// Texture coordinates of a terrain cell's four corners: (g, k), (g, k + 1), (g + 1, k), (g + 1, k + 1).
constexpr float cell_uvs[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
// Triangles of a cell on the second side and on the first (the first side is mirrored).
constexpr uint16_t cell_indices[2][6] = {{0, 1, 2, 2, 1, 3}, {0, 2, 1, 1, 2, 3}};
// Length of a row of a terrain-only edge.
constexpr float variant_row_length = 400.0f;
// Bytes a vertex and an index take in a piece block.
constexpr int64_t vertex_bytes = 32;
constexpr int64_t index_bytes = 2;

// What one Road build works with.
struct road_build_t {
    segment_t& slot;
    base_ctrl_e& controller;
    map_edge_t& edge;
    const seg_server_t& server;
    // Null for a terrain-only edge.
    const road_def_t* def = nullptr;
    std::vector<road_template_t> templates;
    road_curve_t curve;
    int32_t rows = 0;
    int32_t road_layers = 0;
    terrain_side_input_t sides[2];
    segment_terrain_layers_t terrain;
    // The railing of each side, the template of its middle piece and its layer (-1 none).
    edge_railing_t railings[2];
    std::vector<road_template_t> railing_shapes[2];
    int32_t railing_layer[2] = {-1, -1};
    // Per side: middle rows written in the current piece, and the vertex they started at.
    int32_t middle_rows[2] = {};
    int32_t middle_base[2] = {};
    // The edge's stamps with a brush the server holds (null where none).
    const map_stamp_t* stamps[map_stamp_group_size] = {};
    // The plants of each side.
    segment_vegetation_t vegetation[2] = {};
};

// The brush of `stamp`.
const brush_t& stamp_brush(const road_build_t& build, const map_stamp_t& stamp)
{
    return build.server.brushes[static_cast<size_t>(stamp.brush)];
}

// Takes the edge's stamps whose brushes can be used.
void take_stamps(road_build_t& build)
{
    const int32_t first = build.edge.stamp;
    if (first < 0 || !build.controller.stamps.valid(first) ||
        !build.controller.stamps.valid(first + map_stamp_group_size - 1))
        return;
    for (int32_t i = 0; i < map_stamp_group_size; ++i) {
        const map_stamp_t& stamp = build.controller.stamps[first + i];
        if (stamp.brush < 0 || static_cast<size_t>(stamp.brush) >= build.server.brushes.size())
            continue;
        const brush_t& brush = build.server.brushes[static_cast<size_t>(stamp.brush)];
        if (brush.width > 0 && brush.height > 0 && brush.cells)
            build.stamps[i] = &stamp;
    }
}

// The side a stamp lies on: negative columns the first side, the others the second.
int stamp_side(const map_stamp_t& stamp) { return stamp.column < 0 ? 0 : 1; }

// Layers of the road surface and the railings together.
int32_t fixed_layers(const road_build_t& build)
{
    return build.road_layers + (build.railing_layer[0] >= 0 ? 1 : 0) + (build.railing_layer[1] >= 0 ? 1 : 0);
}

// The terrain shader drawn by cell (row, column) of `side` (1 the second side, 0 the first): the
// road-to-terrain transition next to the road, under a stamp the blend its brush gives, the side's
// terrain elsewhere. A terrain-only edge has no transition: its cells count from column 1.
int32_t cell_shader(const road_build_t& build, const int side, const int32_t row, const int32_t cell)
{
    const int32_t terrain = segment_side_terrain(build.server, build.edge, side);
    if (cell == 0 && build.def)
        return build.server.terrain_trans_shader(build.edge.road_type, terrain);
    const int32_t column = build.def ? cell : cell + 1;
    for (const map_stamp_t* stamp : build.stamps) {
        if (!stamp || stamp_side(*stamp) != side)
            continue;
        const brush_t& brush = stamp_brush(build, *stamp);
        const int32_t r0 = stamp->row - brush.width / 2;
        const int32_t c0 = std::abs(stamp->column) - brush.height / 2;
        if (row < r0 || row >= r0 + brush.width || column < c0 || column >= c0 + brush.height)
            continue;
        const int32_t step = brush.cells[(row - r0) * brush.height + column - c0];
        return build.server.terrain_blend_shader(terrain, stamp->shader, step);
    }
    return terrain;
}

// Numbers every terrain shader the strips use, in a fixed order, from the first layer after the road.
void count_terrain_layers(road_build_t& build)
{
    build.terrain.clear(fixed_layers(build));
    const int order[2] = {1, 0};
    if (build.def) {
        for (const int side : order)
            build.terrain.add(cell_shader(build, side, 0, 0));
    }
    for (const int side : {0, 1})
        if (build.sides[side].width > 0)
            build.terrain.add(segment_side_terrain(build.server, build.edge, side));
    for (const map_stamp_t* stamp : build.stamps) {
        if (!stamp || build.sides[stamp_side(*stamp)].width <= 0)
            continue;
        const brush_t& brush = stamp_brush(build, *stamp);
        const int32_t terrain = segment_side_terrain(build.server, build.edge, stamp_side(*stamp));
        for (int32_t cell = 0; cell < brush.width * brush.height; ++cell)
            build.terrain.add(build.server.terrain_blend_shader(terrain, stamp->shader, brush.cells[cell]));
    }
}

// The vertices and indices a piece of `rows` rows needs in each layer; `first` and `last` say whether it
// is the edge's first and last piece (where the railings' begin and end models go).
void count_piece(const road_build_t& build, const int32_t first_row, const int32_t rows, const bool first,
                 const bool last, std::vector<int32_t>& vertices, std::vector<int32_t>& indices)
{
    const size_t layers = static_cast<size_t>(fixed_layers(build)) + build.terrain.count();
    vertices.assign(layers, 0);
    indices.assign(layers, 0);
    for (size_t part = 0; part < build.templates.size(); ++part) {
        vertices[part] = build.templates[part].vertices(rows);
        indices[part] = build.templates[part].indices(rows);
    }
    for (int side = 0; side < 2; ++side) {
        const edge_railing_t& railing = build.railings[side];
        if (build.railing_layer[side] < 0)
            continue;
        const auto layer = static_cast<size_t>(build.railing_layer[side]);
        const bool begin = first && railing.begin, end = last && railing.end;
        const int32_t middle = std::max(0, rows - (begin ? 1 : 0) - (end ? 1 : 0));
        vertices[layer] = build.railing_shapes[side][0].vertices(middle);
        indices[layer] = build.railing_shapes[side][0].indices(middle);
        for (const auto& [used, model] : {std::pair{begin, railing_begin}, std::pair{end, railing_end}}) {
            if (!used)
                continue;
            vertices[layer] += railing.def->render[model].vertex_count();
            indices[layer] += railing.def->render[model].index_count();
        }
    }
    for (int side = 0; side < 2; ++side) {
        for (int32_t g = first_row; g < first_row + rows; ++g) {
            for (int32_t k = 0; k < build.sides[side].width; ++k) {
                const size_t layer = static_cast<size_t>(build.terrain.layer_of(cell_shader(build, side, g, k)));
                vertices[layer] += 4;
                indices[layer] += 6;
            }
        }
    }
}

// Bytes of every piece's data over the whole edge, to split it into pieces that fit their blocks.
int64_t estimate_bytes(const road_build_t& build)
{
    std::vector<int32_t> vertices, indices;
    count_piece(build, 0, build.rows, true, true, vertices, indices);
    int64_t bytes = 0;
    for (size_t layer = 0; layer < vertices.size(); ++layer)
        bytes += vertex_bytes * vertices[layer] + index_bytes * indices[layer];
    return bytes;
}

// True when a piece of `rows` rows fits its block (with room for aligning each layer).
bool piece_fits(const road_build_t& build, const int32_t rows)
{
    std::vector<int32_t> vertices, indices;
    count_piece(build, 0, rows, true, true, vertices, indices);
    int64_t bytes = 0;
    for (size_t layer = 0; layer < vertices.size(); ++layer) {
        if (vertices[layer] > 65535)
            return false;
        bytes += vertex_bytes * vertices[layer] + index_bytes * (indices[layer] + 1);
    }
    return bytes <= segment_block_bytes;
}

// Writes the road parts of row `r` (row `g` of the edge) of piece `piece`.
void emit_road_row(road_build_t& build, const int32_t piece, const int32_t r, const int32_t g, const float t0,
                   const float t1)
{
    vec3_t p[2], tangent[2], s[2];
    build.curve.at(t0, p[0], tangent[0], s[0]);
    build.curve.at(t1, p[1], tangent[1], s[1]);
    for (size_t part = 0; part < build.templates.size(); ++part) {
        const road_section_t& model = build.def->parts[part];
        const road_template_t& shape = build.templates[part];
        segment_layer_t& layer = build.slot.layer_at(piece, static_cast<int32_t>(part));
        for (int32_t v = 0; v < model.vertex_count(); ++v) {
            if (r > 0 && !shape.emitted(v))
                continue;
            const vec3_t& x = model.positions[static_cast<size_t>(v)];
            const vec3_t a = p[0] - s[0] * x.x + vec3_t(0.0f, x.y, 0.0f);
            const vec3_t b = p[1] - s[1] * x.x + vec3_t(0.0f, x.y, 0.0f);
            const vec3_t at = a + (b - a) * model.t[static_cast<size_t>(v)];
            const int32_t out = layer.vertex_count++;
            layer.positions[out] = at;
            layer.normals[out] = s[0].cross(b - a).normalized() * segment_shading(at);
            layer.uvs[2 * out] = model.uvs.empty() ? 0.0f : model.uvs[2 * static_cast<size_t>(v)];
            layer.uvs[2 * out + 1] =
                (model.uvs.empty() ? 0.0f : model.uvs[2 * static_cast<size_t>(v) + 1]) + static_cast<float>(r);
            build.slot.widen(piece, at);
            if (part != 0)
                continue;
            // The road's outer vertices are the terrain's first column, so that the two meet exactly.
            const int32_t corners[2][2] = {{road_right_near, road_right_far}, {road_left_near, road_left_far}};
            for (int side = 0; side < 2; ++side) {
                const int32_t width = build.sides[side].width;
                if (width <= 0)
                    continue;
                for (int end = 0; end < 2; ++end)
                    if (model.corners[corners[side][end]] == v)
                        build.slot.grid_positions[side][static_cast<size_t>(g + end) * static_cast<size_t>(width + 1)] =
                            at;
            }
        }
        for (int32_t i = 0; i < model.index_count(); ++i) {
            const int32_t index = shape.index_on_row(model.indices[static_cast<size_t>(i)], r);
            layer.indices[layer.index_count++] = static_cast<uint16_t>(index);
        }
    }
}

// Appends one railing model's vertices (between the row's cross-sections) and, for a rigid model
// (begin or end), its indices to `layer`; the first side is mirrored, so its triangles turn the other way.
void emit_railing_model(road_build_t& build, const int32_t piece, const int side, const road_section_t& model,
                        const int32_t row_from_begin, const vec3_t p[2], const vec3_t s[2], const bool rigid,
                        const road_template_t* shape, const int32_t middle_row)
{
    segment_layer_t& layer = build.slot.layer_at(piece, build.railing_layer[side]);
    const float base = -build.sides[side].offset;
    const float advance = build.railings[side].def->max_v * static_cast<float>(row_from_begin);
    const int32_t first = layer.vertex_count;
    const vec3_t forward = (p[1] - p[0]).normalized();
    const vec3_t outward = side == 1 ? -s[0] : s[0];
    for (int32_t v = 0; v < model.vertex_count(); ++v) {
        if (!rigid && middle_row > 0 && !shape->emitted(v))
            continue;
        const auto at = static_cast<size_t>(v);
        const vec3_t point = railing_point(model.positions[at], model.t[at], p, s, base, side);
        const int32_t out = layer.vertex_count++;
        layer.positions[out] = point;
        const vec3_t n = model.normals.empty() ? vec3_t(0, 1, 0) : model.normals[at];
        layer.normals[out] = outward * n.x + vec3_t(0, n.y, 0) + forward * n.z;
        layer.uvs[2 * out] = model.uvs.empty() ? 0.0f : model.uvs[2 * at];
        layer.uvs[2 * out + 1] = (model.uvs.empty() ? 0.0f : model.uvs[2 * at + 1]) + (rigid ? 0.0f : advance);
        build.slot.widen(piece, point);
    }
    for (int32_t i = 0; i + 2 < model.index_count(); i += 3) {
        int32_t corner[3];
        for (int c = 0; c < 3; ++c) {
            const uint16_t u = model.indices[static_cast<size_t>(i + c)];
            corner[c] = rigid ? first + u : build.middle_base[side] + shape->index_on_row(u, middle_row);
        }
        if (side == 0)
            std::swap(corner[1], corner[2]);
        for (const int32_t c : corner)
            layer.indices[layer.index_count++] = static_cast<uint16_t>(c);
    }
}

// Writes the railings of row `g` (row `r` of piece `piece`), second side first.
void emit_railing_row(road_build_t& build, const int32_t piece, const int32_t g, const float t0, const float t1)
{
    vec3_t p[2], tangent[2], s[2];
    build.curve.at(t0, p[0], tangent[0], s[0]);
    build.curve.at(t1, p[1], tangent[1], s[1]);
    for (const int side : {1, 0}) {
        if (build.railing_layer[side] < 0)
            continue;
        const edge_railing_t& railing = build.railings[side];
        const bool begin = railing.begin && g == 0;
        const bool end = railing.end && g + 1 == build.rows;
        const int32_t from_begin = g - (railing.begin ? 1 : 0);
        if (begin)
            emit_railing_model(build, piece, side, railing.def->render[railing_begin], 0, p, s, true, nullptr, 0);
        if (end)
            emit_railing_model(build, piece, side, railing.def->render[railing_end], 0, p, s, true, nullptr, 0);
        if (begin || end)
            continue;
        if (build.middle_rows[side] == 0)
            build.middle_base[side] = build.slot.layer_at(piece, build.railing_layer[side]).vertex_count;
        emit_railing_model(build, piece, side, railing.def->render[railing_middle], from_begin, p, s, false,
                           &build.railing_shapes[side][0], build.middle_rows[side]++);
    }
}

// Writes the terrain cells of row `g` of piece `piece`.
void emit_terrain_row(road_build_t& build, const int32_t piece, const int32_t g)
{
    for (const int side : {1, 0}) {
        const int32_t width = build.sides[side].width;
        const auto stride = static_cast<size_t>(width + 1);
        const vec3_t* grid = build.slot.grid_positions[side];
        const vec3_t* normals = build.slot.grid_normals[side];
        for (int32_t k = 0; k < width; ++k) {
            segment_layer_t& layer = build.slot.layer_at(piece, build.terrain.layer_of(cell_shader(build, side, g, k)));
            const size_t corners[4] = {static_cast<size_t>(g) * stride + static_cast<size_t>(k),
                                       static_cast<size_t>(g) * stride + static_cast<size_t>(k + 1),
                                       static_cast<size_t>(g + 1) * stride + static_cast<size_t>(k),
                                       static_cast<size_t>(g + 1) * stride + static_cast<size_t>(k + 1)};
            const int32_t base = layer.vertex_count;
            for (int c = 0; c < 4; ++c) {
                const int32_t out = layer.vertex_count++;
                layer.positions[out] = grid[corners[c]];
                layer.normals[out] = normals[corners[c]];
                if (build.def) {
                    layer.uvs[2 * out] = cell_uvs[c][0];
                    layer.uvs[2 * out + 1] = cell_uvs[c][1];
                } else {
                    // A terrain-only strip is one continuous texture across its cells.
                    layer.uvs[2 * out] = static_cast<float>(k + (c & 1)) / 4.0f;
                    layer.uvs[2 * out + 1] = static_cast<float>(g + 1 - (c >> 1)) / 4.0f;
                }
                build.slot.widen(piece, grid[corners[c]]);
            }
            for (const uint16_t index : cell_indices[side == 1 ? 0 : 1])
                layer.indices[layer.index_count++] = static_cast<uint16_t>(base + index);
        }
    }
}

// Normalises the grid's summed normals and shades them.
void shade_grid(segment_t& slot)
{
    for (int side = 0; side < 2; ++side)
        for (size_t i = 0; i < slot.grid_points[side]; ++i)
            slot.grid_normals[side][i] =
                slot.grid_normals[side][i].normalized() * segment_shading(slot.grid_positions[side][i]);
}

// The railing shader entry layer `layer` draws with, or null when it is no railing layer.
const seg_flagged_shader_t* railing_entry(const road_build_t& build, const int32_t layer)
{
    const seg_fallback_array_t<seg_flagged_shader_t>& shaders = build.server.railing_shaders;
    for (const int side : {0, 1})
        if (layer == build.railing_layer[side] && shaders.valid(-1))
            return &shaders.at_or_spare(build.edge.sides[side].railing_shader);
    return nullptr;
}

// The shader layer `layer` draws with.
const gfx_shader_t* layer_shader(const road_build_t& build, const int32_t layer)
{
    if (layer < build.road_layers)
        return segment_road_layer_shader(build.server, build.edge, layer);
    for (const int side : {0, 1})
        if (layer == build.railing_layer[side]) {
            const seg_flagged_shader_t* entry = railing_entry(build, layer);
            return entry ? entry->shader.shader : nullptr;
        }
    return segment_terrain_shader(build.server, build.terrain.shader_at(layer));
}

// A railing whose shader entry is not plain is drawn with the environment's colour.
bool layer_coloured(const road_build_t& build, const int32_t layer)
{
    const seg_flagged_shader_t* entry = layer >= build.road_layers ? railing_entry(build, layer) : nullptr;
    return entry && !entry->flag;
}

// Scatters the plants of grid row `g` over both sides' strips.
void scatter_vegetation(road_build_t& build, const int32_t g, uint32_t& rotation)
{
    const float row_length = build.def ? build.def->length() : variant_row_length;
    for (const int side : {0, 1}) {
        const int32_t stride = build.sides[side].width + 1;
        build.vegetation[side].scatter_row(build.slot, *build.controller.seg_server, build.slot.grid_positions[side],
                                           build.slot.grid_normals[side], stride, g, row_length, rotation);
    }
}

// The Road builds' common path: sides, rows, pieces, then row after row.
bool build_rows(road_build_t& build)
{
    segment_t& slot = build.slot;
    map_edge_t& edge = build.edge;
    const map_node_t* start = segment_node(build.controller, edge.nodes[0]);
    const map_node_t* end = segment_node(build.controller, edge.nodes[1]);
    if (!start || !end)
        return false;
    slot.centre = (start->position + end->position) * 0.5f;
    segment_setup_terrain(slot.terrain, build.controller, edge);
    if (build.def) {
        int32_t next_layer = build.road_layers;
        for (const int side : {0, 1}) {
            build.railings[side] = segment_edge_railing(build.controller, edge, side);
            if (!build.railings[side].def)
                continue;
            build.railing_shapes[side].emplace_back(build.railings[side].def->render[railing_middle]);
            build.railing_layer[side] = next_layer++;
        }
    }
    take_stamps(build);
    count_terrain_layers(build);
    const int32_t layers = fixed_layers(build) + static_cast<int32_t>(build.terrain.count());
    // Outer corners of both strips at the two ends of the curve.
    vec3_t p[2], tangent[2], s[2];
    build.curve.at(0.0f, p[0], tangent[0], s[0]);
    build.curve.at(1.0f, p[1], tangent[1], s[1]);
    for (int side = 0; side < 2; ++side) {
        terrain_side_input_t& input = build.sides[side];
        const float reach = input.offset + (side == 1 ? 400.0f : -400.0f) * static_cast<float>(input.width);
        input.outer_start = p[0] + s[0] * reach;
        input.outer_end = p[1] + s[1] * reach;
    }
    const road_section_split_t split = road_section_split(estimate_bytes(build), build.rows);
    if (!piece_fits(build, split.rows_per_piece)) {
        api::error("Edge %d: one row of its road does not fit a piece; it is not built",
                   static_cast<int32_t>(&edge - build.controller.edges.begin()));
        return false;
    }
    if (!slot.allocate(build.controller, split.pieces, layers))
        return false;
    slot.subdivision_count = build.rows;
    if (build.def && edge.sign != -1)
        slot.place_sign(build.controller, edge, *start, build.curve.start_tangent, *end, build.curve.end_tangent);
    if (!segment_build_terrain_strips(build.controller.seg_server->scratch, slot, edge, build.curve, build.rows,
                                      build.sides))
        return false;
    shade_grid(slot);
    slot.terrain.reset_noise_row(edge);
    for (const int side : {0, 1})
        build.vegetation[side].set_up(build.server, edge, side, build.sides[side].width);
    // The plants' rotations follow on from the start node's number, so that neighbouring edges differ.
    auto rotation = static_cast<uint32_t>(edge.nodes[0]);
    std::vector<int32_t> vertices, indices;
    int32_t g = 0;
    for (int32_t piece = 0; piece < split.pieces; ++piece) {
        const int32_t rows = piece + 1 == split.pieces ? split.last_rows : split.rows_per_piece;
        count_piece(build, g, rows, piece == 0, piece + 1 == split.pieces, vertices, indices);
        build.middle_rows[0] = build.middle_rows[1] = 0;
        segment_carver_t carver(slot.piece_at(piece).block);
        for (int32_t layer = 0; layer < layers; ++layer) {
            segment_layer_t& at = slot.layer_at(piece, layer);
            at.vertex_count = vertices[static_cast<size_t>(layer)];
            at.index_count = indices[static_cast<size_t>(layer)];
            carver.carve(at);
            at.vertex_count = at.index_count = 0;
            slot.set_up_layer(piece, layer, layer_shader(build, layer), layer_coloured(build, layer));
        }
        for (int32_t r = 0; r < rows; ++r, ++g) {
            slot.terrain.next_noise_row(g, build.rows);
            const float t0 = static_cast<float>(g) / static_cast<float>(build.rows);
            const float t1 = g + 1 == build.rows ? 1.0f : static_cast<float>(g + 1) / static_cast<float>(build.rows);
            if (build.def) {
                emit_road_row(build, piece, r, g, t0, t1);
                emit_railing_row(build, piece, g, t0, t1);
            }
            emit_terrain_row(build, piece, g);
            if (t1 < 1.0f)
                scatter_vegetation(build, g, rotation);
        }
    }
    return true;
}

}  // namespace

bool segment_t::build_road(base_ctrl_e& controller, map_edge_t& edge)
{
    const seg_server_t* server = controller.seg_server;
    if (!server || edge.definition < 0 || static_cast<size_t>(edge.definition) >= server->road_defs.size())
        return false;
    const road_def_t& def = server->road_defs[static_cast<size_t>(edge.definition)];
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (def.bytes == 0 || def.part_count < 1 || !(def.length() > 0.0f) || !start || !end)
        return false;
    road_build_t build{*this, controller, edge, *server, &def, {}, road_curve_t(*start, *end, edge.length),
                       0,     0,          {},   {},      {},   {}};
    for (int32_t part = 0; part < std::min(def.part_count, road_max_parts); ++part)
        build.templates.emplace_back(def.parts[part]);
    build.road_layers = def.part_count == 1 ? 1 : 3;
    // A two-part road leaves its third layer empty.
    build.rows = std::max(1, static_cast<int32_t>(std::ceil(edge.length / def.length())));
    const road_section_t& surface = def.parts[0];
    // The second side lies towards the side vector, where the model's smallest x is placed.
    build.sides[1].offset = -surface.left_xy[0];
    build.sides[1].edge_height = surface.left_xy[1];
    build.sides[0].offset = -surface.right_xy[0];
    build.sides[0].edge_height = surface.right_xy[1];
    for (int side = 0; side < 2; ++side)
        build.sides[side].width = segment_strip_width(edge, side);
    return build_rows(build);
}

bool segment_t::build_road_variant(base_ctrl_e& controller, map_edge_t& edge)
{
    const seg_server_t* server = controller.seg_server;
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (!server || !start || !end)
        return false;
    road_build_t build{*this, controller, edge, *server, nullptr, {}, road_curve_t(*start, *end, edge.length),
                       0,     0,          {},   {},      {},      {}};
    build.rows = std::max(1, static_cast<int32_t>(std::ceil(edge.length * 0.0025f)));
    build.sides[1].width = segment_strip_width(edge, 1);
    return build_rows(build);
}

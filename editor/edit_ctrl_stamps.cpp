// Ground stamps on the terrain beside Road edges: the cell under the pointer, and placing or removing
// the brush's stamp there.
#include <algorithm>
#include <iterator>

#include "common/engine_api.h"
#include "road/segment_terrain_grid.h"
#include "road/seg_server.h"
#include "editor/edit_ctrl.h"

namespace {

// The pointer's cell is looked for on roads whose bounds come this near the pointer.
constexpr float search_margin = 1.0f;

// The rows and columns a stamp covers: its brush's extents around its cell.
struct stamp_area_t {
    int32_t row0, rows, column0, columns;
};

bool stamp_area(const seg_server_t* server, const map_stamp_t& stamp, stamp_area_t& out)
{
    if (!server || stamp.brush < 0 || static_cast<size_t>(stamp.brush) >= server->brushes.size())
        return false;
    const brush_t& brush = server->brushes[static_cast<size_t>(stamp.brush)];
    out = {stamp.row - brush.width / 2, brush.width, stamp.column - brush.height / 2, brush.height};
    return true;
}

bool ranges_overlap(const int32_t a0, const int32_t a_count, const int32_t b0, const int32_t b_count)
{
    return a0 <= b0 + b_count - 1 && b0 <= a0 + a_count - 1;
}

// Column 0 lies on neither side; columns above it on the first side, below it on the second.
bool same_side(const int32_t a, const int32_t b) { return (a >= 1 && b >= 1) || (a < 0 && b < 0); }

}  // namespace

bool edit_ctrl_e::point_in_ground_quad(const vec3_t (&quad)[4]) const
{
    const float px = pointer.ground.x;
    const float pz = pointer.ground.z;
    int crossings = 0;
    for (int i = 0, previous = 3; i < 4; previous = i++) {
        const vec3_t& a = quad[previous];
        const vec3_t& b = quad[i];
        if (a.z == b.z)
            continue;
        if ((pz < a.z && pz < b.z) || (pz > a.z && pz > b.z))
            continue;
        const float x = a.x + (b.x - a.x) * (pz - a.z) / (b.z - a.z);
        if (x < px)
            ++crossings;
    }
    return (crossings & 1) != 0;
}

bool edit_ctrl_e::find_cell_on_road(const int32_t edge, int32_t& out_row, int32_t& out_column)
{
    segment_terrain_grid_t grid;
    if (!segment_terrain_grid(*this, edges[edge], grid))
        return false;
    const int32_t first_stamp = edges[edge].stamp;
    const bool grouped = stamps.valid(first_stamp) && stamps.valid(first_stamp + map_stamp_group_size - 1);
    for (int32_t s = 0; s < map_stamp_group_size; ++s)
        if (!grouped || stamps[first_stamp + s].brush == -1)
            stamp_outlines[s].drawn = false;
    bool hit = false;
    for (int32_t row = 0; row < grid.rows; ++row) {
        // The second side's columns are numbered below 0 (the grid's side 0), the first side's above.
        for (const int side : {1, 0}) {
            for (int32_t cell = 0; cell < grid.widths[side]; ++cell) {
                const int32_t number = grid.terrain_only ? cell + 1 : cell;
                if (number == 0)
                    continue;
                const int32_t column = side == 1 ? number : -number;
                const vec3_t quad[4] = {grid.at(side, row, cell), grid.at(side, row, cell + 1),
                                        grid.at(side, row + 1, cell + 1), grid.at(side, row + 1, cell)};
                for (int32_t s = 0; grouped && s < map_stamp_group_size; ++s) {
                    const map_stamp_t& stamp = stamps[first_stamp + s];
                    if (stamp.brush != -1 && stamp.row == row && stamp.column == column) {
                        stamp_outlines[s].drawn = true;
                        std::copy(std::begin(quad), std::end(quad), stamp_outlines[s].quad);
                    }
                }
                if (!hit && point_in_ground_quad(quad)) {
                    hit = true;
                    out_row = row;
                    out_column = column;
                    std::copy(std::begin(quad), std::end(quad), stamp_cell.quad);
                }
            }
        }
    }
    return hit;
}

void edit_ctrl_e::find_stamp_cell()
{
    stamp_cell.found = false;
    stamp_cell.edge = -1;
    cd_bounds_t query;
    query.set_empty();
    query.add_point(pointer.ground.x - search_margin, pointer.ground.y - 100000.0f, pointer.ground.z - search_margin);
    query.add_point(pointer.ground.x + search_margin, pointer.ground.y + 100000.0f, pointer.ground.z + search_margin);
    for (int32_t s = 0; s < segment_slot_count; ++s) {
        const segment_t* slot = segment_slot(s);
        if (!slot || !edges.valid(slot->edge_index) || edges[slot->edge_index].kind != map_edge_road)
            continue;
        const int32_t edge = slot->edge_index;
        bool near = false;
        for (int32_t p = 0; p < slot->piece_count && !near; ++p)
            near = slot->piece_at(p).bounds.overlaps(query);
        int32_t row = 0;
        int32_t column = 0;
        if (near && find_cell_on_road(edge, row, column)) {
            stamp_cell.found = true;
            stamp_cell.edge = edge;
            stamp_cell.row = row;
            stamp_cell.column = column;
            return;
        }
    }
}

bool edit_ctrl_e::check_stamps(const bool remove)
{
    const int32_t edge = stamp_cell.edge;
    if (!stamp_cell.found || !edges.valid(edge))
        return false;
    if (edges[edge].stamp == -1) {
        const int32_t group = add_stamp_group();
        if (group < 0)
            return false;
        for (int32_t s = 0; s < map_stamp_group_size; ++s)
            stamps[group + s] = map_stamp_t{-1, -1, 0, 0};
        edges[edge].stamp = group;
    }
    const int32_t first = edges[edge].stamp;
    if (!stamps.valid(first) || !stamps.valid(first + map_stamp_group_size - 1))
        return false;
    // The stamp of this cell, else (when placing) the first free record. A full group and a cell
    // without a stamp are left alone: no other stamp is given up for them.
    int32_t slot = -1;
    for (int32_t s = 0; s < map_stamp_group_size && slot == -1; ++s) {
        const map_stamp_t& stamp = stamps[first + s];
        if (stamp.brush != -1 && stamp.row == stamp_cell.row && stamp.column == stamp_cell.column)
            slot = s;
    }
    if (remove) {
        if (slot == -1)
            return false;
        stamps[first + slot] = map_stamp_t{-1, -1, 0, 0};
        rebuild_edge(edge);
        modified = true;
        return true;
    }
    for (int32_t s = 0; s < map_stamp_group_size && slot == -1; ++s)
        if (stamps[first + s].brush == -1)
            slot = s;
    if (slot == -1) {
        api::error("This road has %d stamps already: remove one first !", map_stamp_group_size);
        return false;
    }
    const map_stamp_t placed{stamp_definition, stamp_shader, stamp_cell.row, stamp_cell.column};
    stamp_area_t area{};
    if (!stamp_area(seg_server, placed, area)) {
        api::error("Stamp template %d does not exist: choose another !", stamp_definition);
        return false;
    }
    for (int32_t s = 0; s < map_stamp_group_size; ++s) {
        const map_stamp_t& other = stamps[first + s];
        stamp_area_t other_area{};
        if (s == slot || other.brush == -1 || !stamp_area(seg_server, other, other_area))
            continue;
        if (ranges_overlap(area.row0, area.rows, other_area.row0, other_area.rows) &&
            ranges_overlap(area.column0, area.columns, other_area.column0, other_area.columns) &&
            same_side(placed.column, other.column)) {
            api::error("Stamps are too close !");
            return false;
        }
    }
    const map_edge_t& record = edges[edge];
    const int32_t background = placed.column < 0 ? record.sides[0].terrain : record.sides[1].terrain;
    if (background == stamp_shader) {
        api::error("This stamp has same shader as background !");
        return false;
    }
    stamps[first + slot] = placed;
    rebuild_edge(edge);
    modified = true;
    return true;
}

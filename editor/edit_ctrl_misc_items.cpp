#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "editor/edit_ctrl.h"

namespace {

// Spacing of the points a new two-point item or mover starts with, along x.
constexpr float sky_swap_reach = 10000.0f;
constexpr float mover_leg = 1000.0f;
// Half extent, in x and z, of a new no-weather area.
constexpr uint32_t no_weather_half_extent = 1000;
// Steps along a curved mover leg when it is measured.
constexpr int curve_steps = 300;

// How far an item's volume reaches beyond its points; -1 for kinds whose volume is built otherwise.
float volume_margin(const int32_t type)
{
    switch (type) {
    case map_misc_sky_swap:
        return 3000.0f;
    case map_misc_cut_plane:
        return 200.0f;
    case map_misc_gas_station:
    case map_misc_service:
    case map_misc_truck_stop:
    case map_misc_scales:
    case map_misc_dealer:
    case map_misc_mover:
    case map_misc_headquarters:
        return 300.0f;
    default:
        return -1.0f;
    }
}

// Points of the item that its volume and derived data follow.
int32_t point_count(const map_miscitem_t& item)
{
    switch (item.type) {
    case map_misc_sky_swap:
    case map_misc_cut_plane:
        return 2;
    case map_misc_mover:
        return static_cast<int32_t>(item.flags & map_misc_segments_mask) + 1;
    default:
        return 1;
    }
}

// The line a·x + b·z + c = 0 through `at` with the normal `normal` of the ground plane.
vec3_t ground_line(const vec3_t& normal, const vec3_t& at)
{
    return vec3_t(normal.x, normal.z, -(normal.x * at.x + normal.z * at.z));
}

// A cut plane's three lines: its plane through both points, and the two ends across it.
void cut_plane_lines(map_miscitem_t& item)
{
    const vec3_t p0 = item.points[0];
    const vec3_t p1 = item.points[1];
    vec3_t across = (p1 - p0).cross(vec3_t(0.0f, 1.0f, 0.0f));
    across.y = 0.0f;
    across.normalize();
    vec3_t along = p1 - p0;
    along.y = 0.0f;
    along.normalize();
    item.tangents[0] = ground_line(across, p0);
    item.tangents[1] = ground_line(along, p0);
    item.tangents[2] = ground_line(-along, p1);
}

// A mover's leg lengths (words 25-27) and, on a curve, its waypoints' tangents.
void mover_legs(map_miscitem_t& item)
{
    const int32_t points = point_count(item);
    if (!(item.flags & map_misc_curve)) {
        for (int32_t k = 1; k < points; ++k)
            item.params[k - 1] = static_cast<int32_t>((item.points[k] - item.points[k - 1]).length());
        return;
    }
    for (vec3_t& tangent : item.tangents)
        tangent = vec3_t{};
    for (int32_t k = 1; k < points; ++k) {
        const vec3_t leg = (item.points[k] - item.points[k - 1]).normalized();
        item.tangents[k - 1] += leg;
        item.tangents[k] += leg;
    }
    for (vec3_t& tangent : item.tangents)
        tangent.normalize();
    for (int32_t k = 1; k < points; ++k) {
        float length = 1.0f;
        vec3_t previous = item.points[k - 1];
        for (int step = 1; step <= curve_steps; ++step) {
            vec3_t at;
            // The leg's first tangent serves at both of its ends.
            smooth_curve(item.points[k - 1], item.tangents[k - 1], item.points[k], item.tangents[k - 1],
                         static_cast<float>(step) / curve_steps, at, nullptr);
            length += (at - previous).length();
            previous = at;
        }
        item.params[k - 1] = static_cast<int32_t>(std::lround(length));
    }
}

// The item's volume and the data derived from its points.
void derive_item(map_miscitem_t& item)
{
    if (item.type == map_misc_none || item.type == 8)
        return;
    item.bounds.set_empty();
    if (item.type == map_misc_no_weather) {
        const vec3_t& p = item.points[0];
        const float hx = static_cast<float>(static_cast<uint32_t>(item.model_words[0]));
        const float hz = static_cast<float>(static_cast<uint32_t>(item.model_words[1]));
        item.bounds.add_point(p.x - hx, p.y, p.z - hz);
        item.bounds.add_point(p.x + hx, p.y, p.z + hz);
        return;
    }
    for (int32_t k = 0; k < point_count(item); ++k)
        item.bounds.add_point(item.points[k].x, item.points[k].y, item.points[k].z);
    item.bounds.widen(volume_margin(item.type));
    if (item.type == map_misc_cut_plane)
        cut_plane_lines(item);
    else if (item.type == map_misc_mover)
        mover_legs(item);
}

}  // namespace

void edit_ctrl_e::create_misc_item(const vec3_t& point)
{
    map_miscitem_t choice{};
    open_prop_dialog(&choice, edit_dialog_misc_item, 0);
    // The dialog's answer is its type: "!None" creates nothing.
    if (choice.type == map_misc_none)
        return;
    const int32_t index = add_miscitem();
    if (index < 0)
        return;
    map_miscitem_t& item = miscitems[index];
    item.type = choice.type;
    item.flags = choice.flags;
    item.selected_point = -1;
    item.points[0] = point;
    switch (item.type) {
    case map_misc_sky_swap:
    case map_misc_cut_plane:
        item.points[1] = point + vec3_t(sky_swap_reach, 0.0f, 0.0f);
        break;
    case map_misc_mover:
        item.params[3] = 100;
        for (int32_t k = 1; k < point_count(item); ++k)
            item.points[k] = point + vec3_t(mover_leg * static_cast<float>(k), 0.0f, 0.0f);
        break;
    case map_misc_headquarters:
        item.model_words[0] = 1;
        break;
    case map_misc_no_weather:
        item.model_words[0] = item.model_words[1] = static_cast<int32_t>(no_weather_half_extent);
        break;
    default:
        break;
    }
    derive_item(item);
    build_item_tree();
}

void edit_ctrl_e::move_misc_item_point(const int32_t index, const int32_t k, const vec3_t& point, const bool settle)
{
    if (!miscitems.valid(index))
        return;
    map_miscitem_t& item = miscitems[index];
    const bool many = item.type == map_misc_sky_swap || item.type == map_misc_cut_plane || item.type == map_misc_mover;
    // A point the item does not have moves nothing.
    if (many && (k < 0 || k >= point_count(item)))
        return;
    vec3_t& moved = item.points[many ? k : 0];
    moved = point;
    const bool on_ground = item.type != map_misc_mover && item.type != map_misc_headquarters && item.type != 8;
    if (settle && on_ground)
        moved.y = height_near(moved.x, moved.z);
    derive_item(item);
    if (settle)
        build_item_tree();
}

float edit_ctrl_e::raise_misc_item(const int32_t index, const int32_t k, const float delta)
{
    if (!miscitems.valid(index))
        return 0.0f;
    map_miscitem_t& item = miscitems[index];
    const int32_t point = item.type == map_misc_mover ? k : 0;
    if (point < 0 || point >= point_count(item))
        return 0.0f;
    if (item.type != map_misc_mover && item.type != map_misc_headquarters)
        return item.points[point].y;
    vec3_t at = item.points[point];
    at.y += delta;
    item_height = static_cast<int32_t>(at.y);
    move_misc_item_point(index, point, at, true);
    return at.y;
}

void edit_ctrl_e::remove_misc_item(const int32_t index)
{
    if (!miscitems.valid(index))
        return;
    // The shown lists and the target marker name items by number: all are let go and come back
    // numbered anew with the next streaming.
    switch_off_all_miscitems();
    for (map_miscitem_t& item : miscitems)
        item.active = 0;
    std::copy(miscitems.begin() + index + 1, miscitems.end(), miscitems.begin() + index);
    --miscitems.count;
    if (current_item == index)
        current_item = -1;
    else if (current_item > index)
        --current_item;
    if (height_target.kind == edit_pick_misc_point && height_target.index >= index)
        height_target = edit_height_target_t{};
}

void edit_ctrl_e::misc_item_properties(const int32_t index, const int32_t point)
{
    if (!miscitems.valid(index))
        return;
    map_miscitem_t& item = miscitems[index];
    item.selected_point = point;
    const int32_t result = open_prop_dialog(&item, edit_dialog_misc_item, 0);
    item.selected_point = -1;
    if (result < 1)
        return;
    derive_item(item);
    build_item_tree();
    modified = true;
}

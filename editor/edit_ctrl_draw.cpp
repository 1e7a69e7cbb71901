#include <cmath>
#include <cstring>

#include "engine/geometry.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/matrix.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"

namespace {

// Colours of the guides (0xAARRGGBB as the line call takes them).
constexpr uint32_t city_outline_colour = 0xFF0000FF;
constexpr uint32_t create_line_colour = 0xFF6464FF;
constexpr uint32_t two_point_colour = 0xFFFF0000;
constexpr uint32_t line_item_colour = 0xFFFFFFFF;
constexpr uint32_t area_colour = 0xFFFF2F2F;
constexpr uint32_t mover_colour = 0xFFF7777F;
// The brush's cell under the pointer, and the cells of that road's stamps.
constexpr uint32_t stamp_cell_colour = 0xFFFFFFFF;
constexpr uint32_t stamp_colour = 0xFF2010FF;
// The top camera's zoom from which the editor objects are left out.
constexpr float objects_zoom_limit = 0.35f;
// The previewed junction's origin marker: a cross of 20 x 20 raised 15, in the colour of a node where
// an edge begins.
constexpr uint32_t preview_begin_colour = 0xFFF05050;
constexpr float preview_raise = 15.0f;
constexpr float preview_marker = 10.0f;

void line(const uint32_t colour, const vec3_t& from, const vec3_t& to) { api::gfx_line_plain(colour, &from.x, &to.x); }

// The colour of a single-point misc item's cross by its type.
uint32_t station_colour(const int32_t type)
{
    switch (type) {
    case 2:
        return 0xFF00FF00;
    case 3:
        return 0xFF00FFFF;
    case 4:
        return 0xFFFF00FF;
    case 5:
        return 0xFFFFFF00;
    case 10:
        return 0xFF3F3FFF;
    default:
        return 0xFFFFFFFF;
    }
}

}  // namespace

void edit_ctrl_e::draw()
{
    draw_background();
    if (item_tree()) {
        draw_city_outline();
        cd_bounds_t volume;
        if (view_volume(volume)) {
            draw_pins();
            draw_roads(volume);
        }
    }
    draw_create_guides();
    draw_create_preview();
    editor_camera_e* const camera = current_camera();
    if (!(view_mode == edit_view_top && camera && camera->zoom_field() >= objects_zoom_limit))
        draw_objects();
    draw_misc_shapes();
    draw_stamp_cells();
}

void edit_ctrl_e::draw_stamp_cells()
{
    if (mode != edit_mode_brush || !stamp_cell.found)
        return;
    const vec3_t raise(0.0f, 20.0f, 0.0f);
    const auto outline = [&](const vec3_t(&quad)[4], const uint32_t colour) {
        for (int i = 0; i < 4; ++i)
            line(colour, quad[i] + raise, quad[(i + 1) % 4] + raise);
    };
    outline(stamp_cell.quad, stamp_cell_colour);
    for (const edit_stamp_outline_t& stamp : stamp_outlines)
        if (stamp.drawn)
            outline(stamp.quad, stamp_colour);
}

bool edit_ctrl_e::view_volume(cd_bounds_t& out_box) const
{
    if (!api::gfx_get_camera || !api::gfx_get_params || !api::gfx_camera_inverse)
        return false;
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    gfx_params_t params{};
    api::gfx_get_params(&params);
    float far_plane = camera.far_plane;
    if (view_mode == edit_view_top)
        far_plane *= 1.2f;
    const float tangent = std::tan(params.fov * 0.5f * 0.017453292f);
    const float aspect =
        params.height > 0 ? static_cast<float>(params.width) / static_cast<float>(params.height) : 4.0f / 3.0f;
    const float half_y = far_plane * tangent;
    const float half_x = half_y * aspect;
    mat4_t frame;
    const float* inverse = api::gfx_camera_inverse();
    for (int i = 0; i < 16; ++i)
        frame.m[i / 4][i % 4] = inverse[i];
    out_box.set_empty();
    const vec3_t corners[5] = {{0.0f, 0.0f, 0.0f},
                               {-half_x, -half_y, -far_plane},
                               {half_x, -half_y, -far_plane},
                               {half_x, half_y, -far_plane},
                               {-half_x, half_y, -far_plane}};
    for (const vec3_t& corner : corners) {
        const vec3_t p = mult_point_matrix(frame, corner);
        out_box.add_point(p.x, p.y, p.z);
    }
    return true;
}

void edit_ctrl_e::draw_city_outline()
{
    gfx_camera_t camera{};
    if (!seg_server || !api::gfx_get_camera)
        return;
    api::gfx_get_camera(&camera);
    const int32_t city = seg_server->find_city_at(vec3_t(camera.position[0], camera.position[1], camera.position[2]));
    if (city < 0 || city >= seg_server->city_count)
        return;
    const city_area_t& area = seg_server->cities[city];
    const float y = area.y;
    const vec3_t a(area.x_min, y, area.z_min), b(area.x_max, y, area.z_min), c(area.x_max, y, area.z_max),
        d(area.x_min, y, area.z_max);
    line(city_outline_colour, a, b);
    line(city_outline_colour, b, c);
    line(city_outline_colour, c, d);
    line(city_outline_colour, d, a);
    line(city_outline_colour, a, c);
    line(city_outline_colour, b, d);
}

void edit_ctrl_e::draw_create_guides()
{
    if (mode != edit_mode_new_item || pointer.create_state != 1 || pointer.held < 0)
        return;
    const vec3_t raise(0.0f, 17.0f, 0.0f);
    vec3_t from;
    if (sub_mode == edit_sub_aux_item) {
        if (!aux_nodes.valid(pointer.held))
            return;
        from = aux_nodes[pointer.held].position;
    } else {
        if (!nodes.valid(pointer.held))
            return;
        from = nodes[pointer.held].position;
    }
    line(create_line_colour, from + raise, pointer.ground + raise);
}

void edit_ctrl_e::draw_misc_shapes()
{
    for (const int32_t index : active_list(base_ctrl_sky_swaps)) {
        if (!miscitems.valid(index))
            continue;
        for (int p = 0; p < 2; ++p) {
            const vec3_t& c = miscitems[index].points[p];
            line(two_point_colour, vec3_t(c.x - 3000.0f, c.y, c.z + 3000.0f),
                 vec3_t(c.x + 3000.0f, c.y, c.z - 3000.0f));
            line(two_point_colour, vec3_t(c.x + 3000.0f, c.y, c.z + 3000.0f),
                 vec3_t(c.x - 3000.0f, c.y, c.z - 3000.0f));
        }
    }
    for (const int32_t index : active_list(base_ctrl_cut_planes))
        if (miscitems.valid(index))
            line(line_item_colour, miscitems[index].points[0], miscitems[index].points[1]);
    for (const int32_t index : active_list(base_ctrl_no_weather)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const vec3_t& c = item.points[0];
        const auto w = static_cast<float>(item.model_words[0]);
        const auto h = static_cast<float>(item.model_words[1]);
        const vec3_t a(c.x - w, c.y, c.z - h), b(c.x + w, c.y, c.z - h), d(c.x + w, c.y, c.z + h),
            e(c.x - w, c.y, c.z + h);
        line(area_colour, a, b);
        line(area_colour, b, d);
        line(area_colour, d, e);
        line(area_colour, e, a);
    }
    for (const int32_t index : active_list(base_ctrl_movers)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const int32_t segments = static_cast<int32_t>(item.flags & 3u);
        const bool curve = (item.flags & (1u << 5)) != 0;
        for (int32_t k = 0; k < segments; ++k) {
            const vec3_t& p0 = item.points[k];
            const vec3_t& p1 = item.points[k + 1];
            if (!curve) {
                line(mover_colour, p0, p1);
                continue;
            }
            const vec3_t t0 = item.tangents[k] * (static_cast<float>(item.params[k]) / 3.0f);
            const vec3_t t1 = item.tangents[k + 1] * (static_cast<float>(item.params[k + 1]) / 3.0f);
            vec3_t previous = p0;
            for (int i = 1; i <= 16; ++i) {
                vec3_t point;
                smooth_curve(p0, t0, p1, t1, static_cast<float>(i) / 16.0f, point, nullptr);
                line(mover_colour, previous, point);
                previous = point;
            }
        }
        if (curve)
            for (int32_t k = 0; k <= segments; ++k)
                line(line_item_colour, item.points[k], item.points[k] + item.tangents[k] * 300.0f);
    }
    for (const int32_t index : active_list(base_ctrl_stations)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const vec3_t& c = item.points[0];
        const uint32_t colour = station_colour(item.type);
        line(colour, vec3_t(c.x - 300.0f, c.y, c.z - 300.0f), vec3_t(c.x + 300.0f, c.y, c.z + 300.0f));
        line(colour, vec3_t(c.x + 300.0f, c.y, c.z - 300.0f), vec3_t(c.x - 300.0f, c.y, c.z + 300.0f));
    }
}

void edit_ctrl_e::release_preview()
{
    preview_segment_.release(*this);
    preview_built_ = false;
}

void edit_ctrl_e::draw_create_preview()
{
    const bool junction = sub_mode == edit_sub_fork || sub_mode == edit_sub_cross || sub_mode == edit_sub_prefab;
    map_edge_t* const source =
        mode == edit_mode_new_item && pointer.create_state == 0 && junction ? get_default_edge(nullptr) : nullptr;
    if (!source) {
        if (preview_built_)
            release_preview();
        return;
    }
    const bool same = preview_built_ && preview_at_ == pointer.ground &&
                      std::memcmp(&preview_edge_, source, sizeof preview_edge_) == 0;
    if (!same) {
        release_preview();
        // The junction begins at a node of its own at the ground point, taken away again after the
        // build: the built pieces keep their geometry, not the node.
        const int32_t origin = nodes.append(map_node_step);
        if (origin < 0)
            return;
        nodes[origin] = map_node_make(pointer.ground);
        nodes[origin].flags |= 1u;
        preview_edge_ = *source;
        map_edge_t edge = *source;
        edge.nodes[0] = origin;
        edge.nodes[1] = edge.nodes[2] = edge.nodes[3] = -1;
        preview_built_ = preview_segment_.build(*this, edge, true);
        --nodes.count;
        preview_at_ = pointer.ground;
        if (!preview_built_)
            return;
    }
    preview_segment_.draw(nullptr, static_model_lights());
    const vec3_t at = pointer.ground + vec3_t(0.0f, preview_raise, 0.0f);
    line(preview_begin_colour, at + vec3_t(-preview_marker, 0.0f, -preview_marker),
         at + vec3_t(preview_marker, 0.0f, preview_marker));
    line(preview_begin_colour, at + vec3_t(preview_marker, 0.0f, -preview_marker),
         at + vec3_t(-preview_marker, 0.0f, preview_marker));
}

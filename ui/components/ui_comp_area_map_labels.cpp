#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/gfx_view.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/ctrl_parts.h"
#include "road/seg_server.h"
#include "ui/components/area_map_economy.h"
#include "ui/components/ui_comp_area_map.h"

namespace {

// The reference screen the markup is laid out in.
constexpr float reference_width = 1024.0f;
constexpr float reference_height = 768.0f;
// Pins and icons, in reference units.
constexpr float icon_side = 24.0f;
constexpr float trader_width = 40.0f;
constexpr float trader_height = 32.0f;
// A city name starts this far left of its point for each of its letters, never left of the view's
// edge, and one near the right edge is pulled back so that it stays inside.
constexpr float name_shift_per_letter = 3.0f;
constexpr float name_left_limit = 3.0f;
constexpr float name_right_check = 900.0f;
constexpr float name_right_limit = 1021.0f;
constexpr float name_width_share = 1.2f;
constexpr float name_rise = 25.0f;

const char* const city_pin = "/shaders/ui/map/city_pin.shd";
const char* const delivery_pin = "/shaders/ui/map/unload_point.shd";
// Icons by marker kind 0 to 7.
const char* const marker_icons[8] = {
    "/shaders/ui/map/road_sign_i.shd", "/shaders/ui/map/road_sign.shd",    "/shaders/ui/map/gas_ico.shd",
    "/shaders/ui/map/service_ico.shd", "/shaders/ui/map/unload_point.shd", "/shaders/ui/map/hazard_ico.shd",
    "/shaders/ui/map/dealer_ico.shd",  "/shaders/ui/map/weigh_ico.shd",
};

// The label bit a marker kind's icon is shown by; 0 for kinds this view draws no icon for. A road
// hazard is news about the road: it shows with the road signs.
uint32_t icon_bit(const int32_t kind)
{
    switch (kind) {
    case area_marker_interstate_sign:
    case area_marker_road_sign:
    case area_marker_hazard:
        return area_label_road_signs;
    case area_marker_gas:
        return area_label_gas;
    case area_marker_service:
        return area_label_service;
    case area_marker_dealer:
        return area_label_dealers;
    case area_marker_weigh:
        return area_label_weigh;
    default:
        return 0;
    }
}

}  // namespace

bool ui_comp_area_map_t::project(const vec3_t& point, float& out_x, float& out_y) const
{
    const float* const camera = api::gfx_camera_matrix();
    const float* const view = api::gfx_view_matrix();
    if (!camera || !view)
        return false;
    const float p[4] = {point.x, point.y, point.z, 1.0f};
    float eye[4];
    for (int r = 0; r < 4; ++r)
        eye[r] = camera[r * 4] * p[0] + camera[r * 4 + 1] * p[1] + camera[r * 4 + 2] * p[2] + camera[r * 4 + 3] * p[3];
    float clip[4];
    for (int r = 0; r < 4; ++r)
        clip[r] = view[r * 4] * eye[0] + view[r * 4 + 1] * eye[1] + view[r * 4 + 2] * eye[2] + view[r * 4 + 3] * eye[3];
    // Behind the camera nothing is shown.
    if (!(clip[3] > 0.0f))
        return false;
    gfx_params_t screen{};
    api::gfx_get_params(&screen);
    if (screen.width <= 0 || screen.height <= 0)
        return false;
    // Screen pixels (y down) to reference units measured from the view's left and top edges.
    const float x = clip[0] / clip[3] * reference_width / static_cast<float>(screen.width);
    const float y = clip[1] / clip[3] * reference_height / static_cast<float>(screen.height);
    out_x = x - label_rect_.left;
    out_y = y - (reference_height - label_rect_.top);
    return out_x >= 0.0f && out_x <= label_rect_.right - label_rect_.left && out_y >= 0.0f &&
           out_y <= label_rect_.top - label_rect_.bottom;
}

void ui_comp_area_map_t::add_icon(const char* shader, const float x, const float y, const float width,
                                  const float height)
{
    pml_item_t* const item = icon_items_.insert(shader);
    if (!item)
        return;
    const float left = label_rect_.left + x - width * 0.5f;
    const float top = label_rect_.top - y + height * 0.5f;
    item->box = {left, left + width, top, top - height};
}

void ui_comp_area_map_t::rebuild_labels(const base_ctrl_e* ctrl, const ctrl_economy_t* names,
                                        const area_map_economy_t* economy)
{
    dirty = 0;
    icon_items_.reset();
    label_texts_.reset();
    label_rect_ = rect;
    pml_set_bounds(label_rect_, true);
    pml_reset();
    if (ctrl)
        add_city_labels(*ctrl, names);
    vec3_t target;
    float x = 0.0f;
    float y = 0.0f;
    if (economy && economy->player_target(target) && project(target, x, y))
        add_icon(delivery_pin, x, y, icon_side, icon_side);
    add_marker_labels(ctrl, economy);
    pml_buffer_get(label_texts_, false);
    pml_reset();
}

void ui_comp_area_map_t::add_city_labels(const base_ctrl_e& ctrl, const ctrl_economy_t* names)
{
    if (!ctrl.seg_server)
        return;
    char markup[512];
    for (int32_t c = 0; c < ctrl.seg_server->city_count; ++c) {
        const city_area_t& city = ctrl.seg_server->cities[c];
        const vec3_t middle((city.x_min + city.x_max) * 0.5f, city.y, (city.z_min + city.z_max) * 0.5f);
        float x = 0.0f;
        float y = 0.0f;
        if (!project(middle, x, y))
            continue;
        add_icon(city_pin, x, y, icon_side, icon_side);
        const char* const name = names ? names->city_display_name(c) : nullptr;
        if (!name || !(label_mask & area_label_cities))
            continue;
        if (city_mode) {
            std::snprintf(markup, sizeof markup,
                          "<offset hshift=%d vshift=%d><font @@__fnt_big@@>\\k%s</font><ret><font "
                          "@@__fnt_big@@>\\y%s</font><ret>",
                          2, 2, name, name);
        } else {
            float left = std::max(x - name_shift_per_letter * static_cast<float>(std::strlen(name)), name_left_limit);
            if (left > name_right_check) {
                pml_rect_t box;
                if (pml_get_bounds(name, box)) {
                    const float width = box.right - box.left;
                    left = std::min(left, name_right_limit - name_width_share * width);
                }
            }
            const float top = y - name_rise;
            std::snprintf(markup, sizeof markup,
                          "<offset hshift=%g vshift=%g><color value=ff000000><font @@__fnt_mid@@ "
                          "type=2>%s</font><ret><offset hshift=%g vshift=%g><color value=%x><font "
                          "@@__fnt_mid@@>%s</font><ret>",
                          static_cast<double>(left + 2.0f), static_cast<double>(top + 2.0f), name,
                          static_cast<double>(left), static_cast<double>(top), label_colour, name);
        }
        pml_render(markup);
    }
}

void ui_comp_area_map_t::add_marker_labels(const base_ctrl_e* ctrl, const area_map_economy_t* economy)
{
    char markup[256];
    for (area_map_marker_t& marker : markers_) {
        float x = 0.0f;
        float y = 0.0f;
        if (!project(marker.position, x, y))
            continue;
        if (marker.kind == area_marker_interstate_sign || marker.kind == area_marker_road_sign) {
            const char* name = nullptr;
            if (ctrl && ctrl->seg_server && marker.index >= 0 &&
                static_cast<size_t>(marker.index) < ctrl->seg_server->place_names.size())
                name = ctrl->seg_server->place_names[static_cast<size_t>(marker.index)].name;
            if (name) {
                const size_t length = strnlen(name, sizeof place_name_t::name);
                char colour = 'k';
                float left = x - 7.0f;
                if (name[0] == 'I') {
                    ++name;
                    colour = 'w';
                    marker.kind = area_marker_interstate_sign;
                    left -= 0.2f;
                }
                if (length == 1)
                    left += 4.5f;
                else if (length == 3)
                    left -= 3.9f;
                if (label_mask & area_label_road_signs) {
                    std::snprintf(markup, sizeof markup,
                                  "<offset hshift=%g vshift=%g><font @@__fnt_sml@@>\\%c%.*s</font><ret>",
                                  static_cast<double>(left), static_cast<double>(y - 5.5f), colour,
                                  static_cast<int>(strnlen(name, sizeof place_name_t::name)), name);
                    pml_render(markup);
                }
            }
        } else if (marker.kind == area_marker_trader) {
            const char* const icon = economy ? economy->trader_icon(marker.index) : nullptr;
            if (icon && icon[0])
                add_icon(icon, x, y, trader_width, trader_height);
            continue;
        }
        if (marker.kind >= 0 && marker.kind < 8 && (label_mask & icon_bit(marker.kind)))
            add_icon(marker_icons[marker.kind], x, y, icon_side, icon_side);
    }
}

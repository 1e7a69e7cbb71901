#include "road/game_map_view.h"

#include <algorithm>

#include "engine/ui.h"
#include "engine/ui_view.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "road/game_ctrl.h"
#include "road/saved_index.h"
#include "road/seg_server.h"

vec3_t game_map_view_t::remembered_truck_position{};

namespace {

// Where a followed map may centre over the country.
constexpr float view_x_limit = 700000.0f;
constexpr float view_z_low = -259000.0f;
constexpr float view_z_high = 320000.0f;

}  // namespace

void game_map_view_t::open_window()
{
    // Hidden until the map key shows it.
    window_ = ui_winsert("gameui_map", "map", 0x24, "/ui/gmap.esc", false);
    component_ = nullptr;
    if (!window_)
        return;
    if (ctrl_.bridge)
        ctrl_.bridge->adopt_window(window_);
    if (auto* const window = static_cast<ui_view_t*>(c_item_lock(window_))) {
        component_ = ui_find_component(window, game_map_component_id, true);
        c_item_release(window_);
    }
    if (!component_) {
        api::warning("<game_ctrl_e> /ui/gmap.esc has no road map (component %d)", game_map_component_id);
        return;
    }
    if (auto* const view = static_cast<ui_view_t*>(c_item_lock(component_))) {
        if (auto* const map = dynamic_cast<ctrl_map_view_t*>(view))
            map->set_map_view(1, state_.in_city, state_.zoom);
        c_item_release(component_);
    }
}

void game_map_view_t::follow(const vec3_t& position)
{
    if (!ctrl_.seg_server)
        return;
    const vec3_t moved = position - remembered_truck_position;
    if (moved.x * moved.x + moved.y * moved.y + moved.z * moved.z <= map_follow_distance_sq)
        return;
    remembered_truck_position = position;
    state_.city = ctrl_.seg_server->find_city_at(position);
    state_.in_city = state_.city != -1 ? 1 : 0;
    if (!state_.shown || !component_)
        return;
    const bool close_view = state_.in_city && state_.city_zoom;
    state_.zoom = close_view ? game_map_city_zoom : game_map_country_zoom;
    vec3_t centre = position;
    if (!close_view) {
        centre.x = std::clamp(centre.x, -view_x_limit, view_x_limit);
        centre.z = std::clamp(centre.z, view_z_low, view_z_high);
    }
    const vec3_t low = centre - vec3_t(state_.zoom, state_.zoom, state_.zoom);
    const vec3_t high = centre + vec3_t(state_.zoom, state_.zoom, state_.zoom);
    cd_bounds_t region;
    region.set_empty();
    region.add_box(&low.x, &high.x);
    auto* const view = static_cast<ui_view_t*>(c_item_lock(component_));
    if (!view)
        return;
    if (auto* const map = dynamic_cast<ctrl_map_view_t*>(view)) {
        map->set_map_view(1, state_.in_city ? state_.city_zoom : 0, state_.zoom);
        map->build_map(region);
    }
    c_item_release(component_);
}

bool game_map_view_t::cycle()
{
    if (!component_)
        return false;
    if (!state_.shown) {
        state_.city_zoom = 1;
        remembered_truck_position = map_far_away;
        ui_wshow(window_, 0);
        state_.shown = 1;
    } else if (state_.zoom == game_map_country_zoom) {
        ui_whide(window_);
        state_.shown = 0;
    } else {
        state_.city_zoom = 0;
        remembered_truck_position = map_far_away;
    }
    return true;
}

void game_map_view_t::after_load()
{
    remembered_truck_position = vec3_t{};
    if (state_.shown && window_)
        ui_wshow(window_, 0);
}

void game_map_view_t::restore(const map_view_state_t& state)
{
    state_ = state;
    state_.city = saved_index_or_none(state.city, ctrl_.seg_server ? ctrl_.seg_server->city_count : 0, "city");
}

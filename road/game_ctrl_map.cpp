#include <algorithm>
#include <cstdio>
#include <utility>

#include "engine/cache.h"
#include "engine/gfx_view.h"
#include "engine/entity_proc.h"
#include "engine/psm.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "common/bridge_parts.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "road/game_ctrl.h"
#include "road/seg_server.h"

namespace {

// Where a followed map may centre over the country.
constexpr float view_x_limit = 700000.0f;
constexpr float view_z_low = -259000.0f;
constexpr float view_z_high = 320000.0f;
// The target models by name, in the order the draw picks them.
const char* const target_names[game_ctrl_target_models] = {"target2", "target_gas", "target_service", "target_weigh"};

// The target model (index into the names above) drawn over a station item of `type`.
int target_of(const int32_t type)
{
    switch (type) {
    case map_misc_gas_station:
        return 1;
    case map_misc_service:
        return 2;
    case map_misc_scales:
        return 3;
    default:
        return 0;
    }
}

}  // namespace

void game_ctrl_e::open_map_window()
{
    // Hidden until the map key shows it.
    map_window_ = ui_winsert("gameui_map", "map", 0x24, "/ui/gmap.esc", false);
    map_component_ = nullptr;
    if (!map_window_)
        return;
    if (bridge)
        bridge->adopt_window(map_window_);
    if (auto* const window = static_cast<ui_view_t*>(c_item_lock(map_window_))) {
        map_component_ = ui_find_component(window, game_map_component_id, true);
        c_item_release(map_window_);
    }
    if (!map_component_) {
        api::warning("<game_ctrl_e> /ui/gmap.esc has no road map (component %d)", game_map_component_id);
        return;
    }
    if (auto* const view = static_cast<ui_view_t*>(c_item_lock(map_component_))) {
        if (auto* const map = dynamic_cast<ctrl_map_view_t*>(view))
            map->set_map_view(1, in_city, map_zoom);
        c_item_release(map_component_);
    }
}

void game_ctrl_e::map_follow()
{
    const held_part_t<ctrl_truck_t> truck(truck_handle());
    if (!truck.get() || !seg_server)
        return;
    const vec3_t position = truck.get()->truck_position();
    const vec3_t moved = position - remembered_truck_position;
    if (moved.x * moved.x + moved.y * moved.y + moved.z * moved.z <= map_follow_distance_sq)
        return;
    remembered_truck_position = position;
    city_index = seg_server->find_city_at(position);
    in_city = city_index != -1 ? 1 : 0;
    if (!map_shown || !map_component_)
        return;
    const bool close_view = in_city && city_zoom;
    map_zoom = close_view ? game_map_city_zoom : game_map_country_zoom;
    vec3_t centre = position;
    if (!close_view) {
        centre.x = std::clamp(centre.x, -view_x_limit, view_x_limit);
        centre.z = std::clamp(centre.z, view_z_low, view_z_high);
    }
    const vec3_t low = centre - vec3_t(map_zoom, map_zoom, map_zoom);
    const vec3_t high = centre + vec3_t(map_zoom, map_zoom, map_zoom);
    cd_bounds_t region;
    region.minimum[0] = low.x;
    region.minimum[1] = low.y;
    region.minimum[2] = low.z;
    region.maximum[0] = high.x;
    region.maximum[1] = high.y;
    region.maximum[2] = high.z;
    region.minimum[3] = low.z * 0.5f + low.x * 0.5f;
    region.minimum[4] = low.x * 0.5f - high.z * 0.5f;
    region.maximum[3] = high.z * 0.5f + high.x * 0.5f;
    region.maximum[4] = high.x * 0.5f - low.z * 0.5f;
    auto* const view = static_cast<ui_view_t*>(c_item_lock(map_component_));
    if (!view)
        return;
    if (auto* const map = dynamic_cast<ctrl_map_view_t*>(view)) {
        map->set_map_view(1, in_city ? city_zoom : 0, map_zoom);
        map->build_map(region);
    }
    c_item_release(map_component_);
}

void game_ctrl_e::load_target_models()
{
    free_target_models();
    char path[128];
    for (int i = 0; i < game_ctrl_target_models; ++i) {
        std::snprintf(path, sizeof path, "/models/free_items/target/%s.shd", target_names[i]);
        c_item_t* const shader = api::mm_precache(path);
        api::gfx_shader_precache(path);
        char model_path[128];
        std::snprintf(model_path, sizeof model_path, "/models/free_items/target/%s.psm", target_names[i]);
        psm_t* const model = api::psm_alloc(model_path, 0, 0, 16);
        if (model) {
            for (int part = 0; part < 2; ++part)
                api::psm_set_shader(model, part, path);
            char animation_path[128];
            std::snprintf(animation_path, sizeof animation_path, "/models/free_items/target/%s.psa", target_names[i]);
            const int animation = api::psm_anim_add_file(api::psm_get_info(model), animation_path, nullptr);
            const int player = animation >= 0 ? api::psm_adesc_create(model, animation, 0, 0, -1) : -1;
            if (player >= 0) {
                api::psm_adesc_set_wspeeds(model, player, 2.0f, -2.0f);
                api::psm_adesc_loop_forever(model, player);
            }
            if (seg_server)
                api::psm_set_light_callback(model, seg_server_light_callback, seg_server);
        } else {
            api::warning("<game_ctrl_e> no station target model %s", model_path);
        }
        target_models_[i] = model;
        if (shader)
            api::ci_dec_refs(shader);
    }
}

void game_ctrl_e::free_target_models()
{
    for (psm_t*& model : target_models_) {
        if (model)
            api::psm_free(model);
        model = nullptr;
    }
}

void game_ctrl_e::draw_station_targets()
{
    const vprocess_t* const owner = process();
    const auto seconds = static_cast<float>(owner ? owner->frame_seconds() : 0.0);
    for (psm_t* model : target_models_)
        if (model)
            api::psm_add_time(model, seconds);
    for (const int32_t index : active_list(base_ctrl_stations)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        psm_t* const model = target_models_[target_of(item.type)];
        if (!model)
            continue;
        api::gfx_push();
        api::gfx_translate(&item.points[0].x);
        api::psm_draw(model, 1, 0xFFFFFFFFu);
        api::gfx_pop();
    }
}

#include "game/economy/economy_bridge_world.h"

#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/evalue.h"
#include "engine/process.h"
#include "engine/psm.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/ui_view.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/notebook_host.h"
#include "common/ui_find_component.h"
#include "game/economy_ctrl.h"
#include "road/game_ctrl.h"
#include "road/seg_server.h"
#include "vehicles/player/car_player.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/traffic/traffic.h"

namespace {

// The main HUD window's group, name and script.
constexpr const char* hud_group = "game3";
constexpr const char* hud_name = "mainhud";
constexpr const char* hud_script = "/ui/gmainhud.esc";

}  // namespace

economy_bridge_world_t::~economy_bridge_world_t()
{
    if (cash_)
        api::snd_delete(cash_);
}

double economy_bridge_world_t::world_time() const
{
    const vprocess_t* const owner = ctrl_.process();
    return owner ? owner->process_time() : 0.0;
}

float economy_bridge_world_t::frame_time() const
{
    const vprocess_t* const owner = ctrl_.process();
    return owner ? static_cast<float>(owner->frame_seconds()) : 0.0f;
}

float economy_bridge_world_t::game_time() const
{
    const held_part_t<game_ctrl_e> game(ctrl_.bridge ? ctrl_.bridge->base_ctrl() : entity_handle_t{});
    return game.get() ? game.get()->get_game_time() : 28800.0f;
}

int32_t economy_bridge_world_t::current_city() const
{
    const held_part_t<game_ctrl_e> game(ctrl_.bridge ? ctrl_.bridge->base_ctrl() : entity_handle_t{});
    return game.get() ? game.get()->map_view().city() : -1;
}

vec3_t economy_bridge_world_t::edge_start(const int32_t edge) const
{
    vec3_t out{};
    const held_part_t<game_ctrl_e> game(ctrl_.bridge ? ctrl_.bridge->base_ctrl() : entity_handle_t{});
    if (game.get())
        game.get()->get_edge_start_pos(edge, out);
    return out;
}

bool economy_bridge_world_t::truck_position(vec3_t& out) const
{
    const held_part_t<ctrl_truck_t> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    if (!truck.get())
        return false;
    out = truck.get()->truck_position();
    return true;
}

bool economy_bridge_world_t::truck_state(player_truck_state_t& out) const
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    car_player_e* const player = truck.get();
    if (!player)
        return false;
    out.position = player->get_position();
    out.orientation = player->get_orientation();
    out.has_trailer = player->has_trailer();
    player->get_trailer_position(out.trailer_position);
    player->get_trailer_orientation(out.trailer_orientation);
    player->get_trailer_damage(out.trailer_damage);
    out.fuel = player->fuel;
    return true;
}

void economy_bridge_world_t::restore_truck_state(const player_truck_state_t& state, const uint32_t colour)
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    car_player_e* const player = truck.get();
    if (!player)
        return;
    player->restore_place(state.position, state.orientation);
    player->set_fuel(state.fuel);
    player->set_color(colour);
    if (state.has_trailer)
        player->begin_trailer_reattach();
}

int32_t economy_bridge_world_t::truck_record_save(const int file)
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    // Without a truck the record of a truck fresh from the make keeps the section's layout.
    return truck.get() ? truck.get()->save_state(file) : car_player_e::save_default_state(file);
}

int32_t economy_bridge_world_t::truck_record_load(const int file, const int32_t version)
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    if (truck.get())
        return truck.get()->load_state(file, version);
    // No truck to take it: the record is passed over so that what follows is read from its own place.
    const long size = car_player_e::state_record_bytes(version);
    return api::vfs_seek(file, size, 1) >= 0 ? static_cast<int32_t>(size) : 0;
}

int32_t economy_bridge_world_t::truck_record_bytes(const int32_t version) const
{
    return car_player_e::state_record_bytes(version);
}

void economy_bridge_world_t::pager(const char* text, const int flag)
{
    const held_part_t<pager_owner_t> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->pager_message(text, flag);
}

void economy_bridge_world_t::open_hud_window()
{
    c_item_t* const window = ctrl_.bridge ? ctrl_.bridge->insert_window(hud_group, hud_name, 4, hud_script) : nullptr;
    // Showing brings a window to the front: a HUD already shown stays where it is, under the notebook
    // from which the player replaced the truck he drives.
    const auto* const view =
        window && (window->class_flags & ui_class_window) ? static_cast<const ui_view_t*>(window->object) : nullptr;
    if (view && !view->visible)
        ui_wshow(window, 0);
}

void economy_bridge_world_t::hud_text(const int32_t id, const char* text)
{
    c_item_t* const window = ctrl_.bridge ? ctrl_.bridge->find_window(hud_group, hud_name) : nullptr;
    ui_view_t* const view = window ? ui_window_component(window, id) : nullptr;
    if (!view)
        return;
    // A template text (and a gauge) shows its "value": its "text" is the markup the template makes of
    // that value, which the template's next dressing would replace.
    evalue_set(view, evalue_find(view->get_evalue_root(), "value") ? "value" : "text", 0, text);
}

void economy_bridge_world_t::hud_show(const int32_t id, const bool shown)
{
    c_item_t* const window = ctrl_.bridge ? ctrl_.bridge->find_window(hud_group, hud_name) : nullptr;
    if (ui_view_t* const view = window ? ui_window_component(window, id) : nullptr)
        view->show(shown);
}

void economy_bridge_world_t::light_model(psm_t* const model)
{
    const held_part_t<game_ctrl_e> game(ctrl_.bridge ? ctrl_.bridge->base_ctrl() : entity_handle_t{});
    if (model && game.get() && game.get()->seg_server)
        api::psm_set_light_callback(model, seg_server_light_callback, game.get()->seg_server);
}

void economy_bridge_world_t::cash_sound()
{
    // Made once and replayed, so deliveries do not pile up sounds; given back with the world.
    if (!cash_)
        cash_ = api::snd_new("/sounds/ui/cash.ogg", 0x20, 10);
    if (cash_)
        api::snd_play(cash_);
}

namespace {

// A trailer spawned from its script and set up for `order`; `mode` 0 holds a dock's slot and settles
// the trailer on the ground, 1 stands it exactly where the order says. Null when it cannot be made.
car_trailor_e* spawn_trailer(entity_proc_t* const world, const trailer_order_t& order, const int mode)
{
    eblock_t* const block = world ? world->eblock_from_name("/scripts/game/trailer.esc") : nullptr;
    if (!block || !world->init_eblock(block))
        return nullptr;
    auto* const trailer = dynamic_cast<car_trailor_e*>(block->root());
    if (!trailer ||
        !trailer->setup_cargo(order.make, order.variant, order.fragility, order.weight, order.position,
                              order.orientation, order.dock, order.slot, order.job, order.destination, mode))
        return nullptr;
    return trailer;
}

}  // namespace

uint32_t economy_bridge_world_t::place_trailer(const trailer_order_t& order)
{
    car_trailor_e* const trailer = spawn_trailer(ctrl_.process(), order, 0);
    return trailer ? trailer->handle().word() : 0;
}

uint32_t economy_bridge_world_t::restore_towed_trailer(const trailer_order_t& order, const float damage)
{
    car_trailor_e* const trailer = spawn_trailer(ctrl_.process(), order, 1);
    if (!trailer)
        return 0;
    trailer->restore_damage(damage);
    return trailer->handle().word();
}

void economy_bridge_world_t::rebuild_player_truck(const player_truck_build_t& build, const bool keep_position)
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->rebuild(build.make, build.accessories, build.accessory_count, build.colour, keep_position);
}

float economy_bridge_world_t::player_truck_damage() const
{
    const held_part_t<car_player_e> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    return truck.get() ? truck.get()->car_phys_e::damage : 0.0f;
}

void economy_bridge_world_t::show_driver_truck(const driver_truck_order_t& order)
{
    const held_part_t<traffic_e> traffic(ctrl_.bridge ? ctrl_.bridge->traffic() : entity_handle_t{});
    if (traffic.get())
        traffic.get()->spawn_ai_truck(order.route_node, order.driver, order.trailer_make, order.trailer_variant,
                                      order.truck_make, order.accessories, order.colour);
}

void economy_bridge_world_t::release_trailer(const uint32_t trailer)
{
    entity_handle_t handle = entity_handle_t::from_word(trailer);
    if (auto* const entity = dynamic_cast<car_trailor_e*>(handle.resolve()))
        entity->flag_if_unhitched();
}

void economy_bridge_world_t::show_game_over_window(const bool notebook)
{
    if (!ctrl_.bridge)
        return;
    c_item_t* const window = notebook ? ctrl_.bridge->find_window("menu", "notebook")
                                      : ctrl_.bridge->insert_window("dialog", "game_over", 1, "/ui/gameover.esc");
    if (window)
        ui_wshow(window, 0x20000000);
    if (notebook_host_t* const host = notebook ? notebook_host(window) : nullptr)
        host->show_page(notebook_host_t::page_competition);
}

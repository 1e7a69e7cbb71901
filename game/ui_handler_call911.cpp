#include "game/ui_handler_call911.h"

#include <cstdio>

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/rescue.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/economy_ctrl.h"
#include "game/game_keys.h"

void ui_handler_call911_t::on_wshow()
{
    game_keys_unbind();
    api::snd_disable_tag(10);
    api::snd_enable_tag(20, 0);
    ui_pshow(0);
    ui_handler_game_base_t::on_wshow();
    paused_world = 0;
    if (get_game_bridge() && !current_world_paused()) {
        current_world_pause(true, false);
        paused_world = current_world_paused() ? 1 : 0;
    }
    game_bridge_t* bridge = get_game_bridge();
    const auto* economy = bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr;
    char cost[64] = "";
    format_money(economy ? economy->get_call911_cost() : 0, cost, sizeof cost, 0xFFFFFFFF);
    char text[128];
    std::snprintf(text, sizeof text, "@@ui_cal911_message1@@ %s", cost);
    if (ui_view_t* message = ui_window_component(window, message_id))
        evalue_set(message, "value", 0, text);
}

void ui_handler_call911_t::on_whide()
{
    ui_handler_game_base_t::on_whide();
    api::snd_disable_tag(20);
    api::snd_set_current_tag(10);
    api::snd_enable_tag(10, 0);
    ui_pshow(-1);
    if (paused_world)
        current_world_pause(false, false);
    game_keys_bind();
}

bool ui_handler_call911_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    const bool enter =
        code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_enter;
    const bool escape =
        code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_escape;
    if (enter || (code == ui_action_pressed && view && view->id == call_id)) {
        game_bridge_t* bridge = get_game_bridge();
        const held_part_t<rescue_owner_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
        if (truck.get())
            truck.get()->call911_repair();
        ui_whide(window);
        return enter;
    }
    if (escape || (code == ui_action_pressed && view && view->id == cancel_id)) {
        ui_whide(window);
        return escape;
    }
    return false;
}

#include "game/ui_handler_gameover.h"

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "game/game_keys.h"
#include "game/highscores.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_list.h"

namespace {

economy_ctrl_e* current_economy()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr;
}

// The scenario's time limit as the won game's time is counted from it, 1000 seconds without one.
float won_time(const economy_ctrl_e& economy)
{
    float limit = 1000.0f;
    const def_obj_t* context = game_context_get();
    const char* scenario = context ? context->get_value("scenario_def") : nullptr;
    if (scenario && scenario[0]) {
        float read = 0.0f;
        const std::string path = std::string("/defs/scenarios/") + scenario;
        if (def_read_real(path.c_str(), "scenario", "time_limit", read) && read > 0.0f)
            limit = read;
    }
    return limit * (static_cast<float>(2 - economy.level) * 0.1f + 1.0f) - economy.time_left;
}

}  // namespace

void ui_handler_gameover_t::on_wshow()
{
    leaving = 0;
    economy_ctrl_e* economy = current_economy();
    const int32_t reason = economy ? economy->game_over_reason : 0;
    if (auto* scores = dynamic_cast<ui_comp_list_t*>(ui_window_component(window, scores_id))) {
        const bool won = reason == reason_won && economy;
        gameover_highscores(*scores, economy, won, won ? won_time(*economy) : 0.0f,
                            economy ? economy->companies[0].name : "");
    }
    if (game_bridge_t* bridge = get_game_bridge())
        bridge->set_mode_game_over();
    game_keys_unbind();
    api::snd_disable_tag(10);
    api::snd_enable_tag(20, 0);
    ui_pshow(0);
    ui_handler_game_base_t::on_wshow();
    if (!current_world_paused())
        current_world_pause(true, false);
    const char* title = nullptr;
    const char* message = nullptr;
    if (reason == reason_time_limit) {
        title = "@@ui_game_over@@";
        message = "@@ui_time_limit_hit@@";
    } else if (reason == reason_wrong_delivery) {
        title = "@@ui_game_over@@";
        message = "@@ui_wrong_delivery@@";
    } else if (reason == reason_won) {
        title = "@@ui_congratulations@@";
        message = "@@ui_cargo_on_time@@";
    }
    if (ui_view_t* view = title ? ui_window_component(window, title_id) : nullptr)
        evalue_set(view, "value", 0, title);
    if (ui_view_t* view = message ? ui_window_component(window, message_id) : nullptr)
        evalue_set(view, "value", 0, message);
}

void ui_handler_gameover_t::on_whide()
{
    game_keys_bind();
    ui_handler_game_base_t::on_whide();
}

bool ui_handler_gameover_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view)
        return false;
    if (view->id == quit_id) {
        api::cmd_execute("quit");
        return true;
    }
    c_item_t* target = nullptr;
    if (view->id == new_game_id)
        target = menu_window("menu", "newgame", 0, "/ui/mnewgame.esc");
    else if (view->id == load_id)
        target = menu_window("menu", "load", 1, "/ui/mload.esc");
    else
        return false;
    leaving = 1;
    switch_window(target, 0x20000000);
    return true;
}

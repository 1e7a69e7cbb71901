#include "ui/screens/options/ui_handler_dialog_gfxtest.h"

#include <cmath>
#include <cstdio>

#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "game/menu_shared.h"
#include "ui/screens/options/options_controls.h"
#include "ui/screens/options/ui_handler_menu_options1.h"

namespace {

// Set once the countdown has reverted, so that no second revert follows while the window closes.
constexpr float countdown_spent = 999999.0f;
// Key code of Esc.
constexpr int escape_key = 1;

}  // namespace

void ui_handler_dialog_gfxtest_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    remaining = countdown_seconds;
}

void ui_handler_dialog_gfxtest_t::handler()
{
    ui_handler_game_base_t::handler();
    const auto* own = window ? static_cast<const ui_view_t*>(window->object) : nullptr;
    if (!own || !own->is_visible())
        return;
    remaining -= api::sys_get_lastdelta();
    if (remaining <= 0.0f) {
        remaining = countdown_spent;
        finish(false);
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, "@@ui_reverting_in@@ : %d @@ui_sec@@",
                  static_cast<int>(std::nearbyint(remaining)));
    page_set_text(*this, countdown_id, text);
}

bool ui_handler_dialog_gfxtest_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_pressed && view && (view->id == keep_id || view->id == revert_id)) {
        finish(view->id == keep_id);
        return false;
    }
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == escape_key) {
        finish(false);
        return true;
    }
    return false;
}

void ui_handler_dialog_gfxtest_t::finish(const bool keep)
{
    ui_whide(window);
    game_bridge_t* bridge = get_game_bridge();
    auto* page = dynamic_cast<ui_handler_menu_options1_t*>(
        bridge ? window_handler(bridge->find_window("menu", "options1")) : nullptr);
    if (!page)
        return;
    if (keep)
        page->keep_mode();
    else
        page->revert_mode();
}

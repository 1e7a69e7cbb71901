#include "game/ui_handler_menu_credits.h"

#include <cmath>

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "game/menu_shared.h"

namespace {

ui_view_t* item_view(c_item_t* item) { return item ? static_cast<ui_view_t*>(item->object) : nullptr; }

}  // namespace

void ui_handler_menu_credits_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    ui_view_t* root = item_view(window);
    text_item = root ? ui_find_component(root, text_id, false) : nullptr;
    if (text_item)
        api::ci_inc_refs(text_item);
}

void ui_handler_menu_credits_t::on_wdestroy()
{
    ui_handler_game_base_t::on_wdestroy();
    if (text_item)
        api::ci_dec_refs(text_item);
    text_item = nullptr;
}

void ui_handler_menu_credits_t::reset_text()
{
    if (ui_view_t* text = item_view(text_item))
        text->offset(-text->rect.left, -std::fabs(text->rect.bottom - text->rect.top) - text->rect.bottom, 3);
}

void ui_handler_menu_credits_t::handler()
{
    ui_handler_game_base_t::handler();
    ui_view_t* text = item_view(text_item);
    const ui_view_t* own = item_view(window);
    if (!text || !own || !own->is_visible())
        return;
    const float step = api::sys_get_lastdelta() * (fading ? fading_speed : scroll_speed);
    text->offset(0.0f, step, 3);
    int width = 0;
    int height = 0;
    ui_get_reference_mode(&width, &height);
    if (text->rect.bottom > static_cast<float>(height))
        reset_text();
}

void ui_handler_menu_credits_t::on_whide()
{
    ui_handler_game_base_t::on_whide();
    reset_text();
}

bool ui_handler_menu_credits_t::handle(ui_view_t* view, const int code, void* param)
{
    const bool handled = ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up || code == ui_action_pointer_up) {
        menu_back_from("menu", "credits");
        return true;
    }
    return handled;
}

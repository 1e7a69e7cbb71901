#include "ui/screens/ui_handler_dialog_color.h"

#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/game_bridge.h"
#include "game/menu_shared.h"
#include "ui/screens/dialog_keys.h"
#include "ui/components/ui_comp_color_pick.h"
#include "ui/screens/notebook/ui_handler_screen_trucks.h"
#include "ui/screens/options/options_controls.h"

uint32_t ui_handler_dialog_color_t::picker_word(const uint32_t rgb)
{
    return 0xFF000000u | (rgb & 0xFFu) << 16 | (rgb & 0xFF00u) | (rgb >> 16 & 0xFFu);
}

uint32_t ui_handler_dialog_color_t::paint_rgb(const uint32_t word)
{
    return (word & 0xFFu) << 16 | (word & 0xFF00u) | (word >> 16 & 0xFFu);
}

void ui_handler_dialog_color_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    target = target_trucks;
}

void ui_handler_dialog_color_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    ui_handler_screen_trucks_t* const page = shop();
    ui_comp_color_pick_t* const pick = picker();
    if (!page || !pick)
        return;
    pick->set_color(picker_word(page->get_paint_color()));
    pick->picked = 0;
}

void ui_handler_dialog_color_t::handler()
{
    ui_handler_game_base_t::handler();
    ui_comp_color_pick_t* const pick = picker();
    if (!pick || !pick->picked)
        return;
    pick->picked = 0;
    preview();
}

bool ui_handler_dialog_color_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_pressed && view && (view->id == ok_id || view->id == cancel_id)) {
        if (view->id == ok_id)
            apply();
        else
            cancel();
        ui_whide(window);
        return false;
    }
    const int key = dialog_answer_key(code, param);
    if (!key)
        return false;
    // Esc puts the stored paint back at once, as Cancel does.
    if (key == dialog_enter_key)
        apply();
    else
        cancel();
    ui_whide(window);
    return true;
}

ui_handler_screen_trucks_t* ui_handler_dialog_color_t::shop() const
{
    if (target != target_trucks)
        return nullptr;
    game_bridge_t* const bridge = get_game_bridge();
    return dynamic_cast<ui_handler_screen_trucks_t*>(bridge ? window_handler(bridge->find_window("notebook", "trucks"))
                                                            : nullptr);
}

ui_comp_color_pick_t* ui_handler_dialog_color_t::picker() const
{
    return dynamic_cast<ui_comp_color_pick_t*>(page_view(*this, picker_id));
}

void ui_handler_dialog_color_t::apply()
{
    ui_handler_screen_trucks_t* const page = shop();
    const ui_comp_color_pick_t* const pick = picker();
    if (page && pick)
        page->apply_paint_color(paint_rgb(pick->get_color()));
}

void ui_handler_dialog_color_t::cancel()
{
    if (ui_handler_screen_trucks_t* const page = shop())
        page->cancel_paint();
}

void ui_handler_dialog_color_t::preview()
{
    ui_handler_screen_trucks_t* const page = shop();
    const ui_comp_color_pick_t* const pick = picker();
    if (page && pick)
        page->preview_paint_color(paint_rgb(pick->get_color()));
}

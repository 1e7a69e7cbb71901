#include "ui/screens/options/ui_handler_menu_optionsbase.h"

#include "engine/config.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "common/engine_api.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/options/options_controls.h"

namespace {

// The page window of each tab (group "menu") and its script.
struct tab_page_t {
    const char* name;
    const char* script;
};
constexpr tab_page_t tab_pages[ui_handler_menu_optionsbase_t::tab_count] = {
    {"options1", "/ui/options/moptions1.esc"},
    {"options2", "/ui/options/moptions2.esc"},
    {"options3", "/ui/options/moptions3.esc"},
};

}  // namespace

void ui_handler_menu_optionsbase_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    for (int k = 0; k < tab_count; ++k)
        tabs[k] = menu_window("menu", tab_pages[k].name, 0, tab_pages[k].script);
    current_tab = -1;
}

void ui_handler_menu_optionsbase_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    current_tab = -1;
    if (auto* first = dynamic_cast<ui_comp_button_t*>(page_view(*this, first_tab_id))) {
        click_muted = 1;
        first->click();
        click_muted = 0;
    }
}

void ui_handler_menu_optionsbase_t::on_whide()
{
    ui_handler_t::on_whide();
    api::process_store_cfg(config_path);
}

bool ui_handler_menu_optionsbase_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view)
        return false;
    const int tab = view->id - first_tab_id;
    if (tab < 0 || tab >= tab_count)
        return false;
    switch_to(tab);
    return true;
}

void ui_handler_menu_optionsbase_t::switch_to(const int tab)
{
    c_item_t* target = tabs[tab];
    const auto* shown = target ? static_cast<const ui_view_t*>(target->object) : nullptr;
    if (shown && shown->is_visible())
        return;
    // The first switch after a show has no page on screen to leave: the page fades itself in, whichever
    // tab it is (a page switch never reads a tab table entry for "no tab").
    ui_handler_game_base_t* from = current_tab >= 0 ? window_handler(tabs[current_tab]) : window_handler(target);
    if (from && current_tab >= 0)
        from->switch_window(target, 0);
    else if (from)
        from->show_window(target, 0);
    else if (target)
        ui_wshow(target, 0);
    current_tab = tab;
}

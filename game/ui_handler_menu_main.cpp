#include "game/ui_handler_menu_main.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/win32.h"
#include "common/engine_api.h"
#include "game/menu_shared.h"
#include "game/ui_handler_mbackground.h"

namespace {

// The maker's pages (product settings).
constexpr const char* web_pages[] = {"https://kavrenta.example/", "https://kavrenta.example/community/"};
// The show command "maximised" of the shell.
constexpr int show_maximised = 3;

// Shows or hides the background's overlay.
void background_overlay(const bool on)
{
    if (auto* background = dynamic_cast<ui_handler_mbackground_t*>(window_handler(menu_background_window())))
        background->set_overlay_visible(on);
}

}  // namespace

c_item_t* menu_background_window() { return menu_window("menu_bgr", "background", 48, "/ui/mbackground.esc"); }

void menu_open_web_page(const bool second)
{
    ShellExecuteA(reinterpret_cast<HWND>(api::hw_get_context()), "open", web_pages[second ? 1 : 0], nullptr, nullptr,
                  show_maximised);
}

void ui_handler_menu_main_t::on_wshow()
{
    c_item_t* background = menu_background_window();
    if (background && show_flag == 0)
        ui_wshow(background, 0);
    background_overlay(true);
    ui_handler_game_base_t::on_wshow();
}

void ui_handler_menu_main_t::on_whide()
{
    if (show_flag == 0)
        if (c_item_t* background = menu_background_window())
            ui_whide(background);
    ui_handler_game_base_t::on_whide();
}

bool ui_handler_menu_main_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view)
        return false;
    switch (view->id) {
    case new_game_id:
        menu_open(*this, "menu", "newgame", 0, "/ui/mnewgame.esc");
        return true;
    case load_id:
        menu_open(*this, "menu", "load", 1, "/ui/mload.esc");
        return true;
    case options_id:
        menu_open(*this, "optionsmenu", "optionsbase", 0, "/ui/options/moptionsbase.esc");
        return true;
    case credits_id:
        menu_open(*this, "menu", "credits", 2, "/ui/mcredits.esc");
        background_overlay(false);
        return true;
    case quit_id:
        api::cmd_execute("quit");
        return true;
    case showroom_id:
        menu_open(*this, "menu", "showroom", 0, "/ui/showroom.esc");
        return true;
    case web_page_id:
    case second_web_page_id:
        menu_open_web_page(view->id == second_web_page_id);
        return false;
    default:
        return false;
    }
}

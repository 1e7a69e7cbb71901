#pragma once
#include "ui/components/ui_handler_game_base.h"

// The main menu of the menu world ("ui.handler.menu.main"): new game, load, options, credits, quit,
// the showroom and the maker's two web pages, over the menu background.
class ui_handler_menu_main_t : public ui_handler_game_base_t {
public:
    // Ids of the menu's buttons.
    static constexpr int new_game_id = 10;
    static constexpr int load_id = 20;
    static constexpr int options_id = 30;
    static constexpr int credits_id = 40;
    static constexpr int quit_id = 50;
    static constexpr int showroom_id = 60;
    static constexpr int web_page_id = 100;
    static constexpr int second_web_page_id = 110;

    const char* get_default_name() const override { return "ui.handler.menu.main"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.main"; }

    // Shows the background (unless coming back from another menu window) with its overlay.
    void on_wshow() override;
    // Closing for good (not for another menu window) hides the background.
    void on_whide() override;
    // The buttons (code 2).
    bool handle(ui_view_t* view, int code, void* param) override;
};

// The menu background window of the current world, found or inserted; null without a world.
c_item_t* menu_background_window();
// The maker's web pages the menus open.
void menu_open_web_page(bool second);

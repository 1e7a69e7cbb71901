#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

struct c_item_t;

// The options host ("ui.handler.menu.optionsbase", window "optionsbase" of group "optionsmenu",
// "/ui/options/moptionsbase.esc"): three tab buttons over three page windows of group "menu" (graphics,
// controls, sound). Every show starts at the graphics tab; every hide stores the configuration, key
// bindings included, in "/config.cfg".
class ui_handler_menu_optionsbase_t : public ui_handler_game_base_t {
public:
    // Number of tabs; the button of tab k has id first_tab_id + k.
    static constexpr int tab_count = 3;
    static constexpr int first_tab_id = 3000;
    // Where the configuration is stored when the options close.
    static constexpr const char* config_path = "/config.cfg";

    const char* get_default_name() const override { return "ui.handler.menu.optionsbase"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.optionsbase"; }

    // Finds or inserts the three page windows through the bridge; no tab is current yet.
    void on_wcreate() override;
    // Opens the graphics tab by clicking its button without a click sound.
    void on_wshow() override;
    // Stores the configuration.
    void on_whide() override;
    // A tab button switches to its page; true for the three tab buttons.
    bool handle(ui_view_t* view, int code, void* param) override;

    c_item_t* tabs[tab_count] = {};  // the page windows, kept by the bridge
    int32_t current_tab = -1;        // -1 until the first switch after a show

private:
    // Shows page `tab` in place of the current one (nothing when it shows already).
    void switch_to(int tab);
};

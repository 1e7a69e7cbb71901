#pragma once
#include "game/savegame_menu.h"

// The load menu ("ui.handler.menu.load", "/ui/mload.esc"): loads the chosen save into a new game
// world or deletes it after a question.
class ui_handler_menu_load_t : public savegame_menu_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.load"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.load"; }

    // Load, delete and back, Escape, and an activated save.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Loads the save `name`, or the selected one when null; a save of a version that is not read is
    // refused in the message box.
    void menu_load_game(const char* name);
    // Returns to the window the menus were opened from.
    void menu_return_back();
};

#pragma once
#include "engine/ui_handler.h"

// The handler of the save-game menu, registered as "ui.handler.menu.save". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_menu_save_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.save"; }
};

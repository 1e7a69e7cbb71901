#pragma once
#include "engine/ui_handler.h"

// The handler of the options host with its tabs, registered as "ui.handler.menu.optionsbase". For now only
// what the type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_menu_optionsbase_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.optionsbase"; }
};

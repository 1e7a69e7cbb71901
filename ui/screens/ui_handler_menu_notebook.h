#pragma once
#include "engine/ui_handler.h"

// The handler of the notebook host of the company screens, registered as "ui.handler.menu.notebook". For now
// only what the type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_menu_notebook_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.notebook"; }
};

#pragma once
#include "engine/ui_handler.h"

// The handler of the controls options page, registered as "ui.handler.menu.options2". For now only what the
// type registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_menu_options2_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.menu.options2"; }
};

#pragma once

#include "ui/screens/ui_handler_screen_base.h"

// The notebook's routes page ("ui.handler.screen.routes", window "routes" of group "notebook").
class ui_handler_screen_routes_t : public ui_handler_screen_base_t {
public:
    const char* get_default_name() const override { return "ui.handler.screen.routes"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.routes"; }
};

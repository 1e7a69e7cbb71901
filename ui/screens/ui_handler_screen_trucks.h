#pragma once

#include "ui/screens/ui_handler_screen_base.h"

// The notebook's truck shop page ("ui.handler.screen.trucks", window "trucks" of group "notebook").
class ui_handler_screen_trucks_t : public ui_handler_screen_base_t {
public:
    const char* get_default_name() const override { return "ui.handler.screen.trucks"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.trucks"; }
};

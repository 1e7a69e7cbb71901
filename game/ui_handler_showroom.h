#pragma once
#include "engine/ui_handler.h"

// The handler of the showroom window, registered as "ui.handler.showroom". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_showroom_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.showroom"; }
};

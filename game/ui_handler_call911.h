#pragma once
#include "engine/ui_handler.h"

// The handler of the call-911 window, registered as "ui.handler.call911". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_handler_call911_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.call911"; }
};

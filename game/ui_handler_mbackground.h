#pragma once
#include "engine/ui_handler.h"

// The handler of the menu background, registered as "ui.handler.mbackground". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_handler_mbackground_t : public ui_handler_t {
public:
    const char* get_default_name() const override { return "ui.handler.mbackground"; }
};

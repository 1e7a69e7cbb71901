#pragma once
#include "engine/ui_view.h"

// A button drawn from markup, registered as "ui.comp.button". For now only what the type registry needs: UI
// scripts create, name and destroy it by that type name.
class ui_comp_button_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.button"; }
};

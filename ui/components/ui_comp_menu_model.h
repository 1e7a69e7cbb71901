#pragma once
#include "engine/ui_view.h"

// The 3-D scene behind the menus, registered as "ui.comp.menu_model". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_comp_menu_model_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.menu_model"; }
};

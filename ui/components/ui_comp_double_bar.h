#pragma once
#include "engine/ui_view.h"

// A bar of two values, registered as "ui.comp.double_bar". For now only what the type registry needs: UI
// scripts create, name and destroy it by that type name.
class ui_comp_double_bar_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.double_bar"; }
};

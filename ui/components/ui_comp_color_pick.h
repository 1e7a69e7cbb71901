#pragma once
#include "engine/ui_view.h"

// A colour picker, registered as "ui.comp.color.pick". For now only what the type registry needs: UI scripts
// create, name and destroy it by that type name.
class ui_comp_color_pick_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.color.pick"; }
};

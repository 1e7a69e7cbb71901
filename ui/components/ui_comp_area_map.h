#pragma once
#include "engine/ui_view.h"

// The road map of the game map window, registered as "ui.comp.area_map". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_comp_area_map_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.area_map"; }
};

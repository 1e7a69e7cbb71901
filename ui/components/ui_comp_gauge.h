#pragma once
#include "engine/ui_view.h"

// A gauge with a needle, registered as "ui.comp.gauge". For now only what the type registry needs: UI scripts
// create, name and destroy it by that type name.
class ui_comp_gauge_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.gauge"; }
};

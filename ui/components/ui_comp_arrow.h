#pragma once
#include "engine/ui_view.h"

// A flat arrow from one screen point to another, registered as "ui.comp.arrow". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_arrow_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.arrow"; }
};

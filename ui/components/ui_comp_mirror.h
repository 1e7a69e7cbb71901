#pragma once
#include "engine/ui_view.h"

// A rear-view mirror showing the world, registered as "ui.comp.mirror". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_comp_mirror_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.mirror"; }
};

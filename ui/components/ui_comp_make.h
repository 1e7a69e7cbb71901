#pragma once
#include "engine/ui_view.h"

// A turning 3-D view of one truck, registered as "ui.comp.make". For now only what the type registry needs:
// UI scripts create, name and destroy it by that type name.
class ui_comp_make_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.make"; }
};

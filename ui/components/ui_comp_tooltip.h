#pragma once
#include "ui/components/ui_comp_text.h"

// The help text shown at the pointer, registered as "ui.comp.tooltip". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_comp_tooltip_t : public ui_comp_text_t {
public:
    const char* get_default_name() const override { return "ui.comp.tooltip"; }
};

#pragma once
#include "engine/ui_view.h"

// A one-line text input dressed from a template, registered as "ui.comp.common.inputline". For now only what
// the type registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_common_inputline_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.common.inputline"; }
};

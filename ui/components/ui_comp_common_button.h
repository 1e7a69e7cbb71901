#pragma once
#include "ui/components/ui_comp_button.h"

// A button dressed from a template, registered as "ui.comp.common.button". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_common_button_t : public ui_comp_button_t {
public:
    const char* get_default_name() const override { return "ui.comp.common.button"; }
};

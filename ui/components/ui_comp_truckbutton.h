#pragma once
#include "ui/components/ui_comp_button.h"

// A button showing a truck, registered as "ui.comp.truckbutton". For now only what the type registry needs:
// UI scripts create, name and destroy it by that type name.
class ui_comp_truckbutton_t : public ui_comp_button_t {
public:
    const char* get_default_name() const override { return "ui.comp.truckbutton"; }
};

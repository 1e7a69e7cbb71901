#pragma once
#include "engine/ui_group.h"

// A drop-down list dressed from a template, registered as "ui.comp.common.dropdown". For now only what the
// type registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_common_dropdown_t : public ui_group_t {
public:
    const char* get_default_name() const override { return "ui.comp.common.dropdown"; }
};

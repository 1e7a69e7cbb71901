#pragma once
#include "engine/ui_group.h"

// A scrolling list dressed from a template, registered as "ui.comp.common.list". For now only what the type
// registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_common_list_t : public ui_group_t {
public:
    const char* get_default_name() const override { return "ui.comp.common.list"; }
};

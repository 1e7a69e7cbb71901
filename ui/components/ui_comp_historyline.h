#pragma once
#include "engine/ui_view.h"

// An edit line that remembers what was entered, registered as "ui.comp.historyline". For now only what the
// type registry needs: UI scripts create, name and destroy it by that type name.
class ui_comp_historyline_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.historyline"; }
};

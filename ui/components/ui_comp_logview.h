#pragma once
#include "engine/ui_view.h"

// A view of the log's last lines, registered as "ui.comp.logview". For now only what the type registry needs:
// UI scripts create, name and destroy it by that type name.
class ui_comp_logview_t : public ui_view_t {
public:
    const char* get_default_name() const override { return "ui.comp.logview"; }
};

#pragma once
#include "ui/components/ui_comp_text.h"

// A text dressed from a template, registered as "ui.comp.common.text". For now only what the type registry
// needs: UI scripts create, name and destroy it by that type name.
class ui_comp_common_text_t : public ui_comp_text_t {
public:
    const char* get_default_name() const override { return "ui.comp.common.text"; }
};

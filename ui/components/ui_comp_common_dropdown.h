#pragma once
#include <cstdint>

#include "ui/components/ui_dropbutton_group.h"
#include "ui/components/ui_template.h"

// A drop-down whose drop button is a common button ("ui.comp.common.dropdown"): its "look" picks the
// button's template of "/defs/ui/btn.def", the choice shows as the button's "value", and the
// template's size becomes the drop-down's.
class ui_comp_common_dropdown_t : public ui_dropbutton_group_t {
public:
    // The template file of the drop button (the drop-down keeps its own copy of it).
    static constexpr const char* template_path = "/defs/ui/btn.def";
    // "look", then the drop-down's properties with the four markups computed.
    static const evalue_def_t evd_look;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.dropdown"; }

    // Phase 0: the first drop-down loads the template file.
    int init(int phase) override;
    // Phase 0: the last drop-down gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "look" goes to the drop button, whose template size the drop-down then takes.
    void handler() override;

    // A common check button of the drop-down's look.
    ui_comp_button_t* create_item_view() override;
    // The text as the button's "value" and "value2".
    void update_item_view(ui_comp_button_t* button, const char* text) override;

    int32_t look = 0;
    uint8_t look_status = evalue_changed;
};

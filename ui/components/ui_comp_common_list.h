#pragma once
#include <cstdint>

#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_template.h"

// A list whose rows are common buttons ("ui.comp.common.list"): its "look" picks the row template
// of "/defs/ui/btn.def", each row shows its item's markup as the button's "value", and the first row's
// template size gives the list its item width and height.
class ui_comp_common_list_t : public ui_comp_list_t {
public:
    // The template file of the rows (the list keeps its own copy of it).
    static constexpr const char* template_path = "/defs/ui/btn.def";
    // "look", then the four row markups declared again as computed; chained to the list's own.
    static const evalue_def_t evd_look;
    // The class-wide template file.
    static ui_template_share_t shared;

    ui_comp_common_list_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.list"; }

    // Phase 0: the first list loads the template file.
    int init(int phase) override;
    // Phase 0: the last list gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "look" dresses every row again and takes the rows' size as the item size.
    void handler() override;

    // A common button of the list's look.
    ui_comp_button_t* create_item_view() override;
    // The item's markup as the row's "value" and "value2".
    void update_item_view(ui_comp_button_t* row, const char* pml) override;

    int32_t look = 0;
    uint8_t look_status = evalue_changed;
};

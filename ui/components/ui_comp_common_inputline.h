#pragma once
#include <cstdint>

#include "ui/components/ui_editline.h"
#include "ui/components/ui_template.h"
#include "ui/components/ui_template_size.h"

// An input line dressed from "/defs/ui/inp.def" ("ui.comp.common.inputline"): the template chosen
// by "look" gives its size, the markup around the text ("style"), the cursor, and may give the
// "limit" and "keep_input" the line starts with.
class ui_comp_common_inputline_t : public ui_editline_t {
public:
    // The template file every common input line shares.
    static constexpr const char* template_path = "/defs/ui/inp.def";
    // "look", then the edit line's properties with "style" and "cursor" computed.
    static const evalue_def_t evd_look;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.inputline"; }

    // Phase 0: the first line loads the template file; the line is dressed and takes the template's
    // limit and keep-input setting.
    int init(int phase) override;
    // Phase 0: the last line gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "look" dresses the line again.
    void handler() override;
    // The template's size, then the line's own handling.
    void changed(unsigned mask) override;

    // Sets the style and the cursor from the template of "look", else "%s" and "_".
    void apply_template();

    int32_t look = 0;
    uint8_t look_status = 0;
    ui_template_size_t size;
};

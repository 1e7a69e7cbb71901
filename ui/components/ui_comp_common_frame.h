#pragma once
#include <cstdint>

#include "ui/components/ui_frame_base.h"
#include "ui/components/ui_template.h"
#include "ui/components/ui_template_size.h"

// A frame dressed from "/defs/ui/frm.def" ("ui.comp.common.frame"): the template chosen by "look"
// gives its size, colour, pictures and tiling, and the text drawn over it with "value" as arguments.
class ui_comp_common_frame_t : public ui_frame_base_t {
public:
    // The template file every common frame shares.
    static constexpr const char* template_path = "/defs/ui/frm.def";
    // "look", "value", then the frame's properties with its pictures and text computed.
    static const evalue_def_t evd_look;
    static const evalue_def_t evd_value;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.frame"; }

    // Phase 0: the first frame loads the template file, then the frame is dressed.
    int init(int phase) override;
    // Phase 0: the last frame gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "value" or "look" dresses the frame again.
    void handler() override;
    // The template's size, then the frame's own handling.
    void changed(unsigned mask) override;

    // Dresses the frame from the template of "look" with `args`, else the built-in pictures.
    void apply_template(const char* args);

    int32_t look = 0;
    dstring_t value;
    uint8_t look_status = 0;
    uint8_t value_status = 0;
    ui_template_size_t size;
};

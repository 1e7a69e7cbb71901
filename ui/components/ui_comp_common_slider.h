#pragma once
#include <cstdint>

#include "ui/components/ui_slider_base.h"
#include "ui/components/ui_template.h"

// A slider dressed from "/defs/ui/sld.def" ("ui.comp.common.slider"): the template chosen by "look"
// gives its knob markups, backgrounds and margin, read from the keys with "_vert" or "_horiz" by the
// slider's shape, with "value" as their arguments.
class ui_comp_common_slider_t : public ui_slider_base_t {
public:
    // The template file every common slider shares.
    static constexpr const char* template_path = "/defs/ui/sld.def";
    // "look", "value", then the slider's properties with its markups and margin computed.
    static const evalue_def_t evd_look;
    static const evalue_def_t evd_value;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.slider"; }

    // Phase 0: the first slider loads the template file, then the slider is dressed.
    int init(int phase) override;
    // Phase 0: the last slider gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "value" or "look" dresses the slider again.
    void handler() override;
    // A new size may change the orientation: dressed again before the slider's own handling.
    void changed(unsigned mask) override;

    // Sets the markups and margin from the template of "look" with `args`, else the built-in forms.
    void apply_template(const char* args);

    int32_t look = 0;
    dstring_t value;
    uint8_t look_status = 0;
    uint8_t value_status = 0;
};

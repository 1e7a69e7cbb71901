#pragma once
#include <cstdint>

#include "ui/components/ui_comp_text.h"
#include "ui/components/ui_template.h"
#include "ui/components/ui_template_size.h"

// A text dressed from "/defs/ui/txt.def" ("ui.comp.common.text"): the template chosen by "look"
// gives the markup, into which the "value" goes as arguments separated by '|'. Windows write their
// quick-help line, titles and messages through "value".
class ui_comp_common_text_t : public ui_comp_text_t {
public:
    // The template file every common text shares.
    static constexpr const char* template_path = "/defs/ui/txt.def";
    // "look", "value", and "text" declared again as computed; chained to the text's properties.
    static const evalue_def_t evd_look;
    static const evalue_def_t evd_value;
    static const evalue_def_t evd_text_computed;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.text"; }

    // Phase 0: loads the template file for the first text, then dresses the text.
    int init(int phase) override;
    // Phase 0: the last text gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "value" or "look" dresses the text again before it renders.
    void handler() override;
    // The template's size, then the text's own handling.
    void changed(unsigned mask) override;

    // Sets the markup from the template of "look" with `args`, else the built-in centred form.
    void apply_template(const char* args);

    int32_t look = 0;
    dstring_t value;
    uint8_t look_status = 0;
    uint8_t value_status = 0;
    ui_template_size_t size;
};

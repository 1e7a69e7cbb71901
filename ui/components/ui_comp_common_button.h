#pragma once
#include <cstdint>

#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_template.h"
#include "ui/components/ui_template_size.h"

// A button dressed from "/defs/ui/btn.def" ("ui.comp.common.button"): the template chosen by "look"
// gives its five markups, its type, its size and its hit-area insets; "value" (and "value2", the
// pressed look of a check button) go into them as arguments.
class ui_comp_common_button_t : public ui_comp_button_t {
public:
    // The template file every common button shares.
    static constexpr const char* template_path = "/defs/ui/btn.def";
    // "look", "value", "value2", then the five markups declared again as computed.
    static const evalue_def_t evd_look;
    static const evalue_def_t evd_value;
    static const evalue_def_t evd_value2;
    // The class-wide template file.
    static ui_template_share_t shared;

    const evalue_def_t* get_evalue_root() const override { return &evd_look; }
    const char* get_default_name() const override { return "ui.comp.common.button"; }

    // Phase 0: loads the template file for the first button, then builds the markups.
    int init(int phase) override;
    // Phase 0: the last button gives the template file back.
    int destroy(int phase) override;
    // Per frame: a new "value", "value2" or "look" builds the markups again before the button runs.
    void handler() override;
    // The template's size and hit-area insets, then the button's own handling.
    void changed(unsigned mask) override;

    // Dresses the button from the template of "look" with `value` and `value2`.
    void build_markup(const char* value, const char* value2);

    int32_t look = 0;
    dstring_t value;
    dstring_t value2;
    uint8_t look_status = 0;
    uint8_t value_status = 0;  // shared by "value" and "value2"
    ui_template_size_t size;
};

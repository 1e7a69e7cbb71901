#pragma once
#include <cstdint>

#include "ui/components/ui_comp_text.h"

// The help text shown at the pointer ("ui.comp.tooltip"): a text view that keeps its markup on the
// reference screen, shifting it back by its overhang (snapped to whole device pixels) when the window
// compiles its layer.
class ui_comp_tooltip_t : public ui_comp_text_t {
public:
    const char* get_default_name() const override { return "ui.comp.tooltip"; }

    // Shifts the markup onto the screen, then copies it into the layer as a text view does.
    void pml_precache() override;

    float shift_x = 0.0f;  // shift applied to the compiled markup now (reference units)
    float shift_y = 0.0f;
    uint32_t shifted_render = 0;  // the render of the markup the shift was applied to
};

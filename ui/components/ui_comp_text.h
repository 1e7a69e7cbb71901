#pragma once
#include <cstdint>

#include "engine/ui_view.h"
#include "ui/components/ui_markup_render.h"

struct c_item_t;

// A static text drawn from markup ("ui.comp.text"). It renders its "text" into a compiled markup once,
// and copies that into its window's layer buffer whenever the window rebuilds the layer; a plain move
// shifts the compiled markup instead of rendering again.
class ui_comp_text_t : public ui_view_t {
public:
    // "text": the markup source; chained to the view's own properties.
    static const evalue_def_t evd_text;

    ui_comp_text_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_text; }
    const char* get_default_name() const override { return "ui.comp.text"; }

    // Per frame: renders a changed text, and marks the layer for rebuilding when the view starts or
    // stops showing or its markup changed.
    void handler() override;
    // Copies the compiled markup into the window's layer while the window compiles it.
    void pml_precache() override;
    // A plain move (ui_offset_shift) of a built text shifts its markup; anything else moves as a view.
    void offset(float dx, float dy, unsigned flags) override;
    // A negative notification asks for the markup to be rendered again.
    void notify(int code) override;
    // A moved rectangle or a set property asks for the markup to be rendered again.
    void changed(unsigned mask) override;

    pml_buffer_t markup{ui_markup_capacity};  // the compiled text
    bool built = false;                       // `markup` matches `text` and the rectangle
    bool shown = false;                       // the markup is in the window's layer buffer
    dstring_t text;                           // the markup source ("text")
    uint8_t text_status = 0;                  // change mark of "text"
    c_item_t* window_item = nullptr;          // the window holding the view, once found
    uint32_t renders = 0;                     // how many times `markup` was rendered
};

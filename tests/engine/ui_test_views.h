#pragma once
#include "engine/ui.h"

// Small components for the UI tests, registered with `ui_test_views_register`:
// "ui.comp.test_text": a markup text view with the property "text", rendered into its window's layer
// when the text changes; it records "init <id>" and "setup <id>" in the driver's trace.
// "ui.comp.test_button": sends code 2 (pressed byte 0) on the release half of a click while selected.
// "ui.comp.test_input": a view that takes keyboard focus.
class ui_test_text_t : public ui_view_t {
public:
    static const evalue_def_t evd_text;

    ui_test_text_t();
    const evalue_def_t* get_evalue_root() const override { return &evd_text; }
    int init(int phase) override;
    void ui_setup() override;
    void handler() override;
    void pml_precache() override;

    dstring_t text;
    uint8_t text_status = 0;
    pml_buffer_t markup;
    bool built = false;
    int renders = 0;  // how often the text was rendered
};

class ui_test_button_t : public ui_view_t {
public:
    bool handle_event(ui_event_t* event) override;
};

class ui_test_input_t : public ui_view_t {
public:
    ui_test_input_t() { class_flags |= ui_class_input; }
};

void ui_test_views_register();

#pragma once
#include <cstdint>

#include "engine/ui_view.h"
#include "ui/components/ui_markup_render.h"

struct c_item_t;

// A view of the engine's message history ("ui.comp.logview"): from message "offset" (0 is the newest)
// on, one message a line from the top of its area down, with a "more" line first when it does not
// start at the newest. It lays the lines out again at most every `ui_logview_refresh` seconds.
class ui_comp_logview_t : public ui_view_t {
public:
    // "offset": the index of the first message shown; chained to the view's own properties.
    static const evalue_def_t evd_offset;

    ui_comp_logview_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_offset; }
    const char* get_default_name() const override { return "ui.comp.logview"; }

    // Per frame: lays the history out again when the refresh is due (or nothing is built yet), clamping
    // the offset; marks the layer for rebuilding when the view is rebuilt or stops showing.
    void handler() override;
    // Copies the compiled lines into the window's layer while the window compiles it.
    void pml_precache() override;

    pml_buffer_t markup{ui_markup_capacity};   // the compiled lines of the whole view
    pml_buffer_t scratch{ui_markup_capacity};  // one line while it is laid out
    float countdown = 0.0f;                    // seconds until the next refresh
    bool built = false;                        // `markup` is in the window's layer
    int32_t history_offset = 0;                // "offset"; the console writes it directly
    c_item_t* window_item = nullptr;           // the window holding the view, once found

private:
    // Lays the history out into `markup`.
    void build_lines();
};

// Seconds between two layouts of a log view that stays on screen.
constexpr float ui_logview_refresh = 0.05f;
// The first line of a log view that does not start at the newest message (in red).
constexpr const char* ui_logview_more_line = "\\r**** more ****";

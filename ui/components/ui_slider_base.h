#pragma once
#include <cstdint>

#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "ui/components/ui_markup_render.h"

struct c_item_t;

// Markups of a slider, by index.
enum ui_slider_markup_t : int {
    ui_slider_knob_normal = 0,     // "n_pml"
    ui_slider_knob_selected = 1,   // "s_pml": the pointer is over the slider
    ui_slider_knob_dragged = 2,    // "p_pml"
    ui_slider_knob_disabled = 3,   // "d_pml": the view is not active
    ui_slider_background = 4,      // "n_background"
    ui_slider_background_off = 5,  // "d_background": the background of a slider that is not active
    ui_slider_markup_count = 6,
};

// Values of `shown_state` besides a knob state.
constexpr int ui_slider_shown_none = -1;   // nothing in the window's layer
constexpr int ui_slider_shown_again = -2;  // a shown markup was rendered again: copy it anew

// Seconds between two paging steps while the track is held.
constexpr float ui_slider_paging_period = 0.15f;

// A knob moving along a track, horizontal or vertical (a view higher than wide), over a whole-number
// range. It is drawn from four knob markups and two backgrounds, follows the pointer while dragged,
// pages one "tick" at a time toward the pointer while the track beside the knob is held, and steps
// with the direction keys. Every change of value puts the knob on a whole value and sends code 2 with
// the value (an int32_t) to the window's handler; a drag sends 5 when it starts and 6 when it ends.
// Derived components give it a type name.
class ui_slider_base_t : public ui_view_t {
public:
    // "n_background", "d_background", "s_pml", "n_pml", "p_pml", "d_pml", "action_on_drag", "tick",
    // "margin"; chained to the view's own properties.
    static const evalue_def_t evd_n_background;
    static const evalue_def_t evd_d_background;
    static const evalue_def_t evd_s_pml;
    static const evalue_def_t evd_n_pml;
    static const evalue_def_t evd_p_pml;
    static const evalue_def_t evd_d_pml;
    static const evalue_def_t evd_action_on_drag;
    static const evalue_def_t evd_tick;
    static const evalue_def_t evd_margin;

    ui_slider_base_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_n_background; }

    // Per frame: pages while the track is held, renders changed markups, measures the knob and the
    // track, and marks the layer for rebuilding when the shown knob changes.
    void handler() override;
    // While the knob is dragged it is not in the layer: draws it at its place.
    void draw() override;
    // Copies the background, and the knob unless it is dragged, into the window's layer.
    void pml_precache() override;
    // The direction keys step the value by "tick"; other events go on as for any view.
    bool handle_event(ui_event_t* event) override;
    // A press on the knob starts a drag, beside it paging; a release ends either; a move drags.
    // Every code then goes on to the parent as for any view.
    bool action(ui_view_t* sender, int code, void* param) override;
    // The end of the capture (ui_notify_capture_lost) ends a drag: sends the value and code 6.
    void notify(int code) override;
    // A moved rectangle or a set property asks for every markup and the geometry to be made again.
    void changed(unsigned mask) override;

    // The whole value the knob stands on: floor((maximum - minimum) * position + minimum + 0.5).
    int32_t get_int_value() const;
    // Puts the knob on `value` (not clamped) and, with `send`, sends code 2 with it. Answers the
    // previous whole value.
    int32_t set_int_value(int32_t value, bool send);
    // The knob state shown now (a ui_slider_markup_t of the knob).
    int choose_state() const;
    // The shift of the knob markup from where it was rendered to where it stands.
    void knob_placement(float& dx, float& dy) const;

    bool built[ui_slider_markup_count] = {};  // markup i matches its source and the rectangle
    pml_buffer_t markups[ui_slider_markup_count] = {pml_buffer_t{ui_markup_capacity}, pml_buffer_t{ui_markup_capacity},
                                                    pml_buffer_t{ui_markup_capacity}, pml_buffer_t{ui_markup_capacity},
                                                    pml_buffer_t{ui_markup_capacity}, pml_buffer_t{ui_markup_capacity}};
    pml_rect_t knob_box;       // union of the knob markups normal, selected and dragged
    pml_rect_t track_box;      // union of the backgrounds, or the rectangle without one
    int32_t track_length = 0;  // pixels the knob can travel
    bool vertical = false;
    int32_t minimum = 0;
    int32_t maximum = 100;
    float position = 0.0f;  // 0 to 1: the knob's place between minimum and maximum
    bool dragging = false;
    bool geometry_valid = false;
    int32_t shown_state = ui_slider_shown_none;  // knob state in the layer, or ui_slider_shown_*
    bool paging = false;
    bool paging_down = false;       // paging toward the minimum
    float paging_countdown = 0.0f;  // seconds to the next paging step
    float paging_x = 0.0f;          // the pointer that paging moves toward
    float paging_y = 0.0f;
    dstring_t n_background;
    dstring_t d_background;
    dstring_t s_pml;
    dstring_t n_pml;
    dstring_t p_pml;
    dstring_t d_pml;
    bool action_on_drag = false;                      // send the value at every move of a drag
    uint32_t tick = 1;                                // step of the keys and of paging
    int32_t margin = 0;                               // pixels kept free at both ends of the track
    uint8_t pml_status[ui_slider_markup_count] = {};  // change marks of the sources, by markup index
    uint8_t margin_status = 0;
    c_item_t* window_item = nullptr;  // the window holding the slider, once found

private:
    // The source of markup `index`.
    const dstring_t& source(int index) const;
    // Measures the knob, the track and the orientation from the rendered markups.
    void measure();
    // Sets the position for a whole value; an empty range puts the knob at its start.
    void place_value(int32_t value);
    // Sends code 2 with the current whole value.
    void send_value();
    // Sets the knob from a point standing for the knob's low edge (left, or bottom when vertical).
    void set_from_pointer(float x, float y);
    // The knob box where the knob stands now.
    pml_rect_t placed_knob() const;
    // One paging step toward the pointer, when there is one to make.
    void page_step();
    // Press (12), release (13) and move (15) of the first pointer button.
    void press(const ui_pointer_param_t& pointer, void* param);
    void release();
    void drag_to(const ui_pointer_param_t& pointer);
};

#pragma once
#include <cstdint>

#include "engine/ui_view.h"
#include "ui/components/ui_markup_render.h"

struct c_item_t;

// Kinds of button ("button_type").
enum ui_button_type_t : int32_t {
    ui_button_normal = 0,  // pressed while held, sends code 2 on release
    ui_button_check = 1,   // each click toggles it
    ui_button_radio = 2,   // a click presses it and releases the other radio buttons of its parent
    ui_button_menu = 3,    // sends code 2 on the press half of a click and stays released
};

// Markups of a button, by index; also the values of `shown_state` while one is shown.
enum ui_button_markup_t : int {
    ui_button_markup_normal = 0,     // "n_pml"
    ui_button_markup_selected = 1,   // "s_pml": the pointer is over it or it has the focus
    ui_button_markup_selected2 = 2,  // "s2_pml": a pressed check, radio or menu button that is selected
    ui_button_markup_pressed = 3,    // "p_pml"
    ui_button_markup_disabled = 4,   // "d_pml": the view is not active
    ui_button_markup_count = 5,
};

// Values of `shown_state` besides a markup index.
constexpr int ui_button_shown_none = -1;   // nothing in the window's layer
constexpr int ui_button_shown_again = -2;  // the shown markup was rendered again: copy it anew

// A push, check, radio or menu button drawn from markup ("ui.comp.button"). It keeps all five markups
// compiled and switches between them by state, so a change of state costs only the window's layer
// rebuild. A click sends code 2 to its window's handler with the pressed flag after the click.
class ui_comp_button_t : public ui_view_t {
public:
    // "n_pml", "s_pml", "s2_pml", "d_pml", "p_pml", "button_type"; chained to the view's own properties.
    static const evalue_def_t evd_n_pml;
    static const evalue_def_t evd_s_pml;
    static const evalue_def_t evd_s2_pml;
    static const evalue_def_t evd_d_pml;
    static const evalue_def_t evd_p_pml;
    static const evalue_def_t evd_button_type;

    ui_comp_button_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_n_pml; }
    const char* get_default_name() const override { return "ui.comp.button"; }

    // Per frame: renders changed markups, picks the markup of the current state and marks the layer
    // for rebuilding when that changes or the button starts or stops showing.
    void handler() override;
    // Copies the markup of the shown state into the window's layer while the window compiles it.
    void pml_precache() override;
    // A selected button reads clicks (press and release halves) through the engine's control callback;
    // the event then goes on as for any view, and is consumed when the button used it.
    bool handle_event(ui_event_t* event) override;
    // Leaving (1) or losing the focus (17) disarms the button; leaving also releases a normal button.
    bool action(ui_view_t* sender, int code, void* param) override;
    // A plain move (ui_offset_shift) with every markup built shifts the markups; else moves as a view.
    void offset(float dx, float dy, unsigned flags) override;
    // A negative notification asks for every markup to be rendered again.
    void notify(int code) override;
    // A moved rectangle or a set property asks for every markup to be rendered again.
    void changed(unsigned mask) override;

    // Sets the pressed flag and answers the previous one; pressing a radio button releases every other
    // radio button of its parent. Sends no action.
    bool set_pressed(bool on);
    // Clicks the button: the new pressed flag follows its type, then code 2 goes up with that flag.
    void click();
    // The markup the button shows now (a ui_button_markup_t).
    int choose_state() const;

    bool pressed = false;
    bool built[ui_button_markup_count] = {};  // markup i matches its source and the rectangle
    pml_buffer_t markups[ui_button_markup_count] = {pml_buffer_t{ui_markup_capacity}, pml_buffer_t{ui_markup_capacity},
                                                    pml_buffer_t{ui_markup_capacity}, pml_buffer_t{ui_markup_capacity},
                                                    pml_buffer_t{ui_markup_capacity}};
    int32_t shown_state = ui_button_shown_none;  // markup index in the layer, or ui_button_shown_*
    bool armed = false;                          // a check or radio button saw the press half of a click
    dstring_t n_pml;
    dstring_t s_pml;
    dstring_t s2_pml;
    dstring_t d_pml;
    dstring_t p_pml;
    int32_t button_type = ui_button_normal;           // a ui_button_type_t
    uint8_t pml_status[ui_button_markup_count] = {};  // change marks of the sources, by markup index
    c_item_t* window_item = nullptr;                  // the window holding the button, once found

private:
    // The source of markup `index`.
    const dstring_t& source(int index) const;
};

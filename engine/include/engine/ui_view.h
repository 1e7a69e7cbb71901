#pragma once
#include <cstdint>

#include "engine/dstring.h"
#include "engine/entity.h"
#include "engine/evalue.h"
#include "engine/pml.h"
#include "engine/ui_event.h"

struct c_item_t;
class ui_group_t;
class ui_window_t;

// Class flags of a view (`ui_view_t::class_flags`, also copied into its cache item).
enum ui_class_flag_t : uint32_t {
    ui_class_markup = 0x001,  // draws through its window's per-layer markup buffers
    ui_class_button = 0x002,  // a button
    ui_class_input = 0x004,   // takes keyboard input when focused
    ui_class_window = 0x400,  // a window: the root of a view tree
};

// View flags (`ui_view_t::view_flags`).
enum ui_view_flag_t : uint32_t {
    ui_view_reference_units = 0x01,  // the rectangle is in reference-screen units (not device pixels)
    ui_view_keeps_focus = 0x02,      // keeps the input focus when the pointer clicks elsewhere
    ui_view_moves_area = 0x04,       // `offset` with flag 1 moves the hit area too
    ui_view_slider = 0x10,           // a slider (a list takes the first such child as its scroll bar)
};

// Bit of `ui_view_t::view_type`: the view is a group (the byte read as signed is negative).
constexpr uint8_t ui_view_type_group = 0x80;

// Masks of `ui_view_t::changed`.
enum ui_change_t : unsigned {
    ui_change_rect = 0x01,      // the layout rectangle moved or changed size
    ui_change_area = 0x02,      // the hit area moved
    ui_change_property = 0x04,  // a property was set (the property's status byte has bit 4)
};

// Flags of `ui_view_t::offset`.
enum ui_offset_t : unsigned {
    ui_offset_area = 0x01,   // move the hit area too, when the view asks for it (ui_view_moves_area)
    ui_offset_shift = 0x02,  // a plain move: views may shift what they compiled instead of rebuilding
};

// Notification codes of `ui_view_t::notify`; negative codes ask views to rebuild what they compiled.
constexpr int ui_notify_capture_lost = 8;
constexpr int ui_notify_rebuild = static_cast<int>(0x80000000u);

// A value of "area" that was never given (the hit area is then the rectangle).
constexpr float ui_area_unset = -3.37e38f;

// A UI component: a rectangle of the reference screen (1024 x 768, y up) in a window's tree, with an id
// chosen by its script, a layer, visibility, activity and selection, and a help text ("tooltip").
// Components of the module derive from it; the engine creates them by registered type name.
class ui_view_t : public entity_t {
public:
    // Descriptors of the view's script properties ("id", "layer", "visible", "active", "tooltip",
    // "tab"), head first; derived classes chain their own to `evd_id`. A UI script gives the rectangle
    // and hit area ("rect", "area") itself.
    static const evalue_def_t evd_id;
    static const evalue_def_t evd_layer;
    static const evalue_def_t evd_visible;
    static const evalue_def_t evd_active;
    static const evalue_def_t evd_tooltip;
    static const evalue_def_t evd_tab;

    ui_view_t();
    ~ui_view_t() override;

    const evalue_def_t* get_evalue_root() const override { return &evd_id; }
    const char* get_default_name() const override { return "ui.view"; }

    // Per frame: a property of the view that was set calls `changed`.
    void handler() override;

    // Called once the view is in its window's tree, after its init phases.
    virtual void ui_setup() {}
    // The window is compiling this view's layer: copy the view's markup into `window->current_target`.
    virtual void pml_precache() {}
    // Offers an input event; true when the view used it. The base turns pointer and key events into
    // actions (12, 13, 15, 7, 8) sent through `action`.
    virtual bool handle_event(ui_event_t* event);
    // Sends an action up: the base hands it to the parent group, the window hands it to its handler's
    // `handle(sender, code, param)`. True when it was consumed.
    virtual bool action(ui_view_t* sender, int code, void* param);
    // Moves the view by (dx, dy) (`ui_offset_t` flags).
    virtual void offset(float dx, float dy, unsigned flags);
    // A notification from the engine (ui_notify_*).
    virtual void notify(int code) { (void)code; }
    // Enables or disables the view.
    virtual void activate(bool on) { active = on; }
    // Shows or hides the view.
    virtual void show(bool on);
    // Offers a key event for tab handling; true when it moved the focus.
    virtual bool handle_tab(ui_event_t* event);
    // Moves the window's focus to the next or previous view in tab order.
    virtual void next_focus();
    virtual void prev_focus();
    // Something of the view changed (`ui_change_t` mask).
    virtual void changed(unsigned mask) { (void)mask; }

    // Visible, and every group above it visible.
    bool is_visible() const;
    // True when the point lies in the view's hit area ("area", or the rectangle when not given).
    bool hit(float x, float y) const;
    // The window whose tree holds the view (the view itself for a window), or null.
    ui_window_t* window() const;
    // The view's rectangle in device pixels of the current mode (`gfx_get_params`), y up.
    pml_rect_t uiref2view() const;
    bool is_group() const { return (view_type & ui_view_type_group) != 0; }

    pml_rect_t rect;  // layout rectangle (left, right, top, bottom)
    pml_rect_t area{ui_area_unset, ui_area_unset, ui_area_unset, ui_area_unset};  // hit area
    int layer = 0;                                  // layer of its window's markup buffers
    int tab = -1;                                   // tab order, -1 for none
    ui_group_t* parent_group = nullptr;             // the group holding it, null for a window
    c_item_t* item = nullptr;                       // the view's own cache handle
    uint32_t class_flags = 0;                       // ui_class_flag_t
    uint32_t view_flags = ui_view_reference_units;  // ui_view_flag_t
    uint8_t view_type = 0;                          // ui_view_type_group for groups
    bool visible = true;
    bool active = true;
    bool selected = false;    // the pointer is over it (or it has the focus)
    dstring_t tooltip;        // help text shown by the quick-help line
    uint8_t view_status = 0;  // change marks of the view's own properties
};

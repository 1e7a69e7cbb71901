#pragma once
#include <list>

#include "engine/dstring.h"
#include "engine/pml.h"
#include "engine/ui_group.h"

// The compiled markup of one layer of a window, with its rebuild flag.
struct ui_layer_entry_t {
    pml_bin_buffer_t buffer;
    bool rebuild = true;  // compile the layer again before the next draw
    bool created = true;  // set with `rebuild` when the entry is made
    uint32_t word = 0;
    int32_t key = 0;  // the layer
};

// A window: the root group of a tree built from a UI script, with its handler, per-layer compiled
// markup, input focus, tab target and event capture.
class ui_window_t : public ui_group_t {
public:
    ui_window_t();

    const char* get_default_name() const override { return "ui.window"; }
    // Actions that reach the window go to its handler's `handle`.
    bool action(ui_view_t* sender, int code, void* param) override;

    // Inserts a view made with `ui_spawn_ci` into the tree: before `before` in that view's group, or
    // appended to the window when `before` is null. The view gets its cache item linked; false when it
    // already has a parent or `before` is not in this window.
    bool insert_view(ui_view_t* view, ui_view_t* before);
    // Appends a view made with `ui_spawn_ci` to `group` (this window or a group of its tree), linking
    // its cache item; false when it already has a parent or `group` is not in this window.
    bool append_view(ui_view_t* view, ui_group_t* group);
    // Gives the keyboard focus to `view` (null: none); the view that loses it gets action 17.
    void focus(ui_view_t* view);
    // While `on`, every event of the window goes to `view`; ending it (`on` false) with `notify` set
    // tells the view with notify(ui_notify_capture_lost). Ending a capture `view` does not hold does
    // nothing.
    void capture_events(ui_view_t* view, bool on, bool notify);
    // Moves `view` to another layer, rebuilding both layers.
    void layer_change(ui_view_t* view, int new_layer);
    // The layer entry of `key`; with `create` a missing one is made (rebuild flag set), else null.
    ui_layer_entry_t* layer_entry(int key, bool create);
    // Sets the rebuild flag of every layer entry.
    void invalidate_layers();
    // Rebuilds every layer whose rebuild flag is set from the views of that layer, in tree order.
    void precache_layers();
    // Draws every layer in key order, then each visible view's own `draw`.
    void draw_layers();

    dstring_t group_name;  // the names given to ui_winsert
    dstring_t window_name;
    uint32_t insert_flags = 0;                   // the flags given to ui_winsert, kept for the module
    uint32_t show_param = 0;                     // the parameter of the last ui_wshow
    c_item_t* handler_item = nullptr;            // the handler's cache item, null for none
    std::list<ui_layer_entry_t> layer_buffers;   // sorted by key
    pml_bin_buffer_t* current_target = nullptr;  // the layer being compiled
    ui_view_t* focus_view = nullptr;
    ui_view_t* capture_view = nullptr;
    ui_view_t* tab_target = nullptr;  // takes tab handling for the focused view, when set
    ui_view_t* hover_view = nullptr;  // the view under the pointer
    bool drawn_in_3d = false;         // drawn with ui_wdraw3d rather than in the 2-D pass
    bool preview = false;             // shown for layout work: components show sample values
};

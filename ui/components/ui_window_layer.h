#pragma once
#include "engine/pml.h"
#include "engine/ui_window.h"

struct c_item_t;
class ui_view_t;

// What every markup view of the module does with its window: find the window through the cache items,
// reach the window's compiled buffer of a layer, mark a layer for rebuilding, and copy a compiled markup
// into a layer while the window compiles it.

// The window's compiled buffer entry of layer `key`; with `create` a missing entry is inserted in key
// order (rebuild flag set), otherwise null when there is none. Null for a null window.
ui_layer_entry_t* ui_window_layer_buffer(ui_window_t* window, int key, bool create);

// Marks layers of `window` for rebuilding: every layer when `view` is null; otherwise the layer of
// `view` when it draws through the layer buffers and the window has an entry for it.
void ui_window_invalidate_layer(ui_window_t* window, const ui_view_t* view);

// The cache item of the window holding `view`, kept in `cached` once found: the walk goes up the view
// items from the view's own, locking each to read its class flags, and stops at the first window.
// Null when the view is in no window yet (nothing is cached, so a later call looks again) or when an
// item on the way cannot be locked.
c_item_t* ui_view_find_window(const ui_view_t* view, c_item_t*& cached);

// Marks the layer of `view` for rebuilding in its window. With `create` the layer's entry is made when
// missing (a view that starts to show); without, only an existing entry is marked (a view that goes
// away). False when the window cannot be reached this frame.
bool ui_view_invalidate_layer(const ui_view_t* view, c_item_t*& cached, bool create);

// Copies `markup`, shifted by (dx, dy), into the window's entry for the layer of `view` (the window is
// compiling that layer), pointing the window's current target at the entry while it does. Nothing
// happens when the window or the entry cannot be reached.
void ui_view_precache_markup(const ui_view_t* view, c_item_t*& cached, const pml_buffer_t& markup, float dx = 0.0f,
                             float dy = 0.0f);

#pragma once

struct c_item_t;
class entity_t;
class ui_handler_t;
class ui_view_t;
class ui_window_t;

// Cache items of the UI: each view, window and handler is reached through a `c_item_t` whose object is
// the instance while it lives. A dead item stays valid (it no longer resolves) until its last reference
// is given back.

// Gives `view` and every view of its tree an item (kind view), linked under its parent's item in child
// order.
void ui_items_link(ui_view_t* view);
// Cuts the items of `view`'s tree from their objects and gives back the UI's references.
void ui_items_unlink(ui_view_t* view);
// A new item for a handler (kind entity), and its end.
c_item_t* ui_item_for_handler(ui_handler_t* handler);
void ui_item_drop(c_item_t* item);
// The object behind an item, or null when the item is dead or of another kind.
ui_view_t* ui_item_view(const c_item_t* item);
ui_window_t* ui_item_window(const c_item_t* item);
ui_handler_t* ui_item_handler(const c_item_t* item);
// Releases dead items nobody references any more.
void ui_items_collect();
// Forgets every dead item (engine reset).
void ui_items_reset();

#pragma once
#include <cstdint>

struct c_item_t;
class ui_view_t;

// Finds the component with `id` in the view tree under `view` (a window or group): the view itself
// when its own id matches, else the first match depth first in child order (a nested group is searched
// completely, its own id first, before the next sibling). With `public_only`, a match is handed out
// only when `view`'s `ui_group_t::public_component` accepts it (nested groups are always searched that
// way). Answers the match's cache handle without taking a use of it (callers lock it with
// c_item_lock), or null.
c_item_t* ui_find_component(ui_view_t* view, int32_t id, bool public_only);

// The component with `id` anywhere in `window`'s tree (not only public ones), or null; for a handler
// reaching the components of its own window, which stays resident while the handler runs.
ui_view_t* ui_window_component(c_item_t* window, int32_t id);

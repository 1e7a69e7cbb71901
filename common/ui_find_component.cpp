#include "common/ui_find_component.h"

#include "engine/cache.h"
#include "engine/ui_group.h"
#include "common/c_item_ops.h"

c_item_t* ui_find_component(ui_view_t* view, const int32_t id, const bool public_only)
{
    if (!view)
        return nullptr;
    c_item_t* found = nullptr;
    if (view->id == id) {
        found = view->item;
    } else if (view->is_group()) {
        for (ui_view_t* listed : static_cast<ui_group_t*>(view)->children) {
            // Each child is reached through its handle; one that cannot be made resident is skipped.
            auto* child = static_cast<ui_view_t*>(c_item_lock(listed->item));
            if (!child)
                continue;
            if (child->is_group())
                found = ui_find_component(child, id, true);
            else if (child->id == id)
                found = child->item;
            c_item_release(listed->item);
            if (found)
                break;
        }
    }
    if (public_only && found && view->is_group() &&
        !static_cast<ui_group_t*>(view)->public_component(static_cast<ui_view_t*>(found->object)))
        return nullptr;
    return found;
}

ui_view_t* ui_window_component(c_item_t* window, const int32_t id)
{
    auto* root = window ? static_cast<ui_view_t*>(window->object) : nullptr;
    c_item_t* found = root ? ui_find_component(root, id, false) : nullptr;
    return found ? static_cast<ui_view_t*>(found->object) : nullptr;
}

#include "ui_items.h"

#include <algorithm>
#include <vector>

#include "engine/cache.h"
#include "engine/ui_group.h"
#include "engine/ui_handler.h"
#include "engine/ui_window.h"

namespace {

// Dead items still referenced by someone.
std::vector<c_item_t*> dead_items;

// A UI item is resident while its object lives.
int ui_make_resident(c_item_t* item) { return item && item->object ? 1 : 0; }
const ci_loader_t ui_loader{ui_make_resident};

c_item_t* new_item(void* object, int32_t kind, uint32_t class_flags)
{
    c_item_t* item = mm_sys_get_new_item();
    if (!item)
        return nullptr;
    item->kind = kind;
    item->object = object;
    item->class_flags = class_flags;
    item->loader = &ui_loader;
    item->flags |= ci_flag_resident | ci_flag_loaded | ci_flag_held;
    return item;
}

// Re-links the items of `group`'s children in child order.
void relink_children(ui_group_t* group)
{
    if (!group->item)
        return;
    for (ui_view_t* child : group->children)
        if (child->item && child->item->parent)
            ci_remove_child(child->item);
    for (ui_view_t* child : group->children)
        if (child->item) {
            ci_add_child(group->item, child->item);
            child->item->flags |= ci_flag_held;
        }
}

}  // namespace

void ui_items_link(ui_view_t* view)
{
    if (!view)
        return;
    if (!view->item)
        view->item = new_item(view, ci_kind_view, view->class_flags);
    if (view->is_group())
        for (ui_view_t* child : static_cast<ui_group_t*>(view)->children)
            ui_items_link(child);
    if (view->is_group())
        relink_children(static_cast<ui_group_t*>(view));
    if (view->parent_group)
        relink_children(view->parent_group);
}

void ui_item_drop(c_item_t* item)
{
    if (!item)
        return;
    if (item->parent)
        ci_remove_child(item);
    item->object = nullptr;
    item->flags &= static_cast<uint16_t>(~(ci_flag_resident | ci_flag_loaded | ci_flag_held));
    ci_dec_refs(item);
    if (item->refs <= 0 && item->locks <= 0 && !item->first_child)
        mm_release_item(item);
    else
        dead_items.push_back(item);
}

void ui_items_unlink(ui_view_t* view)
{
    if (!view)
        return;
    if (view->is_group())
        for (ui_view_t* child : static_cast<ui_group_t*>(view)->children)
            ui_items_unlink(child);
    ui_item_drop(view->item);
    view->item = nullptr;
}

c_item_t* ui_item_for_handler(ui_handler_t* handler) { return new_item(handler, ci_kind_entity, 0); }

ui_view_t* ui_item_view(const c_item_t* item)
{
    if (!item || item->kind != ci_kind_view || !item->object)
        return nullptr;
    return static_cast<ui_view_t*>(item->object);
}

ui_window_t* ui_item_window(const c_item_t* item)
{
    if (!item || (item->class_flags & ui_class_window) == 0)
        return nullptr;
    return static_cast<ui_window_t*>(ui_item_view(item));
}

ui_handler_t* ui_item_handler(const c_item_t* item)
{
    if (!item || item->kind != ci_kind_entity || !item->object)
        return nullptr;
    return static_cast<ui_handler_t*>(item->object);
}

void ui_items_collect()
{
    auto unused = [](c_item_t* item) { return item->refs <= 0 && item->locks <= 0 && !item->first_child; };
    std::vector<c_item_t*> keep;
    for (c_item_t* item : dead_items) {
        if (unused(item))
            mm_release_item(item);
        else
            keep.push_back(item);
    }
    dead_items.swap(keep);
}

void ui_items_reset() { dead_items.clear(); }

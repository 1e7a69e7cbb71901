#include "engine/ui_group.h"

#include <algorithm>

namespace {
const int group_levels[] = {0};
}  // namespace

const level_list_t ui_group_t::init_list(&entity_t::init_list, group_levels);

const evalue_def_t ui_group_t::evd_fitting =
    evalue_member("fitting", evalue_bool, sizeof(bool), evalue_bind<&ui_group_t::fitting>, &ui_view_t::evd_id, "false",
                  evalue_bind_status<&ui_group_t::group_status>);

ui_group_t::ui_group_t() { view_type |= ui_view_type_group; }

void ui_group_t::handler()
{
    ui_view_t::handler();
    if (group_status & evalue_changed) {
        group_status &= static_cast<uint8_t>(~evalue_changed);
        layout_pending = true;
    }
    if (layout_pending) {
        layout_pending = false;
        group_update();
    }
    // A handler may change the children (insert or remove views): walk a copy.
    const std::vector<ui_view_t*> current = children;
    for (ui_view_t* child : current)
        if (std::find(children.begin(), children.end(), child) != children.end())
            child->handler();
}

void ui_group_t::draw()
{
    for (ui_view_t* child : children)
        if (child->visible)
            child->draw();
}

void ui_group_t::ui_setup()
{
    for (ui_view_t* child : children)
        child->ui_setup();
}

void ui_group_t::notify(int code)
{
    ui_view_t::notify(code);
    for (ui_view_t* child : children)
        child->notify(code);
}

void ui_group_t::offset(float dx, float dy, unsigned flags)
{
    ui_view_t::offset(dx, dy, flags);
    for (ui_view_t* child : children)
        child->offset(dx, dy, flags);
}

void ui_group_t::group_update()
{
    if (!fitting || children.empty())
        return;
    pml_rect_t box = children.front()->rect;
    for (const ui_view_t* child : children) {
        box.left = std::min(box.left, child->rect.left);
        box.right = std::max(box.right, child->rect.right);
        box.top = std::max(box.top, child->rect.top);
        box.bottom = std::min(box.bottom, child->rect.bottom);
    }
    rect = box;
    changed(ui_change_rect);
}

bool ui_group_t::insert_child(ui_view_t* view, ui_view_t* before)
{
    if (!view || view->parent_group || view == this)
        return false;
    auto position = children.end();
    if (before) {
        position = std::find(children.begin(), children.end(), before);
        if (position == children.end())
            return false;
    }
    children.insert(position, view);
    view->parent_group = this;
    group_changed();
    return true;
}

bool ui_group_t::remove_child(ui_view_t* view)
{
    const auto position = std::find(children.begin(), children.end(), view);
    if (position == children.end())
        return false;
    children.erase(position);
    view->parent_group = nullptr;
    group_changed();
    return true;
}

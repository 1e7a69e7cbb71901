#pragma once
#include <vector>

#include "engine/ui_view.h"

// A view that holds other views in order. Its children are drawn, set up and notified in order and
// hit-tested last first; nested groups make a tree.
class ui_group_t : public ui_view_t {
public:
    // "fitting": the group's rectangle follows the box around its children.
    static const evalue_def_t evd_fitting;
    // The group's phases: those of a view.
    static const level_list_t init_list;

    ui_group_t();

    const evalue_def_t* get_evalue_root() const override { return &evd_fitting; }
    const char* get_default_name() const override { return "ui.comp.group"; }
    const level_list_t* get_init_list() const override { return &init_list; }

    // Per frame: the view's handler, a pending layout (`group_update`), then every child's handler.
    void handler() override;
    // Draws every visible child in order.
    void draw() override;
    void ui_setup() override;
    void notify(int code) override;
    void offset(float dx, float dy, unsigned flags) override;

    // Whether `view` (found in this group's tree) may be handed out to code outside the group.
    virtual bool public_component(const ui_view_t* view) const { return view != nullptr; }
    // The children changed (inserted, removed, moved): the layout is redone in the next handler.
    virtual void group_changed() { layout_pending = true; }
    // Redoes the layout: a fitting group takes the box around its children.
    virtual void group_update();

    // Inserts `view` before `before` (a child of this group; null appends); false when `view` already
    // has a parent or `before` is not a child.
    bool insert_child(ui_view_t* view, ui_view_t* before);
    // Takes `view` out of the group (it is not destroyed); false when it is not a child.
    bool remove_child(ui_view_t* view);

    std::vector<ui_view_t*> children;  // in order
    bool fitting = false;
    bool layout_pending = false;
    uint8_t group_status = 0;  // change mark of "fitting"
};

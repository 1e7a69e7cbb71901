#pragma once
#include "road/map_freeitem.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Free Item Properties": a free item's position, rotation, model, look and collision.
class free_item_dialog_t : public prop_dialog_t {
public:
    free_item_dialog_t(map_freeitem_t& item, edit_ctrl_e& ctrl) : prop_dialog_t(&item, ctrl) {}
    int template_id() const override { return template_free_item; }
    void on_init() override;
    bool on_apply() override;

private:
    map_freeitem_t& item() { return *static_cast<map_freeitem_t*>(record_); }
};

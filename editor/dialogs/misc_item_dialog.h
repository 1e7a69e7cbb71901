#pragma once
#include "road/map_miscitem.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Free Item Properties" of a misc item: a new item's type (with a mover's point count and curve), or
// the settings of a typed one (a sky swap's skybox at the current point, a mover's model, look, speed,
// delay and flags, a headquarters' rotation, a no-weather area's size).
class misc_item_dialog_t : public prop_dialog_t {
public:
    misc_item_dialog_t(map_miscitem_t& item, edit_ctrl_e& ctrl) : prop_dialog_t(&item, ctrl) {}
    int template_id() const override { return template_misc_item; }
    void on_init() override;
    bool on_apply() override;
    void on_select_end(uint32_t id) override;

private:
    map_miscitem_t& item() { return *static_cast<map_miscitem_t*>(record_); }
    // The point the caller picked, -1 when none is.
    int32_t current_point();
    void hide_type_controls();
    void show_labelled(int label, const char* text, int control);
    // Keeps the item's built mover showing its model and look.
    void update_mover();
};

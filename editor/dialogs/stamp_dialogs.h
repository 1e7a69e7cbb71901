#pragma once
#include <cstdint>

#include "road/map_edge.h"
#include "road/map_stamp.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Used Stamps": the four stamps of an edge's group, one slot at a time; a used slot's template and
// shader change at once, "Clear All" empties every slot.
class used_stamps_dialog_t : public prop_dialog_t {
public:
    used_stamps_dialog_t(map_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}
    int template_id() const override { return template_used_stamps; }
    void on_init() override;
    void on_select_change(uint32_t id) override;
    void on_select_end(uint32_t id) override;
    void on_edit_button(uint32_t id) override;

private:
    // The stamp of `slot` in the edge's group, null when the edge has no group.
    map_stamp_t* stamp(int32_t slot);
    void show_slot();

    int32_t slot_ = 0;
};

// The stamp the brush places: a stamp template and a terrain shader.
struct stamp_choice_t {
    int32_t definition;
    int32_t shader;
};

// "Select Stamp": the brush's stamp template and terrain shader, stored as they are chosen.
class select_stamp_dialog_t : public prop_dialog_t {
public:
    select_stamp_dialog_t(stamp_choice_t& choice, edit_ctrl_e& ctrl) : prop_dialog_t(&choice, ctrl) {}
    int template_id() const override { return template_select_stamp; }
    void on_init() override;
    void on_select_change(uint32_t id) override;

private:
    stamp_choice_t& choice() { return *static_cast<stamp_choice_t*>(record_); }
};

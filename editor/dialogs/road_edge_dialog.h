#pragma once
#include "road/map_edge.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Road Edge Properties": the road model and shaders of a Road edge, and per side its quad count,
// profile coefficient, railings, base shader, terrain profile, vegetation, noise power and
// transition; the terrain-only flag; opens the edge's signs and stamps.
class road_edge_dialog_t : public prop_dialog_t {
public:
    road_edge_dialog_t(map_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}

    int template_id() const override { return template_road_edge; }
    void on_init() override;
    bool on_apply() override;
    void on_select_end(uint32_t id) override;
    void on_edit_button(uint32_t id) override;
    void on_check(uint32_t id) override;

private:
    map_edge_t& edge() { return *static_cast<map_edge_t*>(record_); }
    // Part count of the road definition chosen in "Road model" (0 when none is).
    int32_t chosen_part_count();
    // "Center shader" is offered only for a road definition of two parts or more.
    void apply_centre_rule();
    // A terrain-only edge has no road surface, railings or left side to choose.
    void apply_terrain_only(bool on);
};

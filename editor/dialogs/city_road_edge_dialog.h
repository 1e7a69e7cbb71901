#pragma once
#include "road/map_edge.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "City Road Edge Properties": the road model, shader and sidewalk of a City Road, its street lamps on
// each side and the city block on each side (added or removed at once by its check box; background,
// look and seed of an existing block applied with OK); lines the road up with an axis; opens its signs.
class city_road_edge_dialog_t : public prop_dialog_t {
public:
    city_road_edge_dialog_t(map_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}

    int template_id() const override { return template_city_road_edge; }
    void on_init() override;
    bool on_apply() override;
    void on_edit_button(uint32_t id) override;
    void on_check(uint32_t id) override;

private:
    map_edge_t& edge() { return *static_cast<map_edge_t*>(record_); }
    // Shows side `side`'s block (or disables its controls when it has none).
    void show_block(int side);
    // The end node moved so that the road runs along x or z.
    void axis_align();
};

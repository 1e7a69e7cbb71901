#pragma once
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

struct map_node_t;
struct map_aux_node_t;

// "Node Properties": position and direction of a node or an aux node; for a node also its edges
// (shown only), its road name, compass direction, cities and the road-name flag, the last four
// editable only at a Cross.
class node_dialog_t : public prop_dialog_t {
public:
    node_dialog_t(void* node, edit_ctrl_e& ctrl) : prop_dialog_t(node, ctrl) {}

    int template_id() const override { return template_node; }
    void on_init() override;
    bool on_apply() override;

private:
    // The node edited, null when the record is an aux node.
    map_node_t* road_node();
    // Position and direction: the first six floats of either record.
    float* place() { return static_cast<float*>(record_); }
};

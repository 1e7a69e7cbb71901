#pragma once
#include "road/map_edge.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Auxiliary Edge Properties": the aux model laid along an aux edge and its shader.
class aux_edge_dialog_t : public prop_dialog_t {
public:
    aux_edge_dialog_t(map_aux_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}
    int template_id() const override { return template_aux_edge; }
    void on_init() override;
    bool on_apply() override;

private:
    map_aux_edge_t& edge() { return *static_cast<map_aux_edge_t*>(record_); }
};

// "Find Edge": the index of the edge to go to, typed by the user.
class find_edge_dialog_t : public prop_dialog_t {
public:
    find_edge_dialog_t(int32_t& index, edit_ctrl_e& ctrl) : prop_dialog_t(&index, ctrl) {}
    int template_id() const override { return template_find_edge; }
    bool on_apply() override;
};

#pragma once
#include "road/map_edge.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// The dialogs of the edges placed from a prefab, and of the defaults they are placed with.

// The model and look every prefab dialog shows in "Prefab model" (1020) and "Prefab look" (1021).
class prefab_model_dialog_t : public prop_dialog_t {
public:
    prefab_model_dialog_t(map_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}
    void on_init() override;
    bool on_apply() override;

protected:
    map_edge_t& edge() { return *static_cast<map_edge_t*>(record_); }
    // "Edge index : N" in the frame's caption.
    void show_edge_index();
};

// "Prefab Edge Properties" of a Prefab edge: its model and look.
class prefab_edge_small_dialog_t : public prefab_model_dialog_t {
public:
    using prefab_model_dialog_t::prefab_model_dialog_t;
    int template_id() const override { return template_prefab_edge_small; }
    void on_init() override;
};

// "Fork Edge Properties": model, look and the shipper of the Fork's loading dock.
class fork_edge_dialog_t : public prefab_model_dialog_t {
public:
    using prefab_model_dialog_t::prefab_model_dialog_t;
    int template_id() const override { return template_fork_edge; }
    void on_init() override;
    bool on_apply() override;
};

// "Cross Edge Properties": model, look, the traffic lights of the prefab's nodes (rows beyond its node
// count disabled) and whether they are used; opens the edge's signs.
class cross_edge_dialog_t : public prefab_model_dialog_t {
public:
    using prefab_model_dialog_t::prefab_model_dialog_t;
    int template_id() const override { return template_cross_edge; }
    void on_init() override;
    bool on_apply() override;
    void on_edit_button(uint32_t id) override;
};

// "Prefab Edge Properties" of a default Fork, Cross or Prefab record: model, look, the origin node and
// the orientation new prefabs are placed with.
class prefab_edge_dialog_t : public prefab_model_dialog_t {
public:
    using prefab_model_dialog_t::prefab_model_dialog_t;
    int template_id() const override { return template_prefab_edge; }
    void on_init() override;
    bool on_apply() override;
    void on_select_end(uint32_t id) override;

private:
    // Fills "Origin" with the node numbers of the prefab chosen in "Prefab model".
    void fill_origins();
};

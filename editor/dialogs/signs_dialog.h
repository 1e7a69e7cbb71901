#pragma once
#include <cstdint>

#include "road/map_edge.h"
#include "road/map_sign.h"
#include "editor/dialogs/dialog_templates.h"
#include "editor/dialogs/prop_dialog.h"

// "Signs Properties": the signs standing along an edge, one at a time: its definition, place along the
// edge, road side and offset, and per board its two texts, arrow and direction; signs are added and
// removed here. Every choice is written at once. The signs of a junction come with its prefab: only
// their boards' texts and directions can change.
class signs_dialog_t : public prop_dialog_t {
public:
    signs_dialog_t(map_edge_t& edge, edit_ctrl_e& ctrl) : prop_dialog_t(&edge, ctrl) {}
    int template_id() const override { return template_signs; }
    void on_init() override;
    void on_select_change(uint32_t id) override;
    void on_select_end(uint32_t id) override;
    void on_edit_change(uint32_t id) override;
    void on_edit_button(uint32_t id) override;
    void on_option(uint32_t id) override;
    void on_hscroll(uint32_t code, uint32_t thumb, HWND control) override;

private:
    map_edge_t& edge() { return *static_cast<map_edge_t*>(record_); }
    // The current sign's record, null when no sign is current.
    map_sign_t* sign();
    // The sign list, with `selected` chosen in it (-1 none).
    void fill_sign_list(int32_t selected);
    // Enables the sign controls (`on`), leaving those of a junction's prefab signs disabled.
    void enable_sign_controls(bool on);
    // Makes `index` the current sign and shows it with board 1 current.
    void select_sign(int32_t index);
    void show_board(int32_t board);

    int32_t sign_ = -1;
    int32_t board_ = -1;
};

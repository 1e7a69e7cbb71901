#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "ui/components/ui_handler_game_base.h"

// Component ids of the editor HUD ("/ui/editorhud.esc").
enum editor_hud_id_t : int32_t {
    editor_hud_new = 10,
    editor_hud_load = 20,
    editor_hud_save = 30,
    editor_hud_save_checked = 35,
    editor_hud_preview = 50,
    editor_hud_help = 60,
    editor_hud_quit = 70,
    editor_hud_readout = 100,
    editor_hud_modes = 110,
    editor_hud_sub_modes = 120,
    editor_hud_quick_help = 130,
    editor_hud_pointer_area = 6666,
};

// The handler of the map editor's HUD window ("hud" of "editorui_hud"), registered as
// "ui.handler.editor.hud": its buttons run the controller's commands, its two lists choose the mode
// and sub-mode, and its full-screen pointer area turns pointer events into pointer editing.
class ui_handler_editor_hud_t : public ui_handler_game_base_t {
public:
    const char* get_default_name() const override { return "ui.handler.editor.hud"; }
    // The registered type name.
    virtual const char* get_type_name() const { return "ui.handler.editor.hud"; }
    // The base's, then the registration in the bridge and the two lists.
    void on_wcreate() override;
    // The buttons, the lists and the pointer area; always false.
    bool handle(ui_view_t* view, int code, void* param) override;
    // The base's fade, then the controller's pins.
    void pre_wdraw() override;
    // Writes `text` (at most 255 characters, without quotes) to the quick-help line (130).
    void set_quick_help(const char* text) override;
    // The readout (100): "Height : [ Y ] " with `height_mode`, else "[ X, Z ] ".
    void show_height(const vec3_t& point, bool height_mode);
    // Selects the row whose data word is `value` in the list of drop-down `id` (110 or 120).
    void select_mode(int32_t id, int32_t value);

    // The editor HUD the bridge holds, or null.
    static ui_handler_editor_hud_t* of_bridge();

    // True while the pointer area captures the pointer.
    bool captured = false;
};

#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/win32_dialog.h"

// The windows of a running modal dialog, shared by the dialog box's loop and its painter.

struct dialog_window_t;

// One control of a running dialog; its address is its window handle.
struct dialog_control_t {
    dialog_window_t* dialog = nullptr;
    dlg_control_kind_t kind = dlg_static;
    int id = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    uint32_t style = 0;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::pair<std::string, LPARAM>> rows;
    int selected = -1;
    int range_min = 0, range_max = 100, position = 0;
    // Focus came by Tab or the pointer: the next typed key replaces the edit's text.
    bool replace_on_type = false;

    bool focusable() const { return enabled && visible && kind != dlg_static && kind != dlg_group; }
};

// A running dialog; its address is its window handle.
struct dialog_window_t {
    int template_id = 0;
    std::string caption;
    short cx = 0, cy = 0;
    DLGPROC procedure = nullptr;
    std::vector<std::unique_ptr<dialog_control_t>> controls;
    int focus = -1;
    bool ended = false;
    INT_PTR result = 0;
};

// The running dialogs, innermost last.
const std::vector<dialog_window_t*>& dialog_running();

// Draws the running dialogs over the frame being recorded, outermost first (markup items in the
// reference screen).
void dialog_paint_running();
// Where the dialog lies in the reference screen (y up): left, top edge of its client area, and the
// reference units per dialog unit.
struct dialog_place_t {
    float left;
    float top;
    float scale;
};
dialog_place_t dialog_place(const dialog_window_t& dialog);

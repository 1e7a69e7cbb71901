#pragma once
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/win32_dialog.h"

class edit_ctrl_e;

// Results of a property dialog.
enum prop_dialog_result_t : int {
    prop_dialog_cancel = 0,
    prop_dialog_ok = 1,
    prop_dialog_use_as_defaults = 2,
};

// Control ids the templates share.
enum prop_dialog_id_t : int {
    prop_id_ok = 1,
    prop_id_cancel = 2,
    prop_id_use_as_defaults = 890,
    prop_id_index_line = 900,
    prop_id_first_edit_button = 1050,
    prop_id_last_edit_button = 1069,
    prop_id_first_option = 1090,
    prop_id_last_option = 1109,
    prop_id_first_check = 1130,
    prop_id_last_check = 1139,
};

// The base of the editor's modal property dialogs: a dialog object edits one record of the controller
// (or a value of its caller) through the controls of its template. The dialog procedure routes the
// window's messages to the object's operations; OK applies and ends with 1, "Use as defaults" applies
// and ends with 2, Cancel ends with 0 without applying.
class prop_dialog_t {
public:
    prop_dialog_t(void* record, edit_ctrl_e& ctrl) : ctrl_(ctrl), record_(record) {}
    virtual ~prop_dialog_t() = default;
    prop_dialog_t(const prop_dialog_t&) = delete;
    prop_dialog_t& operator=(const prop_dialog_t&) = delete;

    // Runs the dialog of template_id() modally, nested in a running dialog when there is one; its
    // result, or -1 when it cannot run (no template, or already two dialogs deep).
    int run_modal();

    // Fills the controls from the record.
    virtual void on_init() {}
    // Reads the controls back into the record; false when a typed value was refused (the user was
    // told, nothing was written and the dialog stays open).
    virtual bool on_apply() { return true; }
    virtual int template_id() const = 0;
    virtual void on_select_end(uint32_t) {}
    virtual void on_select_change(uint32_t) {}
    virtual void on_edit_change(uint32_t) {}
    virtual void on_edit_button(uint32_t) {}
    virtual void on_option(uint32_t) {}
    virtual void on_check(uint32_t) {}
    virtual void on_hscroll(uint32_t, uint32_t, HWND) {}
    virtual void on_vscroll(uint32_t, uint32_t, HWND) {}

    // The caller's extra argument (the signs dialog: 1 + the sign to preselect).
    uint32_t extra = 0;
    // Nesting level of the run: 0, or 1 inside another dialog.
    int level() const { return level_; }
    HWND window() const { return window_; }

    // The dialog procedure shared by every dialog of `level`.
    static INT_PTR procedure(int level, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

protected:
    // Control operations; a control the template lacks makes them do nothing.
    bool enable_item(int id, bool on);
    void show_item(int id, bool on);
    void set_item_text(int id, const char* text);
    void set_item_int(int id, int32_t value);
    void set_item_float(int id, float value);
    // Combo and list rows carry the stored value as item data.
    void combo_reset(int id);
    void list_reset(int id);
    void combo_add(int id, const char* text, int32_t data);
    void list_add(int id, const char* text, int32_t data);
    // Adds `names` to drop-down `id`, each with its index plus `first_data` as item data.
    void combo_fill(int id, const std::vector<std::string>& names, int32_t first_data = 0);
    // The selected row's data into `out` (left alone and -1 answered when nothing is selected).
    int32_t combo_get_selected(int id, int32_t& out);
    int32_t list_get_selected(int id, int32_t& out);
    // Selects the first row carrying `data`; false (selection kept) when none does.
    bool combo_select_by_data(int id, int32_t data);
    bool list_select_by_data(int id, int32_t data);
    // Leaves drop-down `id` with no row selected.
    void combo_select_none(int id);
    void set_check(int id, bool on);
    bool get_check(int id);
    void trackbar_set_range(int id, int min, int max);
    void trackbar_set_pos(int id, int pos);
    int trackbar_get_pos(HWND control);
    void message_box(const char* caption, const char* text);

    // Typed numbers. A text that is no number (or a whole number outside `min` to `max`) is refused:
    // the user is told which field and why, the control shows `old` again and false is answered.
    bool read_int(int id, const char* field, int32_t old, int32_t min, int32_t& out, int32_t max = INT32_MAX);
    bool read_float(int id, const char* field, float old, float& out);

    edit_ctrl_e& ctrl_;
    void* record_;

private:
    HWND window_ = nullptr;
    int level_ = 0;
};

// The dialog running at `level` (0 or 1), null when none.
prop_dialog_t* prop_dialog_running(int level);

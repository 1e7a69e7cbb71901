#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/win32.h"
#include "engine/win32_dialog.h"

// What the headless Windows stand-ins were asked, and the failures a test can inject into them.

// Makes the next `count` calls of OpenClipboard (or GlobalAlloc) fail.
void win32_fail_open_clipboard(int count);
void win32_fail_global_alloc(int count);
// Puts a text on the clipboard as another program would, and reads the clipboard's text ("" when none).
void win32_clipboard_put_text(const std::string& text);
std::string win32_clipboard_text();
// True while the clipboard is open.
bool win32_clipboard_is_open();

// One ShellExecuteA call.
struct win32_shell_call_t {
    std::string verb;
    std::string file;
    int show;
};
const std::vector<win32_shell_call_t>& win32_shell_calls();

// One MessageBoxA call.
struct win32_message_box_t {
    std::string text;
    std::string caption;
    UINT type;
};
const std::vector<win32_message_box_t>& win32_message_boxes();
// Queues the answer of the next MessageBoxA (answers are used in order; IDOK when none is queued).
void win32_queue_message_box_answer(int answer);

// The cursor state: the current cursor, its resource id (0 when none) and the display count.
HCURSOR win32_current_cursor();
int win32_cursor_display_count();

// One GetOpenFileNameA or GetSaveFileNameA call: which dialog, its initial folder, default extension
// and flags, and the name it answered ("" on cancel).
struct win32_file_dialog_t {
    bool open;
    std::string initial_dir;
    std::string default_extension;
    DWORD flags;
    std::string answer;
};
const std::vector<win32_file_dialog_t>& win32_file_dialogs();
// Queues the answer of the next file dialog: a file name as the user would type it, or "" to cancel
// (answers are used in order before any typed input).
void win32_queue_file_dialog_answer(const std::string& name);

// One modal dialog run: its template, caption, nesting depth (0 for a dialog opened from none) and
// the result DialogBoxParamA answered.
struct win32_dialog_t {
    int template_id;
    std::string caption;
    int depth;
    INT_PTR result;
};
const std::vector<win32_dialog_t>& win32_dialogs();
// Queues what the user does in the next dialog once it has been initialised: `act` gets the dialog's
// handle and works it with the functions below (acts are used in order; the queued input follows).
void win32_queue_dialog_user(std::function<void(HWND dialog)> act);
// What a control shows.
struct win32_control_t {
    dlg_control_kind_t kind;
    std::string text;
    bool enabled;
    bool visible;
    bool checked;
    std::vector<std::pair<std::string, LPARAM>> rows;  // drop-down and list rows: text and item data
    int selected;                                      // selected row, -1 none
    int range_min, range_max, position;                // trackbar
};
// The control `id` of `dialog`; false when there is none.
bool win32_dialog_control(HWND dialog, int id, win32_control_t& out);
// The user's actions on a control, as the keys and pointer do them; false (nothing done) when the
// control is missing, hidden or disabled, or the action does not fit it. Typing replaces an edit's
// text; picking selects a row of a drop-down or list; pressing clicks a push button, toggles a check
// box or checks a radio button; scrolling sends a trackbar request code.
bool win32_dialog_type(HWND dialog, int id, const std::string& text);
bool win32_dialog_pick(HWND dialog, int id, int row);
bool win32_dialog_press(HWND dialog, int id);
bool win32_dialog_scroll(HWND dialog, int id, WORD code);
// The dialog SetActiveWindow last made active, and the running dialogs (innermost last).
HWND win32_active_window();
std::vector<HWND> win32_running_dialogs();

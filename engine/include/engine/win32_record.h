#pragma once
#include <string>
#include <vector>

#include "engine/win32.h"

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

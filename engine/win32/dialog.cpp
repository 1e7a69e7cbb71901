#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "engine/gfx_frame.h"
#include "engine/gfx_record.h"
#include "engine/input.h"
#include "engine/input_queue.h"
#include "engine/log.h"
#include "engine/pml_draw.h"
#include "engine/reset.h"
#include "engine/win32_record.h"
#include "../input/key_names.h"
#include "../render/render_state.h"
#include "dialog_window.h"

namespace {

struct registered_t {
    HINSTANCE module;
    dlg_template_t layout;
};

std::vector<registered_t> templates;
std::vector<dialog_window_t*> running;
std::vector<win32_dialog_t> runs;
std::deque<std::function<void(HWND)>> users;
HWND active = nullptr;
// Stands for the desktop: its address is the desktop window's handle.
char desktop;

engine_reset_registrar_t dialog_reset_registrar(reset_order_devices + 34, [] {
    templates.clear();
    runs.clear();
    users.clear();
    active = nullptr;
});

// Key codes the dialogs react to.
constexpr uint32_t key_escape = 0x01;
constexpr uint32_t key_backspace = 0x0E;
constexpr uint32_t key_tab = 0x0F;
constexpr uint32_t key_enter = 0x1C;
constexpr uint32_t key_num_enter = 0x9C;
constexpr uint32_t key_left_shift = 0x2A;
constexpr uint32_t key_right_shift = 0x36;
constexpr uint32_t key_space = 0x39;
constexpr uint32_t key_up = 0xC8;
constexpr uint32_t key_page_up = 0xC9;
constexpr uint32_t key_left = 0xCB;
constexpr uint32_t key_right = 0xCD;
constexpr uint32_t key_down = 0xD0;
constexpr uint32_t key_page_down = 0xD1;
constexpr uint32_t main_pointer_button = inp_code_mouse_first;
// Seconds of input a dialog takes per step of its loop.
constexpr double dialog_step = 1.0 / 60.0;

dialog_window_t* dialog_of(HWND window)
{
    for (dialog_window_t* dialog : running)
        if (dialog == window)
            return dialog;
    return nullptr;
}

dialog_control_t* control_of(HWND window)
{
    for (dialog_window_t* dialog : running)
        for (const auto& control : dialog->controls)
            if (control.get() == window)
                return control.get();
    return nullptr;
}

dialog_control_t* item_of(HWND dialog_handle, int id)
{
    dialog_window_t* dialog = dialog_of(dialog_handle);
    if (!dialog)
        return nullptr;
    for (const auto& control : dialog->controls)
        if (control->id == id)
            return control.get();
    return nullptr;
}

void notify(dialog_control_t& control, WORD code)
{
    control.dialog->procedure(control.dialog, WM_COMMAND, MAKEWPARAM(control.id, code),
                              reinterpret_cast<LPARAM>(&control));
}

// A button id sent by a key when the dialog may have no such control (OK and Cancel).
void command(dialog_window_t& dialog, int id) { dialog.procedure(&dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

bool usable(const dialog_control_t* control) { return control && control->enabled && control->visible; }

bool type_text(dialog_control_t* control, const std::string& text)
{
    if (!usable(control) || control->kind != dlg_edit || (control->style & dlg_read_only))
        return false;
    control->text = text;
    control->replace_on_type = false;
    notify(*control, EN_CHANGE);
    return true;
}

bool pick_row(dialog_control_t* control, int row)
{
    if (!usable(control) || (control->kind != dlg_combo && control->kind != dlg_list) || row < 0 ||
        row >= static_cast<int>(control->rows.size()))
        return false;
    control->selected = row;
    notify(*control, control->kind == dlg_combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    if (control->kind == dlg_combo)
        notify(*control, CBN_SELENDOK);
    return true;
}

bool press_button(dialog_control_t* control)
{
    if (!usable(control))
        return false;
    if (control->kind == dlg_check) {
        control->checked = !control->checked;
    } else if (control->kind == dlg_radio) {
        // The radios of a group run from one marked as its start to the next one so marked.
        auto& controls = control->dialog->controls;
        const auto at =
            std::find_if(controls.begin(), controls.end(), [&](const auto& c) { return c.get() == control; });
        auto first = at;
        while (first != controls.begin() && !((*first)->style & dlg_group_start))
            --first;
        for (auto it = first; it != controls.end() && (*it)->kind == dlg_radio; ++it) {
            if (it != first && ((*it)->style & dlg_group_start))
                break;
            (*it)->checked = false;
        }
        control->checked = true;
    } else if (control->kind != dlg_push) {
        return false;
    }
    notify(*control, BN_CLICKED);
    return true;
}

bool scroll(dialog_control_t* control, WORD code)
{
    if (!usable(control) || control->kind != dlg_trackbar)
        return false;
    control->dialog->procedure(control->dialog, WM_HSCROLL, MAKEWPARAM(code, control->position),
                               reinterpret_cast<LPARAM>(control));
    return true;
}

void move_focus(dialog_window_t& dialog, int step)
{
    const int count = static_cast<int>(dialog.controls.size());
    for (int tried = 1; tried <= count; ++tried) {
        const int index = ((dialog.focus < 0 ? (step > 0 ? -1 : 0) : dialog.focus) + step * tried + count * 2) % count;
        if (dialog.controls[static_cast<size_t>(index)]->focusable()) {
            dialog.focus = index;
            dialog.controls[static_cast<size_t>(index)]->replace_on_type = true;
            return;
        }
    }
}

dialog_control_t* focused(dialog_window_t& dialog)
{
    if (dialog.focus < 0 || dialog.focus >= static_cast<int>(dialog.controls.size()))
        return nullptr;
    dialog_control_t* control = dialog.controls[static_cast<size_t>(dialog.focus)].get();
    return control->focusable() ? control : nullptr;
}

void handle_key(dialog_window_t& dialog, uint32_t code, bool shift)
{
    dialog_control_t* control = focused(dialog);
    switch (code) {
    case key_escape:
        command(dialog, IDCANCEL);
        return;
    case key_enter:
    case key_num_enter:
        if (control && control->kind == dlg_push)
            press_button(control);
        else
            command(dialog, IDOK);
        return;
    case key_tab:
        move_focus(dialog, shift ? -1 : 1);
        return;
    case key_space:
        if (control && (control->kind == dlg_push || control->kind == dlg_check || control->kind == dlg_radio))
            press_button(control);
        return;
    case key_up:
    case key_down:
        if (control && (control->kind == dlg_combo || control->kind == dlg_list))
            pick_row(control, control->selected < 0 ? 0 : control->selected + (code == key_up ? -1 : 1));
        return;
    case key_left:
    case key_right:
        scroll(control, code == key_left ? TB_LINEUP : TB_LINEDOWN);
        return;
    case key_page_up:
    case key_page_down:
        scroll(control, code == key_page_up ? TB_PAGEUP : TB_PAGEDOWN);
        return;
    case key_backspace:
        if (control && control->kind == dlg_edit && !control->text.empty())
            type_text(control, control->replace_on_type ? "" : control->text.substr(0, control->text.size() - 1));
        return;
    default:
        if (const char c = key_character(code, shift); c && control && control->kind == dlg_edit)
            type_text(control, (control->replace_on_type ? "" : control->text) + c);
        return;
    }
}

// A press of the main pointer button: the control under the pointer takes the focus and is pressed.
void pointer_down(dialog_window_t& dialog)
{
    inp_cursor_t cursor{};
    if (!inp_cursor_info(&cursor))
        return;
    int width = 0;
    int height = 0;
    render_screen_size(width, height);
    if (width <= 0 || height <= 0)
        return;
    const dialog_place_t place = dialog_place(dialog);
    const float x = (static_cast<float>(cursor.x) * 1024.0f / static_cast<float>(width) - place.left) / place.scale;
    const float y =
        (place.top - (768.0f - static_cast<float>(cursor.y) * 768.0f / static_cast<float>(height))) / place.scale;
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        dialog_control_t& control = *dialog.controls[i];
        if (!control.focusable() || x < control.x || x >= control.x + control.cx || y < control.y ||
            y >= control.y + control.cy)
            continue;
        dialog.focus = static_cast<int>(i);
        control.replace_on_type = true;
        if (control.kind == dlg_push || control.kind == dlg_check || control.kind == dlg_radio)
            press_button(&control);
        return;
    }
}

// A screenshot asked for while the dialog runs shows what the screen shows: the frame shown last (the
// one being drawn is held up by the dialog) with the dialogs over it.
void capture_if_asked()
{
    if (!gfx_record_capture_pending())
        return;
    const size_t drawn = pml_drawn().size();
    dialog_paint_running();
    gfx_try_capture_over_shown_frame(drawn);
    pml_draw_truncate(drawn);
}

void run_loop(dialog_window_t& dialog)
{
    bool shift = false;
    std::vector<inp_change_t> taken;
    while (!dialog.ended) {
        if (inp_queue_pending() == 0) {
            command(dialog, IDCANCEL);
            if (!dialog.ended) {
                warning("DialogBoxParamA: dialog %d ignored Cancel when the input ran out", dialog.template_id);
                dialog.ended = true;
                dialog.result = IDCANCEL;
            }
            break;
        }
        inp_run_frame(dialog_step);
        taken.insert(taken.end(), inp_frame_changes().begin(), inp_frame_changes().end());
        for (const inp_change_t& change : inp_frame_changes()) {
            if (change.code == key_left_shift || change.code == key_right_shift)
                shift = change.down;
            else if (change.down && change.code == main_pointer_button)
                pointer_down(dialog);
            else if (change.down)
                handle_key(dialog, change.code, shift);
            if (dialog.ended)
                break;
        }
        capture_if_asked();
    }
    inp_carry_changes(taken);
}

const dlg_template_t* find_template(HINSTANCE module, int id)
{
    for (const registered_t& entry : templates)
        if (entry.module == module && entry.layout.id == id)
            return &entry.layout;
    return nullptr;
}

}  // namespace

const std::vector<dialog_window_t*>& dialog_running() { return running; }

ENGINE_API BOOL dlg_register_templates(HINSTANCE module, const dlg_template_t* list, int count)
{
    if (!list || count <= 0)
        return FALSE;
    for (int i = 0; i < count; ++i) {
        std::erase_if(templates,
                      [&](const registered_t& e) { return e.module == module && e.layout.id == list[i].id; });
        templates.push_back({module, list[i]});
    }
    return TRUE;
}

ENGINE_API INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR template_name, HWND, DLGPROC procedure, LPARAM param)
{
    const int id = static_cast<int>(reinterpret_cast<uintptr_t>(template_name));
    const dlg_template_t* layout = find_template(module, id);
    if (!layout || !procedure) {
        error("DialogBoxParamA: no dialog template %d", id);
        return -1;
    }
    dialog_window_t dialog;
    dialog.template_id = id;
    dialog.caption = layout->caption ? layout->caption : "";
    dialog.cx = layout->cx;
    dialog.cy = layout->cy;
    dialog.procedure = procedure;
    for (int i = 0; i < layout->item_count; ++i) {
        const dlg_item_t& item = layout->items[i];
        auto control = std::make_unique<dialog_control_t>();
        control->dialog = &dialog;
        control->kind = item.kind;
        control->id = item.id;
        control->x = item.x;
        control->y = item.y;
        control->cx = item.cx;
        control->cy = item.cy;
        control->style = item.style;
        control->text = item.text ? item.text : "";
        control->enabled = !(item.style & dlg_disabled);
        dialog.controls.push_back(std::move(control));
    }
    running.push_back(&dialog);
    const size_t run = runs.size();
    runs.push_back({id, dialog.caption, static_cast<int>(running.size()) - 1, 0});
    procedure(&dialog, WM_INITDIALOG, 0, param);
    move_focus(dialog, 1);
    if (!dialog.ended && !users.empty()) {
        const std::function<void(HWND)> act = std::move(users.front());
        users.pop_front();
        act(&dialog);
    }
    run_loop(dialog);
    running.pop_back();
    runs[run].result = dialog.result;
    return dialog.result;
}

ENGINE_API BOOL EndDialog(HWND window, INT_PTR result)
{
    dialog_window_t* dialog = dialog_of(window);
    if (!dialog)
        return FALSE;
    dialog->ended = true;
    dialog->result = result;
    return TRUE;
}

ENGINE_API HWND GetDesktopWindow() { return &desktop; }

ENGINE_API HWND GetDlgItem(HWND dialog, int id) { return item_of(dialog, id); }

ENGINE_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    dialog_control_t* control = control_of(window);
    if (!control)
        return 0;
    auto& rows = control->rows;
    const int count = static_cast<int>(rows.size());
    const int row = static_cast<int>(static_cast<intptr_t>(wparam));
    switch (message) {
    case WM_SETTEXT:
        control->text = lparam ? reinterpret_cast<const char*>(lparam) : "";
        return TRUE;
    case BM_GETCHECK:
        return control->checked ? 1 : 0;
    case BM_SETCHECK:
        control->checked = wparam != 0;
        return 0;
    case CB_ADDSTRING:
    case LB_ADDSTRING:
        rows.emplace_back(lparam ? reinterpret_cast<const char*>(lparam) : "", 0);
        return count;
    case CB_GETCOUNT:
    case LB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
    case LB_GETCURSEL:
        return control->selected < 0 ? CB_ERR : control->selected;
    case CB_RESETCONTENT:
    case LB_RESETCONTENT:
        rows.clear();
        control->selected = -1;
        return 0;
    case CB_SETCURSEL:
    case LB_SETCURSEL:
        control->selected = row >= 0 && row < count ? row : -1;
        return row >= 0 && row < count ? row : CB_ERR;
    case CB_GETITEMDATA:
    case LB_GETITEMDATA:
        return row >= 0 && row < count ? rows[static_cast<size_t>(row)].second : CB_ERR;
    case CB_SETITEMDATA:
    case LB_SETITEMDATA:
        if (row < 0 || row >= count)
            return CB_ERR;
        rows[static_cast<size_t>(row)].second = lparam;
        return TRUE;
    case TBM_GETPOS:
        return control->position;
    case TBM_SETRANGE:
        control->range_min = static_cast<short>(LOWORD(lparam));
        control->range_max = static_cast<short>(HIWORD(lparam));
        control->position = std::clamp(control->position, control->range_min, control->range_max);
        return 0;
    case TBM_SETPOS:
        control->position = std::clamp(static_cast<int>(lparam), control->range_min, control->range_max);
        return 0;
    default:
        return 0;
    }
}

ENGINE_API BOOL EnableWindow(HWND window, BOOL enable)
{
    dialog_control_t* control = control_of(window);
    if (!control)
        return FALSE;
    const BOOL was_disabled = control->enabled ? FALSE : TRUE;
    control->enabled = enable != FALSE;
    return was_disabled;
}

ENGINE_API BOOL ShowWindow(HWND window, int command)
{
    dialog_control_t* control = control_of(window);
    if (!control)
        return FALSE;
    const BOOL was_visible = control->visible ? TRUE : FALSE;
    control->visible = command != SW_HIDE;
    return was_visible;
}

ENGINE_API BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    if (dialog_window_t* dialog = dialog_of(window)) {
        dialog->caption = text ? text : "";
        return TRUE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

ENGINE_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    return SetWindowTextA(GetDlgItem(dialog, id), text);
}

ENGINE_API BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed)
{
    const std::string text = is_signed ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    return SetDlgItemTextA(dialog, id, text.c_str());
}

ENGINE_API UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL is_signed)
{
    if (translated)
        *translated = FALSE;
    const dialog_control_t* control = item_of(dialog, id);
    if (!control)
        return 0;
    // Blanks around the number are allowed, anything else in the text is not.
    const char* text = control->text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    while (end && *end == ' ')
        ++end;
    if (end == text || !end || *end || errno || (is_signed && (value < INT32_MIN || value > INT32_MAX)) ||
        (!is_signed && (value < 0 || value > UINT32_MAX)))
        return 0;
    if (translated)
        *translated = TRUE;
    return static_cast<UINT>(value);
}

ENGINE_API UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size)
{
    const dialog_control_t* control = item_of(dialog, id);
    if (!text || size <= 0)
        return 0;
    const size_t length = control ? std::min(control->text.size(), static_cast<size_t>(size - 1)) : 0;
    if (length)
        std::memcpy(text, control->text.data(), length);
    text[length] = '\0';
    return static_cast<UINT>(length);
}

ENGINE_API HWND SetActiveWindow(HWND window)
{
    const HWND previous = active;
    if (dialog_of(window))
        active = window;
    return previous;
}

ENGINE_API HWND SetFocus(HWND window)
{
    dialog_window_t* dialog = dialog_of(window);
    if (dialog && dialog->focus < 0)
        move_focus(*dialog, 1);
    return window;
}

const std::vector<win32_dialog_t>& win32_dialogs() { return runs; }
void win32_queue_dialog_user(std::function<void(HWND)> act) { users.push_back(std::move(act)); }

bool win32_dialog_control(HWND dialog, int id, win32_control_t& out)
{
    const dialog_control_t* control = item_of(dialog, id);
    if (!control)
        return false;
    out = {control->kind, control->text,     control->enabled,   control->visible,   control->checked,
           control->rows, control->selected, control->range_min, control->range_max, control->position};
    return true;
}

bool win32_dialog_type(HWND dialog, int id, const std::string& text) { return type_text(item_of(dialog, id), text); }
bool win32_dialog_pick(HWND dialog, int id, int row) { return pick_row(item_of(dialog, id), row); }
bool win32_dialog_press(HWND dialog, int id) { return press_button(item_of(dialog, id)); }
bool win32_dialog_scroll(HWND dialog, int id, WORD code) { return scroll(item_of(dialog, id), code); }
HWND win32_active_window() { return active; }
std::vector<HWND> win32_running_dialogs() { return {running.begin(), running.end()}; }

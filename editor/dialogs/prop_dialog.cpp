#include "editor/dialogs/prop_dialog.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/engine_api.h"
#include "editor/dialogs/dialog_templates.h"

namespace {

// The dialog running at nesting level 0 and at level 1.
prop_dialog_t* running_dialogs[2] = {};

INT_PTR procedure_level0(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return prop_dialog_t::procedure(0, window, message, wparam, lparam);
}

INT_PTR procedure_level1(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return prop_dialog_t::procedure(1, window, message, wparam, lparam);
}

// Length of the texts the dialogs read back.
constexpr int text_buffer = 128;

}  // namespace

prop_dialog_t* prop_dialog_running(const int level)
{
    return level == 0 || level == 1 ? running_dialogs[level] : nullptr;
}

int prop_dialog_t::run_modal()
{
    // Only an edge dialog opens another (its signs or stamps): a third level would take the second's
    // slot, and its messages would go nowhere once the third closed.
    if (running_dialogs[1]) {
        api::error("<prop_dialog> dialog %d cannot open inside the nested dialog %d", template_id(),
                   running_dialogs[1]->template_id());
        return -1;
    }
    level_ = running_dialogs[0] ? 1 : 0;
    running_dialogs[level_] = this;
    const HINSTANCE module = GetModuleHandleA("game");
    register_dialog_templates(module);
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(template_id()), GetDesktopWindow(),
                                           level_ == 0 ? procedure_level0 : procedure_level1, 0);
    running_dialogs[level_] = nullptr;
    if (level_ == 1 && running_dialogs[0]) {
        SetActiveWindow(running_dialogs[0]->window_);
        SetFocus(running_dialogs[0]->window_);
    }
    return static_cast<int>(result);
}

INT_PTR prop_dialog_t::procedure(const int level, HWND window, const UINT message, const WPARAM wparam,
                                 const LPARAM lparam)
{
    prop_dialog_t* dialog = prop_dialog_running(level);
    if (!dialog)
        return 0;
    switch (message) {
    case WM_INITDIALOG:
        dialog->window_ = window;
        dialog->on_init();
        return 1;
    case WM_COMMAND: {
        const uint32_t id = LOWORD(wparam);
        const WORD code = HIWORD(wparam);
        if (code == CBN_SELCHANGE)
            dialog->on_select_change(id);
        else if (code == CBN_SELENDOK)
            dialog->on_select_end(id);
        else if (code == EN_CHANGE)
            dialog->on_edit_change(id);
        if (id == prop_id_ok || id == prop_id_use_as_defaults) {
            dialog->window_ = window;
            if (dialog->on_apply())
                EndDialog(window, id == prop_id_ok ? prop_dialog_ok : prop_dialog_use_as_defaults);
        } else if (id == prop_id_cancel) {
            EndDialog(window, prop_dialog_cancel);
        } else if (id >= prop_id_first_edit_button && id <= prop_id_last_edit_button) {
            dialog->on_edit_button(id);
        } else if (id >= prop_id_first_option && id <= prop_id_last_option) {
            dialog->on_option(id);
        } else if (id >= prop_id_first_check && id <= prop_id_last_check) {
            dialog->on_check(id);
        }
        return 0;
    }
    case WM_HSCROLL:
        dialog->on_hscroll(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return 0;
    case WM_VSCROLL:
        dialog->on_vscroll(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return 0;
    default:
        return 0;
    }
}

bool prop_dialog_t::enable_item(const int id, const bool on)
{
    HWND control = GetDlgItem(window_, id);
    if (!control)
        return false;
    EnableWindow(control, on ? TRUE : FALSE);
    return true;
}

void prop_dialog_t::show_item(const int id, const bool on)
{
    if (HWND control = GetDlgItem(window_, id))
        ShowWindow(control, on ? SW_SHOWNORMAL : SW_HIDE);
}

void prop_dialog_t::set_item_text(const int id, const char* text) { SetDlgItemTextA(window_, id, text); }

void prop_dialog_t::set_item_int(const int id, const int32_t value)
{
    SetDlgItemInt(window_, id, static_cast<UINT>(value), TRUE);
}

void prop_dialog_t::set_item_float(const int id, const float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    set_item_text(id, text);
}

void prop_dialog_t::combo_reset(const int id) { SendMessageA(GetDlgItem(window_, id), CB_RESETCONTENT, 0, 0); }
void prop_dialog_t::list_reset(const int id) { SendMessageA(GetDlgItem(window_, id), LB_RESETCONTENT, 0, 0); }

void prop_dialog_t::combo_add(const int id, const char* text, const int32_t data)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT row = SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(control, CB_SETITEMDATA, static_cast<WPARAM>(row), data);
}

void prop_dialog_t::list_add(const int id, const char* text, const int32_t data)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT row = SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(control, LB_SETITEMDATA, static_cast<WPARAM>(row), data);
}

void prop_dialog_t::combo_fill(const int id, const std::vector<std::string>& names, const int32_t first_data)
{
    for (size_t i = 0; i < names.size(); ++i)
        combo_add(id, names[i].c_str(), static_cast<int32_t>(i) + first_data);
}

int32_t prop_dialog_t::combo_get_selected(const int id, int32_t& out)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT row = SendMessageA(control, CB_GETCURSEL, 0, 0);
    if (!control || row == CB_ERR)
        return -1;
    out = static_cast<int32_t>(SendMessageA(control, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    return out;
}

int32_t prop_dialog_t::list_get_selected(const int id, int32_t& out)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT row = SendMessageA(control, LB_GETCURSEL, 0, 0);
    if (!control || row == LB_ERR)
        return -1;
    out = static_cast<int32_t>(SendMessageA(control, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    return out;
}

bool prop_dialog_t::combo_select_by_data(const int id, const int32_t data)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        if (SendMessageA(control, CB_GETITEMDATA, static_cast<WPARAM>(row), 0) == data) {
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
            return true;
        }
    return false;
}

void prop_dialog_t::combo_select_none(const int id)
{
    SendMessageA(GetDlgItem(window_, id), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

bool prop_dialog_t::list_select_by_data(const int id, const int32_t data)
{
    HWND control = GetDlgItem(window_, id);
    const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row)
        if (SendMessageA(control, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) == data) {
            SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            return true;
        }
    return false;
}

void prop_dialog_t::set_check(const int id, const bool on)
{
    SendMessageA(GetDlgItem(window_, id), BM_SETCHECK, on ? 1 : 0, 0);
}

bool prop_dialog_t::get_check(const int id) { return SendMessageA(GetDlgItem(window_, id), BM_GETCHECK, 0, 0) == 1; }

void prop_dialog_t::trackbar_set_range(const int id, const int min, const int max)
{
    SendMessageA(GetDlgItem(window_, id), TBM_SETRANGE, TRUE,
                 static_cast<LPARAM>(MAKEWPARAM(static_cast<WORD>(min), static_cast<WORD>(max))));
}

void prop_dialog_t::trackbar_set_pos(const int id, const int pos)
{
    SendMessageA(GetDlgItem(window_, id), TBM_SETPOS, TRUE, pos);
}

int prop_dialog_t::trackbar_get_pos(HWND control) { return static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0)); }

void prop_dialog_t::message_box(const char* caption, const char* text)
{
    MessageBoxA(window_, text, caption, MB_OK | MB_ICONINFORMATION);
}

bool prop_dialog_t::read_int(const int id, const char* field, const int32_t old, const int32_t min, int32_t& out,
                             const int32_t max)
{
    BOOL translated = FALSE;
    const int32_t value = static_cast<int32_t>(GetDlgItemInt(window_, id, &translated, TRUE));
    if (translated && value >= min && value <= max) {
        out = value;
        return true;
    }
    char typed[text_buffer];
    GetDlgItemTextA(window_, id, typed, sizeof typed);
    char text[text_buffer * 2];
    if (translated && max == INT32_MAX)
        std::snprintf(text, sizeof text, "%s must be %d or more, not %d; it stays %d.", field, min, value, old);
    else if (translated)
        std::snprintf(text, sizeof text, "%s must be %d to %d, not %d; it stays %d.", field, min, max, value, old);
    else
        std::snprintf(text, sizeof text, "%s must be a whole number, not \"%s\"; it stays %d.", field, typed, old);
    message_box("Invalid value", text);
    set_item_int(id, old);
    return false;
}

bool prop_dialog_t::read_float(const int id, const char* field, const float old, float& out)
{
    char typed[text_buffer];
    GetDlgItemTextA(window_, id, typed, sizeof typed);
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(typed, &end);
    while (end && *end == ' ')
        ++end;
    if (end != typed && end && !*end && errno == 0 && std::isfinite(value)) {
        out = value;
        return true;
    }
    char text[text_buffer * 2];
    std::snprintf(text, sizeof text, "%s must be a number, not \"%s\"; it stays %g.", field, typed,
                  static_cast<double>(old));
    message_box("Invalid value", text);
    set_item_float(id, old);
    return false;
}

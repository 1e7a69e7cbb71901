#pragma once
#include <cstdint>

#include "engine/win32.h"

// Modal dialog boxes built from a program's own dialog templates. Headless, a dialog is a window of
// controls that the user drives from the queued input: Tab and Shift+Tab move the focus, typed keys
// edit the focused edit control, Up and Down pick another row of a drop-down or list, Left and Right
// (Page Up and Page Down) move a trackbar, Space presses the focused button, Enter presses the focused
// push button or else OK (id 1), Esc sends Cancel (id 2); a press of the main pointer button focuses
// and presses the control under the pointer. When the input runs out the dialog is sent Cancel. A
// screenshot taken while a dialog runs shows the open dialogs over the frame.

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

#define LOWORD(value) (static_cast<WORD>(static_cast<uintptr_t>(value) & 0xFFFF))
#define HIWORD(value) (static_cast<WORD>((static_cast<uintptr_t>(value) >> 16) & 0xFFFF))
#define MAKEWPARAM(low, high)                                                                                          \
    (static_cast<WPARAM>((static_cast<uintptr_t>(low) & 0xFFFF) | ((static_cast<uintptr_t>(high) & 0xFFFF) << 16)))

// Messages a dialog procedure receives.
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
// Notifications in the high word of WM_COMMAND's wparam.
constexpr WORD BN_CLICKED = 0;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD EN_CHANGE = 0x0300;
// Trackbar request codes in the low word of WM_HSCROLL's wparam.
constexpr WORD TB_LINEUP = 0;
constexpr WORD TB_LINEDOWN = 1;
constexpr WORD TB_PAGEUP = 2;
constexpr WORD TB_PAGEDOWN = 3;
constexpr WORD TB_THUMBPOSITION = 4;
constexpr WORD TB_THUMBTRACK = 5;
constexpr WORD TB_TOP = 6;
constexpr WORD TB_BOTTOM = 7;

// Messages sent to controls.
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT TBM_GETPOS = 0x0400;
constexpr UINT TBM_SETPOS = 0x0405;
constexpr UINT TBM_SETRANGE = 0x0406;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT LB_ERR = -1;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;

// The kinds of control a template lays out (the window classes and button styles they stand for).
enum dlg_control_kind_t : uint8_t {
    dlg_static,    // "STATIC" text
    dlg_group,     // group box
    dlg_push,      // push button
    dlg_check,     // auto check box
    dlg_radio,     // auto radio button; a radio with dlg_group_start begins a group of them
    dlg_edit,      // "EDIT"
    dlg_combo,     // drop-down list "COMBOBOX"
    dlg_list,      // "LISTBOX"
    dlg_trackbar,  // "msctls_trackbar32"
};
// Style bits of a template control.
constexpr uint32_t dlg_group_start = 1;  // first radio of a group
constexpr uint32_t dlg_read_only = 2;    // an edit the user cannot type into
constexpr uint32_t dlg_disabled = 4;     // starts disabled

// One control of a dialog template (the stand-in's own form of a dialog resource), in dialog units (x right, y down
// from the dialog's top left).
struct dlg_item_t {
    dlg_control_kind_t kind;
    WORD id;  // 0xFFFF for a static the program never addresses
    short x, y, cx, cy;
    LPCSTR text;
    uint32_t style;
};
// A dialog template: its resource id, caption, size in dialog units and controls.
struct dlg_template_t {
    WORD id;
    LPCSTR caption;
    short cx, cy;
    const dlg_item_t* items;
    int item_count;
};

// Makes `count` templates the dialog resources of `module` (the handle of GetModuleHandleA, null for
// the program); a template of an id already registered for that module replaces it. FALSE when
// `templates` is null or `count` is not positive.
ENGINE_API BOOL dlg_register_templates(HINSTANCE module, const dlg_template_t* templates, int count);

// Runs the dialog of template `id` of `module` modally: sends WM_INITDIALOG with `param`, then feeds it
// the user's input until the procedure calls EndDialog; answers EndDialog's result, -1 when the
// template is unknown or the procedure is null.
ENGINE_API INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR template_name, HWND owner, DLGPROC procedure, LPARAM param);
ENGINE_API BOOL EndDialog(HWND dialog, INT_PTR result);
ENGINE_API HWND GetDesktopWindow();
// The control `id` of a running dialog, null when it has none.
ENGINE_API HWND GetDlgItem(HWND dialog, int id);
ENGINE_API LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
ENGINE_API BOOL EnableWindow(HWND window, BOOL enable);
ENGINE_API BOOL ShowWindow(HWND window, int command);
ENGINE_API BOOL SetWindowTextA(HWND window, LPCSTR text);
ENGINE_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
ENGINE_API BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed);
// The control's text as a whole number; *translated (when not null) says whether it was one.
ENGINE_API UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL is_signed);
ENGINE_API UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size);
ENGINE_API HWND SetActiveWindow(HWND window);
ENGINE_API HWND SetFocus(HWND window);

#pragma once
#include "engine/api.h"

// The few Windows calls the module makes, answered on Linux.
using HMODULE = void*;
using FARPROC = void*;
using HWND = void*;
using BOOL = int;

// Folder id of the user's documents ("personal") folder for SHGetSpecialFolderPathA; the flag asks
// for the folder to be created.
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
// Size of the path buffer SHGetSpecialFolderPathA writes.
constexpr int MAX_PATH = 260;

// Looks a function up by name in a loaded library (dlsym); null when the library does not export it.
ENGINE_API FARPROC GetProcAddress(HMODULE module, const char* name);

// Windows types the module's calls use.
using UINT = unsigned int;
using SIZE_T = unsigned long;
using HANDLE = void*;
using HGLOBAL = void*;
using HINSTANCE = void*;
using HCURSOR = void*;
using LPCSTR = const char*;
using LPVOID = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
// Clipboard format of plain text, and the GlobalAlloc flag the clipboard wants.
constexpr UINT CF_TEXT = 1;
constexpr UINT GMEM_MOVEABLE = 0x0002;
// Message box styles the module passes, and the answers.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONWARNING = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// Show command "maximised" of ShellExecuteA.
constexpr int SW_SHOWMAXIMIZED = 3;
// Resource names of the standard cursors.
#define MAKEINTRESOURCEA(id) (reinterpret_cast<LPCSTR>(static_cast<unsigned long>(id)))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// The clipboard, kept in the process: one text at a time, with global memory blocks as on Windows.
ENGINE_API BOOL OpenClipboard(HWND owner);
ENGINE_API BOOL EmptyClipboard();
ENGINE_API BOOL CloseClipboard();
ENGINE_API HANDLE SetClipboardData(UINT format, HANDLE memory);
ENGINE_API HANDLE GetClipboardData(UINT format);
ENGINE_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
ENGINE_API LPVOID GlobalLock(HGLOBAL memory);
ENGINE_API BOOL GlobalUnlock(HGLOBAL memory);
ENGINE_API HGLOBAL GlobalFree(HGLOBAL memory);

// Opens a document or page; the headless stand-in records the call and answers success (a value above 32).
ENGINE_API HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
// Shows a message box; the headless stand-in records it and answers the queued answer (IDOK by default).
ENGINE_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The system cursor: cursors by resource name, the current cursor and the display count (shown at 0 and
// above; starts at 0).
ENGINE_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
ENGINE_API HCURSOR SetCursor(HCURSOR cursor);
ENGINE_API int ShowCursor(BOOL show);

// The handle of an already loaded library by its name ("game" or "game.dll" is libgame.so); the
// running program for null. Null when no such library is loaded. Takes no reference.
ENGINE_API HMODULE GetModuleHandleA(const char* name);

// Writes the path of a special folder into `path` (MAX_PATH bytes). Only the documents folder is
// known: $XDG_DOCUMENTS_DIR when set, else ~/Documents. With `create` (or CSIDL_FLAG_CREATE) a missing
// folder is made. False with a message when the folder is unknown, missing, or its path does not fit.
ENGINE_API BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int folder, BOOL create);

// The common file dialogs. The structure keeps the Windows members the module fills (76 bytes on
// 32-bit Windows); the filter is pairs of NUL-ended texts ending with an empty one.
using DWORD = unsigned int;
using WORD = unsigned short;
using LPSTR = char*;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
struct OPENFILENAMEA {
    DWORD lStructSize = 0;
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    LPCSTR lpstrFilter = nullptr;
    LPSTR lpstrCustomFilter = nullptr;
    DWORD nMaxCustFilter = 0;
    DWORD nFilterIndex = 0;
    LPSTR lpstrFile = nullptr;  // in: the initial name; out: the chosen file's path
    DWORD nMaxFile = 0;
    LPSTR lpstrFileTitle = nullptr;  // out: the chosen file's name without its folder
    DWORD nMaxFileTitle = 0;
    LPCSTR lpstrInitialDir = nullptr;
    LPCSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
    WORD nFileOffset = 0;
    WORD nFileExtension = 0;
    LPCSTR lpstrDefExt = nullptr;  // added to a name typed without an extension
    void* lCustData = nullptr;
    void* lpfnHook = nullptr;
    LPCSTR lpTemplateName = nullptr;
};
// The open and save dialogs, modal. Headless, the user types the file name on the keyboard: the
// dialog takes the queued input (scripted keys) until Enter accepts a typed name or Esc cancels; when
// the input runs out first it is cancelled. A test may queue answers instead (win32_record.h). TRUE
// with the chosen name in lpstrFile (the initial folder and the name) and lpstrFileTitle (the name);
// FALSE on cancel or when a buffer is too small for the name.
ENGINE_API BOOL GetOpenFileNameA(OPENFILENAMEA* dialog);
ENGINE_API BOOL GetSaveFileNameA(OPENFILENAMEA* dialog);

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

// The handle of an already loaded library by its name ("game" or "game.dll" is libgame.so); the
// running program for null. Null when no such library is loaded. Takes no reference.
ENGINE_API HMODULE GetModuleHandleA(const char* name);

// Writes the path of a special folder into `path` (MAX_PATH bytes). Only the documents folder is
// known: $XDG_DOCUMENTS_DIR when set, else ~/Documents. With `create` (or CSIDL_FLAG_CREATE) a missing
// folder is made. False with a message when the folder is unknown, missing, or its path does not fit.
ENGINE_API BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int folder, BOOL create);

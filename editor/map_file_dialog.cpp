#include "editor/map_file_dialog.h"

#include <cstring>

#include "engine/path.h"
#include "engine/text.h"
#include "engine/vfs.h"
#include "engine/win32.h"
#include "common/engine_api.h"

namespace {

// Characters of the dialog's file and file-title buffers.
constexpr size_t dialog_buffer = 256;

}  // namespace

bool map_file_dialog(char* out_name, const size_t out_size, const bool open, const bool prefab)
{
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    while (ShowCursor(TRUE) < 0) {
    }
    const char* const folder = prefab ? "/prefabs/" : "/maps/";
    bool chosen = false;
    const int handle = api::vfs_open(folder, 0, 0x1B6);
    if (handle >= 0) {
        char initial[dialog_buffer];
        const char* const device = api::vfs_get_device_name(handle);
        v_snprintf0(initial, sizeof initial, "%s%s", device ? device : "", folder);
        api::vfs_close(handle);
        v_unix2dos_path(initial);
        char file[dialog_buffer] = "";
        char title[dialog_buffer] = "";
        OPENFILENAMEA dialog{};
        dialog.lStructSize = 76;
        dialog.lpstrFilter = "Map Binary Data Files (*.mbd)\0*.mbd\0All Files (*.*)\0*.*\0";
        dialog.lpstrFile = file;
        dialog.nMaxFile = dialog_buffer;
        dialog.lpstrFileTitle = title;
        dialog.nMaxFileTitle = dialog_buffer;
        dialog.lpstrInitialDir = initial;
        dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        dialog.lpstrDefExt = "mbd";
        chosen = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
        if (chosen && out_size >= 2)
            v_strncpy(out_name, title, out_size - 2);
        else
            chosen = false;
    }
    ShowCursor(FALSE);
    return chosen;
}

#pragma once
#include <cstddef>

// Lets the user pick a map (or, with `prefab`, a prefab) file in the system's file dialog: the open
// dialog with `open`, else the save dialog. True with the chosen file's name, without its folder, in
// `out_name` (at most `out_size` - 2 characters); false when cancelled or when the folder cannot be
// opened.
bool map_file_dialog(char* out_name, size_t out_size, bool open, bool prefab);

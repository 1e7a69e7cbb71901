#pragma once
#include <cstddef>

#include "engine/api.h"

// Path helpers the module binds by name. Both '/' and '\\' separate folders.

// Splits `path` into its folder (with the trailing separator, "" when none), its file name without the
// extension, and its extension (without the dot, "" when none). The extension begins after the last
// '.' of the file name unless that dot is the name's first character (".cfg" is a name). Each output
// may be null (not wanted) and gets at most its size including the NUL. When a wanted part does not
// fit, every wanted output is set to "" and the call reports the path and returns false.
ENGINE_API bool v_fnsplit(const char* path, char* dir, size_t dir_size, char* name, size_t name_size, char* ext,
                          size_t ext_size);

// Turns every '\\' of `path` into '/' in place; returns `path` (null stays null).
ENGINE_API char* v_dos2unix_path(char* path);

// Turns every '/' of `path` into '\\' in place; returns `path` (null stays null).
ENGINE_API char* v_unix2dos_path(char* path);

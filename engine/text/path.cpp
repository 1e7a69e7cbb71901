#include "engine/path.h"

#include <cstring>

#include "engine/log.h"

namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

// Copies `length` bytes and a NUL when they fit in `size`; a null output is not wanted and always fits.
bool put_part(char* out, size_t size, const char* part, size_t length)
{
    if (!out)
        return true;
    if (length >= size)
        return false;
    memcpy(out, part, length);
    out[length] = '\0';
    return true;
}

void clear_part(char* out, size_t size)
{
    if (out && size)
        out[0] = '\0';
}

}  // namespace

ENGINE_API bool v_fnsplit(const char* path, char* dir, size_t dir_size, char* name, size_t name_size, char* ext,
                          size_t ext_size)
{
    if (!path)
        path = "";
    const size_t length = strlen(path);
    size_t name_start = length;
    while (name_start > 0 && !is_separator(path[name_start - 1]))
        --name_start;
    size_t dot = length;
    for (size_t i = length; i > name_start + 1; --i) {
        if (path[i - 1] == '.') {
            dot = i - 1;
            break;
        }
    }
    const size_t ext_start = dot < length ? dot + 1 : length;
    const bool fits = put_part(dir, dir_size, path, name_start) &&
                      put_part(name, name_size, path + name_start, dot - name_start) &&
                      put_part(ext, ext_size, path + ext_start, length - ext_start);
    if (!fits) {
        clear_part(dir, dir_size);
        clear_part(name, name_size);
        clear_part(ext, ext_size);
        warning("v_fnsplit: a part of '%s' does not fit its buffer", path);
    }
    return fits;
}

ENGINE_API char* v_dos2unix_path(char* path)
{
    for (char* p = path; p && *p; ++p) {
        if (*p == '\\')
            *p = '/';
    }
    return path;
}

ENGINE_API char* v_unix2dos_path(char* path)
{
    for (char* p = path; p && *p; ++p) {
        if (*p == '/')
            *p = '\\';
    }
    return path;
}

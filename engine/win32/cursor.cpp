#include <map>
#include <string>

#include "engine/reset.h"
#include "engine/win32_record.h"

namespace {

// A loaded cursor: its resource id or name.
struct cursor_t {
    unsigned long id;
    std::string name;
};

std::map<std::string, cursor_t> cursors;  // by name ("#<id>" for resource ids)
HCURSOR current = nullptr;
int display_count = 0;

void cursor_reset()
{
    cursors.clear();
    current = nullptr;
    display_count = 0;
}

engine_reset_registrar_t cursor_reset_registrar(reset_order_devices + 32, cursor_reset);

// Resource names below 0x10000 are numeric ids, as MAKEINTRESOURCE makes them.
bool is_resource_id(LPCSTR name) { return reinterpret_cast<unsigned long>(name) < 0x10000ul; }

}  // namespace

ENGINE_API HCURSOR LoadCursorA(HINSTANCE, LPCSTR name)
{
    if (!name)
        return nullptr;
    const unsigned long id = is_resource_id(name) ? reinterpret_cast<unsigned long>(name) : 0;
    // Appended, not "#" + std::to_string(id): g++ 12 at -O2 warns falsely (-Wrestrict) on the latter.
    std::string key = id ? std::string("#") : std::string(name);
    if (id)
        key += std::to_string(id);
    cursor_t& cursor = cursors.try_emplace(key, cursor_t{id, key}).first->second;
    return &cursor;
}

ENGINE_API HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = current;
    current = cursor;
    return previous;
}

ENGINE_API int ShowCursor(BOOL show)
{
    display_count += show ? 1 : -1;
    return display_count;
}

HCURSOR win32_current_cursor() { return current; }
int win32_cursor_display_count() { return display_count; }

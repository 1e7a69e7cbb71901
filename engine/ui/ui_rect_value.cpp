#include "ui_rect_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/pml.h"
#include "engine/ui_view.h"

namespace {

// Reads exactly four finite numbers; false otherwise.
bool read_rect(const char* text, pml_rect_t& out)
{
    if (!text)
        return false;
    float values[4];
    const char* position = text;
    for (float& value : values) {
        char* end = nullptr;
        value = strtof(position, &end);
        if (end == position || !std::isfinite(value))
            return false;
        position = end;
    }
    while (*position == ' ' || *position == '\t')
        ++position;
    if (*position != '\0')
        return false;
    out = pml_rect_t{values[0], values[1], values[2], values[3]};
    return true;
}

pml_rect_t& rect_of(entity_t* object, const evalue_def_t* def) { return *static_cast<pml_rect_t*>(def->member(object)); }

bool rect_index_unsupported(entity_t*, const evalue_def_t*, int) { return false; }

bool rect_differs(const entity_t* object, const evalue_def_t* def)
{
    const pml_rect_t& rect = rect_of(const_cast<entity_t*>(object), def);
    return rect.left != 0.0f || rect.right != 0.0f || rect.top != 0.0f || rect.bottom != 0.0f;
}

bool rect_constr(entity_t* object, const evalue_def_t* def)
{
    rect_of(object, def) = pml_rect_t{};
    return true;
}

bool rect_destr(entity_t*, const evalue_def_t*) { return true; }

bool rect_copy(entity_t* target, const entity_t* source, const evalue_def_t* def)
{
    rect_of(target, def) = rect_of(const_cast<entity_t*>(source), def);
    if (def->status)
        *def->status(target) |= evalue_changed;
    return true;
}

}  // namespace

bool ui_rect_get(const entity_t* object, const evalue_def_t* def, int index, char* out, size_t size)
{
    if (!object || !def || index != 0 || !out)
        return false;
    const pml_rect_t& rect = rect_of(const_cast<entity_t*>(object), def);
    const int written = snprintf(out, size, "%.9g %.9g %.9g %.9g", static_cast<double>(rect.left),
                                 static_cast<double>(rect.right), static_cast<double>(rect.top),
                                 static_cast<double>(rect.bottom));
    return written >= 0 && static_cast<size_t>(written) < size;
}

bool ui_rect_set(entity_t* object, const evalue_def_t* def, int index, const char* text)
{
    pml_rect_t rect;
    if (!object || !def || index != 0 || !read_rect(text, rect))
        return false;
    rect_of(object, def) = rect;
    if (def->status)
        *def->status(object) |= evalue_changed;
    return true;
}

evalue_def_t ui_rect_member(const char* name, evalue_member_fn member, evalue_status_fn status,
                            const evalue_def_t* next)
{
    return evalue_def_t{name,        ui_evalue_rect, 0,           sizeof(pml_rect_t), false,
                        member,      status,         nullptr,     nullptr,            nullptr,
                        next,        ui_rect_get,    ui_rect_set, rect_index_unsupported,
                        rect_index_unsupported,      rect_index_unsupported,          rect_differs,
                        rect_constr, rect_destr,     rect_copy};
}

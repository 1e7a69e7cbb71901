// Shaders as a kind of the resource cache: `mm_precache("/shaders/ui/white.shd")` answers an item whose
// object is the renderer's record of that shader (`gfx_shader_t`), so views that keep a shader by
// cache handle hand the record itself to the renderer and read its texture size from it. The renderer
// reads the shader file itself (see gfx_shader_precache); this file also holds that file's reader.
#include "engine/shader_resource.h"

#include <cstring>
#include <strings.h>

#include "../cache/cache_internal.h"
#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/scanner.h"

namespace {

// Kind number of shaders for the purge calls.
constexpr int32_t shader_kind_number = 2;
// Largest texture side a shader file may name.
constexpr int64_t max_texture_side = 65536;

// The renderer keeps its records until the engine resets: the item only points at one.
void* shader_load(c_item_t* item)
{
    const gfx_shader_t* const shader = gfx_shader_precache(item->name.c_str());
    if (!shader)
        return nullptr;
    item->object = const_cast<gfx_shader_t*>(shader);
    ci_finish_load(item);
    return item->object;
}

// The record stays the renderer's; the item forgets it and finds it again on its next load.
void shader_free(c_item_t* item) { item->object = nullptr; }

resource_ops_t shader_ops = {shader_load, nullptr, shader_free, nullptr,           nullptr,
                             nullptr,     nullptr, -1,          shader_kind_number};

// Claims names ending in ".shd" (any case).
c_item_t* shader_match(c_item_t*, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 4 || strcasecmp(name + length - 4, ".shd") != 0)
        return nullptr;
    c_item_t* const item = mm_sys_get_new_item();
    if (item)
        item->ops = &shader_ops;
    return item;
}

const bool shader_kind_registered = [] {
    cache_register_builtin_loader(shader_match);
    return true;
}();

}  // namespace

bool shader_resource_parse(std::string_view text, const std::string& source, shader_resource_t& out)
{
    // At most one "texture WIDTH HEIGHT" line; nothing else.
    out = shader_resource_t{};
    scanner_t scanner(text, source);
    token_t token;
    while (scanner.next(token)) {
        if (token.kind != token_kind_t::word || token.text != "texture") {
            scanner.fail(token.line, "unknown shader key \"%s\"", token.text.c_str());
            return false;
        }
        if (out.has_texture) {
            scanner.fail(token.line, "texture given twice");
            return false;
        }
        int64_t width = 0, height = 0;
        if (!scanner.read_whole(width, "the texture width", 1, max_texture_side) ||
            !scanner.read_whole(height, "the texture height", 1, max_texture_side))
            return false;
        out.width = static_cast<int32_t>(width);
        out.height = static_cast<int32_t>(height);
        out.has_texture = true;
    }
    // The scanner reported its own fault.
    return !scanner.failed();
}

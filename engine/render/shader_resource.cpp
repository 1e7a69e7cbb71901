// Shader files as a kind of the resource cache: the item's object is the shader's texture record.
#include "engine/shader_resource.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <strings.h>

#include "../cache/cache_internal.h"
#include "engine/cache.h"
#include "engine/scanner.h"
#include "engine/vfs.h"

namespace {

// Kind number of shaders for the purge calls.
constexpr int32_t shader_kind_number = 2;
// Largest texture side a shader file may name.
constexpr long max_texture_side = 65536;

// Reads a whole number in 1 .. max_texture_side from the scanner; false (reported) otherwise.
bool read_side(scanner_t& scanner, int32_t& out)
{
    token_t token;
    if (!scanner.next(token) || token.kind != token_kind_t::number) {
        scanner.fail(token.line, "expected a texture size");
        return false;
    }
    char* end = nullptr;
    const long value = strtol(token.text.c_str(), &end, 0);
    if (!end || *end != '\0' || value < 1 || value > max_texture_side) {
        scanner.fail(token.line, "bad texture size \"%s\"", token.text.c_str());
        return false;
    }
    out = static_cast<int32_t>(value);
    return true;
}

void* shader_load(c_item_t* item)
{
    std::string text;
    if (!vfs_read_whole(item->name.c_str(), text))
        return nullptr;
    shader_resource_t parsed;
    if (!shader_resource_parse(text, item->name, parsed))
        return nullptr;
    void* memory = ci_alloc_mem_fix(item, sizeof(shader_resource_t));
    if (!memory)
        return nullptr;
    auto* shader = new (memory) shader_resource_t(parsed);
    ci_finish_load(item);
    return shader;
}

// The record is plain data: the generic free and move serve.
resource_ops_t shader_ops = {shader_load, nullptr, nullptr, citem_gen_mem_move, nullptr, nullptr, nullptr, -1,
                             shader_kind_number};

c_item_t* shader_match(c_item_t*, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 4 || strcasecmp(name + length - 4, ".shd") != 0)
        return nullptr;
    c_item_t* item = mm_sys_get_new_item();
    ci_makeup_ops(&shader_ops);
    item->ops = &shader_ops;
    ci_set_name(item, name);
    return item;
}

struct shader_kind_registration_t {
    shader_kind_registration_t() { cache_register_builtin_loader(shader_match); }
} shader_kind_registration;

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
        if (!read_side(scanner, out.width) || !read_side(scanner, out.height))
            return false;
        out.has_texture = true;
    }
    // The scanner reported its own fault.
    return !scanner.failed();
}

#include "seg_fixture.h"

#include <cstring>

#include "engine/cache.h"

namespace {

void* shader_load(c_item_t* item)
{
    void* const memory = ci_alloc_mem_fix(item, 4);
    if (memory)
        ci_finish_load(item);
    return memory;
}

resource_ops_t shader_ops = {shader_load, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1, 77};

c_item_t* shader_match(c_item_t*, intptr_t, const char* name)
{
    const size_t length = std::strlen(name);
    if (length < 4 || std::strcmp(name + length - 4, ".shd") != 0)
        return nullptr;
    c_item_t* const item = mm_sys_get_new_item();
    item->ops = &shader_ops;
    ci_set_name(item, name);
    return item;
}

}  // namespace

seg_counted_shaders_t::seg_counted_shaders_t()
{
    ci_makeup_ops(&shader_ops);
    handle_ = mm_register_loader(nullptr, shader_match, 0);
}

seg_counted_shaders_t::~seg_counted_shaders_t() { mm_unregister_loader(handle_); }

int32_t seg_counted_shaders_t::refs(const char* path)
{
    c_item_t* const item = mm_map(path);
    if (!item)
        return 0;
    const int32_t held = item->refs - 1;
    ci_dec_refs(item);
    return held;
}

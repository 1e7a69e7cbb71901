#include "behaviour/psb_layer_load.h"

#include <new>
#include <string>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_file_text.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"

psb_layer_t* psb_current_layer = nullptr;

bool psb_layer_read(const char* name)
{
    std::string text;
    if (!psb_read_file_text(name, text)) {
        api::error("cannot find naming file (%s)", name);
        return false;
    }
    return psb_layer_parse_text(text.data(), text.size());
}

void* psb_layer_load(c_item_t* item)
{
    void* const memory = api::ci_alloc_mem_fix(item, sizeof(psb_layer_t));
    if (!memory)
        return nullptr;
    psb_layer_t* const layer = new (memory) psb_layer_t();
    psb_current_layer = layer;
    const bool read = psb_layer_read(api::ci_get_name(item));
    psb_current_layer = nullptr;
    if (!read) {
        layer->~psb_layer_t();
        api::ci_free_mem_unfix(item);
        return nullptr;
    }
    // The use the cache took for the load.
    c_item_release(item);
    return memory;
}

void psb_layer_free(c_item_t* item)
{
    if (item->object)
        static_cast<psb_layer_t*>(item->object)->~psb_layer_t();
    api::citem_gen_mem_free(item);
}

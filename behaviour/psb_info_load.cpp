#include "behaviour/psb_info_load.h"

#include <cstring>

#include "behaviour/psb_compiled.h"
#include "behaviour/psb_info.h"
#include "behaviour/psb_info_compile.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"

void* psb_info_load(c_item_t* item)
{
    const char* const name = api::ci_get_name(item);
    psb_info_t info(name);
    if (!info.read(name))
        return nullptr;
    const std::vector<uint8_t> layout = psb_info_layout(info);
    void* const block = api::ci_alloc_mem_fix(item, layout.size());
    if (!block)
        return nullptr;
    psb_info_compile(info, layout, block);
    // The use the cache took for the load.
    c_item_release(item);
    return block;
}

void psb_info_free(c_item_t* item)
{
    if (item->object) {
        psm_info_t* const model = psb_block_read<psm_info_t*>(item->object, psb_header_model);
        if (model)
            api::psm_info_release(model);
    }
    api::citem_gen_mem_free(item);
}

void psb_info_move(c_item_t* item, void* new_block)
{
    memcpy(new_block, item->object, item->size);
    item->object = new_block;
}

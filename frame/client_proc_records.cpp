#include <algorithm>
#include <new>

#include "engine/cache.h"
#include "frame/client_proc.h"
#include "common/engine_api.h"

void* client_proc_t::new_record(std::vector<c_item_t*>& list, size_t size, const char* what)
{
    c_item_t* item = api::mm_sys_get_new_anitem();
    void* memory = item ? api::ci_alloc_mem_fix(item, size) : nullptr;
    if (!memory) {
        api::error("[client] failed to allocate %s struct", what);
        if (item) {
            api::ci_dec_refs(item);
            api::mm_release_item(item);
        }
        return nullptr;
    }
    lock();
    list.push_back(item);
    item->flags |= ci_flag_held;
    return memory;
}

bool client_proc_t::remove_record(std::vector<c_item_t*>& list, const void* record)
{
    const auto found = std::find_if(list.begin(), list.end(),
                                    [record](const c_item_t* item) { return record && item->object == record; });
    if (found == list.end()) {
        cl_error("no such record to remove");
        return false;
    }
    c_item_t* const item = *found;
    list.erase(found);
    // An anonymous item is never evicted by the cache: once its last use is back, destroy it.
    item->flags &= static_cast<uint16_t>(~ci_flag_held);
    api::ci_dec_refs(item);
    if (item->refs == 0 && item->locks == 0)
        api::mm_release_item(item);
    unlock();
    return true;
}

r_light_t* client_proc_t::new_light()
{
    void* memory = new_record(lights_, sizeof(r_light_t), "light");
    return memory ? new (memory) r_light_t : nullptr;
}

bool client_proc_t::remove_light(r_light_t* light) { return remove_record(lights_, light); }

fog_record_t* client_proc_t::new_fog()
{
    return static_cast<fog_record_t*>(new_record(fogs_, sizeof(fog_record_t), "fog"));
}

bool client_proc_t::remove_fog(fog_record_t* fog) { return remove_record(fogs_, fog); }

#include "common/decal_store.h"

#include "engine/reset.h"

namespace {

decal_store_t* installed = nullptr;

const engine_reset_registrar_t reset_store(reset_order_processes + 1, [] { installed = nullptr; });

}  // namespace

void decal_params_t::init()
{
    const float reals[] = {0.0f, 1.0f, 1.0f, 1.0f, 1.0f, -1.0f, 180.0f, 0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 11; ++i)
        fields[i].real = reals[i];
    fields[0].integer = 0;
    fields[7].integer = 0;
    fields[9].integer = 0;
    fields[11].integer = 0;
    fields[12].integer = 0;
    fields[13].integer = -1;
    fields[14].integer = 0;
    index_list = nullptr;
}

bool decal_params_t::excludes(uint32_t id) const
{
    const int32_t count = excluded_count();
    for (int32_t i = 0; i < count; ++i)
        if (static_cast<uint32_t>(index_list[i]) == id)
            return true;
    return false;
}

void decal_store_install(decal_store_t* store) { installed = store; }

void client_decal_acquire(int capacity)
{
    if (installed)
        installed->acquire(capacity);
}

c_item_t* client_place_decal(vprocess_t* process, const vec3_t& start, const vec3_t& end, const phys_pair_t& filter,
                             const char* script, const decal_params_t& params, int flags, float size)
{
    return installed ? installed->place(process, start, end, filter, script, params, flags, size) : nullptr;
}

void cache_item_refresh(c_item_t* item)
{
    if (installed && item)
        installed->refresh(item);
}

void client_decal_release()
{
    if (installed)
        installed->release();
}

void client_decal_remove(c_item_t* item, bool from_keys)
{
    if (installed && item)
        installed->remove(item, from_keys);
}

bool client_decal_clear(c_item_t* item) { return installed && item && installed->clear(item); }

bool client_decal_clear_entity(const entity_t* entity)
{
    return installed && entity && installed->clear_entity(entity);
}

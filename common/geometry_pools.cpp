#include "common/geometry_pools.h"

#include "engine/reset.h"
#include "common/engine_api.h"

namespace {

// One pool with the queue record it draws from (the renderer keeps a pointer to the record).
struct geometry_pool_t {
    gfx_pool_t* pool = nullptr;
    uint32_t state[5] = {};
    gfx_pool_queue_t queue = {0, nullptr, 0};
};

geometry_pool_t pools[2];

void create_pool(geometry_pool_t& slot, gfx_sort_t sort)
{
    slot = geometry_pool_t{};
    slot.pool = api::gfx_path_pool_insert(api::gfx_path_get("vert"), sort);
    if (!slot.pool)
        return;
    slot.queue.state = slot.state;
    api::gfx_pool_queue_insert(slot.pool, &slot.queue);
}

// The renderer forgets its pools on its own reset; the module forgets its handles first.
void geometry_pools_reset()
{
    for (geometry_pool_t& slot : pools)
        slot = geometry_pool_t{};
}

const engine_reset_registrar_t geometry_pools_reset_registrar(reset_order_processes - 10, geometry_pools_reset);

}  // namespace

void geometry_pools_create()
{
    create_pool(pools[0], api::gfx_common_hash_sort);
    create_pool(pools[1], api::gfx_priority_sort);
}

void geometry_pools_free()
{
    for (geometry_pool_t& slot : pools) {
        if (slot.pool)
            api::gfx_path_pool_remove(slot.pool);
        slot = geometry_pool_t{};
    }
}

gfx_pool_t* geometry_pool_by_shader() { return pools[0].pool; }
gfx_pool_t* geometry_pool_by_priority() { return pools[1].pool; }

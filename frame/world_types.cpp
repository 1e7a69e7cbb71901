#include "frame/world_types.h"

#include <new>

#include "behaviour/psb_resources.h"
#include "engine/bmem.h"
#include "engine/cvar.h"
#include "engine/entity_reg.h"
#include "engine/reset.h"
#include "common/engine_api.h"
#include "common/type_create.h"
#include "world/box_helper.h"
#include "world/decal_cache.h"
#include "world/decals_pmd.h"
#include "world/decals_plain.h"
#include "world/decals_wrap.h"
#include "world/decals_wrap_placer.h"
#include "world/plain_sound.h"
#include "world/world_map.h"
#include "world/world_resources.h"

namespace {

// Handles of the registered loaders, in registration order.
constexpr int max_loaders = 3;
int loaders[max_loaders] = {};
int loader_count = 0;

bmem_manager* item_pool = nullptr;

// The draw profiling switch the client process reads.
cvar_t profile_draws("p_profile_draws", "0", cvar_t::type_integer, nullptr, 0);

// A world-side row: flags 1, the further words zero.
template <typename class_t> constexpr entity_reg_t world_row(const char* type_name)
{
    return registered_type<class_t>(type_name, 1, world_type_destroy);
}

// A world-side row whose further words repeat the instance size, the create function and the destroy
// function.
template <typename class_t> entity_reg_t world_row_with_words(const char* type_name)
{
    entity_reg_t row = world_row<class_t>(type_name);
    row.words[0] = row.instance_size;
    row.words[1] = reinterpret_cast<uintptr_t>(row.create);
    row.words[2] = reinterpret_cast<uintptr_t>(row.destroy);
    return row;
}

static_assert(sizeof(decals_plain_e) == sizeof(decals_wrap_e), "plain decals are wrapped decals");

const entity_reg_t world_rows[] = {
    world_row_with_words<world_map_e>("world.map"),
    world_row_with_words<plain_sound_e>("sounds.plain_sound"),
    world_row<decals_wrap_placer_e>("decals.wrap.placer"),
    world_row<decals_wrap_e>("decals.wrap"),
    world_row<decals_plain_e>("decals.plain"),
    world_row<decals_pmd_e>("decals.pmd"),
    world_row<world_sky_e>("world.sky"),
    world_row<box_helper_e>("helpers.box_helper"),
};

void add_loader(mm_loader_match_t match)
{
    const int handle = api::mm_register_loader(nullptr, match, 0);
    if (handle <= 0) {
        api::error("cannot register a resource loader");
        return;
    }
    if (loader_count < max_loaders)
        loaders[loader_count++] = handle;
}

void free_item_pool()
{
    delete item_pool;
    item_pool = nullptr;
}

// Before the cache's reset, which reports loaders and items still registered.
void world_types_reset()
{
    unregister_loaders();
    free_item_pool();
}

const engine_reset_registrar_t world_types_reset_registrar(reset_order_processes - 10, world_types_reset);

// Frees the unreferenced memory of one kind, then removes its unreferenced items.
void free_unreferenced(const resource_ops_t* ops)
{
    api::mm_mem_free_unreferenced_ops(ops);
    api::mm_remove_unreferenced_ops(ops);
}

}  // namespace

void register_world_types()
{
    decal_cache_install();
    api::ci_makeup_ops(&lightmap_chunk_ops);
    api::ci_makeup_ops(&release_only_ops);
    api::ci_makeup_ops(&geometry_chunk_ops);
    api::ci_makeup_ops(&visibility_tree_ops);
    btr_makeup_ops();
    api::ci_makeup_ops(&texture_list_ops);

    add_loader(btr_loader_match);
    psb_info_makeup_ops();
    add_loader(psb_info_loader_match);
    psb_layer_makeup_ops();
    add_loader(psb_layer_loader_match);

    free_item_pool();
    item_pool = new (std::nothrow) bmem_manager();
    if (item_pool)
        item_pool->set_pars(32, 256);
    else
        api::error("cannot allocate the world's item pool");

    for (const entity_reg_t& row : world_rows)
        entity_register(&row);
    api::cvar_register_variable(&profile_draws, 0);
}

void world_type_destroy(entity_t* object, bool in_place) { destroy_registered(object, in_place); }

void free_world_resources()
{
    free_unreferenced(&lightmap_chunk_ops);
    free_unreferenced(&release_only_ops);
    free_unreferenced(&geometry_chunk_ops);
    free_unreferenced(&texture_list_ops);
    free_unreferenced(&visibility_tree_ops);
    free_unreferenced(&collision_sector_ops);
    for (const resource_ops_t* ops : {&psb_info_ops, &psb_layer_ops}) {
        api::mm_hw_free_unreferenced_ops(ops);
        free_unreferenced(ops);
    }
}

void unregister_loaders()
{
    for (int i = 0; i < loader_count; ++i)
        api::mm_unregister_loader(loaders[i]);
    loader_count = 0;
}

int world_loader_count() { return loader_count; }

bmem_manager* world_item_pool() { return item_pool; }

#include "common/game_bridge.h"

#include <cstdio>
#include <new>

#include "engine/cache.h"
#include "engine/def_pool.h"
#include "engine/text.h"
#include "common/def_count.h"
#include "engine/process.h"
#include "common/engine_api.h"
#include "common/game_host.h"

namespace {

// The file the car colour table is read from.
constexpr const char* car_colours_path = "/defs/car_colors.def";

}  // namespace

game_bridge_t::game_bridge_t(vprocess_t* owner, int32_t mode) : mode_(mode), owner_(owner)
{
    if (owner_)
        owner_->lock();
    load_colours();
}

game_bridge_t::~game_bridge_t()
{
    if (owner_)
        owner_->unlock();
    delete[] colours_;
    for (entity_handle_t* slot : {&avatar_, &environment_, &editor_hud_, &economy_, &base_ctrl_, &traffic_, &police_})
        if (!slot->is_null())
            slot->release();
    remove_windows();
}

void game_bridge_t::load_colours()
{
    c_item_t* item = api::mm_precache(car_colours_path);
    const auto* pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    if (!pool) {
        api::error("failed to read car color data.");
        if (item)
            api::ci_dec_refs(item);
        return;
    }
    if (const def_obj_t* colours = pool->find("colors")) {
        const int count = def_count(*colours, "color_count", car_colours_path);
        if (count > 0) {
            colours_ = new (std::nothrow) uint32_t[static_cast<size_t>(count)]();
            if (colours_) {
                colour_count_ = static_cast<uint32_t>(count);
                char key[32];
                for (int i = 0; i < count; ++i) {
                    snprintf(key, sizeof key, "color%d", i);
                    const char* value = colours->get_value(key);
                    colours_[i] = static_cast<uint32_t>(v_atoi(value ? value : "0"));
                }
            }
        }
    }
    api::ci_dec_refs(item);
}

void game_bridge_t::set_avatar(entity_handle_t entity)
{
    if (!avatar_.is_null())
        avatar_.release();
    avatar_ = entity;
    if (!avatar_.is_null() && !avatar_.add_use())
        avatar_ = entity_handle_t{};
}

bool game_bridge_t::register_slot(entity_handle_t& slot, entity_handle_t entity, const char* what)
{
    if (!slot.is_null()) {
        api::error("<game_bridge_t> %s already registered", what);
        return false;
    }
    if (!entity.add_use())
        return false;
    slot = entity;
    return true;
}

bool game_bridge_t::register_environment(entity_handle_t entity)
{
    return register_slot(environment_, entity, "environment");
}

bool game_bridge_t::register_editor_hud(entity_handle_t entity)
{
    return register_slot(editor_hud_, entity, "editor hud");
}

bool game_bridge_t::register_economy(entity_handle_t entity)
{
    return register_slot(economy_, entity, "economy controller");
}

bool game_bridge_t::register_base_ctrl(entity_handle_t entity)
{
    return register_slot(base_ctrl_, entity, "base controller");
}

bool game_bridge_t::register_traffic(entity_handle_t entity) { return register_slot(traffic_, entity, "traffic"); }

bool game_bridge_t::register_police(entity_handle_t entity) { return register_slot(police_, entity, "police"); }

bool game_bridge_t::release_police(entity_handle_t entity)
{
    if (police_.is_null() || police_ != entity) {
        api::error("<game_bridge_t> police not registered");
        return false;
    }
    police_.release();
    police_ = {};
    return true;
}

entity_handle_t game_bridge_t::police() const
{
    if (police_.is_null())
        api::error("<game_bridge_t> police not registered");
    return police_;
}

bool game_bridge_map_path_fits(const char* name)
{
    char path[game_bridge_t::map_path_capacity];
    const int length = snprintf(path, sizeof path, "/maps/%s.mbd", name ? name : "");
    return length >= 0 && length < static_cast<int>(sizeof path);
}

bool game_bridge_t::set_map_path(const char* name)
{
    map_path_[0] = '\0';
    if (!name || !name[0])
        return true;
    if (!game_bridge_map_path_fits(name)) {
        api::error("<game_bridge_t> map path of %s is too long", name);
        return false;
    }
    snprintf(map_path_, sizeof map_path_, "/maps/%s.mbd", name);
    return true;
}

game_bridge_t* get_game_bridge()
{
    const game_host_t* host = game_host();
    return host ? host->current_bridge() : nullptr;
}

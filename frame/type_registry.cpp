#include "frame/type_registry.h"

#include "editor/edit_ctrl.h"
#include "editor/editor_camera_free.h"
#include "editor/editor_camera_top.h"
#include "engine/entity_reg.h"
#include "frame/geometry_pools.h"
#include "frame/loader_lock.h"
#include "frame/psm_process.h"
#include "frame/type_create.h"
#include "frame/world_types.h"
#include "game/economy_ctrl.h"
#include "game/game_ctrl.h"
#include "vehicles/car_player.h"
#include "vehicles/car_police.h"
#include "vehicles/car_trailor.h"
#include "vehicles/traffic.h"
#include "world/car_smoke.h"
#include "world/decals_wrap_aa.h"
#include "world/env_rain.h"
#include "world/env_snow.h"
#include "world/environment.h"

namespace {

// A row of the registry with the shared destroy function.
template <typename class_t> constexpr entity_reg_t row(const char* type_name, uint32_t flags = 0)
{
    return registered_type<class_t>(type_name, flags, entity_type_destroy);
}

const entity_reg_t rows[] = {
    row<car_player_e>("actors.car"),
    row<car_trailor_e>("actors.trailer"),
    row<car_police_e>("actors.ai"),
    row<traffic_e>("traffic"),
    row<edit_ctrl_e>("editor.ctrl"),
    row<editor_camera_top_e>("editor.camera.top"),
    row<editor_camera_free_e>("editor.camera.free"),
    row<game_ctrl_e>("game.ctrl"),
    row<economy_ctrl_e>("economy.ctrl"),
    row<decals_wrap_aa_e>("decals.wrap_aa"),
    row<environment_e>("environment", 1),
    row<env_snow_e>("env.snow", 1),
    row<env_rain_e>("env.rain", 1),
    row<car_smoke_e>("particle.car_smoke", 1),
};

}  // namespace

void register_entity_types()
{
    set_loader_lock(psm_process_lock, psm_process_unlock);
    register_world_types();
    for (const entity_reg_t& record : rows)
        entity_register(&record);
    geometry_pools_create();
}

void entity_type_destroy(entity_t* object, bool in_place) { destroy_registered(object, in_place); }

const entity_reg_t* entity_type_rows() { return rows; }

int entity_type_row_count() { return static_cast<int>(sizeof rows / sizeof rows[0]); }

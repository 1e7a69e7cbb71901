#include "common/game_settings.h"

#include "engine/reset.h"

namespace {

int detail_level = 1;
float traffic_density = 1.0f;

const engine_reset_registrar_t reset_game_settings(reset_order_processes + 1, [] {
    detail_level = 1;
    traffic_density = 1.0f;
});

}  // namespace

int game_detail_level() { return detail_level; }
float game_traffic_density() { return traffic_density; }
void set_game_detail_level(int level) { detail_level = level; }
void set_game_traffic_density(float density) { traffic_density = density; }

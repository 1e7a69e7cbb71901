#include "common/view_params.h"

#include "engine/reset.h"
#include "common/engine_api.h"
#include "common/game_host.h"

namespace {

// Far view distance the mode starts with (the options and the editor change it later).
float start_far_view_distance = 20000.0f;

const engine_reset_registrar_t reset_view_values(reset_order_processes + 1, [] { start_far_view_distance = 20000.0f; });

}  // namespace

bool get_view_params(gfx_view_t* out)
{
    const game_host_t* host = game_host();
    if (!host || !out) {
        api::error("[get_view_params] no game process");
        return false;
    }
    *out = host->view();
    return true;
}

const gfx_view_t* set_view_params(const gfx_view_t* params)
{
    game_host_t* host = game_host();
    if (!host || !params) {
        api::error("[set_view_params] no game process");
        return nullptr;
    }
    host->set_view(*params);
    return params;
}

int set_gfx_mode(gfx_device_t* device, gfx_mode_t* mode)
{
    game_host_t* host = game_host();
    if (!host) {
        api::error("[set_gfx_mode] no game process");
        return 0;
    }
    return host->set_mode(device, mode);
}

void set_far_view_distance(const float distance) { start_far_view_distance = distance; }

float far_view_distance() { return start_far_view_distance; }

namespace game_forward {

void gfx_mode_shutdown()
{
    if (game_host_t* host = game_host())
        host->gfx_mode_shutdown();
    else
        api::error("[gfx_mode_shutdown] no game process");
}

void write_hw_caps(gfx_device_t* device)
{
    if (game_host_t* host = game_host())
        host->write_hw_caps(device);
    else
        api::error("[write_hw_caps] no game process");
}

}  // namespace game_forward

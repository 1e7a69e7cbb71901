#include "common/view_params.h"

#include "common/engine_api.h"
#include "frame/game_process.h"

bool get_view_params(gfx_view_t* out)
{
    const game_process_t* game = game_process_t::instance();
    if (!game || !out) {
        api::error("[get_view_params] no game process");
        return false;
    }
    *out = game->view();
    return true;
}

const gfx_view_t* set_view_params(const gfx_view_t* params)
{
    game_process_t* game = game_process_t::instance();
    if (!game || !params) {
        api::error("[set_view_params] no game process");
        return nullptr;
    }
    game->set_view(*params);
    return params;
}

int set_gfx_mode(gfx_device_t* device, gfx_mode_t* mode)
{
    game_process_t* game = game_process_t::instance();
    if (!game) {
        api::error("[set_gfx_mode] no game process");
        return 0;
    }
    return game->set_mode(device, mode);
}

namespace game_forward {

void gfx_mode_shutdown()
{
    if (game_process_t* game = game_process_t::instance())
        game->gfx_mode_shutdown();
    else
        api::error("[gfx_mode_shutdown] no game process");
}

void write_hw_caps(gfx_device_t* device)
{
    if (game_process_t* game = game_process_t::instance())
        game->write_hw_caps(device);
    else
        api::error("[write_hw_caps] no game process");
}

}  // namespace game_forward

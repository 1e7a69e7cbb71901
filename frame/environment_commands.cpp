#include "frame/environment_commands.h"

#include "engine/text.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"

namespace {

// Runs `call` with the command's one integer argument on the environment, when there is one.
template <typename call_t> void with_environment(const call_t& call)
{
    game_bridge_t* bridge = get_game_bridge();
    if (!bridge || api::cmd_argc() != 2)
        return;
    const held_part_t<environment_commands_t> environment(bridge->environment());
    if (environment.get())
        call(*environment.get(), v_atoi(api::cmd_argv(1)));
}

}  // namespace

void g_set_time()
{
    with_environment([](environment_commands_t& environment, const int hours) { environment.set_time(hours * 3600); });
}

void g_set_fov()
{
    with_environment([](environment_commands_t& environment, const int degrees) { environment.set_fov(degrees); });
}

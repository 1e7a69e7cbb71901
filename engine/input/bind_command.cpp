#include <cstdlib>
#include <string>

#include "engine/bind.h"
#include "engine/command.h"
#include "engine/log.h"

namespace {

// "bind KEY COMMAND...": binds the key to the rest of the line (in context 1, the system keys), so
// configuration files and test data can bind keys to console commands; "/config.cfg" keeps the binding.
void bind_command()
{
    if (cmd_argc() < 3) {
        warning("usage: bind KEY COMMAND");
        return;
    }
    std::string command = cmd_argv(2);
    for (int i = 3; i < cmd_argc(); ++i)
        command.append(" ").append(cmd_argv(i));
    bind_add_from_console(cmd_argv(1), command.c_str());
}

const cmd_builtin_registrar_t bind_command_registrar("bind", bind_command);

// "bind_impulse KEY CONTEXT IMPULSE" and "bind_command KEY CONTEXT COMMAND...": the player's own
// bindings (the options' and the default controls') as "/config.cfg" keeps them.
void bind_impulse_command()
{
    if (cmd_argc() != 4) {
        warning("usage: bind_impulse KEY CONTEXT IMPULSE");
        return;
    }
    bind_add_player(cmd_argv(1), std::atoi(cmd_argv(3)), nullptr, std::atoi(cmd_argv(2)));
}

void bind_player_command()
{
    if (cmd_argc() < 4) {
        warning("usage: bind_command KEY CONTEXT COMMAND");
        return;
    }
    std::string command = cmd_argv(3);
    for (int i = 4; i < cmd_argc(); ++i)
        command.append(" ").append(cmd_argv(i));
    bind_add_player(cmd_argv(1), -1, command.c_str(), std::atoi(cmd_argv(2)));
}

const cmd_builtin_registrar_t bind_impulse_registrar("bind_impulse", bind_impulse_command);
const cmd_builtin_registrar_t bind_player_registrar("bind_command", bind_player_command);

}  // namespace

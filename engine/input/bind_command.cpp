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

}  // namespace

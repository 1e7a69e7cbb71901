#include "engine/config.h"

#include <string>

#include "command_text.h"
#include "engine/bind.h"
#include "engine/command.h"
#include "engine/cvar.h"
#include "engine/log.h"
#include "engine/vfs.h"

namespace {

constexpr const char* config_path = "/config.cfg";

// One config line that sets `name` to `text` when run.
std::string set_line(const std::string& name, const std::string& text)
{
    return "set " + name + " " + quote_word(text) + "\n";
}

}  // namespace

ENGINE_API bool process_store_cfg(const char* path)
{
    if (!path) {
        error("process_store_cfg: no path");
        return false;
    }
    std::string text = "// console variables, run as commands at start\n";
    int count = 0;
    cvar_t* const* variables = cvar_get_list(&count);
    for (int i = 0; i < count; ++i)
        if (!variables[i]->link())  // a linked variable shares the value of the one it follows
            text += set_line(variables[i]->name(), variables[i]->value());
    for (const auto& [name, value] : cvar_kept_values())
        text += set_line(name, value);
    for (const auto& [key, command] : bind_made_by_console())
        text += "bind " + quote_word(key) + " " + quote_word(command) + "\n";
    for (const bind_t& made : bind_made_by_player()) {
        const std::string context = std::to_string(made.context);
        if (made.impulse >= 0)
            text += "bind_impulse " + quote_word(made.trigger->name) + " " + context + " " +
                    std::to_string(made.impulse) + "\n";
        else
            text += "bind_command " + quote_word(made.trigger->name) + " " + context + " " + quote_word(made.command) +
                    "\n";
    }
    // Written whole or not at all: an old configuration survives a crash or a full disk.
    return vfs_write_whole(path, text);
}

bool console_load_config()
{
    vfs_stat_t info{};
    if (vfs_stat(config_path, &info) != 0) {
        verbose("no %s yet", config_path);
        return true;
    }
    std::string text;
    if (!vfs_read_whole(config_path, text))
        return false;
    cmd_execute_block(text.data(), static_cast<long>(text.size()));
    return true;
}

// Each home carries its own configuration: read it as soon as the home is set.
static const bool config_follows_home = [] {
    vfs_set_home_listener([] { console_load_config(); });
    return true;
}();

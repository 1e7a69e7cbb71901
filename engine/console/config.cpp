#include "engine/config.h"

#include <algorithm>
#include <string>

#include "command_text.h"
#include "engine/bind.h"
#include "engine/command.h"
#include "engine/cvar.h"
#include "engine/log.h"
#include "engine/vfs.h"

namespace {

constexpr const char* config_path = "/config.cfg";
// The first line of every configuration written.
constexpr const char* header_line = "// console variables, run as commands at start";

// One config line that sets `name` to `text` when run.
std::string set_line(const std::string& name, const std::string& text)
{
    return "set " + name + " " + quote_word(text) + "\n";
}

// The comment lines ("//" or "#" first) a user wrote into the configuration at `path`, each with its
// line end, in file order; the written header is not one of them. Empty when there is no file.
std::string user_comment_lines(const char* path)
{
    vfs_stat_t info{};
    std::string text;
    if (vfs_stat(path, &info) != 0 || !vfs_read_whole(path, text))
        return {};
    std::string kept;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        const bool comment = first != std::string::npos && (line[first] == '#' || line.compare(first, 2, "//") == 0);
        if (comment && line != header_line)
            kept += line + "\n";
        start = end + 1;
    }
    return kept;
}

}  // namespace

ENGINE_API bool process_store_cfg(const char* path)
{
    if (!path) {
        error("process_store_cfg: no path");
        return false;
    }
    // The user's own comment lines stay, after the header.
    std::string text = std::string(header_line) + "\n" + user_comment_lines(path);
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

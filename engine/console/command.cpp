#include "engine/command.h"

#include <strings.h>

#include <deque>
#include <string>
#include <vector>

#include "command_text.h"
#include "engine/cvar.h"
#include "engine/log.h"

namespace {

// One registered command.
struct command_t {
    std::string name;
    cmd_function_t function;
};

constexpr size_t nesting_limit = 64;

// "set NAME VALUE": sets a variable, or keeps the value until the variable registers.
void set_command()
{
    if (cmd_argc() != 3) {
        warning("usage: set NAME VALUE");
        return;
    }
    cvar_set_or_keep(cmd_argv(1), cmd_argv(2));
}

// Commands the engine itself provides; every reset puts exactly these back.
std::vector<command_t>& builtin_commands()
{
    static std::vector<command_t> builtins{{"set", set_command}};
    return builtins;
}

// Every registered command. Made on first use, so the built-ins that other families add while the
// library loads are all in it.
std::vector<command_t>& command_table()
{
    static std::vector<command_t> table = builtin_commands();
    return table;
}
std::vector<command_words_t> running;  // words of the commands being run, innermost last
std::deque<std::string> queued;

// Back to the built-in commands only.
void reset_commands()
{
    command_table() = builtin_commands();
    running.clear();
    queued.clear();
}

// The command of that name (ignoring case), or null.
command_t* find_command(const char* name)
{
    for (command_t& command : command_table())
        if (strcasecmp(command.name.c_str(), name) == 0)
            return &command;
    return nullptr;
}

// A line naming a variable reports it (one word) or sets it (two words).
void variable_command(cvar_t* variable, const command_words_t& words)
{
    if (words.size() == 1) {
        message("\"%s\" is \"%s\" (default \"%s\")", variable->name(), variable->value(), variable->default_text());
        return;
    }
    if (words.size() > 2)
        warning("%s takes one value; quote a value with spaces", variable->name());
    variable->set(words[1].c_str());
}

// Runs one command; false when its first word names nothing known.
bool run_command(const command_words_t& words)
{
    if (const command_t* command = find_command(words[0].c_str())) {
        if (running.size() >= nesting_limit) {
            error("console: commands nested too deeply at \"%s\"", words[0].c_str());
            return false;
        }
        const cmd_function_t function = command->function;  // the command may unregister itself
        running.push_back(words);
        function();
        running.pop_back();
        return true;
    }
    if (cvar_t* variable = cvar_get(words[0].c_str())) {
        variable_command(variable, words);
        return true;
    }
    warning("unknown command \"%s\"", words[0].c_str());
    return false;
}

// Runs every command of a text; false when any named nothing known.
bool run_text(std::string_view text)
{
    bool all_known = true;
    for (const command_words_t& words : split_commands(text))
        all_known = run_command(words) && all_known;
    return all_known;
}

}  // namespace

ENGINE_API bool cmd_register_command(const char* name, cmd_function_t function)
{
    if (!name || !*name || !function) {
        error("cmd_register_command: a command needs a name and a function");
        return false;
    }
    if (find_command(name)) {
        error("command \"%s\" is already registered", name);
        return false;
    }
    command_table().push_back({name, function});
    return true;
}

ENGINE_API bool cmd_unregister_command(const char* name)
{
    const command_t* command = name ? find_command(name) : nullptr;
    if (!command)
        return false;
    command_table().erase(command_table().begin() + (command - command_table().data()));
    return true;
}

ENGINE_API bool cmd_execute(const char* text) { return text ? run_text(text) : false; }

ENGINE_API bool cmd_execute_block(const char* block, long size)
{
    if (!block || size < 0) {
        error("cmd_execute_block: no text to run");
        return false;
    }
    std::string_view text(block, static_cast<size_t>(size));
    text = text.substr(0, text.find('\0'));
    return run_text(text);
}

ENGINE_API void cmd_add(const char* text)
{
    if (text)
        queued.emplace_back(text);
}

ENGINE_API int cmd_argc() { return running.empty() ? 0 : static_cast<int>(running.back().size()); }

ENGINE_API const char* cmd_argv(int index)
{
    if (running.empty() || index < 0 || static_cast<size_t>(index) >= running.back().size())
        return "";
    return running.back()[static_cast<size_t>(index)].c_str();
}

void cmd_execute_queued()
{
    // Commands queued while these run wait for the next frame.
    std::deque<std::string> now;
    now.swap(queued);
    for (const std::string& text : now)
        run_text(text);
}

#include "engine/reset.h"
static engine_reset_registrar_t command_reset_registrar(reset_order_console, reset_commands);

cmd_builtin_registrar_t::cmd_builtin_registrar_t(const char* name, cmd_function_t function)
{
    builtin_commands().push_back({name, function});
    if (!find_command(name))
        command_table().push_back({name, function});
}

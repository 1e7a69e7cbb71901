#include "engine/bind.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/command.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "input_state.h"

namespace {

// One stored binding: the record the module reads and the command text it points at.
struct binding_entry_t {
    bind_t record{};
    std::string command;
    bool made_by_bind = false;  // the console's "bind" made it: the configuration keeps it
};

std::vector<std::unique_ptr<binding_entry_t>> bindings;  // in the order they were added
uint32_t next_id = 1;

// The impulse whose alias is `name`, or -1.
int impulse_named(const char* name)
{
    if (!name || !*name)
        return -1;
    for (const inp_impulse_t& impulse : input_state().impulses)
        if (strncmp(impulse.name, name, inp_impulse_name_bytes) == 0)
            return impulse.number;
    return -1;
}

// Position of `previous` in the store (end when absent); the walk goes on after it.
auto walk_start(const bind_t* previous)
{
    if (!previous)
        return bindings.begin();
    auto it = std::find_if(bindings.begin(), bindings.end(),
                           [previous](const auto& entry) { return &entry->record == previous; });
    return it == bindings.end() ? it : it + 1;
}

// Adds a binding (or finds the same one); answers its entry, or null with a message for an unknown key.
binding_entry_t* add_entry(const char* call, const char* key, int impulse, const char* command, int context, int flags)
{
    const inp_trigger_t* trigger = input_trigger_named(key);
    if (!trigger) {
        warning("%s: no key is named \"%s\"", call, key ? key : "(null)");
        return nullptr;
    }
    for (const auto& entry : bindings) {
        const bind_t& b = entry->record;
        if (b.trigger == trigger && b.context == context && b.impulse == impulse &&
            (impulse >= 0 || entry->command == command))
            return entry.get();
    }
    auto entry = std::make_unique<binding_entry_t>();
    entry->record = {next_id++, trigger, context, flags, impulse, nullptr};
    if (command) {
        entry->command = command;
        entry->record.command = entry->command.c_str();
    }
    bindings.push_back(std::move(entry));
    return bindings.back().get();
}

bool add(const char* call, const char* key, int impulse, const char* command, int context, int flags)
{
    return add_entry(call, key, impulse, command, context, flags) != nullptr;
}

template <typename predicate_t> int remove_where(predicate_t matches)
{
    const size_t before = bindings.size();
    std::erase_if(bindings, [&](const auto& entry) { return matches(entry->record); });
    return static_cast<int>(before - bindings.size());
}

void bindings_reset()
{
    bindings.clear();
    next_id = 1;
}

}  // namespace

bool input_bindings_fire(const inp_trigger_t& trigger)
{
    // A command may change the bindings: collect the commands first.
    std::vector<std::string> commands;
    for (const auto& entry : bindings)
        if (entry->record.trigger == &trigger && entry->record.impulse < 0)
            commands.push_back(entry->command);
    for (const std::string& command : commands)
        cmd_execute(command.c_str());
    return !commands.empty();
}

bool input_bindings_hold(int impulse, int context)
{
    for (const auto& entry : bindings) {
        const bind_t& b = entry->record;
        if (b.impulse == impulse && b.context == context && b.trigger->value > 0.0f)
            return true;
    }
    return false;
}

ENGINE_API bool bind_add_cmd(const char* key, const char* command, int context, int flags)
{
    if (!command || !*command) {
        warning("bind_add_cmd: no command to bind to \"%s\"", key ? key : "(null)");
        return false;
    }
    return add("bind_add_cmd", key, -1, command, context, flags);
}

bool bind_add_from_console(const char* key, const char* command)
{
    binding_entry_t* const entry = add_entry("bind", key, -1, command, 1, 0);
    if (entry)
        entry->made_by_bind = true;
    return entry != nullptr;
}

bool bind_add_player(const char* key, int impulse, const char* command, int context)
{
    if (impulse >= 0 ? impulse >= inp_impulse_count : !command || !*command) {
        warning("bind: no impulse or command to bind to \"%s\"", key ? key : "(null)");
        return false;
    }
    return add("bind", key, impulse, impulse >= 0 ? nullptr : command, context, 1);
}

std::vector<bind_t> bind_made_by_player()
{
    std::vector<bind_t> made;
    for (const auto& entry : bindings)
        if (!entry->made_by_bind && (entry->record.flags & 1))
            made.push_back(entry->record);
    return made;
}

std::vector<std::pair<std::string, std::string>> bind_made_by_console()
{
    std::vector<std::pair<std::string, std::string>> made;
    for (const auto& entry : bindings)
        if (entry->made_by_bind)
            made.emplace_back(entry->record.trigger->name, entry->command);
    return made;
}

ENGINE_API bool bind_add_imp(const char* key, const char* impulse_name, int context, int flags)
{
    const int impulse = impulse_named(impulse_name);
    if (impulse < 0) {
        warning("bind_add_imp: no impulse is named \"%s\"", impulse_name ? impulse_name : "(null)");
        return false;
    }
    return add("bind_add_imp", key, impulse, nullptr, context, flags);
}

ENGINE_API const bind_t* bind_get(const char* key)
{
    const inp_trigger_t* trigger = input_trigger_named(key);
    for (const auto& entry : bindings)
        if (trigger && entry->record.trigger == trigger)
            return &entry->record;
    return nullptr;
}

ENGINE_API bool bind_del(uint32_t id)
{
    return remove_where([id](const bind_t& b) { return b.id == id; }) > 0;
}

ENGINE_API int bind_del_command(const char* command)
{
    if (!command)
        return 0;
    return remove_where([command](const bind_t& b) { return b.command && strcmp(b.command, command) == 0; });
}

ENGINE_API int bind_del_impulsealias(const char* impulse_name, int context)
{
    const int impulse = impulse_named(impulse_name);
    if (impulse < 0)
        return 0;
    return remove_where([=](const bind_t& b) { return b.impulse == impulse && b.context == context; });
}

ENGINE_API int bind_del_impulsealias_rng(const char* impulse_name, uint32_t first, uint32_t last, int context)
{
    const int impulse = impulse_named(impulse_name);
    if (impulse < 0)
        return 0;
    return remove_where([=](const bind_t& b) {
        return b.impulse == impulse && b.context == context && b.trigger->code >= first && b.trigger->code <= last;
    });
}

ENGINE_API const bind_t* inp_trigger_command(const char* command, const bind_t* previous)
{
    if (!command)
        return nullptr;
    for (auto it = walk_start(previous); it != bindings.end(); ++it)
        if ((*it)->record.command && (*it)->command == command)
            return &(*it)->record;
    return nullptr;
}

ENGINE_API const bind_t* inp_trigger_impulsealias(const char* impulse_name, int context, const bind_t* previous)
{
    const int impulse = impulse_named(impulse_name);
    if (impulse < 0)
        return nullptr;
    for (auto it = walk_start(previous); it != bindings.end(); ++it)
        if ((*it)->record.impulse == impulse && (*it)->record.context == context)
            return &(*it)->record;
    return nullptr;
}

ENGINE_API int inp_trigger_ptr2code(const bind_t* binding)
{
    for (const auto& entry : bindings)
        if (binding && &entry->record == binding)
            return static_cast<int>(binding->trigger->code);
    return -1;
}

static engine_reset_registrar_t binding_reset_registrar(reset_order_devices, bindings_reset);

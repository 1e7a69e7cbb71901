#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/api.h"
#include "engine/input.h"

// Key bindings: an ordered store of (trigger, context, impulse or console command) records. A key is
// named by its trigger's key name ("esc", "pgup", "`", "F1", "mouse1", ...; letters in any case). A
// binding to an impulse makes the impulse's value 1 in its context while the trigger is held; a
// binding to a command runs the command (cmd_execute) when the trigger goes down, whatever its context.

// One binding.
struct bind_t {
    uint32_t id;                   // the word bind_del takes; never reused
    const inp_trigger_t* trigger;  // its name is the key's display name
    int context;                   // binding context (0 game controls, 1 editor and system keys, ...)
    int flags;                     // kept for the caller (1: one of the player's own bindings)
    int impulse;                   // the impulse driven, -1 for a command binding
    const char* command;           // the console command, null for an impulse binding
};

// Binds the key `key` to a console command / to the impulse whose alias is `impulse_name`. The same
// binding added twice is kept once. False with a message for an unknown key, impulse or empty command.
ENGINE_API bool bind_add_cmd(const char* key, const char* command, int context, int flags);
ENGINE_API bool bind_add_imp(const char* key, const char* impulse_name, int context, int flags);

// Engine side: the console's "bind KEY COMMAND" (context 1); the binding is one the user made, kept in
// the configuration. False with a message for an unknown key.
bool bind_add_from_console(const char* key, const char* command);
// Engine side: a binding of the player's own (flags 1) read back from the configuration: the key to
// impulse `impulse`, or (impulse -1) to `command`, in `context`. False with a message for an unknown
// key, impulse or an empty command.
bool bind_add_player(const char* key, int impulse, const char* command, int context);
// Engine side: every binding of the player's own (flags 1) that the console's "bind" did not make, in
// store order; the configuration keeps them.
std::vector<bind_t> bind_made_by_player();
// Engine side: the (key name, command) of every binding the console's "bind" made that is still there,
// in store order.
std::vector<std::pair<std::string, std::string>> bind_made_by_console();

// The first binding of a key, or null.
ENGINE_API const bind_t* bind_get(const char* key);
// Removes the binding with that id; false when there is none.
ENGINE_API bool bind_del(uint32_t id);
// Removes every binding of a command; answers how many went.
ENGINE_API int bind_del_command(const char* command);
// Removes every binding of the named impulse in `context`; answers how many went.
ENGINE_API int bind_del_impulsealias(const char* impulse_name, int context);
// The same, only for the bindings whose trigger codes lie in first .. last.
ENGINE_API int bind_del_impulsealias_rng(const char* impulse_name, uint32_t first, uint32_t last, int context);

// Walks the bindings of a command (any context) / of an impulse in `context`, in store order: the
// next one after `previous` (null: the first), or null after the last. `previous` is only compared,
// never read, so a stale pointer ends the walk instead of crashing.
ENGINE_API const bind_t* inp_trigger_command(const char* command, const bind_t* previous);
ENGINE_API const bind_t* inp_trigger_impulsealias(const char* impulse_name, int context, const bind_t* previous);
// The trigger code of a binding; -1 for null or an unknown binding.
ENGINE_API int inp_trigger_ptr2code(const bind_t* binding);

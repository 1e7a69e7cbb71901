#pragma once
#include "engine/api.h"

// Console commands. A command is a line of words; the first names a registered command or a console
// variable ("r_mode 800x600" sets the variable, "r_mode" alone reports it). Lines are separated by
// newlines or ";" outside double quotes; "//" outside quotes starts a comment to the end of the line,
// and a line whose first word begins with "#" is a comment. Inside double quotes \" \\ and \n stand
// for a quote, a backslash and a newline. The built-in command "set NAME VALUE" sets a variable, or
// keeps the value for it until it is registered (the config file is written with it).

// What a command runs; it reads its words with cmd_argc and cmd_argv during the call.
using cmd_function_t = void (*)();

// Registers a command (names compare ignoring case). False with a message for a null or empty name, a
// null function, or a name already taken by a command.
ENGINE_API bool cmd_register_command(const char* name, cmd_function_t function);
// False when no command has that name.
ENGINE_API bool cmd_unregister_command(const char* name);

// Runs the commands of `text` now. False when any of them named nothing known (reported).
ENGINE_API bool cmd_execute(const char* text);
// Runs a whole file's text: `size` bytes of `block` (it need not end with a NUL; a NUL ends it early).
ENGINE_API bool cmd_execute_block(const char* block, long size);
// Queues `text` to run at the start of the next frame.
ENGINE_API void cmd_add(const char* text);

// Words of the command being run: the count (0 outside a command) and word `index` (0 is the command's
// name); "" past the end, never null.
ENGINE_API int cmd_argc();
ENGINE_API const char* cmd_argv(int index);

// A command an engine family provides itself ("bind", "ui"): registered while the library loads and
// again by every reset. Declare one as a static object beside the command's function.
struct cmd_builtin_registrar_t {
    cmd_builtin_registrar_t(const char* name, cmd_function_t function);
};

// Host side: runs the commands queued by cmd_add (the frame loop calls it once per frame).
void cmd_execute_queued();

#pragma once

// The console window: its group and name, the script it is built from and the command the
// grave-accent key runs to toggle it.
constexpr const char* console_window_group = "system_02";
constexpr const char* console_window_name = "console";
constexpr const char* console_window_script = "/ui/system/console.esc";
constexpr const char* console_window_toggle = "ui t console:system_02";

// True while the console window is shown: keys then go to its command line, not to the world.
bool console_window_open();

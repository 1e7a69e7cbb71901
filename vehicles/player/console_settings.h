#pragma once
#include <cstdint>

// Reading the console variables the player's truck takes its settings from. A variable that does not
// exist leaves the value it would set as it is.

// The value text of console variable `name`, or null when there is none.
const char* setting_text(const char* name);
// Whether console variable `name` exists and its value reads `text`.
bool setting_reads(const char* name, const char* text);
// The integer value of console variable `name`, `fallback` when there is none.
int32_t setting_integer(const char* name, int32_t fallback);
// Reads an integer, a float or a flag (1 when the variable reads 1) into `out`.
void read_setting(const char* name, int32_t& out);
void read_setting(const char* name, float& out);
void read_flag_setting(const char* name, uint8_t& out);

#pragma once
#include <cstdint>
#include <string>

#include "engine/input.h"

// The key name of a trigger code: the keyboard's names ("esc", "pgup", "F1", "`", "num-" ...),
// "key<code>" for other scan codes, "mouse1".., "joy1".., "pov1".."pov4", "joystick1"..; empty for a
// code that names no trigger.
std::string key_name_of(uint32_t code);

// The character a key of a US keyboard types, with or without Shift; 0 for a key that types none.
char key_character(uint32_t scan, bool shift);

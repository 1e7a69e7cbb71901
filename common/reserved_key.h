#pragma once

// Keys the player cannot bind to an action (the console, menu and pause keys).

// True for the key codes 1, 59 and 69.
bool is_reserved_key(int key_code);

#pragma once

// The in-game key bindings: "esc" opens the game menu and the pause key pauses. Windows that stop the
// game take them away while they are shown and give them back when they close.

// Removes the bindings of the commands "game_menu" and "pause".
void game_keys_unbind();
// Binds "esc" to "game_menu" and "pause" to "pause".
void game_keys_bind();

#pragma once

struct snd_sound_t;

// The click sound every game window shares: loaded when the first window takes a use of it and freed
// when the last one gives its use back. A sound that cannot be loaded leaves presses silent.

// Takes one use; the first use loads `path` (tag 20, the menus').
void ui_click_sound_acquire(const char* path);
// Gives one use back; the last one frees the sound. A release without a use is ignored.
void ui_click_sound_release();
// Plays the click when it is loaded.
void ui_click_sound_play();
// The loaded sound (null when none) and the number of uses held.
snd_sound_t* ui_click_sound();
int ui_click_sound_users();

#pragma once
#include <cstdint>

// The game's one modal message box: the window "msgbox" of group "dialog", kept by the current world's
// bridge and built from "/ui/msgbox.esc" the first time it is needed.

// Fills the box with a title, a text and a button set (1 OK/Cancel, 2 Close, 4 Yes/No, plus 8 for the
// second look; `pause` pauses the game while it is shown) and shows it modally. Reported and ignored
// without a world or when the box cannot be built.
void msgbox_open(const char* title, const char* text, uint32_t buttons, uint8_t pause);
// The box's state word: bit 1 while open, else the answer (2 OK/Yes, 4 Cancel/No, 8 Close) or 0.
// 0 without a world or a box.
uint32_t msgbox_get();

#pragma once

// The pointer windows, internal to the UI system.

// Moves the shown pointer window to the pointer and runs its frame work.
void ui_pointer_frame();
// Records a new pointer position (reference screen, y up).
void ui_pointer_moved(float x, float y);
// Destroys the pointer windows removed or replaced while the UI was busy, once it is not.
void ui_pointer_collect();
// Destroys every pointer window.
void ui_pointer_reset();

#pragma once
#include <cstdint>

// The console command "screenshot": asks the graphics device for the next frame's picture and writes
// it to the first free "/screenshots/aa_NNNNN.png" of the home.

// The command's function (registered by the game process as "screenshot").
void screenshot();

// Writes a captured screen (top-down rows of RGB bytes) to the next free screenshot file; false, with
// a message, when no file could be made or written. The capture callback of `screenshot`.
bool screenshot_write(uint16_t width, uint16_t height, const uint8_t* pixels);

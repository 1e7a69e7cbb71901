#pragma once
#include <cstdint>

#include "engine/api.h"

// The frame: begin, clear, end, capture, swap. The "screen" is the current mode's size; a captured
// frame is painted off-screen from its record (the last clear colour alone where OpenGL is missing).

// Called when the renderer becomes active (1) or inactive (0), with the user word given.
using gfx_activate_fn = void (*)(int active, void* user);

// Receives a captured screen: width, height and top-down rows of RGB bytes (3 per pixel).
using gfx_capture_fn = void (*)(uint16_t width, uint16_t height, const uint8_t* pixels);

// Clear flags of gfx_clear1 and gfx_swap_clear: colour, depth (a depth-only clear passes 2).
enum gfx_clear_flag_t : uint32_t { gfx_clear_colour = 1, gfx_clear_depth = 2 };

// True while a mode is set and the window is active: the game draws only then.
ENGINE_API bool gfx_is_active();
// Registers the activation callback (null for none).
ENGINE_API void gfx_activate_callback(gfx_activate_fn callback, void* user);

// Frame brackets. A begin while a frame is open, or an end without one, is reported and ignored.
ENGINE_API void gfx_begin_frame();
ENGINE_API void gfx_end_frame();
// Clears the buffers named by `flags` (0xffffffff all) to the colour 0xAARRGGBB.
ENGINE_API void gfx_clear1(uint32_t flags, uint32_t colour);
// Clears as gfx_clear1, for the next frame, when the buffers are swapped.
ENGINE_API void gfx_swap_clear(uint32_t flags, uint32_t colour);
// Shows the finished frame: the frame's record becomes the last frame (see engine/gfx_record.h).
ENGINE_API void gfx_swapbuffers();

// Time the renderer animates shaders with, seconds.
ENGINE_API void gfx_set_time(float seconds);
ENGINE_API float gfx_get_time();

// Asks for a capture of the screen: the callback gets the image at the next gfx_try_capture.
ENGINE_API void gfx_screen_capture(gfx_capture_fn callback);
// Takes a pending capture (after gfx_end_frame). Answers true when a callback was served.
ENGINE_API bool gfx_try_capture();

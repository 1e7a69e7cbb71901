#pragma once
#include "engine/gfx_device.h"
#include "engine/gfx_view.h"

// The game process's view parameters (near plane, far view distance, field of view, viewport and
// clip) and graphics mode, for the parts that change them during play: the environment, the options
// screens, the economy's scenario load and the editor's cameras. Each forwards to the game host
// (game_host.h).

// Copies the view parameters into `out`; false (out unchanged) without a game process or for null.
bool get_view_params(gfx_view_t* out);
// Replaces the view parameters with `params` and answers `params`; null (nothing changed) without a
// game process or for null.
const gfx_view_t* set_view_params(const gfx_view_t* params);
// Sets a graphics mode through the game process (which refills the view's viewport from it); answers
// its result, or 0 without a game process.
int set_gfx_mode(gfx_device_t* device, gfx_mode_t* mode);
// Sets the far view distance the next graphics mode starts with (the options' view distance).
void set_far_view_distance(float distance);
float far_view_distance();
// Forwarders to the game process's start-up base, in their own namespace so that they do not
// overload the engine's call of the same name (which takes a device).
namespace game_forward {
// Shuts the game process's graphics mode down; reported without a game process.
void gfx_mode_shutdown();
// Writes the capabilities of `device` back to "hw_caps.def"; reported without a game process.
void write_hw_caps(gfx_device_t* device);
}  // namespace game_forward

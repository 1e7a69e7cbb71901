#pragma once
#include <cstdint>
#include <vector>

// The off-screen OpenGL context the painter draws with: EGL without a window (Mesa's surfaceless
// platform, else a pbuffer of the default display), OpenGL 3.3 core, functions loaded by libepoxy. A
// machine without EGL or a usable OpenGL gets one message and no context: frames then stay black.

// True when the context is current on this thread, made on the first call.
bool gl_context_ready();

// Binds an off-screen target of `width` x `height` pixels (colour and depth), made or resized as
// needed; false when there is no context or the target cannot be made.
bool gl_target_bind(int width, int height);

// Reads the bound target back as top-down rows of RGB bytes.
void gl_target_read(int width, int height, std::vector<uint8_t>& rgb);

// For tests: behave as a machine without EGL (true) or try again (false).
void gl_context_forbid(bool forbidden);

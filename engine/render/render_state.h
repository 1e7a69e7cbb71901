#pragma once
#include <string_view>

#include "engine/gfx_record.h"
#include "render_matrix.h"

// State the renderer's files share.

// Screen size of the current mode (640 x 480 while no mode is set).
void render_screen_size(int& width, int& height);
// Top of the world matrix stack.
const render_matrix_t& render_world();
// The frame being recorded.
gfx_frame_record_t& render_frame();
// Path of a shader handed out by gfx_shader_precache, "" for any other handle.
std::string_view render_shader_path(const void* shader);
// Whether visibility tests are switched to "all visible".
bool render_all_visible();
// The next place in the frame's drawing order, with the camera and view in force.
gfx_recorded_place_t render_place();
// Releases what the frame queued and moves its record into `last`, starting an empty one.
void render_end_of_frame(gfx_frame_record_t& last);

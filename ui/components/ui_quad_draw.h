#pragma once
#include <cstdint>

#include "engine/gfx_render.h"

struct c_item_t;

// What the module's flat views (arrow, bars, gauge) share: their shaders kept by cache handle, the
// texture coordinates of a quad given as a strip, and submitting a record with its shader.

// Record flags of a flat view: positions, one colour a vertex and texture coordinates.
constexpr uint32_t ui_quad_flags = gfx_data_positions | gfx_data_colours | gfx_data_texcoords;
// Record flags of the double bar and the gauge: the same with the renderer's 0x100 bit.
constexpr uint32_t ui_quad_world_flags = ui_quad_flags | gfx_data_world;

// Texture coordinates of two quads given as strips of four corners, (0, 0), (1, 0), (0, 1), (1, 1)
// each; a one-quad record reads the first eight.
extern const float ui_quad_texcoords[16];

// The shader at `path` with one reference taken (`mm_precache`), or null when the cache has none.
c_item_t* ui_shader_load(const char* path);
// Gives back the reference of a shader handle (null does nothing) and clears the handle.
void ui_shader_release(c_item_t*& shader);
// A triangle-strip record of `vertex_count` corners with one colour a corner.
gfx_data_t ui_quad_record(uint32_t flags, int32_t vertex_count, const float* positions, const uint32_t* colours,
                          const float* texcoords = ui_quad_texcoords);
// Submits `data` (`gfx_cache_data`) drawn with `shader`, kept locked while the record is queued; a
// null or unloadable shader draws the record without one.
void ui_submit_quads(gfx_data_t& data, c_item_t* shader);

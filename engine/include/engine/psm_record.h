#pragma once
#include <string_view>
#include <vector>

#include "engine/psm.h"

// What the headless model library drew: one record per part of psm_draw and psm_draw_part, in call
// order, for tests to read. Emptied by engine_reset() and psm_clear_draw_records(); only the parts of the
// graphics frame being drawn and the last one shown are kept, so a long run stays flat.

// One drawn part.
struct psm_draw_record_t {
    const psm_t* model;  // the instance drawn
    int part;            // part index
    // Views of texts kept for the life of the process (gfx_record_text).
    std::string_view part_name;
    std::string_view shader_path;  // the slot's shader when no shader handle was given, else ""
    const void* shader;            // the shader handle given to psm_draw_part, else null
    unsigned flags;
    unsigned colour;
    const void* lights;  // what the instance's light callback answered (null without one)
    int frame;           // the graphics frame it was drawn in (gfx_record_frames)
    float world[16];     // the world matrix it was drawn with
};

// Every part drawn since the last clear (of the last two frames), oldest first.
const std::vector<psm_draw_record_t>& psm_draw_records();
void psm_clear_draw_records();

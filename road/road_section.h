#pragma once
#include "engine/psm.h"
#include "road/road_def.h"

// How a model part is imported into a road piece: which arrays are kept and how vertices are welded.
struct road_section_import_t {
    // Keep the normals and the texture coordinates; keep the per-triangle words.
    bool normals = false;
    bool uvs = false;
    bool triangle_words = false;
    // Find the four corner vertices.
    bool corners = false;
    // Build the partner map and the repeat count; weld only vertices whose normals agree too.
    bool partners = false;
    bool same_normals = false;
    // The length to use instead of the part's own z extent (road parts after the first); 0 none.
    float length = 0.0f;
};

// Imports one model part into `out`: positions rounded to whole units, t along the piece and what
// `how` asks for. False, with a message naming `model` and `part_name`, when the piece has no length
// along z (no vertex could be placed along it).
bool road_section_import(const psm_part_t& part, const road_section_import_t& how, road_section_t& out,
                         const char* model, const char* part_name);

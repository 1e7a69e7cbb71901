#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"

struct psm_t;

// The collision mesh copied from one part of a model ("zcoll"): vertex positions and triangle indices.
// Empty when the model has no such part.
struct model_collision_t {
    std::vector<vec3_t> positions;
    std::vector<uint16_t> indices;
    int32_t vertex_count() const { return static_cast<int32_t>(positions.size()); }
    int32_t index_count() const { return static_cast<int32_t>(indices.size()); }
};

// Copies the vertex positions and triangle indices of the part `part` of `model` into `out`; `out`
// stays empty (false) when the model has no such part.
bool model_part_collision_copy(psm_t* model, const char* part, model_collision_t& out);
// The extent along z of every vertex of every part of `model`, truncated to a whole number; 0 for a
// model without vertices.
int32_t model_z_extent(psm_t* model);

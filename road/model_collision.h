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

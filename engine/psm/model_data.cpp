#include "model_data.h"

#include <algorithm>
#include <cmath>

#include "engine/gfx_record.h"

namespace {

// Centre of the box around the points, and the largest distance of a point from it.
void bounding_sphere(const std::vector<vec3_t>& points, vec3_t& centre, float& radius)
{
    centre = {};
    radius = 0.0f;
    if (points.empty())
        return;
    vec3_t low = points[0], high = points[0];
    for (const vec3_t& p : points)
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min(low[axis], p[axis]);
            high[axis] = std::max(high[axis], p[axis]);
        }
    centre = (low + high) * 0.5f;
    float largest_sq = 0.0f;
    for (const vec3_t& p : points)
        largest_sq = std::max(largest_sq, (p - centre).length_sq());
    radius = std::sqrt(largest_sq);
}

}  // namespace

void psm_model_data_t::publish()
{
    path = path_text.c_str();
    part_records_.clear();
    for (psm_part_store_t& store : part_store) {
        psm_part_t part{};
        part.name = store.name.c_str();
        store.drawn_name = gfx_record_text(store.name);
        part.shader = store.shader.c_str();
        part.bone = store.bone;
        part.vertex_count = static_cast<int>(store.positions.size());
        part.positions = store.positions.data();
        part.normals = store.normals.empty() ? nullptr : store.normals.data();
        part.uvs = store.uvs.empty() ? nullptr : store.uvs.data();
        part.index_count = static_cast<int>(store.indices.size());
        part.indices = store.indices.data();
        part.triangle_words = store.triangle_words.empty() ? nullptr : store.triangle_words.data();
        part.direction_count = static_cast<int>(store.directions.size());
        part.directions = store.directions.empty() ? nullptr : store.directions.data();
        bounding_sphere(store.positions, part.bsphere_centre, part.bsphere_radius);
        part_records_.push_back(part);
    }
    part_count = static_cast<int>(part_records_.size());
    parts = part_records_.data();
    for (size_t i = 0; i < bone_records.size(); ++i)
        bone_records[i].name = bone_names[i].c_str();
    bone_count = static_cast<int>(bone_records.size());
    bones = bone_records.data();
}

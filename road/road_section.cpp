#include "road/road_section.h"

#include <algorithm>
#include <cmath>

#include "common/engine_api.h"

namespace {

// Below this a vertex lies at a piece's start (t 0); within it of 1 at its end.
constexpr float t_snap = 0.001f;
// Start vertices for the repeat count.
constexpr float start_t = 0.0001f;
// Vertices closer than this in x and y, and farther than the weld distance in z, are welded.
constexpr float weld_xy = 0.01f;
constexpr float weld_z = 1.0f;
// Normals of welded vertices agree within this on each axis.
constexpr float weld_normal = 0.0001f;
// The reference x a corner search starts from on each side.
constexpr float corner_start = 3.37e38f;

float round_unit(const float value) { return std::floor(value + 0.5f); }

// Finds the left-near, left-far, right-near and right-far vertices of `piece`.
void find_corners(road_section_t& piece)
{
    float left_x = corner_start, right_x = -corner_start;
    float left_far_z = -corner_start, left_near_z = corner_start;
    float right_far_z = -corner_start, right_near_z = corner_start;
    for (int32_t i = 0; i < piece.vertex_count(); ++i) {
        const vec3_t& p = piece.positions[static_cast<size_t>(i)];
        if (p.x <= left_x) {
            if (p.z >= left_far_z) {
                piece.corners[road_left_far] = i;
                left_far_z = p.z;
            }
            if (p.z <= left_near_z) {
                piece.corners[road_left_near] = i;
                left_near_z = p.z;
            }
            left_x = p.x;
            piece.left_xy[0] = p.x;
            piece.left_xy[1] = p.y;
        }
        if (p.x >= right_x) {
            if (p.z >= right_far_z) {
                piece.corners[road_right_far] = i;
                right_far_z = p.z;
            }
            if (p.z <= right_near_z) {
                piece.corners[road_right_near] = i;
                right_near_z = p.z;
            }
            right_x = p.x;
            piece.right_xy[0] = p.x;
            piece.right_xy[1] = p.y;
        }
    }
}

// True when vertices i and j of `part` share a texture u or v (parts without texture coordinates
// share both).
bool same_u_or_v(const psm_part_t& part, const int32_t i, const int32_t j)
{
    if (!part.uvs)
        return true;
    return part.uvs[2 * i] == part.uvs[2 * j] || part.uvs[2 * i + 1] == part.uvs[2 * j + 1];
}

// True when vertices i and j of `part` have the same normal (parts without normals always do).
bool same_normal(const psm_part_t& part, const int32_t i, const int32_t j)
{
    if (!part.normals)
        return true;
    const vec3_t& a = part.normals[i];
    const vec3_t& b = part.normals[j];
    return std::fabs(a.x - b.x) < weld_normal && std::fabs(a.y - b.y) < weld_normal &&
           std::fabs(a.z - b.z) < weld_normal;
}

// Builds the partner map and the repeat count of `piece`.
void weld(const psm_part_t& part, const road_section_import_t& how, road_section_t& piece)
{
    const int32_t count = piece.vertex_count();
    piece.partner.resize(static_cast<size_t>(count));
    int32_t running = 0;
    for (int32_t i = 0; i < count; ++i) {
        const vec3_t& a = piece.positions[static_cast<size_t>(i)];
        int32_t& partner = piece.partner[static_cast<size_t>(i)];
        partner = i;
        for (int32_t j = 0; j < count; ++j) {
            const vec3_t& b = piece.positions[static_cast<size_t>(j)];
            if (std::fabs(a.x - b.x) >= weld_xy || std::fabs(a.y - b.y) >= weld_xy || std::fabs(a.z - b.z) <= weld_z)
                continue;
            if (!same_u_or_v(part, i, j) || (how.same_normals && !same_normal(part, i, j)))
                continue;
            partner = piece.t[static_cast<size_t>(i)] == 0.0f ? j : running++;
        }
    }
    int32_t welded_starts = 0;
    for (int32_t i = 0; i < count; ++i)
        if (piece.t[static_cast<size_t>(i)] < start_t && piece.partner[static_cast<size_t>(i)] != i)
            ++welded_starts;
    piece.repeat_vertex_count = count - welded_starts;
}

}  // namespace

bool road_section_import(const psm_part_t& part, const road_section_import_t& how, road_section_t& out,
                         const char* model, const char* part_name)
{
    out = road_section_t{};
    const auto count = static_cast<size_t>(std::max(part.vertex_count, 0));
    out.indices.assign(part.indices, part.indices + std::max(part.index_count, 0));
    if (how.uvs)
        out.uvs = part.uvs ? std::vector<float>(part.uvs, part.uvs + 2 * count) : std::vector<float>(2 * count, 0.0f);
    if (how.normals)
        out.normals = part.normals ? std::vector<vec3_t>(part.normals, part.normals + count)
                                   : std::vector<vec3_t>(count, vec3_t(0.0f, 1.0f, 0.0f));
    if (how.triangle_words) {
        const size_t triangles = out.indices.size() / 3;
        out.triangle_words = part.triangle_words
                                 ? std::vector<uint16_t>(part.triangle_words, part.triangle_words + triangles)
                                 : std::vector<uint16_t>(triangles, 0);
    }
    out.positions.resize(count);
    float z_min = corner_start, z_max = -corner_start;
    for (size_t i = 0; i < count; ++i) {
        const vec3_t& p = part.positions[i];
        out.positions[i] = vec3_t(round_unit(p.x), round_unit(p.y), round_unit(p.z));
        z_min = std::min(z_min, out.positions[i].z);
        z_max = std::max(z_max, out.positions[i].z);
    }
    if (how.corners)
        find_corners(out);
    out.length = how.length > 0.0f ? how.length : z_max - z_min;
    if (count == 0 || !(out.length > 0.0f)) {
        api::error("Road model %s: part \"%s\" has no length along z; the model is not used", model, part_name);
        out = road_section_t{};
        return false;
    }
    out.t.resize(count);
    for (size_t i = 0; i < count; ++i) {
        float t = (part.positions[i].z - z_min) / out.length;
        if (std::fabs(t - 1.0f) < t_snap)
            t = 1.0f;
        else if (t < t_snap)
            t = 0.0f;
        out.t[i] = t;
    }
    if (how.partners)
        weld(part, how, out);
    else
        out.repeat_vertex_count = static_cast<int32_t>(count);
    return true;
}

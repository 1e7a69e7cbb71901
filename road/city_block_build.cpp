// The buildings of the city blocks: each side of a block's outline lined with building models of its
// look, chosen by a seeded random ring, stretched to fill the side, with a box behind them. Blocks are
// shared by every built edge that reaches them.
#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "engine/random.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

namespace {

// Random numbers a block's placement cycles through.
constexpr int ring_size = 64;
// Depth and height of the box behind a side's buildings, the shortest usable side, and how far a last
// building may overshoot its side before it is dropped (centimetres).
constexpr float block_depth = 2000.0f;
constexpr float shortest_side = 2000.0f;
constexpr float overshoot_limit = 200.0f;
// Below this the cosine between two sides makes no corner to keep clear of.
constexpr float corner_cosine = 0.02f;
// Sides whose cosine is within this of 1 are collinear (or fold back): no inset can be computed.
constexpr float collinear_cosine = 0.9999f;
// Triangles of a side box, by its eight vertices.
constexpr uint16_t side_triangles[24] = {1, 2, 0, 0, 2, 3, 4, 0, 5, 5, 0, 3, 6, 7, 1, 1, 7, 2, 1, 6, 0, 0, 6, 4};

vec3_t unit(const vec3_t& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 0.0f ? vec3_t(v.x / length, v.y / length, v.z / length) : v;
}
float dot(const vec3_t& a, const vec3_t& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec3_t along(const vec3_t& p, const vec3_t& d, const float s)
{
    return vec3_t(p.x + d.x * s, p.y + d.y * s, p.z + d.z * s);
}

// The inset a side keeps from the corner with the side before it (cosine `c` between them).
float start_inset(const float c)
{
    if (c <= corner_cosine || c >= collinear_cosine)
        return 0.0f;
    return block_depth / std::sqrt(1.0f / (c * c) - 1.0f);
}

// What a side leaves free before the side after it (`c` the negated cosine between them).
float end_allowance(const float c, const float side_length)
{
    if (c <= -0.8f)
        return 0.0f;
    if (c <= corner_cosine)
        return block_depth;
    if (c >= collinear_cosine)
        return side_length;
    const float t = block_depth / std::sqrt(1.0f / (c * c) - 1.0f);
    return std::sqrt(t * t + block_depth * block_depth) + t;
}

// The kind whose cumulative weight range holds `r` (0 when none does).
int32_t choose_kind(const cityblock_look_t& look, const float r)
{
    float sum = 0.0f;
    for (int32_t k = 0; k < look.kind_count; ++k) {
        if (r >= sum && r < sum + look.kinds[k].weight)
            return k;
        sum += look.kinds[k].weight;
    }
    return 0;
}

}  // namespace

city_block_instance_t* seg_server_t::acquire_city_block(const int32_t block, map_cityblock_t& record)
{
    if (record.instance != 0 && record.instance <= city_blocks.size() && city_blocks[record.instance - 1]) {
        city_block_instance_t& built = *city_blocks[record.instance - 1];
        ++built.references;
        return &built;
    }
    auto free_slot = std::find(city_blocks.begin(), city_blocks.end(), nullptr);
    if (free_slot == city_blocks.end())
        free_slot = city_blocks.insert(city_blocks.end(), nullptr);
    *free_slot = std::make_unique<city_block_instance_t>();
    city_block_instance_t& built = **free_slot;
    built.block = block;
    built.references = 1;
    record.instance = static_cast<uint32_t>(free_slot - city_blocks.begin()) + 1;
    build_city_blocks(built, record);
    insert_block_collision(built);
    return &built;
}

void seg_server_t::release_city_block(map_cityblock_t& record)
{
    if (record.instance == 0 || record.instance > city_blocks.size() || !city_blocks[record.instance - 1]) {
        record.instance = 0;
        return;
    }
    std::unique_ptr<city_block_instance_t>& built = city_blocks[record.instance - 1];
    if (--built->references <= 0) {
        remove_block_collision(*built);
        built.reset();
        record.instance = 0;
    }
}

void seg_server_t::build_city_blocks(city_block_instance_t& built, const map_cityblock_t& record)
{
    built.building_count = 0;
    built.side_boxes.clear();
    built.indices.clear();
    const int32_t n = record.point_count;
    if (n < 0 || n > map_cityblock_max_points) {
        api::error("City block %d has %d outline points, not 0 to %d; it gets no buildings", built.block, n,
                   map_cityblock_max_points);
        return;
    }
    for (int32_t i = 0; i < 4; ++i)
        built.corners[i] = i < n ? record.points[i] : vec3_t{};
    // The ground quad needs the four corners.
    if (n >= 4)
        built.indices = {1, 2, 0, 0, 2, 3};
    if (record.definition < 0 || static_cast<size_t>(record.definition) >= cityblock_looks.size()) {
        api::error("City block %d names look %d, which does not exist; it gets no buildings", built.block,
                   record.definition);
        return;
    }
    const cityblock_look_t& look = cityblock_looks[static_cast<size_t>(record.definition)];
    randomizer_t random(static_cast<uint32_t>(record.seed));
    float ring[ring_size];
    for (float& r : ring)
        r = random.rand();
    if (look.kind_count == 0 || n == 0)
        return;
    if (look.kind_count == 1) {
        built.kinds[0] = 0;
        built.positions[0] = n >= 4 ? vec3_t((record.points[0].x + record.points[2].x) * 0.5f,
                                             (record.points[0].y + record.points[2].y) * 0.5f,
                                             (record.points[0].z + record.points[2].z) * 0.5f)
                                    : record.points[0];
        built.rotations[0] = quat_t{};
        built.stretch[0] = 1.0f;
        built.building_count = 1;
        return;
    }
    // The kind's width, 0 for a kind without a usable model.
    const auto width_of = [&](const int32_t kind) {
        const int32_t model = look.kinds[kind].model;
        return model >= 0 && static_cast<size_t>(model) < cityblock_models.size()
                   ? static_cast<float>(cityblock_models[static_cast<size_t>(model)].width)
                   : 0.0f;
    };
    int32_t narrowest = 0;
    for (int32_t k = 1; k < look.kind_count; ++k)
        if (width_of(k) < width_of(narrowest))
            narrowest = k;
    if (!(width_of(narrowest) > 0.0f)) {
        api::error("City-block look %s has a building kind without width; its blocks get no buildings", look.name);
        return;
    }
    const bool closed = n == 4;
    const int32_t first_side = closed ? 0 : 1;
    const int32_t side_end = closed ? 4 : n - 2;
    const auto point = [&](const int32_t i) { return record.points[closed ? (i + 4) % 4 : i]; };
    int32_t next_random = 0;
    for (int32_t side = first_side; side < side_end && built.building_count < city_block_max_buildings; ++side) {
        const vec3_t p = point(side);
        const vec3_t span = point(side + 1) - p;
        const float side_length = std::sqrt(dot(span, span));
        const vec3_t d = unit(span);
        const float a = start_inset(dot(d, unit(p - point(side - 1))));
        const float b = end_allowance(-dot(d, unit(point(side + 2) - point(side + 1))), side_length);
        const float usable = std::max(side_length - b, shortest_side);
        // The box behind the side's buildings.
        const auto box_index = static_cast<uint16_t>(4 + built.side_boxes.size());
        const vec3_t q0 = along(p, d, a);
        const vec3_t q1 = along(q0, d, usable - a);
        const vec3_t up(0.0f, block_depth, 0.0f);
        const vec3_t q2 = q1 + up, q3 = q0 + up;
        // d x up: away from the street, behind the buildings.
        const vec3_t back = unit(vec3_t(-d.z, 0.0f, d.x));
        for (const vec3_t& q : {q0, q1, q2, q3, q0, q3, q1, q2})
            built.side_boxes.push_back(q);
        for (int i = 4; i < 8; ++i)
            built.side_boxes[box_index - 4 + i] = along(built.side_boxes[box_index - 4 + i], back, block_depth);
        for (const uint16_t index : side_triangles)
            built.indices.push_back(static_cast<uint16_t>(index + box_index));
        // The buildings along it.
        quat_t yaw;
        yaw.set(vec3_t(0.0f, 1.0f, 0.0f), cartes_2_ypr(d).y);
        const int32_t side_first = built.building_count;
        float x = a, remaining = usable;
        while (built.building_count < city_block_max_buildings) {
            int32_t kind = choose_kind(look, ring[next_random++ % ring_size]);
            if (remaining < width_of(kind) || !(width_of(kind) > 0.0f))
                kind = narrowest;
            const float w = width_of(kind);
            const int32_t at = built.building_count;
            built.kinds[at] = kind;
            built.positions[at] = along(p, d, x);
            built.rotations[at] = yaw;
            built.stretch[at] = 1.0f;
            x += w;
            remaining -= w;
            if (remaining < 0.0f && remaining <= -overshoot_limit)
                x -= w;
            else
                ++built.building_count;
            if (remaining > 0.0f)
                continue;
            if (remaining < 0.0f && x > 0.0f) {
                const float f = usable / x;
                for (int32_t i = side_first; i < built.building_count; ++i) {
                    built.stretch[i] = f;
                    if (i > side_first)
                        built.positions[i] = along(built.positions[i - 1], d, f * width_of(built.kinds[i - 1]));
                }
            }
            break;
        }
    }
}

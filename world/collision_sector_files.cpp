#include "world/collision_sector_files.h"

#include <cmath>
#include <utility>

#include "engine/mbio.h"
#include "engine/mem.h"
#include "world/world_map_files.h"

namespace {

bool fail(std::string& why, const char* text)
{
    why = text;
    return false;
}

// Reads two corners, negating and exchanging their z values.
bool read_corners(mbio_t& in, vec3_t& first, vec3_t& second)
{
    if (!in.read_f32(first.x) || !in.read_f32(first.y) || !in.read_f32(first.z) || !in.read_f32(second.x) ||
        !in.read_f32(second.y) || !in.read_f32(second.z))
        return false;
    const float z = first.z;
    first.z = -second.z;
    second.z = -z;
    return true;
}

// The bytes one node and its subtree take; false when the file ends or nests too deep.
bool measure(mbio_t& in, int depth, size_t& size)
{
    if (depth > world_tree_max_depth)
        return false;
    uint8_t kind = 0;
    if (!in.read_u8(kind))
        return false;
    if (kind != 0) {
        size += cd_bvnode_inner_size;
        return measure(in, depth + 1, size) && measure(in, depth + 1, size);
    }
    uint16_t count = 0;
    if (!in.skip(24) || !in.read_u16(count) || !in.skip(size_t{count} * 4))
        return false;
    size += cd_bvnode_leaf_size(count);
    return true;
}

// Writes one node and its subtree at `cursor` (the measure pass proved they fit).
cd_bvnode_t* build(mbio_t& in, char*& cursor)
{
    uint8_t kind = 0;
    in.read_u8(kind);
    auto* node = reinterpret_cast<cd_bvnode_t*>(cursor);
    if (kind != 0) {
        cursor += cd_bvnode_inner_size;
        cd_bvnode_t* const in_file_first = build(in, cursor);
        cd_bvnode_t* const in_file_second = build(in, cursor);
        node->first = in_file_second;
        node->second = in_file_first;
        node->bounds = in_file_first->bounds;
        node->bounds.add_bounds(in_file_second->bounds);
        return node;
    }
    vec3_t a;
    vec3_t b;
    read_corners(in, a, b);
    uint16_t count = 0;
    in.read_u16(count);
    cursor += cd_bvnode_leaf_size(count);
    node->first = nullptr;
    node->second = nullptr;
    const float low[3] = {std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z)};
    const float high[3] = {std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z)};
    node->bounds.set_empty();
    node->bounds.add_box(low, high);
    node->count() = count;
    for (uint16_t i = 0; i < count; ++i)
        in.read_u32(node->ids()[i]);
    return node;
}

}  // namespace

bool sector_index_parse(const uint8_t* data, size_t size, sector_index_t& out, std::string& why)
{
    mbio_t in(data, size);
    sector_index_t index;
    float offset[3];
    float edge = 0.0f;
    uint32_t count = 0;
    if (!read_corners(in, index.corners[0], index.corners[1]) || !in.read_f32(offset[0]) || !in.read_f32(offset[1]) ||
        !in.read_f32(offset[2]) || !in.read_f32(edge) || !in.read_u32(count))
        return fail(why, "the index ends early");
    for (int k = 0; k < 3; ++k) {
        if (!(std::fabs(offset[k]) < 1e9f))
            return fail(why, "a grid offset is not a usable number");
        index.offset[k] = static_cast<int32_t>(std::floor(offset[k]));
    }
    const float rounded = std::floor(edge + 0.5f);
    if (!(rounded >= 1.0f && rounded < 1e9f))
        return fail(why, "the sector edge is below 1");
    index.edge = static_cast<int32_t>(rounded);
    for (const vec3_t& corner : index.corners)
        if (!std::isfinite(corner.x) || !std::isfinite(corner.y) || !std::isfinite(corner.z))
            return fail(why, "a corner is not a number");
    if (in.remaining() != size_t{count} * 6)
        return fail(why, "the sector count does not match the file's size");
    index.sectors.resize(count);
    for (auto& sector : index.sectors)
        for (uint16_t& c : sector)
            in.read_u16(c);
    out = std::move(index);
    return true;
}

sector_tree_t::~sector_tree_t() { mem_sys_free(block_); }

bool sector_tree_t::parse(const uint8_t* data, size_t size, std::string& why)
{
    mbio_t measuring(data, size);
    size_t bytes = 0;
    if (!measure(measuring, 0, bytes))
        return fail(why, "the tree ends early or nests too deep");
    if (measuring.remaining() != 0)
        return fail(why, "bytes follow the tree");
    void* const block = mem_sys_alloc(bytes);
    if (!block)
        return fail(why, "no memory for the tree");
    mem_sys_free(block_);
    block_ = block;
    size_ = bytes;
    char* cursor = static_cast<char*>(block);
    mbio_t in(data, size);
    root_ = build(in, cursor);
    return true;
}

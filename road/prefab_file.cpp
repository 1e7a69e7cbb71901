#include "road/prefab_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/engine_api.h"

namespace {

// Bytes of the fixed records of a prefab model file.
constexpr size_t header_bytes = 36;
constexpr size_t name_bytes = 16;
constexpr size_t node_bytes = 12 + 4 * 2 * prefab_node_heights;
constexpr size_t sign_name_bytes = 8;
constexpr size_t sign_bytes = sign_name_bytes + 12 + 16;
constexpr size_t point_bytes = 12;
constexpr size_t dock_bytes = 4 * prefab_dock_words;
constexpr size_t light_place_bytes = 28;
// The bounds a render part's box starts from.
constexpr float bounds_start = 100000000.0f;

// Reads the little-endian records of a prefab model file in order, refusing to step past its end.
class prefab_reader_t {
public:
    prefab_reader_t(const uint8_t* bytes, const size_t size) : bytes_(bytes), size_(size) {}

    // Set when a record was refused with its own message (rather than the file running out).
    bool refused = false;

    // True when `count` records of `record` bytes each remain.
    bool holds(const uint64_t count, const size_t record) const
    {
        return record == 0 || count <= (size_ - at_) / record;
    }
    bool u32(uint32_t& out)
    {
        if (!holds(1, 4))
            return false;
        out = static_cast<uint32_t>(bytes_[at_]) | static_cast<uint32_t>(bytes_[at_ + 1]) << 8 |
              static_cast<uint32_t>(bytes_[at_ + 2]) << 16 | static_cast<uint32_t>(bytes_[at_ + 3]) << 24;
        at_ += 4;
        return true;
    }
    bool f32(float& out)
    {
        uint32_t bits = 0;
        if (!u32(bits))
            return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }
    bool vec3(vec3_t& out) { return f32(out.x) && f32(out.y) && f32(out.z); }
    bool quat(quat_t& out) { return f32(out.x) && f32(out.y) && f32(out.z) && f32(out.w); }
    bool u16(uint16_t& out)
    {
        if (!holds(1, 2))
            return false;
        out = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return true;
    }
    // A NUL-padded name of `field` bytes into `out` of `out_size` bytes (cut to fit, always ended).
    bool name(char* out, const size_t out_size, const size_t field)
    {
        if (!holds(1, field))
            return false;
        const size_t length = std::min(strnlen(reinterpret_cast<const char*>(bytes_ + at_), field), out_size - 1);
        std::memcpy(out, bytes_ + at_, length);
        out[length] = '\0';
        at_ += field;
        return true;
    }
    bool vec3s(std::vector<vec3_t>& out, const uint32_t count)
    {
        if (!holds(count, 12))
            return false;
        out.resize(count);
        for (vec3_t& v : out)
            vec3(v);
        return true;
    }
    bool floats(std::vector<float>& out, const uint64_t count)
    {
        if (!holds(count, 4))
            return false;
        out.resize(static_cast<size_t>(count));
        for (float& f : out)
            f32(f);
        return true;
    }
    bool u16s(std::vector<uint16_t>& out, const uint32_t count)
    {
        if (!holds(count, 2))
            return false;
        out.resize(count);
        for (uint16_t& v : out)
            u16(v);
        return true;
    }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t at_ = 0;
};

// The counts of the file's header, in file order.
struct prefab_counts_t {
    uint32_t version, nodes, parts, coll_parts, curves, signs, points, docks, light_places;
};

// The look slot of a part's shader name, or -1 (reported).
int32_t part_slot(const char* shader, const char* path)
{
    const int32_t slot = prefab_shader_slot(shader);
    if (slot < 0)
        api::error("unsupported part shader %s in prefab %s", shader, path);
    return slot;
}

// True when every index of `indices` names one of `vertices` vertices (reported otherwise).
bool indices_fit(prefab_reader_t& in, const std::vector<uint16_t>& indices, const size_t vertices, const char* what,
                 const uint32_t part, const char* path)
{
    for (const uint16_t index : indices)
        if (index >= vertices) {
            in.refused = true;
            api::error("Prefab %s: %s %u has index %u past its %zu vertices; the prefab is refused", path, what, part,
                       index, vertices);
            return false;
        }
    return true;
}

bool read_part(prefab_reader_t& in, prefab_part_t& part, const uint32_t number, const char* path)
{
    char shader[name_bytes + 1];
    uint32_t vertices = 0, indices = 0;
    if (!in.name(part.name, sizeof part.name, name_bytes) || !in.name(shader, sizeof shader, name_bytes) ||
        !in.u32(vertices) || !in.u32(indices))
        return false;
    if (!in.holds(vertices, 32) || !in.holds(indices, 2))
        return false;
    part.shader_slot = part_slot(shader, path);
    const uint64_t size = 32ull * vertices + 2ull * indices;
    part.size = static_cast<int32_t>(size);
    if (size > static_cast<uint64_t>(prefab_part_size_limit))
        api::error("%s part of %s prefab exceeds 64k boundary !!!", part.name, path);
    if (!in.vec3s(part.positions, vertices) || !in.vec3s(part.normals, vertices) ||
        !in.floats(part.uvs, 2ull * vertices) || !in.u16s(part.indices, indices))
        return false;
    if (!indices_fit(in, part.indices, vertices, "render part", number, path))
        return false;
    vec3_t low(bounds_start, bounds_start, bounds_start), high(-bounds_start, -bounds_start, -bounds_start);
    for (const vec3_t& p : part.positions) {
        low = vec3_t(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = vec3_t(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    part.centre =
        vec3_t(low.x + (high.x - low.x) * 0.5f, low.y + (high.y - low.y) * 0.5f, low.z + (high.z - low.z) * 0.5f);
    const vec3_t d(part.centre.x - low.x, part.centre.y - low.y, part.centre.z - low.z);
    part.radius = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    return true;
}

// The collision kind a file's kind word stands for, 0 when unknown.
int32_t coll_kind(const uint32_t word)
{
    switch (word) {
    case 1:
        return 4;
    case 2:
    case 3:
        return static_cast<int32_t>(word);
    case 4:
        return 1;
    default:
        return 0;
    }
}

bool read_coll_part(prefab_reader_t& in, prefab_coll_part_t& part, const uint32_t number, const char* path)
{
    uint32_t vertices = 0, indices = 0, kind = 0, unused = 0;
    if (!in.u32(vertices) || !in.u32(indices) || !in.u32(kind) || !in.u32(unused))
        return false;
    if (!in.holds(vertices, 12) || !in.holds(indices, 2))
        return false;
    part.kind = coll_kind(kind);
    if (part.kind == 0)
        api::error("Wrong collision part type in part %u of %s.", number, path);
    const uint64_t size = 12ull * vertices + 2ull * indices + 4ull * (indices / 3);
    part.size = static_cast<int32_t>(size);
    if (size >= static_cast<uint64_t>(prefab_part_size_limit))
        api::error("collision part #%u of %s prefab exceeds 64k boundary !!!", number, path);
    return in.vec3s(part.positions, vertices) && in.u16s(part.indices, indices) &&
           indices_fit(in, part.indices, vertices, "collision part", number, path);
}

bool read_node(prefab_reader_t& in, prefab_node_t& node)
{
    if (!in.vec3(node.position))
        return false;
    for (auto& heights : node.terrain_heights)
        for (float& height : heights)
            in.f32(height);
    return true;
}

bool read_curve(prefab_reader_t& in, prefab_curve_t& curve, const uint32_t number, const char* path)
{
    uint32_t count = 0;
    if (!in.name(curve.name, sizeof curve.name, name_bytes) || !in.u32(count) || !in.holds(count, 52))
        return false;
    if (count == 0) {
        in.refused = true;
        api::error("Prefab %s: curve %u (%s) has no segments; the prefab is refused", path, number, curve.name);
        return false;
    }
    curve.segments.resize(count);
    for (prefab_curve_segment_t& s : curve.segments)
        in.vec3(s.start);
    for (prefab_curve_segment_t& s : curve.segments)
        in.vec3(s.start_direction);
    for (prefab_curve_segment_t& s : curve.segments)
        in.vec3(s.end);
    for (prefab_curve_segment_t& s : curve.segments)
        in.vec3(s.end_direction);
    for (prefab_curve_segment_t& s : curve.segments)
        in.f32(s.length);
    return true;
}

bool read_sections(prefab_reader_t& in, const prefab_counts_t& counts, const char* path, prefab_t& out)
{
    if (!in.holds(counts.parts, 40) || !in.holds(counts.coll_parts, 16) || !in.holds(counts.nodes, node_bytes) ||
        !in.holds(counts.curves, name_bytes + 4) || !in.holds(counts.signs, sign_bytes) ||
        !in.holds(counts.points, point_bytes) || !in.holds(counts.docks, dock_bytes) ||
        !in.holds(counts.light_places, light_place_bytes))
        return false;
    out.parts.resize(counts.parts);
    for (uint32_t i = 0; i < counts.parts; ++i)
        if (!read_part(in, out.parts[i], i, path))
            return false;
    out.coll_parts.resize(counts.coll_parts);
    for (uint32_t i = 0; i < counts.coll_parts; ++i)
        if (!read_coll_part(in, out.coll_parts[i], i, path))
            return false;
    out.nodes.resize(counts.nodes);
    for (prefab_node_t& node : out.nodes)
        if (!read_node(in, node))
            return false;
    out.curves.resize(counts.curves);
    for (uint32_t i = 0; i < counts.curves; ++i)
        if (!read_curve(in, out.curves[i], i, path))
            return false;
    out.signs.resize(counts.signs);
    for (prefab_sign_t& sign : out.signs)
        if (!in.name(sign.name, sizeof sign.name, sign_name_bytes) || !in.vec3(sign.position) ||
            !in.quat(sign.rotation))
            return false;
    if (!in.vec3s(out.points, counts.points))
        return false;
    out.docks.resize(counts.docks);
    for (auto& dock : out.docks)
        for (uint32_t& word : dock)
            if (!in.u32(word))
                return false;
    out.light_places.resize(counts.light_places);
    for (prefab_light_place_t& place : out.light_places)
        if (!in.vec3(place.position) || !in.quat(place.rotation))
            return false;
    return true;
}

// Empties the tables the file fills.
void clear_file_tables(prefab_t& out)
{
    out.parts.clear();
    out.coll_parts.clear();
    out.nodes.clear();
    out.curves.clear();
    out.signs.clear();
    out.points.clear();
    out.docks.clear();
    out.light_places.clear();
}

}  // namespace

bool prefab_file_parse(const uint8_t* bytes, const size_t size, const char* path, prefab_t& out)
{
    clear_file_tables(out);
    prefab_reader_t in(bytes, size);
    prefab_counts_t counts{};
    if (!in.u32(counts.version)) {
        api::error("Prefab %s is too short to hold its header; it is refused", path);
        return false;
    }
    if (counts.version != prefab_file_version) {
        api::error("Incorrect prefab version (%s)", path);
        return false;
    }
    if (size < header_bytes || !in.u32(counts.nodes) || !in.u32(counts.parts) || !in.u32(counts.coll_parts) ||
        !in.u32(counts.curves) || !in.u32(counts.signs) || !in.u32(counts.points) || !in.u32(counts.docks) ||
        !in.u32(counts.light_places)) {
        api::error("Prefab %s is too short to hold its header; it is refused", path);
        return false;
    }
    if (!read_sections(in, counts, path, out)) {
        if (!in.refused)
            api::error("Prefab %s: its counts do not fit the file's %zu bytes; it is refused", path, size);
        clear_file_tables(out);
        return false;
    }
    return true;
}

size_t prefab_bytes(const prefab_t& prefab)
{
    size_t bytes = 0;
    for (const prefab_part_t& part : prefab.parts)
        bytes += part.positions.size() * 32 + (part.indices.size() * 2 + 3) / 4 * 4;
    for (const prefab_coll_part_t& part : prefab.coll_parts)
        bytes += part.positions.size() * 12 + (part.indices.size() * 2 + 3) / 4 * 4;
    bytes += prefab.nodes.size() * sizeof(prefab_node_t);
    for (const prefab_curve_t& curve : prefab.curves)
        bytes += sizeof(prefab_curve_t) + curve.segments.size() * sizeof(prefab_curve_segment_t);
    bytes += prefab.signs.size() * sizeof(prefab_sign_t) + prefab.points.size() * sizeof(vec3_t) +
             prefab.docks.size() * dock_bytes + prefab.light_places.size() * sizeof(prefab_light_place_t);
    return bytes;
}

#include "world/world_map_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/mbio.h"
#include "common/engine_api.h"
#include "engine/vfs.h"
#include "world/map_noise.h"

namespace {

// Fails a read with the reason.
bool fail(std::string& why, const char* text)
{
    why = text;
    return false;
}

// Reads the pre-order nodes of one tree; `read_node` reads one node's own fields and says whether it is
// inner. Nodes land in `nodes` in file order; an inner node's children are the subtrees that follow.
template <typename node_t, typename read_t>
bool read_tree(mbio_t& in, std::vector<node_t>& nodes, const read_t& read_node, int depth, int32_t& index_out,
               std::string& why)
{
    if (depth > world_tree_max_depth)
        return fail(why, "a tree nests too deep");
    uint8_t kind = 0;
    if (!in.read_u8(kind))
        return fail(why, "a tree ends early");
    const auto index = static_cast<int32_t>(nodes.size());
    nodes.emplace_back();
    if (!read_node(in, nodes[static_cast<size_t>(index)], kind != 0))
        return fail(why, why.empty() ? "a tree node ends early" : why.c_str());
    if (kind != 0) {
        int32_t first = -1;
        int32_t second = -1;
        if (!read_tree(in, nodes, read_node, depth + 1, first, why) ||
            !read_tree(in, nodes, read_node, depth + 1, second, why))
            return false;
        nodes[static_cast<size_t>(index)].children[0] = first;
        nodes[static_cast<size_t>(index)].children[1] = second;
    }
    index_out = index;
    return true;
}

// A u16 count and that many u16 values, each below `limit`.
bool read_u16_list(mbio_t& in, std::vector<uint16_t>& out, uint32_t limit)
{
    uint16_t count = 0;
    if (!in.read_u16(count) || in.remaining() < size_t{count} * 2)
        return false;
    out.resize(count);
    for (uint16_t& value : out)
        if (!in.read_u16(value) || value >= limit)
            return false;
    return true;
}

}  // namespace

bool map_index_parse(const uint8_t* data, size_t size, map_index_t& out, std::string& why)
{
    mbio_t in(data, size);
    map_index_t index;
    uint32_t mesh_count = 0;
    if (!in.read_u32(index.chunk_count) || !in.read_count(mesh_count, 4))
        return fail(why, "bad mesh count: the mesh table is longer than the file (cut short?)");
    if (index.chunk_count > 65536)
        return fail(why, "more than 65536 chunks");
    index.meshes.resize(mesh_count);
    for (map_mesh_ref_t& mesh : index.meshes) {
        in.read_u16(mesh.chunk);
        in.read_u16(mesh.mesh);
        if (mesh.chunk >= index.chunk_count)
            return fail(why, "a mesh names a chunk beyond the chunk count");
    }
    out = std::move(index);
    return true;
}

bool lightmap_parse(const uint8_t* data, size_t size, const map_index_t& index, uint16_t chunk, lightmap_chunk_t& out,
                    std::string& why)
{
    mbio_t in(data, size);
    lightmap_chunk_t result;
    while (in.remaining() > 0) {
        lightmap_group_t group;
        uint16_t count = 0;
        if (!in.read_u16(group.mesh) || !in.read_u16(count))
            return fail(why, "a light-map group ends early");
        if (group.mesh >= index.meshes.size() || index.meshes[group.mesh].chunk != chunk)
            return fail(why, "a light-map group names a mesh of another chunk");
        for (uint16_t i = 0; i < count; ++i) {
            lightmap_image_t image;
            int32_t controller = 0;
            if (!in.read_u16(image.width) || !in.read_u16(image.height) || !in.read_u16(image.extra[0]) ||
                !in.read_u16(image.extra[1]) || !in.read_i32(controller))
                return fail(why, "a light-map image ends early");
            const size_t pixels = size_t{image.width} * image.height;
            if (in.remaining() < pixels * 3)
                return fail(why, "a light-map image is larger than the file");
            if (controller != -1)
                api::error("can't map light controller %ld", static_cast<long>(controller));
            image.rgba.resize(pixels * 4);
            for (size_t p = 0; p < pixels; ++p) {
                in.read_bytes(&image.rgba[p * 4], 3);
                image.rgba[p * 4 + 3] = 0xFF;
            }
            group.images.push_back(std::move(image));
        }
        result.groups.push_back(std::move(group));
    }
    out = std::move(result);
    return true;
}

bool geometry_chunk_parse(const uint8_t* data, size_t size, uint32_t texture_count, geometry_chunk_t& out,
                          std::string& why)
{
    mbio_t in(data, size);
    char magic[8];
    if (!in.read_bytes(magic, sizeof magic))
        return fail(why, "the file is cut short before its magic");
    if (std::memcmp(magic, geometry_magic, sizeof magic) != 0)
        return fail(why, "wrong magic: not a map chunk of this version");
    // The smallest mesh record: eight words and the two counts.
    constexpr size_t mesh_head = 4 * 10;
    uint32_t mesh_count = 0;
    if (!in.read_count(mesh_count, mesh_head))
        return fail(why, "bad mesh count: larger than the file holds (cut short?)");
    geometry_chunk_t chunk;
    chunk.meshes.resize(mesh_count);
    for (map_mesh_t& mesh : chunk.meshes) {
        uint32_t vertex_count = 0;
        uint32_t index_count = 0;
        if (!in.read_u32(mesh.texture) || !in.read_u32(mesh.flags) || !in.read_u32(mesh.max_distance) ||
            !in.read_u32(mesh.surface) || !in.read_f32(mesh.centre.x) || !in.read_f32(mesh.centre.y) ||
            !in.read_f32(mesh.centre.z) || !in.read_f32(mesh.radius) || !in.read_u32(vertex_count) ||
            !in.read_u32(index_count))
            return fail(why, "a mesh record ends early");
        if (mesh.texture >= texture_count)
            return fail(why, "a mesh names a texture beyond the texture list");
        if (vertex_count > 65536 || index_count % 3 != 0)
            return fail(why, "a mesh has more than 65536 vertices or a partial triangle");
        if (in.remaining() < size_t{vertex_count} * 24 + size_t{index_count} * 2)
            return fail(why, "a mesh is larger than the file");
        mesh.positions.resize(vertex_count);
        mesh.colours.resize(vertex_count);
        mesh.packed_colours.resize(vertex_count);
        for (uint32_t v = 0; v < vertex_count; ++v) {
            vec3_t& p = mesh.positions[v];
            vec3_t& c = mesh.colours[v];
            in.read_f32(p.x);
            in.read_f32(p.y);
            in.read_f32(p.z);
            in.read_f32(c.x);
            in.read_f32(c.y);
            in.read_f32(c.z);
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z) || !std::isfinite(c.x) ||
                !std::isfinite(c.y) || !std::isfinite(c.z))
                return fail(why, "a mesh vertex is not a number");
            // The ground's colour varies slowly with the place, repeating every 32000 units.
            const float tint = (map_noise2(p.x * 0.008f, p.z * 0.008f) + 1.0f) * 0.6f;
            c = c * tint;
            uint32_t packed = 0xFF000000u;
            const float channels[3] = {c.x, c.y, c.z};
            for (int k = 0; k < 3; ++k) {
                const float byte = channels[k] < 0.0f ? 0.0f : (channels[k] > 1.0f ? 255.0f : channels[k] * 255.0f);
                packed |= static_cast<uint32_t>(byte + 0.5f) << (8 * k);
            }
            mesh.packed_colours[v] = packed;
        }
        mesh.indices.resize(index_count);
        for (uint16_t& i : mesh.indices) {
            in.read_u16(i);
            if (i >= vertex_count)
                return fail(why, "a mesh index names a vertex beyond its mesh");
        }
    }
    out = std::move(chunk);
    return true;
}

void lightmap_colour_vertices(const lightmap_group_t& group, map_mesh_t& mesh)
{
    if (group.images.empty())
        return;
    const lightmap_image_t& image = group.images.front();
    const size_t pixels = image.rgba.size() / 4;
    const size_t count = pixels < mesh.packed_colours.size() ? pixels : mesh.packed_colours.size();
    for (size_t v = 0; v < count; ++v) {
        const uint8_t* p = &image.rgba[v * 4];
        mesh.packed_colours[v] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
}

bool texture_list_parse(const uint8_t* data, size_t size, texture_list_t& out, std::string& why)
{
    mbio_t in(data, size);
    uint32_t count = 0;
    if (!in.read_count(count, texture_entry_size))
        return fail(why, "bad texture count: larger than the file holds (cut short?)");
    texture_list_t list;
    list.names.resize(count);
    for (std::string& name : list.names) {
        char field[64];
        in.read_bytes(field, sizeof field);
        in.skip(4);
        const void* end = std::memchr(field, 0, sizeof field);
        if (!end)
            return fail(why, "a texture name does not end within its 64 bytes");
        name.assign(field, static_cast<size_t>(static_cast<const char*>(end) - field));
    }
    out = std::move(list);
    return true;
}

bool visibility_tree_parse(const uint8_t* data, size_t size, uint32_t mesh_count, visibility_tree_t& out,
                           std::string& why)
{
    mbio_t in(data, size);
    uint32_t tree_count = 0;
    // Each sphere tree takes at least one 17-byte leaf.
    if (!in.read_count(tree_count, 17))
        return fail(why, "the sphere-tree count is larger than the file");
    visibility_tree_t tree;
    tree.sphere_trees.resize(tree_count);
    const auto read_sphere = [mesh_count](mbio_t& stream, sphere_node_t& node, bool inner) {
        if (!stream.read_f32(node.centre.x) || !stream.read_f32(node.centre.y) || !stream.read_f32(node.centre.z) ||
            !stream.read_f32(node.radius))
            return false;
        node.centre.z = -node.centre.z;
        return inner || read_u16_list(stream, node.meshes, mesh_count);
    };
    for (std::vector<sphere_node_t>& nodes : tree.sphere_trees) {
        int32_t root = -1;
        if (!read_tree(in, nodes, read_sphere, 0, root, why))
            return fail(why, ("sphere tree: " + why).c_str());
    }
    const auto read_partition = [tree_count](mbio_t& stream, partition_node_t& node, bool inner) {
        if (!inner)
            return read_u16_list(stream, node.trees, tree_count);
        for (float& value : node.plane)
            if (!stream.read_f32(value))
                return false;
        return true;
    };
    int32_t root = -1;
    if (!read_tree(in, tree.partition, read_partition, 0, root, why))
        return fail(why, ("partition tree: " + why).c_str());
    out = std::move(tree);
    return true;
}

bool world_file_read(const char* path, std::vector<uint8_t>& out)
{
    constexpr long long largest = 256ll << 20;
    const int file = api::vfs_open(path, 0, 0x1b6);
    if (file < 0)
        return false;
    vfs_stat_t stat{};
    bool ok = api::vfs_fstat(file, &stat) == 0 && stat.size >= 0 && stat.size <= largest;
    if (ok) {
        out.resize(static_cast<size_t>(stat.size));
        ok = stat.size == 0 || api::vfs_read(file, out.data(), static_cast<long>(stat.size)) == stat.size;
    }
    api::vfs_close(file);
    return ok;
}

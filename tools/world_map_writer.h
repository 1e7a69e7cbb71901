#pragma once
// Writes the files of a static world's directory (the index, the texture list, the geometry and light
// map chunks, the collision index and its sector trees) from meshes given in world orientation. Used by
// the sample data's generator and by the tests that need a world map of their own.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/vec.h"

namespace world_map_writer {

// One mesh: its texture index, flags, draw distance and surface word, its vertices (world orientation)
// with their colours (0..1), and its triangles as index triples.
struct mesh_t {
    uint32_t texture = 0;
    uint32_t flags = 4;
    uint32_t max_distance = 0;
    uint32_t surface = 0;
    std::vector<vec3_t> positions;
    std::vector<vec3_t> colours;
    std::vector<uint16_t> indices;
};

// Little-endian bytes.
struct bytes_t {
    std::vector<uint8_t> data;
    void u8(uint8_t v) { data.push_back(v); }
    void u16(uint16_t v)
    {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
};

// A triangle of the collision: its reference and its world corners.
struct triangle_t {
    uint32_t reference;
    vec3_t corners[3];
};

// Writes two world corners as the files keep them (z negated, the corners' z exchanged).
inline void put_corners(bytes_t& out, const vec3_t& low, const vec3_t& high)
{
    out.f32(low.x);
    out.f32(low.y);
    out.f32(-high.z);
    out.f32(high.x);
    out.f32(high.y);
    out.f32(-low.z);
}

// The box of some triangles.
inline void box_of(const std::vector<triangle_t>& triangles, vec3_t& low, vec3_t& high)
{
    low = vec3_t(1e30f, 1e30f, 1e30f);
    high = vec3_t(-1e30f, -1e30f, -1e30f);
    for (const triangle_t& t : triangles)
        for (const vec3_t& c : t.corners) {
            low = vec3_t(std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z));
            high = vec3_t(std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z));
        }
}

// A sector tree in pre-order: leaves of at most 8 triangles, split at the median along the longer
// horizontal axis.
inline void put_tree(bytes_t& out, std::vector<triangle_t> triangles)
{
    vec3_t low;
    vec3_t high;
    box_of(triangles, low, high);
    if (triangles.size() <= 8) {
        out.u8(0);
        put_corners(out, low, high);
        out.u16(static_cast<uint16_t>(triangles.size()));
        for (const triangle_t& t : triangles)
            out.u32(t.reference);
        return;
    }
    const bool along_x = high.x - low.x >= high.z - low.z;
    std::sort(triangles.begin(), triangles.end(), [along_x](const triangle_t& a, const triangle_t& b) {
        const float ka = along_x ? a.corners[0].x + a.corners[1].x + a.corners[2].x
                                 : a.corners[0].z + a.corners[1].z + a.corners[2].z;
        const float kb = along_x ? b.corners[0].x + b.corners[1].x + b.corners[2].x
                                 : b.corners[0].z + b.corners[1].z + b.corners[2].z;
        return ka < kb;
    });
    const auto middle = triangles.begin() + static_cast<std::ptrdiff_t>(triangles.size() / 2);
    out.u8(1);
    put_tree(out, std::vector<triangle_t>(triangles.begin(), middle));
    put_tree(out, std::vector<triangle_t>(middle, triangles.end()));
}

// A whole world directory's files by name.
struct world_files_t {
    std::map<std::string, std::vector<uint8_t>> files;
};

// Builds the files of `chunks` (each a list of meshes) with `textures`, collision sectors of `edge`
// units. Every mesh is listed in "mesh.dat" in chunk order; light-map chunks are empty.
inline world_files_t build(const std::vector<std::vector<mesh_t>>& chunks, const std::vector<std::string>& textures,
                           float edge)
{
    world_files_t out;
    bytes_t index;
    uint32_t mesh_count = 0;
    for (const auto& chunk : chunks)
        mesh_count += static_cast<uint32_t>(chunk.size());
    index.u32(static_cast<uint32_t>(chunks.size()));
    index.u32(mesh_count);
    std::vector<triangle_t> triangles;
    uint32_t global = 0;
    for (size_t c = 0; c < chunks.size(); ++c) {
        bytes_t gdt;
        for (const char ch : std::string("GEOM0006"))
            gdt.u8(static_cast<uint8_t>(ch));
        gdt.u32(static_cast<uint32_t>(chunks[c].size()));
        for (size_t m = 0; m < chunks[c].size(); ++m, ++global) {
            const mesh_t& mesh = chunks[c][m];
            index.u16(static_cast<uint16_t>(c));
            index.u16(static_cast<uint16_t>(m));
            vec3_t low;
            vec3_t high;
            std::vector<triangle_t> own;
            for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3)
                own.push_back({global << 16 | static_cast<uint32_t>(i),
                               {mesh.positions[mesh.indices[i]], mesh.positions[mesh.indices[i + 1]],
                                mesh.positions[mesh.indices[i + 2]]}});
            box_of(own, low, high);
            const vec3_t centre = (low + high) * 0.5f;
            gdt.u32(mesh.texture);
            gdt.u32(mesh.flags);
            gdt.u32(mesh.max_distance);
            gdt.u32(mesh.surface);
            gdt.f32(centre.x);
            gdt.f32(centre.y);
            gdt.f32(centre.z);
            gdt.f32((high - centre).length() + 1.0f);
            gdt.u32(static_cast<uint32_t>(mesh.positions.size()));
            gdt.u32(static_cast<uint32_t>(mesh.indices.size()));
            for (size_t v = 0; v < mesh.positions.size(); ++v) {
                const vec3_t& p = mesh.positions[v];
                const vec3_t colour = v < mesh.colours.size() ? mesh.colours[v] : vec3_t(1.0f, 1.0f, 1.0f);
                for (const float f : {p.x, p.y, p.z, colour.x, colour.y, colour.z})
                    gdt.f32(f);
            }
            for (const uint16_t i : mesh.indices)
                gdt.u16(i);
            triangles.insert(triangles.end(), own.begin(), own.end());
        }
        char name[32];
        std::snprintf(name, sizeof name, "mesh%04x.gdt", static_cast<unsigned>(c));
        out.files[name] = gdt.data;
        std::snprintf(name, sizeof name, "lmap%04x", static_cast<unsigned>(c));
        out.files[name] = {};
    }
    out.files["mesh.dat"] = index.data;

    bytes_t list;
    list.u32(static_cast<uint32_t>(textures.size()));
    for (const std::string& texture : textures) {
        char field[64] = {};
        std::snprintf(field, sizeof field, "%s", texture.c_str());
        for (const char ch : field)
            list.u8(static_cast<uint8_t>(ch));
        list.u32(0);
    }
    out.files["textures"] = list.data;

    // Sectors in file orientation (z negated), counted from the map's low corner.
    vec3_t low;
    vec3_t high;
    box_of(triangles, low, high);
    const float offset[3] = {-std::floor(low.x), -std::floor(low.y), -std::floor(-high.z)};
    std::map<std::array<uint16_t, 3>, std::vector<triangle_t>> sectors;
    for (const triangle_t& t : triangles) {
        const vec3_t centre = (t.corners[0] + t.corners[1] + t.corners[2]) / 3.0f;
        const float file[3] = {centre.x, centre.y, -centre.z};
        std::array<uint16_t, 3> key{};
        for (int k = 0; k < 3; ++k)
            key[static_cast<size_t>(k)] = static_cast<uint16_t>(
                (static_cast<long>(std::floor(file[k])) + static_cast<long>(offset[k])) / static_cast<long>(edge));
        sectors[key].push_back(t);
    }
    bytes_t aabb;
    put_corners(aabb, low, high);
    for (const float f : offset)
        aabb.f32(f);
    aabb.f32(edge);
    aabb.u32(static_cast<uint32_t>(sectors.size()));
    for (const auto& [key, members] : sectors) {
        for (const uint16_t k : key)
            aabb.u16(k);
        bytes_t tree;
        put_tree(tree, members);
        char name[40];
        std::snprintf(name, sizeof name, "aabb%04x%04x%04x.btr", key[0], key[1], key[2]);
        out.files[name] = tree.data;
    }
    out.files["aabb.dat"] = aabb.data;
    return out;
}

// A square of ground: `cells` x `cells` cells of `cell` units from `origin`, as meshes of at most
// `cells_per_mesh` rows each (so every index position fits 16 bits). Flat at the origin's height, or
// with each vertex at `height`(x, z) when given.
inline std::vector<mesh_t> ground(const vec3_t& origin, int cells, float cell, int rows_per_mesh,
                                  const std::function<float(float, float)>& height = {})
{
    std::vector<mesh_t> meshes;
    for (int first = 0; first < cells; first += rows_per_mesh) {
        const int rows = std::min(rows_per_mesh, cells - first);
        mesh_t mesh;
        for (int z = 0; z <= rows; ++z)
            for (int x = 0; x <= cells; ++x) {
                vec3_t point = origin + vec3_t(x * cell, 0.0f, (first + z) * cell);
                if (height)
                    point.y = height(point.x, point.z);
                mesh.positions.push_back(point);
                mesh.colours.push_back(vec3_t(0.45f, 0.55f, 0.3f));
            }
        const int row = cells + 1;
        for (int z = 0; z < rows; ++z)
            for (int x = 0; x < cells; ++x) {
                const auto i = static_cast<uint16_t>(z * row + x);
                // Wound so that the plane asked of the triangle faces up.
                for (const int k : {0, 1, row, 1, row + 1, row})
                    mesh.indices.push_back(static_cast<uint16_t>(i + k));
            }
        meshes.push_back(std::move(mesh));
    }
    return meshes;
}

}  // namespace world_map_writer

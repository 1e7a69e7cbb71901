#include "world/map_packets.h"

#include "engine/cache.h"
#include "world/world_map_files.h"

namespace {

// The mesh a packet names, or null when its chunk is not resident or has no such mesh.
const map_mesh_t* mesh_of(void* owner, int element)
{
    const auto* item = static_cast<const c_item_t*>(owner);
    const auto* chunk = item ? static_cast<const geometry_chunk_t*>(item->object) : nullptr;
    if (!chunk || element < 0 || static_cast<size_t>(element) >= chunk->meshes.size())
        return nullptr;
    return &chunk->meshes[static_cast<size_t>(element)];
}

int vertex_count(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh ? static_cast<int>(mesh->positions.size()) : 0;
}

const float* positions(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh && !mesh->positions.empty() ? &mesh->positions[0].x : nullptr;
}

const uint32_t* colours(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh && !mesh->packed_colours.empty() ? mesh->packed_colours.data() : nullptr;
}

const float* centre(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh ? &mesh->centre.x : nullptr;
}

int index_count(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh ? static_cast<int>(mesh->indices.size()) : 0;
}

const uint16_t* indices(void* owner, int element)
{
    const map_mesh_t* mesh = mesh_of(owner, element);
    return mesh && !mesh->indices.empty() ? mesh->indices.data() : nullptr;
}

}  // namespace

const r_packet_decl_t map_vpd_vertex = {"map_vpd_vertex", vertex_count, positions, nullptr, nullptr,
                                        colours,          centre,       nullptr,   nullptr};
const r_packet_decl_t map_vpd_lmap = {"map_vpd_lmap", vertex_count, positions, nullptr, nullptr,
                                      nullptr,        centre,       nullptr,   nullptr};
const r_packet_decl_t map_ipd = {"map_ipd", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, index_count, indices};

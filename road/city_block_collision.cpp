// The collision meshes of the built city blocks: in a world with physics each block's ground quad and
// the boxes behind its sides' buildings are one triangle mesh in the world's physics, so that vehicles
// drive on the block and stop at its houses.
#include "common/engine_api.h"
#include "physics/cd_geo_mesh.h"
#include "physics/contact_owner.h"
#include "physics/physproc.h"
#include "road/seg_server.h"

namespace {

// Triangle materials: the ground quad, the sides' boxes (the first side's all alike, the others' first
// two triangles apart).
constexpr uint8_t ground_material = 3;
constexpr uint8_t side_material = 5;
constexpr uint8_t side_front_material = 4;
// Triangles of a side's box, and of them the front pair the further sides mark apart.
constexpr int32_t side_box_triangles = 8;
constexpr int32_t side_front_triangles = 2;
// The mesh's tree: groups no larger than this on each axis, or of at most this many triangles, are
// leaves.
constexpr float tree_threshold = 10.0f;
constexpr uint16_t tree_leaf_size = 4;

}  // namespace

void seg_server_t::set_physics(physproc_t* physics, contact_owner_t* owner)
{
    for (const std::unique_ptr<city_block_instance_t>& built : city_blocks)
        if (built)
            remove_block_collision(*built);
    physics_ = physics;
    collision_owner_ = physics ? owner : nullptr;
    for (const std::unique_ptr<city_block_instance_t>& built : city_blocks)
        if (built)
            insert_block_collision(*built);
}

void seg_server_t::insert_block_collision(city_block_instance_t& built)
{
    if (!physics_ || built.collision || built.indices.empty())
        return;
    built.collision_vertices.assign(built.corners, built.corners + 4);
    built.collision_vertices.insert(built.collision_vertices.end(), built.side_boxes.begin(), built.side_boxes.end());
    // The ground quad is there only for a block with four corners; the sides follow it.
    const bool ground = built.indices.size() % 24 == 6;
    const size_t sides = (built.indices.size() - (ground ? 6 : 0)) / 24;
    built.collision_materials.assign(ground ? 2 : 0, ground_material);
    for (size_t side = 0; side < sides; ++side)
        for (int32_t t = 0; t < side_box_triangles; ++t)
            built.collision_materials.push_back(side > 0 && t < side_front_triangles ? side_front_material
                                                                                     : side_material);
    auto* const mesh = new cd_geo_mesh_t(1);
    mesh->build_begin(0);
    if (!mesh->build_mesh(built.collision_vertices.data(), static_cast<uint32_t>(built.collision_vertices.size()),
                          built.indices.data(), static_cast<uint32_t>(built.indices.size()),
                          built.collision_materials.data(), static_cast<uint32_t>(built.collision_materials.size()),
                          nullptr, 0)) {
        api::error("City block %d: its collision mesh cannot be built; it has no collision", built.block);
        delete mesh;
        return;
    }
    mesh->build_end(tree_threshold, tree_leaf_size);
    if (collision_owner_) {
        mesh->owner_word = collision_owner_->owner_word;
        mesh->owner_record = collision_owner_;
    }
    built.collision = mesh;
    phys_insert_geom(physics_, mesh);
}

void seg_server_t::remove_block_collision(city_block_instance_t& built)
{
    if (!built.collision)
        return;
    if (physics_)
        phys_remove_geom(physics_, built.collision);
    if (--built.collision->use_count <= 0)
        delete built.collision;
    built.collision = nullptr;
}

#pragma once
#include <algorithm>
#include <array>
#include <vector>

#include "engine/geometry.h"
#include "engine/mem.h"
#include "physics/bv_tree.h"
#include "physics/cd_geo.h"
#include "physics/tri_tests.h"

// A flat grid of triangles in the ground plane (cells of `cell` centimetres, two triangles each),
// built into a tree with the given threshold and leaf size: a fixture geometry for the queries.
class grid_mesh_t : public cd_geo_t {
public:
    grid_mesh_t(int cells_x, int cells_z, float cell, float threshold, uint16_t leaf_size)
    {
        set_name("grid_mesh_t");
        for (int z = 0; z <= cells_z; ++z)
            for (int x = 0; x <= cells_x; ++x)
                points_.emplace_back(x * cell, 0.0f, z * cell);
        const int row = cells_x + 1;
        for (int z = 0; z < cells_z; ++z)
            for (int x = 0; x < cells_x; ++x) {
                const int i = z * row + x;
                triangles_.push_back({i, i + row, i + 1});
                triangles_.push_back({i + 1, i + row, i + row + 1});
            }
        cd_bvtree_t builder(512, 128);
        builder.set_callbacks(this, threshold, leaf_size, nullptr, nullptr, nullptr);
        for (size_t t = 0; t < triangles_.size(); ++t) {
            cd_bvitem_t* const item = builder.add_item();
            item->id = static_cast<uint32_t>(t);
            const vec3_t& a = points_[triangles_[t][0]];
            const vec3_t& b = points_[triangles_[t][1]];
            const vec3_t& c = points_[triangles_[t][2]];
            item->centre = (a + b + c) / 3.0f;
            item->minimum = {std::min({a.x, b.x, c.x}), 0.0f, std::min({a.z, b.z, c.z})};
            item->maximum = {std::max({a.x, b.x, c.x}), 0.0f, std::max({a.z, b.z, c.z})};
        }
        size_t size = 0;
        root_ = builder.build(&size, &block_);
        if (root_) {
            cd_bvnode_t bounds;
            derive_bounds(*root_, bounds, sphere_);
        }
    }
    ~grid_mesh_t() override { mem_sys_free(block_); }

    cd_bvnode_t* get_tree(uint32_t* handle) override
    {
        *handle = 0;
        ++trees_out;
        return root_;
    }
    void release_tree(uint32_t) override { --trees_out; }
    void get_item(cd_item_t& item, int) override
    {
        item.kind = cd_item_t::kind_triangle;
        const auto& t = triangles_.at(item.id);
        if (item.request & cd_item_t::request_vertices) {
            for (int k = 0; k < 3; ++k)
                item.vertex[k] = &points_[t[k]];
            item.vertex_count = 3;
        }
        if (item.request & cd_item_t::request_plane)
            points_compute_equation(points_[t[0]], points_[t[1]], points_[t[2]], 0.0f, item.plane);
        if (item.request & cd_item_t::request_bounds) {
            item.bounds.set_empty();
            for (int k = 0; k < 3; ++k)
                item.bounds.add_point(points_[t[k]].x, points_[t[k]].y, points_[t[k]].z);
        }
        item.request &= ~static_cast<uint32_t>(cd_item_t::request_material | cd_item_t::request_user);
    }
    void set_rotation(quat_t) override {}
    const cd_bvnode_t* get_bounds() override { return root_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

    // Trees handed out and not yet given back.
    int trees_out = 0;

private:
    std::vector<vec3_t> points_;
    std::vector<std::array<int, 3>> triangles_;
    cd_bvnode_t* root_ = nullptr;
    void* block_ = nullptr;
    cd_sphere_t sphere_;
};

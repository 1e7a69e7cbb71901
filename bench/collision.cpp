// Ray casts and triangle-box queries against a 20 000-triangle grid mesh, through our tree and
// through Bullet's btBvhTriangleMeshShape on the same mesh, rays and boxes.
#include <benchmark/benchmark.h>

#include <btBulletCollisionCommon.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "engine/mem.h"
#include "engine/random.h"
#include "physics/bv_tree.h"
#include "physics/cd_geo.h"
#include "physics/tri_query.h"
#include "physics/tri_tests.h"

namespace {

constexpr int cells = 100;            // 100 x 100 cells, two triangles each
constexpr float cell_size = 100.0f;   // centimetres
constexpr int query_count = 1000;

// Height of the rolling ground at (x, z).
float ground_height(float x, float z) { return 150.0f * std::sin(x * 0.0021f) * std::cos(z * 0.0017f); }

// The grid mesh as a collision geometry of ours: triangles in a tree built with our builder.
class grid_geo_t : public cd_geo_t {
public:
    grid_geo_t()
    {
        for (int z = 0; z <= cells; ++z)
            for (int x = 0; x <= cells; ++x) {
                const float px = x * cell_size, pz = z * cell_size;
                points.emplace_back(px, ground_height(px, pz), pz);
            }
        for (int z = 0; z < cells; ++z)
            for (int x = 0; x < cells; ++x) {
                const int i = z * (cells + 1) + x;
                triangles.push_back({i, i + cells + 1, i + 1});
                triangles.push_back({i + 1, i + cells + 1, i + cells + 2});
            }
        cd_bvtree_t builder(512, 128);
        builder.set_callbacks(this, 0.0f, 2, nullptr, nullptr, nullptr);
        for (size_t t = 0; t < triangles.size(); ++t) {
            const vec3_t& a = points[triangles[t][0]];
            const vec3_t& b = points[triangles[t][1]];
            const vec3_t& c = points[triangles[t][2]];
            cd_bvitem_t* const item = builder.add_item();
            item->id = static_cast<uint32_t>(t);
            item->centre = (a + b + c) / 3.0f;
            item->minimum = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
            item->maximum = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
        }
        size_t size = 0;
        root_ = builder.build(&size, &block_);
    }
    ~grid_geo_t() override { mem_sys_free(block_); }

    cd_bvnode_t* get_tree(uint32_t* handle) override
    {
        *handle = 0;
        return root_;
    }
    void release_tree(uint32_t) override {}
    void get_item(cd_item_t& item, int) override
    {
        item.kind = cd_item_t::kind_triangle;
        const std::array<int, 3>& t = triangles[item.id];
        if (item.request & cd_item_t::request_vertices) {
            for (int k = 0; k < 3; ++k)
                item.vertex[k] = &points[t[k]];
            item.vertex_count = 3;
        }
        if (item.request & cd_item_t::request_bounds) {
            item.bounds.set_empty();
            for (int k = 0; k < 3; ++k)
                item.bounds.add_point(points[t[k]].x, points[t[k]].y, points[t[k]].z);
        }
    }
    void set_rotation(quat_t) override {}
    const cd_bvnode_t* get_bounds() override { return root_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

    std::vector<vec3_t> points;
    std::vector<std::array<int, 3>> triangles;

private:
    cd_bvnode_t* root_ = nullptr;
    void* block_ = nullptr;
    cd_sphere_t sphere_;
};

// The same mesh in Bullet.
struct bullet_grid_t {
    explicit bullet_grid_t(const grid_geo_t& grid)
    {
        for (const std::array<int, 3>& t : grid.triangles) {
            btVector3 corner[3];
            for (int k = 0; k < 3; ++k) {
                const vec3_t& p = grid.points[t[k]];
                corner[k] = btVector3(p.x, p.y, p.z);
            }
            mesh.addTriangle(corner[0], corner[1], corner[2], false);
        }
        shape = new btBvhTriangleMeshShape(&mesh, true, true);
    }
    ~bullet_grid_t() { delete shape; }
    btTriangleMesh mesh{true, false};
    btBvhTriangleMeshShape* shape = nullptr;
};

// A ray (start, end) and a query box (centre, half extents), the same for both sides.
struct scene_t {
    std::vector<std::array<vec3_t, 2>> rays;
    std::vector<std::array<vec3_t, 2>> boxes;
    grid_geo_t grid;
    bullet_grid_t bullet{grid};

    scene_t()
    {
        randomizer_t random(20240);
        const float span = cells * cell_size;
        for (int i = 0; i < query_count; ++i) {
            const float x = static_cast<float>(random.rand()) * span, z = static_cast<float>(random.rand()) * span;
            // Slanted rays from 500 cm up, travelling up to 20 m sideways: some leave the grid.
            const float dx = (static_cast<float>(random.rand()) - 0.5f) * 4000.0f;
            const float dz = (static_cast<float>(random.rand()) - 0.5f) * 4000.0f;
            rays.push_back({vec3_t(x, 500.0f, z), vec3_t(x + dx, -500.0f, z + dz)});
            const float bx = static_cast<float>(random.rand()) * span, bz = static_cast<float>(random.rand()) * span;
            boxes.push_back({vec3_t(bx, ground_height(bx, bz), bz), vec3_t(120.0f, 80.0f, 250.0f)});
        }
    }
};

scene_t& scene()
{
    static scene_t s;
    return s;
}

void BM_ray_ours(benchmark::State& state)
{
    scene_t& s = scene();
    cd_tri_query_t query;
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& ray : s.rays) {
            query.begin_segment(&s.grid, ray[0], ray[1], 0);
            cd_item_t item;
            float closest = 2.0f;
            while (query.next(item))
                closest = std::min(closest, query.fraction());
            hits += closest <= 1.0f;
        }
        benchmark::DoNotOptimize(hits);
    }
    query.clear();
    state.counters["hits"] = hits;
    state.SetItemsProcessed(state.iterations() * query_count);
}

// Keeps the closest hit of Bullet's triangle ray test.
struct closest_ray_t : btTriangleRaycastCallback {
    using btTriangleRaycastCallback::btTriangleRaycastCallback;
    btScalar reportHit(const btVector3&, btScalar fraction, int, int) override
    {
        closest = std::min(closest, fraction);
        return m_hitFraction;  // keep testing every triangle, as our query does
    }
    btScalar closest = 2.0f;
};

void BM_ray_bullet(benchmark::State& state)
{
    scene_t& s = scene();
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& ray : s.rays) {
            const btVector3 from(ray[0].x, ray[0].y, ray[0].z), to(ray[1].x, ray[1].y, ray[1].z);
            closest_ray_t callback(from, to);
            s.bullet.shape->performRaycast(&callback, from, to);
            hits += callback.closest <= 1.0f;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
    state.SetItemsProcessed(state.iterations() * query_count);
}

void BM_box_ours(benchmark::State& state)
{
    scene_t& s = scene();
    cd_tri_query_t query;
    int touching = 0;
    for (auto _ : state) {
        touching = 0;
        for (const auto& box : s.boxes) {
            query.begin(&s.grid, box[0] - box[1], box[0] + box[1]);
            cd_item_t item;
            item.request = cd_item_t::request_vertices;
            while (query.next(item)) {
                touching += cd_tri_box_test(*item.vertex[0] - box[0], *item.vertex[1] - box[0],
                                            *item.vertex[2] - box[0], box[1]);
                item.request = cd_item_t::request_vertices;
            }
        }
        benchmark::DoNotOptimize(touching);
    }
    query.clear();
    state.counters["triangles"] = touching;
    state.SetItemsProcessed(state.iterations() * query_count);
}

// Runs our triangle-box test on every triangle Bullet's tree hands out for a box.
struct box_triangles_t : btTriangleCallback {
    void processTriangle(btVector3* t, int, int) override
    {
        vec3_t corner[3];
        for (int k = 0; k < 3; ++k)
            corner[k] = vec3_t(t[k].x(), t[k].y(), t[k].z()) - centre;
        touching += cd_tri_box_test(corner[0], corner[1], corner[2], half);
    }
    vec3_t centre, half;
    int touching = 0;
};

void BM_box_bullet(benchmark::State& state)
{
    scene_t& s = scene();
    int touching = 0;
    for (auto _ : state) {
        box_triangles_t callback;
        for (const auto& box : s.boxes) {
            callback.centre = box[0];
            callback.half = box[1];
            const vec3_t low = box[0] - box[1], high = box[0] + box[1];
            s.bullet.shape->processAllTriangles(&callback, btVector3(low.x, low.y, low.z),
                                                btVector3(high.x, high.y, high.z));
        }
        touching = callback.touching;
        benchmark::DoNotOptimize(touching);
    }
    state.counters["triangles"] = touching;
    state.SetItemsProcessed(state.iterations() * query_count);
}

BENCHMARK(BM_ray_ours);
BENCHMARK(BM_ray_bullet);
BENCHMARK(BM_box_ours);
BENCHMARK(BM_box_bullet);

}  // namespace

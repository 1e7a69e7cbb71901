// Ray casts and triangle-box queries against a 20 000-triangle grid mesh, through our tree and
// through Bullet's btBvhTriangleMeshShape on the same mesh arrays, rays and boxes. The answers are
// compared query by query once before anything is timed.
#include <benchmark/benchmark.h>

#include <btBulletCollisionCommon.h>
#include <BulletCollision/NarrowPhaseCollision/btRaycastCallback.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/mem.h"
#include "engine/random.h"
#include "physics/bv_tree.h"
#include "physics/cd_geo.h"
#include "physics/tri_query.h"
#include "physics/tri_tests.h"

namespace {

constexpr int cells = 100;           // 100 x 100 cells, two triangles each
constexpr float cell_size = 100.0f;  // centimetres
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
            item.bounds.set_triangle(points[t[0]], points[t[1]], points[t[2]]);
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

// The same mesh in Bullet, over our own vertex and index arrays (shared, not copied: 10 201 vertices
// and 20 000 index triples).
struct bullet_grid_t {
    explicit bullet_grid_t(const grid_geo_t& grid)
    {
        static_assert(sizeof(vec3_t) == 3 * sizeof(float), "vertices are three packed floats");
        static_assert(sizeof(std::array<int, 3>) == 3 * sizeof(int), "triangles are three packed ints");
        btIndexedMesh part;
        part.m_numTriangles = static_cast<int>(grid.triangles.size());
        part.m_triangleIndexBase = reinterpret_cast<const unsigned char*>(grid.triangles.data());
        part.m_triangleIndexStride = sizeof(std::array<int, 3>);
        part.m_indexType = PHY_INTEGER;
        part.m_numVertices = static_cast<int>(grid.points.size());
        part.m_vertexBase = reinterpret_cast<const unsigned char*>(grid.points.data());
        part.m_vertexStride = sizeof(vec3_t);
        part.m_vertexType = PHY_FLOAT;
        mesh.addIndexedMesh(part, PHY_INTEGER);
        shape = new btBvhTriangleMeshShape(&mesh, true, true);
    }
    ~bullet_grid_t() { delete shape; }
    btTriangleIndexVertexArray mesh;
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

// Closest hit fraction of one ray through our tree (2 when it hits nothing).
float ray_ours(cd_tri_query_t& query, grid_geo_t& grid, const std::array<vec3_t, 2>& ray)
{
    query.begin_segment(&grid, ray[0], ray[1], 0);
    cd_item_t item;
    float closest = 2.0f;
    while (query.next(item))
        closest = std::min(closest, query.fraction());
    return closest;
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

// Closest hit fraction of one ray through Bullet (2 when it hits nothing).
float ray_bullet(const bullet_grid_t& bullet, const std::array<vec3_t, 2>& ray)
{
    const btVector3 from(ray[0].x, ray[0].y, ray[0].z), to(ray[1].x, ray[1].y, ray[1].z);
    closest_ray_t callback(from, to);
    bullet.shape->performRaycast(&callback, from, to);
    return static_cast<float>(callback.closest);
}

// Triangles of the grid that touch one box (centre, half extents), found through our tree; their indices
// go to `ids` when it is given (the answer check).
int box_ours(cd_tri_query_t& query, grid_geo_t& grid, const std::array<vec3_t, 2>& box, std::vector<int>* ids = nullptr)
{
    int touching = 0;
    query.begin(&grid, box[0] - box[1], box[0] + box[1]);
    cd_item_t item;
    item.request = cd_item_t::request_vertices;
    while (query.next(item)) {
        const bool touches =
            cd_tri_box_test(*item.vertex[0] - box[0], *item.vertex[1] - box[0], *item.vertex[2] - box[0], box[1]);
        touching += touches;
        if (touches && ids)
            ids->push_back(item.id);
        item.request = cd_item_t::request_vertices;
    }
    return touching;
}

// Runs our triangle-box test on every triangle Bullet's tree hands out for a box.
struct box_triangles_t : btTriangleCallback {
    void processTriangle(btVector3* t, int, int index) override
    {
        vec3_t corner[3];
        for (int k = 0; k < 3; ++k)
            corner[k] = vec3_t(t[k].x(), t[k].y(), t[k].z()) - centre;
        const bool touches = cd_tri_box_test(corner[0], corner[1], corner[2], half);
        touching += touches;
        if (touches && ids)
            ids->push_back(index);
    }
    vec3_t centre, half;
    int touching = 0;
    std::vector<int>* ids = nullptr;  // the touching triangles' indices, for the answer check
};

// Adds to `callback` the triangles that touch one box, found through Bullet's tree.
void box_bullet(const bullet_grid_t& bullet, box_triangles_t& callback, const std::array<vec3_t, 2>& box)
{
    callback.centre = box[0];
    callback.half = box[1];
    const vec3_t low = box[0] - box[1], high = box[0] + box[1];
    bullet.shape->processAllTriangles(&callback, btVector3(low.x, low.y, low.z), btVector3(high.x, high.y, high.z));
}

// Largest difference of two closest-hit fractions that still counts as the same answer.
constexpr float fraction_tolerance = 1e-4f;

// Both sides must give the same answer to every query before either is timed: a ray hits on both
// sides or on neither, at the same fraction; a box touches the same triangles, triangle by triangle.
void check_answers(scene_t& s)
{
    cd_tri_query_t query;
    int mismatches = 0;
    for (size_t i = 0; i < s.rays.size(); ++i) {
        const float ours = ray_ours(query, s.grid, s.rays[i]);
        const float theirs = ray_bullet(s.bullet, s.rays[i]);
        const bool same = (ours > 1.0f && theirs > 1.0f) || std::fabs(ours - theirs) <= fraction_tolerance;
        if (!same && mismatches++ < 10)
            std::fprintf(stderr, "ray %zu: ours %.6f, Bullet %.6f\n", i, ours, theirs);
    }
    std::vector<int> ours, theirs;
    for (size_t i = 0; i < s.boxes.size(); ++i) {
        ours.clear();
        theirs.clear();
        box_triangles_t callback;
        callback.ids = &theirs;
        box_bullet(s.bullet, callback, s.boxes[i]);
        box_ours(query, s.grid, s.boxes[i], &ours);
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        if (ours != theirs && mismatches++ < 10)
            std::fprintf(stderr, "box %zu: ours %zu triangles, Bullet %zu, not the same ones\n", i, ours.size(),
                         theirs.size());
    }
    query.clear();
    if (mismatches) {
        std::fprintf(stderr, "error: %d queries answered differently; nothing timed\n", mismatches);
        std::exit(EXIT_FAILURE);
    }
}

scene_t& scene()
{
    static scene_t s;
    static const bool checked = (check_answers(s), true);
    (void)checked;
    return s;
}

void BM_ray_ours(benchmark::State& state)
{
    scene_t& s = scene();
    cd_tri_query_t query;
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& ray : s.rays)
            hits += ray_ours(query, s.grid, ray) <= 1.0f;
        benchmark::DoNotOptimize(hits);
    }
    query.clear();
    state.counters["hits"] = hits;
    state.SetItemsProcessed(state.iterations() * query_count);
}

void BM_ray_bullet(benchmark::State& state)
{
    scene_t& s = scene();
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& ray : s.rays)
            hits += ray_bullet(s.bullet, ray) <= 1.0f;
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
        for (const auto& box : s.boxes)
            touching += box_ours(query, s.grid, box);
        benchmark::DoNotOptimize(touching);
    }
    query.clear();
    state.counters["triangles"] = touching;
    state.SetItemsProcessed(state.iterations() * query_count);
}

void BM_box_bullet(benchmark::State& state)
{
    scene_t& s = scene();
    int touching = 0;
    for (auto _ : state) {
        box_triangles_t callback;
        for (const auto& box : s.boxes)
            box_bullet(s.bullet, callback, box);
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

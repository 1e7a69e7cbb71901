// The road network's geometry: building every edge of a 50 km network into render slots and into
// collision slots (reported per km of road), and the streaming of the edges near a camera that drives
// along the road at highway speed (one iteration is one frame).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "engine/gfx_render.h"
#include "common/engine_api.h"
#include "road/base_ctrl.h"
#include "road/road_coll_seg.h"
#include "road/road_section.h"

namespace {

// Edges of the network, their length (cm) and their terrain strips (cells of 400 cm per side).
constexpr int edge_count = 200;
constexpr float edge_length = 25000.0f;
constexpr int strip_width = 8;
// The camera's speed (100 km/h in cm per 20 ms frame) and the reach of its box.
constexpr float frame_step = 2777.8f * 0.02f;
constexpr float camera_reach = 60000.0f;

// A controller holding a winding two-lane road of edge_count edges with a 12-vertex cross-section.
class road_network_bench_t {
public:
    road_network_bench_t()
    {
        bind_engine_for_tests();
        ctrl_.segment_slot_count = 80;
        ctrl_.seg_server = new seg_server_t;
        ctrl_.init(-10);
        ctrl_.init(0);
        add_road_def();
        vec3_t at(0, 0, 0);
        float heading = 0.0f;
        int32_t previous = ctrl_.add_node(at);
        ctrl_.nodes[previous].direction = vec3_t(0, 0, -1);
        for (int i = 0; i < edge_count; ++i) {
            heading += (i % 7 < 3 ? 0.08f : -0.06f);
            const vec3_t direction(std::sin(heading), 0.0f, -std::cos(heading));
            const vec3_t next_at = at + direction * edge_length + vec3_t(0, (i % 5) * 50.0f, 0);
            const int32_t next = ctrl_.add_node(next_at);
            ctrl_.nodes[next].direction = direction;
            add_edge(previous, next, at, next_at);
            previous = next;
            at = next_at;
        }
        ctrl_.build_item_tree();
    }
    ~road_network_bench_t()
    {
        ctrl_.destroy(0);
        ctrl_.destroy(10);
    }

    base_ctrl_e& ctrl() { return ctrl_; }
    float km() const { return edge_count * edge_length / 100000.0f; }

private:
    void add_road_def()
    {
        // Six points across (shoulder, lanes, shoulder) at t 0 and again at t 1, one metre long.
        vec3_t positions[12];
        float uvs[24];
        const float across[6] = {-500, -400, -150, 150, 400, 500};
        const float height[6] = {-10, 0, 5, 5, 0, -10};
        for (int i = 0; i < 6; ++i) {
            positions[i] = vec3_t(across[i], height[i], 0);
            positions[6 + i] = vec3_t(across[i], height[i], 1000);
            uvs[2 * i] = uvs[2 * (6 + i)] = static_cast<float>(i) / 5.0f;
            uvs[2 * i + 1] = 0.0f;
            uvs[2 * (6 + i) + 1] = 1.0f;
        }
        uint16_t indices[30];
        uint16_t words[10];
        for (int i = 0; i < 5; ++i) {
            const uint16_t a = static_cast<uint16_t>(i), b = static_cast<uint16_t>(i + 1);
            const uint16_t c = static_cast<uint16_t>(i + 6), d = static_cast<uint16_t>(i + 7);
            const uint16_t quad[6] = {a, b, c, c, b, d};
            std::copy(quad, quad + 6, indices + 6 * i);
            words[2 * i] = words[2 * i + 1] = 1;
        }
        psm_part_t part{};
        part.name = "road";
        part.vertex_count = 12;
        part.positions = positions;
        part.uvs = uvs;
        part.index_count = 30;
        part.indices = indices;
        part.triangle_words = words;
        road_def_t def;
        def.part_count = 1;
        road_section_import(part, {false, true, false, true, true, false, 0.0f}, def.parts[0], "bench", "road");
        road_section_import(part, {false, false, true, true, true, false, 0.0f}, def.collision, "bench", "coll");
        def.bytes = def.parts[0].bytes() + def.collision.bytes();
        ctrl_.seg_server->road_defs.push_back(def);
    }

    void add_edge(const int32_t from, const int32_t to, const vec3_t& a, const vec3_t& b)
    {
        const int32_t index = ctrl_.add_edge();
        map_edge_t& edge = ctrl_.edges[index];
        edge.kind = map_edge_road;
        edge.definition = 0;
        edge.road_type = 0;
        edge.segment_slot = -1;
        edge.nodes[0] = from;
        edge.nodes[1] = to;
        edge.nodes[2] = edge.nodes[3] = -1;
        for (map_edge_side_t& side : edge.sides)
            side = map_edge_side_t{-1, -1, -1, 0, strip_width, 1.0f, -1};
        edge.centre_word = -1;
        edge.length = (b - a).length();
        edge.noise_row = index * 64;
        edge.sign = edge.stamp = edge.semaphore = -1;
        const float reach = 500.0f + 400.0f * strip_width + 2000.0f;
        const float low[3] = {std::min(a.x, b.x) - reach, std::min(a.y, b.y) - reach, std::min(a.z, b.z) - reach};
        const float high[3] = {std::max(a.x, b.x) + reach, std::max(a.y, b.y) + reach, std::max(a.z, b.z) + reach};
        edge.bounds.set_empty();
        edge.bounds.add_box(low, high);
        ctrl_.nodes[from].links[1] = index;
        ctrl_.nodes[to].links[0] = index;
    }

    base_ctrl_e ctrl_;
};

road_network_bench_t& network()
{
    static road_network_bench_t made;
    return made;
}

void render_geometry_of_the_whole_network(benchmark::State& state)
{
    base_ctrl_e& ctrl = network().ctrl();
    segment_t slot;
    for (auto _ : state) {
        for (int32_t i = 0; i < ctrl.edges.count; ++i) {
            slot.build(ctrl, ctrl.edges[i], true);
            benchmark::DoNotOptimize(slot.piece_count);
        }
    }
    slot.release(ctrl);
    state.counters["s_per_km"] =
        benchmark::Counter(network().km(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(render_geometry_of_the_whole_network)->Unit(benchmark::kMillisecond);

void collision_of_the_whole_network(benchmark::State& state)
{
    base_ctrl_e& ctrl = network().ctrl();
    road_coll_seg_t slot;
    for (auto _ : state) {
        for (int32_t i = 0; i < ctrl.edges.count; ++i) {
            slot.build_edge(ctrl, ctrl.edges[i]);
            for (int32_t piece = 0; piece < slot.piece_count; ++piece)
                benchmark::DoNotOptimize(slot.piece_tree(piece));
            slot.release(ctrl);
        }
    }
    state.counters["s_per_km"] =
        benchmark::Counter(network().km(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(collision_of_the_whole_network)->Unit(benchmark::kMillisecond);

void one_slot_build(benchmark::State& state)
{
    base_ctrl_e& ctrl = network().ctrl();
    segment_t slot;
    int32_t edge = 0;
    for (auto _ : state) {
        slot.build(ctrl, ctrl.edges[edge], true);
        edge = (edge + 1) % ctrl.edges.count;
    }
    slot.release(ctrl);
}
BENCHMARK(one_slot_build)->Unit(benchmark::kMicrosecond);

// The camera's box one frame further along the road at 100 km/h.
cd_bounds_t next_camera_box(base_ctrl_e& ctrl, float& travelled, int32_t& edge)
{
    travelled += frame_step;
    if (travelled > edge_length) {
        travelled -= edge_length;
        edge = (edge + 1) % ctrl.edges.count;
    }
    const map_edge_t& on = ctrl.edges[edge];
    const vec3_t a = ctrl.nodes[on.nodes[0]].position, b = ctrl.nodes[on.nodes[1]].position;
    const vec3_t camera = a + (b - a) * (travelled / edge_length);
    const float low[3] = {camera.x - camera_reach, camera.y - camera_reach, camera.z - camera_reach};
    const float high[3] = {camera.x + camera_reach, camera.y + camera_reach, camera.z + camera_reach};
    cd_bounds_t box;
    box.set_empty();
    box.add_box(low, high);
    return box;
}

// The whole frame: the walk with its slot builds, then the draw into the headless recorder (which
// copies every queued packet's arrays, a cost of the stand-in renderer, not of the road).
void streaming_and_drawing_at_highway_speed(benchmark::State& state)
{
    base_ctrl_e& ctrl = network().ctrl();
    float travelled = 0.0f;
    int32_t edge = 0;
    for (auto _ : state) {
        ctrl.draw_roads(next_camera_box(ctrl, travelled, edge));
        api::gfx_path_flush();
    }
    ctrl.release_render_slots();
}
BENCHMARK(streaming_and_drawing_at_highway_speed)->Unit(benchmark::kMicrosecond);

// The streaming alone: the item-tree walk, the slot hand-outs and the builds of edges coming in reach.
void streaming_at_highway_speed(benchmark::State& state)
{
    base_ctrl_e& ctrl = network().ctrl();
    float travelled = 0.0f;
    int32_t edge = 0;
    for (auto _ : state)
        ctrl.update_visible_segments(ctrl.item_tree(), next_camera_box(ctrl, travelled, edge));
    ctrl.release_render_slots();
}
BENCHMARK(streaming_at_highway_speed)->Unit(benchmark::kMicrosecond);

}  // namespace

// Builds the sample game's map, "mainland": Brenmoor with city roads around a lit crossing, and open
// roads to the loading docks of Tarsk Quarry, Halvik and Ostervale. Brenmoor's north and east roads
// meet again at a second lit crossing, from which the road goes on to Halvik, so that Brenmoor ->
// Tarsk Quarry -> Halvik is one drive. Laid into the roads are a gas, a service and a weigh station
// and a stretch that road works take over from time to time; the roads carry guard rails, trees,
// banks and sandy patches, a fence stands beside one, and there are a truck dealer on Brenmoor's south
// street, a dry area, a mover, a block of town houses, a yard gate, a shelter keeping a dock yard dry,
// direction signs and each city's headquarters. The records go through the project's own map writer,
// so the file has the one layout the game reads. Beside the map it writes the economy's AI data
// (".aid") and route table (".rte") through the map editor's writers.
//
//     make_sample_map OUTPUT.mbd
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "common/engine_api.h"
#include "engine/geometry.h"
#include "editor/ai_data_writer.h"
#include "game/economy/ai_data_file.h"
#include "road/map_file.h"
#include "road/road_network.h"
#include "sample_map_builder.h"

namespace {

// Half the length of a prefab laid into a road (tools/make_road_data.py), and the loading dock's arms.
constexpr float inline_half = 3000.0f;
constexpr float dock_arm_x = 1500.0f;
constexpr float dock_arm_z = 3000.0f;

// The prefabs of prefabs.def laid into roads, by their index there.
enum sample_prefab_t : int32_t {
    prefab_gas = 0,
    prefab_service = 1,
    prefab_weigh = 2,
    prefab_straight = 3,
};

// Definition indices of the sample map's road-side looks.
constexpr int32_t railing_guard = 0;
constexpr int32_t profile_bank = 0;
constexpr int32_t vegetation_trees = 0;
constexpr int32_t aux_fence = 0;
constexpr int32_t brush_patch = 0;
constexpr int32_t terrain_sand = 1;

// (x, z) of `p` turned by `r` quarter turns the way a prefab edge turns its prefab.
vec3_t turned(const vec3_t& p, const int r)
{
    switch (r & 3) {
    case 1:
        return {p.z, p.y, -p.x};
    case 2:
        return {-p.x, p.y, -p.z};
    case 3:
        return {-p.z, p.y, p.x};
    default:
        return p;
    }
}

// Place names of the sample game: its cities in the order of data/defs/cities.
enum sample_place_t : int32_t { place_brenmoor = 0, place_halvik = 1, place_ostervale = 2 };

// An open road from node `from` to `to` through the given points, each leg a Road edge, its nodes
// named after the place it leads to. Answers its edges in order.
std::vector<int32_t> open_road(map_builder_t& map, road_network_t& network, int32_t from, const int32_t to,
                               const std::vector<vec3_t>& via, const int32_t place)
{
    std::vector<int32_t> legs;
    for (const vec3_t& point : via) {
        const vec3_t heading = point - network.nodes[from].position;
        const int32_t next = map.node(point, heading);
        network.nodes[next].road_name = place;
        legs.push_back(map.edge(map_edge_road, {from, next}));
        from = next;
    }
    network.nodes[to].road_name = place;
    legs.push_back(map.edge(map_edge_road, {from, to}));
    return legs;
}

// Prefab `definition` laid into a road: its entry node at `entry`, turned by `turns` quarter turns
// (its lane runs along the turned +z). Answers {entry node, exit node}.
std::pair<int32_t, int32_t> laid_prefab(map_builder_t& map, const vec3_t& entry, const int turns,
                                        const int32_t definition)
{
    const vec3_t heading = turned({0.0f, 0.0f, 1.0f}, turns);
    const int32_t in = map.node(entry, heading);
    const int32_t out = map.node(entry + heading * (2.0f * inline_half), heading);
    map.edge(map_edge_prefab, {in, out}, definition, turns);
    return {in, out};
}

// Traffic lights on Cross edge `edge`: its light flag and, on each of its four arms, the lights of
// model 0 (the first side's first four words).
void traffic_lights(road_network_t& network, const int32_t edge)
{
    map_edge_side_t& side = network.edges[edge].sides[0];
    side.strip_width = 1;
    side.railing = side.railing_shader = side.profile = side.terrain = 0;
}

// A direction sign on Road edge `edge` at `position` along it, on its right side, its board pointing
// straight on towards `compass` (1 north, 2 east, 3 south, 4 west).
void direction_sign(road_network_t& network, const int32_t edge, const float position, const uint32_t compass)
{
    const int32_t index = network.add_sign();
    map_sign_t& sign = network.signs[index];
    sign.definition = 0;
    sign.edge = edge;
    sign.offset = 700;
    for (int b = 0; b < 3; ++b)
        sign.first_symbols[b] = sign.second_symbols[b] = -1;
    sign.board_flags = 3u | compass << 12;
    sign.position = position;
    network.edges[edge].sign = index;
}

// A headquarters place in city `place` at `position`: the marker of the company based there.
void headquarters(map_builder_t& map, const int32_t place, const vec3_t& position)
{
    map_miscitem_t& item = map.item(map_misc_headquarters, position, 3000.0f);
    item.params[0] = 0;
    item.params[1] = place;
    item.model_words[0] = 1;
}

// A loading dock of trader `trader` on a Fork whose entry node `at` the road reaches heading south
// (+z): the dock's yard lies south of it, between its two other arms, as the dock prefab has them.
void loading_dock(map_builder_t& map, road_network_t& network, const int32_t at, const int32_t trader)
{
    const vec3_t base = network.nodes[at].position;
    const vec3_t south(0.0f, 0.0f, 1.0f);
    const int32_t left = map.node(base + vec3_t(-dock_arm_x, 0.0f, dock_arm_z), south);
    const int32_t right = map.node(base + vec3_t(dock_arm_x, 0.0f, dock_arm_z), south);
    const int32_t fork = map.edge(map_edge_fork, {at, left, right});
    network.edges[fork].sides[0].vegetation = trader;
}

// A point at `t` (0..1) along Road edge `edge`, on the curve the road is built on.
vec3_t road_point(const road_network_t& network, const int32_t edge, const float t)
{
    const map_edge_t& record = network.edges[edge];
    const map_node_t& a = network.nodes[record.nodes[0]];
    const map_node_t& b = network.nodes[record.nodes[1]];
    const float third = record.length / 3.0f;
    vec3_t point;
    smooth_curve(a.position, a.direction * third, b.position, b.direction * third, t, point, nullptr);
    return point;
}

// Both sides of `edge` take `change`.
template <typename change_t> void both_sides(road_network_t& network, const int32_t edge, change_t change)
{
    for (map_edge_side_t& side : network.edges[edge].sides)
        change(side);
}

// A fence of aux edges through `points`, each node facing the way the fence runs.
void fence(road_network_t& network, const std::vector<vec3_t>& points)
{
    int32_t previous = -1;
    for (size_t i = 0; i < points.size(); ++i) {
        const vec3_t along = points[i + 1 < points.size() ? i + 1 : i] - points[i > 0 ? i - 1 : 0];
        const int32_t node = network.add_aux_node(points[i]);
        network.aux_nodes[node].vector = map_builder_t::normalised(along);
        network.aux_nodes[node].links[0] = network.aux_nodes[node].links[1] = -1;
        if (previous >= 0) {
            const int32_t index = network.add_aux_edge();
            map_aux_edge_t& edge = network.aux_edges[index];
            edge.bounds.set_empty();
            for (const int32_t n : {previous, node}) {
                const vec3_t& p = network.aux_nodes[n].position;
                edge.bounds.add_point(p.x, p.y, p.z);
            }
            edge.bounds.widen(200.0f);
            edge.model = aux_fence;
            edge.material = 0;
            edge.nodes[0] = previous;
            edge.nodes[1] = node;
            edge.length = (points[i] - points[i - 1]).length();
            network.aux_nodes[previous].links[1] = index;
            network.aux_nodes[node].links[0] = index;
        }
        previous = node;
    }
}

// A sandy patch beside both sides of `edge`: its group of four stamps, two of them used.
void sandy_patches(road_network_t& network, const int32_t edge)
{
    const int32_t first = network.add_stamp_group();
    for (int32_t i = 0; i < map_stamp_group_size; ++i)
        network.stamps[first + i] = {-1, -1, 0, 0};
    network.stamps[first] = {brush_patch, terrain_sand, 6, -2};
    network.stamps[first + 1] = {brush_patch, terrain_sand, 14, 2};
    network.edges[edge].stamp = first;
}

// Where the company of a city stands, and where a career starting there puts the truck: on the road
// into the city's dock, 35 m beside it.
struct city_places_t {
    vec3_t start;
    vec3_t headquarters;
};

city_places_t places_beside(const road_network_t& network, const int32_t last_leg)
{
    const vec3_t start = road_point(network, last_leg, 0.9f);
    return {start, start + vec3_t(3500.0f, 0.0f, 0.0f)};
}

void build(road_network_t& network)
{
    map_builder_t map(network);
    // Brenmoor: a lit crossing at the centre, city roads on its four arms.
    const int32_t west = map.node({-2000.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f});
    const int32_t east = map.node({2000.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    const int32_t north = map.node({0.0f, 0.0f, -2000.0f}, {0.0f, 0.0f, -1.0f});
    const int32_t south = map.node({0.0f, 0.0f, 2000.0f}, {0.0f, 0.0f, 1.0f});
    const int32_t cross = map.edge(map_edge_cross, {east, north, west, south});
    traffic_lights(network, cross);
    const int32_t city_west = map.node({-20000.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f});
    const int32_t city_east = map.node({20000.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f});
    const int32_t city_north = map.node({0.0f, 0.0f, -15000.0f}, {0.0f, 0.0f, -1.0f});
    const int32_t city_south = map.node({0.0f, 0.0f, 15000.0f}, {0.0f, 0.0f, 1.0f});
    for (const auto& [from, to] : {std::pair{west, city_west}, std::pair{east, city_east}, std::pair{north, city_north},
                                   std::pair{south, city_south}}) {
        const int32_t street = map.edge(map_edge_city_road, {from, to});
        // The west street has street lights on both sides and the block of town houses (city block 0,
        // made below) on its south side.
        if (from == west) {
            network.edges[street].sides[0].profile = 0;
            both_sides(network, street, [](map_edge_side_t& side) { side.vegetation = 0; });
        }
    }
    for (const int32_t node : {west, east, north, south, city_west, city_east, city_north, city_south})
        network.nodes[node].road_name = place_brenmoor;

    // North to Tarsk Quarry: through a stretch that road works take over, past trees, to the dock.
    const auto [works_in, works_out] = laid_prefab(map, {0.0f, 0.0f, -22000.0f}, 2, prefab_straight);
    open_road(map, network, city_north, works_in, {}, -1);
    const int32_t quarry = map.node({60000.0f, 100.0f, -80000.0f}, {0.0f, 0.0f, 1.0f});
    const std::vector<int32_t> to_quarry =
        open_road(map, network, works_out, quarry,
                  {{20000.0f, 0.0f, -50000.0f}, {40000.0f, 50.0f, -85000.0f}, {56000.0f, 90.0f, -95000.0f}}, -1);
    both_sides(network, to_quarry[0], [](map_edge_side_t& side) { side.vegetation = vegetation_trees; });
    loading_dock(map, network, quarry, 2);
    const int32_t quarry_exit = network.edges[network.nodes[quarry].links[1]].nodes[2];

    // The junction east of Brenmoor, a second lit crossing: Brenmoor's east road comes in from the
    // west, the quarry's road from the north, and the road to Halvik leaves east.
    const vec3_t junction(80000.0f, 300.0f, -20000.0f);
    const int32_t j_east = map.node(junction + vec3_t(2000.0f, 0.0f, 0.0f), {1.0f, 0.0f, 0.0f});
    const int32_t j_north = map.node(junction + vec3_t(0.0f, 0.0f, -2000.0f), {0.0f, 0.0f, 1.0f});
    const int32_t j_west = map.node(junction + vec3_t(-2000.0f, 0.0f, 0.0f), {1.0f, 0.0f, 0.0f});
    const int32_t j_south = map.node(junction + vec3_t(0.0f, 0.0f, 2000.0f), {0.0f, 0.0f, 1.0f});
    traffic_lights(network, map.edge(map_edge_cross, {j_east, j_north, j_west, j_south}));
    // From the quarry down to the junction, between banks.
    const std::vector<int32_t> from_quarry =
        open_road(map, network, quarry_exit, j_north, {{70000.0f, 200.0f, -50000.0f}}, place_halvik);
    both_sides(network, from_quarry[1], [](map_edge_side_t& side) { side.profile = profile_bank; });
    // Brenmoor's east road through the service station to the junction, a fence beside its first leg.
    const auto [service_in, service_out] = laid_prefab(map, {26000.0f, 0.0f, 0.0f}, 1, prefab_service);
    open_road(map, network, city_east, service_in, {}, place_halvik);
    const std::vector<int32_t> to_junction = open_road(map, network, service_out, j_west, {}, place_halvik);
    direction_sign(network, to_junction[0], 0.1f, 2);
    fence(network, {{20500.0f, 0.0f, 1500.0f}, {23000.0f, 0.0f, 1500.0f}, {25500.0f, 0.0f, 1500.0f}});
    // On to Halvik past the weigh station, guard rails along the long leg.
    const auto [weigh_in, weigh_out] = laid_prefab(map, junction + vec3_t(6000.0f, 0.0f, 0.0f), 1, prefab_weigh);
    open_road(map, network, j_east, weigh_in, {}, place_halvik);
    const int32_t halvik = map.node({235000.0f, 1500.0f, -110000.0f}, {0.0f, 0.0f, 1.0f});
    const std::vector<int32_t> to_halvik =
        open_road(map, network, weigh_out, halvik, {{160000.0f, 900.0f, -70000.0f}, {225000.0f, 1400.0f, -128000.0f}},
                  place_halvik);
    both_sides(network, to_halvik[0], [](map_edge_side_t& side) {
        side.railing = railing_guard;
        side.railing_shader = 0;
    });
    loading_dock(map, network, halvik, 1);

    // West to Ostervale through the gas station, past a sandy patch and trees.
    const auto [gas_in, gas_out] = laid_prefab(map, {-26000.0f, 0.0f, 0.0f}, 3, prefab_gas);
    open_road(map, network, city_west, gas_in, {}, place_ostervale);
    const int32_t ostervale = map.node({-165000.0f, 800.0f, 195000.0f}, {0.0f, 0.0f, 1.0f});
    const std::vector<int32_t> to_ostervale =
        open_road(map, network, gas_out, ostervale, {{-70000.0f, 200.0f, 60000.0f}, {-150000.0f, 700.0f, 170000.0f}},
                  place_ostervale);
    direction_sign(network, to_ostervale[0], 0.1f, 4);
    sandy_patches(network, to_ostervale[0]);
    both_sides(network, to_ostervale[1], [](map_edge_side_t& side) { side.vegetation = vegetation_trees; });
    loading_dock(map, network, ostervale, 0);

    // A truck dealer by Brenmoor's south street, where the street ends and no through drive passes it,
    // within reach of a truck in either lane (a dealer serves a truck within 10 m); a dry area over the
    // Halvik dock's yard and a mover.
    map.item(map_misc_dealer, {700.0f, 0.0f, 11000.0f}, 1000.0f).params[1] = -1;
    map_miscitem_t& dry = map.item(map_misc_no_weather, {235000.0f, 1500.0f, -108500.0f}, 2000.0f);
    dry.points[1] = {233500.0f, 1500.0f, -110000.0f};
    dry.points[2] = {236500.0f, 1800.0f, -107000.0f};
    dry.points[3] = {235000.0f, 1650.0f, -108500.0f};
    dry.model_words[0] = 3000;
    dry.model_words[1] = 3000;
    map_miscitem_t& gate = map.item(map_misc_mover, {-4000.0f, 0.0f, 4000.0f}, 600.0f);
    gate.points[1] = {-4000.0f, 400.0f, 4000.0f};
    gate.params[0] = 250000;
    gate.params[3] = 2 << 16;
    gate.model_words[0] = gate.model_words[1] = 0;  // the yard gate model in its look
    gate.flags = 1 | map_misc_ping_pong | map_misc_night;

    // Each city's headquarters place, where the marker of the company based there stands: Brenmoor's
    // beside its east street, the others beside the road into their dock.
    headquarters(map, place_brenmoor, {6000.0f, 0.0f, -2200.0f});
    const city_places_t halvik_places = places_beside(network, to_halvik.back());
    const city_places_t ostervale_places = places_beside(network, to_ostervale.back());
    headquarters(map, place_halvik, halvik_places.headquarters);
    headquarters(map, place_ostervale, ostervale_places.headquarters);
    std::printf("start places: Halvik %.0f,%.0f,%.0f; Ostervale %.0f,%.0f,%.0f\n", halvik_places.start.x,
                halvik_places.start.y, halvik_places.start.z, ostervale_places.start.x, ostervale_places.start.y,
                ostervale_places.start.z);

    // The block of town houses south of Brenmoor's west road, and the yard gate at the Tarsk quarry dock.
    map_cityblock_t& block = network.cityblocks[network.add_cityblock()];
    block.point_count = 4;
    const vec3_t corners[4] = {
        {-18000.0f, 0.0f, 1500.0f}, {-4000.0f, 0.0f, 1500.0f}, {-4000.0f, 0.0f, 8000.0f}, {-18000.0f, 0.0f, 8000.0f}};
    for (int i = 0; i < 4; ++i) {
        block.points[i] = corners[i];
        block.normals[i] = {0.0f, 1.0f, 0.0f};
        block.texcoords[i][0] = corners[i].x / 1000.0f;
        block.texcoords[i][1] = corners[i].z / 1000.0f;
    }
    block.seed = 7;
    map_freeitem_t& yard_gate = network.freeitems[network.add_freeitem()];
    yard_gate.position = {62500.0f, 100.0f, -82000.0f};
    yard_gate.bounds.set_empty();
    yard_gate.bounds.add_point(yard_gate.position.x, yard_gate.position.y, yard_gate.position.z);
    yard_gate.bounds.widen(400.0f);
    // A shelter over Ostervale's dock yard: the free item whose model keeps the yard dry.
    map_freeitem_t& shelter = network.freeitems[network.add_freeitem()];
    shelter.model = 1;
    shelter.look = 1;
    shelter.position = network.nodes[ostervale].position + vec3_t(0.0f, 0.0f, dock_arm_z / 2.0f);
    shelter.bounds.set_empty();
    shelter.bounds.add_point(shelter.position.x, shelter.position.y, shelter.position.z);
    shelter.bounds.widen(2500.0f);

    // A free game starts on the south street's northbound lane, 30 m before the crossing, facing north
    // along it (the start place faces north) with the street, the crossing and its lights ahead.
    network.start_position = {175.0f, 0.0f, 5000.0f};
}

// The prefab every loading dock of the sample map stands on: its origin at the dock's entry node, the
// dock point a little ahead and three trailer slots side by side beyond it.
const dock_prefab_t& sample_dock_prefab()
{
    static const dock_prefab_t prefab{{{0.0f, 0.0f, 0.0f}},
                                      {{{0.0f, 0.0f, 1000.0f}, {0.0f, 0.0f, 0.0f, 0.0f}},
                                       {{-1500.0f, 0.0f, 2000.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
                                       {{0.0f, 0.0f, 2000.0f}, {0.0f, 0.0f, 0.0f, 1.0f}},
                                       {{1500.0f, 0.0f, 2000.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}}};
    return prefab;
}

// The AI data and route table of the map beside `map_path`; false, reported, when either is refused.
bool write_economy_files(const road_network_t& network, const char* map_path)
{
    const dock_prefab_lookup_t prefab_of = [](const map_edge_t&) { return &sample_dock_prefab(); };
    std::vector<uint8_t> aid, rte;
    std::string error;
    if (!ai_data_build(network, prefab_of, aid, error) || !route_table_build(network, prefab_of, rte, error)) {
        std::fprintf(stderr, "make_sample_map: %s\n", error.c_str());
        return false;
    }
    for (const auto& [extension, bytes] : {std::pair{"aid", &aid}, std::pair{"rte", &rte}})
        if (!write_bytes(map_side_path(map_path, extension), *bytes)) {
            std::fprintf(stderr, "make_sample_map: cannot write the %s file beside %s\n", extension, map_path);
            return false;
        }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_map OUTPUT.mbd\n");
        return 2;
    }
    if (!bind_engine_for_tests()) {
        std::fprintf(stderr, "make_sample_map: the engine library cannot be bound\n");
        return 1;
    }
    road_network_t network;
    build(network);
    std::vector<uint8_t> bytes(map_file_size(network));
    map_file_write(network, bytes.data());
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_sample_map: cannot write %s\n", argv[1]);
        return 1;
    }
    if (!write_economy_files(network, argv[1]))
        return 1;
    std::printf("%s: %d nodes, %d edges, %d misc items, %d semaphores\n", argv[1], network.nodes.count,
                network.edges.count, network.miscitems.count, network.semaphore_count);
    return 0;
}

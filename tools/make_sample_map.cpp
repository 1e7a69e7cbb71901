// Builds the sample game's map, "mainland": the three cities of data/defs/cities joined by open roads,
// city roads in Brenmoor around a crossing with traffic lights, a loading dock for each trader, a
// fuel, a service and a weigh station, a truck dealer, a dry area, a mover, a block of town houses, a
// yard gate, direction signs naming the places the roads lead to and the cities' headquarters places. The records go
// through the project's own map writer, so the file has the one layout the game reads. Beside the map it writes the
// economy's AI data (".aid") and route table (".rte") through the map editor's writers.
//
//     make_sample_map OUTPUT.mbd
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "common/engine_api.h"
#include "editor/ai_data_writer.h"
#include "game/economy/ai_data_file.h"
#include "road/map_file.h"
#include "road/road_network.h"

namespace {

// Prefab curves of the simplest prefabs: one per arm. A prefab edge owns one entry semaphore per
// curve and 16 exit semaphores after them.
constexpr int32_t cross_curves = 4;
constexpr int32_t fork_curves = 3;
constexpr int32_t exit_semaphores = 16;
// Lateral widening of an edge's bounds beyond its nodes (half a road and its verges).
constexpr float edge_margin = 1500.0f;

// The map under construction.
class map_builder_t {
public:
    explicit map_builder_t(road_network_t& network) : network_(network) {}

    // A node at `position`, facing along `direction` (normalised here).
    int32_t node(const vec3_t& position, const vec3_t& direction)
    {
        const int32_t index = network_.add_node(position);
        network_.nodes[index].direction = normalised(direction);
        network_.nodes[index].links[0] = network_.nodes[index].links[1] = -1;
        network_.nodes[index].link_kinds[0] = network_.nodes[index].link_kinds[1] = map_edge_road;
        network_.nodes[index].road_name = -1;
        return index;
    }

    // An edge of `kind` over `nodes` (two for roads, three or four for junctions), linked into them.
    int32_t edge(const int32_t kind, const std::initializer_list<int32_t> nodes)
    {
        const int32_t index = network_.add_edge();
        map_edge_t& edge = network_.edges[index];
        edge.kind = kind;
        edge.bounds.set_empty();
        int slot = 0;
        for (int32_t& n : edge.nodes)
            n = -1;
        for (const int32_t n : nodes) {
            edge.nodes[slot++] = n;
            const vec3_t& p = network_.nodes[n].position;
            edge.bounds.add_point(p.x, p.y, p.z);
            map_node_t& record = network_.nodes[n];
            const int link = record.links[0] == -1 ? 0 : 1;
            record.links[link] = index;
            record.link_kinds[link] = kind;
        }
        edge.bounds.widen(edge_margin);
        for (map_edge_side_t& side : edge.sides)
            side = {-1, 0, -1, 0, 4, 1.0f, -1};
        edge.road_type = 1;
        const vec3_t span = network_.nodes[edge.nodes[1]].position - network_.nodes[edge.nodes[0]].position;
        edge.length = std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
        edge.traffic_road = index;
        edge.sign = -1;
        edge.semaphore = -1;
        edge.stamp = -1;
        if (map_edge_kind_is_prefab(kind)) {
            const int32_t curves = kind == map_edge_cross ? cross_curves : fork_curves;
            edge.semaphore = network_.semaphore_count;
            network_.semaphore_count += curves + exit_semaphores;
        }
        return index;
    }

    // A misc item of `type` at `position`, with bounds around it.
    map_miscitem_t& item(const int32_t type, const vec3_t& position, const float reach)
    {
        map_miscitem_t& item = network_.miscitems[network_.add_miscitem()];
        item.type = type;
        for (vec3_t& point : item.points)
            point = position;
        item.bounds.set_empty();
        item.bounds.add_point(position.x, position.y, position.z);
        item.bounds.widen(reach);
        return item;
    }

private:
    static vec3_t normalised(const vec3_t& v)
    {
        const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        return length > 0.0f ? vec3_t(v.x / length, v.y / length, v.z / length) : v;
    }
    road_network_t& network_;
};

// Place names of the sample game: its cities in the order of data/defs/cities.
enum sample_place_t : int32_t { place_brenmoor = 0, place_halvik = 1, place_ostervale = 2 };

// An open road from node `from` to `to` through the given points, each leg a Road edge, its nodes
// named after the place it leads to. Answers its first edge.
int32_t open_road(map_builder_t& map, road_network_t& network, int32_t from, const int32_t to,
                  const std::vector<vec3_t>& via, const int32_t place)
{
    int32_t first = -1;
    for (const vec3_t& point : via) {
        const vec3_t heading = point - network.nodes[from].position;
        const int32_t next = map.node(point, heading);
        network.nodes[next].road_name = place;
        const int32_t edge = map.edge(map_edge_road, {from, next});
        first = first == -1 ? edge : first;
        from = next;
    }
    network.nodes[to].road_name = place;
    const int32_t edge = map.edge(map_edge_road, {from, to});
    return first == -1 ? edge : first;
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

// A loading dock of trader `trader`: a Fork at the end of node `at`, its other arms leading nowhere.
void loading_dock(map_builder_t& map, road_network_t& network, const int32_t at, const int32_t trader)
{
    const vec3_t base = network.nodes[at].position;
    const vec3_t ahead = network.nodes[at].direction;
    const int32_t left = map.node(
        base + vec3_t(ahead.x * 3000.0f - ahead.z * 1500.0f, 0.0f, ahead.z * 3000.0f + ahead.x * 1500.0f), ahead);
    const int32_t right = map.node(
        base + vec3_t(ahead.x * 3000.0f + ahead.z * 1500.0f, 0.0f, ahead.z * 3000.0f - ahead.x * 1500.0f), ahead);
    const int32_t fork = map.edge(map_edge_fork, {at, left, right});
    network.edges[fork].sides[0].vegetation = trader;
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
    network.edges[cross].sides[0].strip_width = 1;  // traffic lights
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
            for (map_edge_side_t& side : network.edges[street].sides)
                side.vegetation = 0;
        }
    }

    // Halvik to the east and Ostervale to the south-west, each at the end of an open road.
    // Brenmoor's streets carry its name; the road signs at its edge name the places the roads lead to.
    for (const int32_t node : {west, east, north, south, city_west, city_east, city_north, city_south})
        network.nodes[node].road_name = place_brenmoor;
    const int32_t halvik = map.node({235000.0f, 1500.0f, -110000.0f}, {1.0f, 0.0f, -0.5f});
    const int32_t to_halvik = open_road(map, network, city_east, halvik,
                                        {{80000.0f, 300.0f, -20000.0f}, {160000.0f, 900.0f, -70000.0f}}, place_halvik);
    direction_sign(network, to_halvik, 0.1f, 2);
    const int32_t ostervale = map.node({-165000.0f, 800.0f, 195000.0f}, {-0.7f, 0.0f, 1.0f});
    const int32_t to_ostervale =
        open_road(map, network, city_west, ostervale, {{-70000.0f, 200.0f, 60000.0f}}, place_ostervale);
    direction_sign(network, to_ostervale, 0.1f, 3);
    const int32_t quarry = map.node({60000.0f, 100.0f, -80000.0f}, {0.5f, 0.0f, -1.0f});
    open_road(map, network, city_north, quarry, {{20000.0f, 0.0f, -50000.0f}}, -1);

    // The traders' docks: Greywell Timber in Ostervale, Lumen Foods in Halvik, Tarsk Quarry north.
    loading_dock(map, network, ostervale, 0);
    loading_dock(map, network, halvik, 1);
    loading_dock(map, network, quarry, 2);

    // Stations beside the roads, a dealer in Brenmoor, a dry area under the Halvik dock and a mover.
    map.item(map_misc_gas_station, {40000.0f, 100.0f, -8000.0f}, 300.0f).params[0] = 158;
    map.item(map_misc_service, {-40000.0f, 100.0f, 20000.0f}, 300.0f);
    map.item(map_misc_scales, {120000.0f, 600.0f, -44000.0f}, 300.0f);
    map.item(map_misc_dealer, {6000.0f, 0.0f, 6000.0f}, 1000.0f).params[1] = -1;
    map_miscitem_t& dry = map.item(map_misc_no_weather, {238000.0f, 1500.0f, -112000.0f}, 2000.0f);
    dry.points[1] = {236000.0f, 1500.0f, -114000.0f};
    dry.points[2] = {240000.0f, 1800.0f, -110000.0f};
    dry.points[3] = {238000.0f, 1650.0f, -112000.0f};
    dry.model_words[0] = 4000;
    dry.model_words[1] = 4000;
    map_miscitem_t& gate = map.item(map_misc_mover, {-4000.0f, 0.0f, 4000.0f}, 600.0f);
    gate.points[1] = {-4000.0f, 400.0f, 4000.0f};
    gate.params[0] = 250000;
    gate.params[3] = 2 << 16;
    gate.model_words[0] = gate.model_words[1] = 0;  // the yard gate model in its look
    gate.flags = 1 | map_misc_ping_pong | map_misc_night;

    // Each city's headquarters place, where the marker of the company based there stands.
    headquarters(map, place_brenmoor, {8000.0f, 0.0f, -8000.0f});
    headquarters(map, place_halvik, {245000.0f, 1500.0f, -125000.0f});
    headquarters(map, place_ostervale, {-160000.0f, 800.0f, 180000.0f});

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
    yard_gate.position = {61500.0f, 100.0f, -82000.0f};
    yard_gate.bounds.set_empty();
    yard_gate.bounds.add_point(yard_gate.position.x, yard_gate.position.y, yard_gate.position.z);
    yard_gate.bounds.widen(400.0f);

    network.start_position = {1200.0f, 0.0f, -800.0f};
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

// Writes `bytes` to `path`; false when the file cannot be written.
bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return (out ? std::fclose(out) == 0 : false) && written;
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

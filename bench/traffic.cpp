// Car updates per second of the AI traffic on a generated grid of roads with light-controlled
// crossings: one traffic entity running 1, 8, 64 and 126 cars. The peer is SUMO on the same kind of grid
// made by its netgenerate, with the same car count and step length; it runs as a separate program,
// for at least a second of its own run, and reports its own vehicle updates per second. Without SUMO
// on the PATH (bench/setup-peers.sh installs it) only our side runs.

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/engine_api.h"
#include "engine/mem.h"
#include "road/game_ctrl.h"
#include "road/map_semaphore.h"
#include "road/prefab.h"
#include "road/seg_server.h"
#include "traffic_fill.h"
#include "vehicles/traffic/traffic.h"

namespace {

// The grid: crossings this many to a side, this far apart (cm), arms this long from each centre.
constexpr int grid_side = 4;
constexpr float crossing_spacing = 15000.0f;
constexpr float arm_length = 1000.0f;
constexpr float step_seconds = 0.02f;
// Seconds each pair of opposite arms keeps the green.
constexpr float light_phase_seconds = 30.0f;
// Curves through a crossing: from each of the four arms straight on and to the right. With the light
// green for two opposite arms their four curves never cross (left turns would cut across the
// oncoming lane, and the traffic removes cars that meet).
constexpr int curves_per_crossing = 8;
// How far right of an arm's centre line its lanes run (cm).
constexpr float lane_side = 275.0f;

// The four arm directions of a crossing, in the order of its edge's nodes: east, north, west, south.
const std::array<vec3_t, 4> arm_directions{vec3_t{1, 0, 0}, vec3_t{0, 0, -1}, vec3_t{-1, 0, 0}, vec3_t{0, 0, 1}};

// The right-hand side of heading `d`.
vec3_t right_of(const vec3_t& d) { return {-d.z, 0.0f, d.x}; }

// A crossing prefab with one lane each way: from arm a, curve 2a goes straight on and 2a + 1 turns
// right, each on the right-hand side of its way, and leaves into lane 1 of the road on its exit arm.
prefab_t crossing_prefab()
{
    prefab_t cross;
    cross.nodes.resize(4);
    for (int a = 0; a < 4; ++a)
        cross.nodes[static_cast<size_t>(a)].position = arm_directions[static_cast<size_t>(a)] * arm_length;
    for (int a = 0; a < 4; ++a) {
        const int exits[2] = {(a + 2) % 4, (a + 1) % 4};
        const vec3_t in = arm_directions[static_cast<size_t>(a)] * -1.0f;
        for (int k = 0; k < 2; ++k) {
            const vec3_t out = arm_directions[static_cast<size_t>(exits[k])];
            const vec3_t from = arm_directions[static_cast<size_t>(a)] * arm_length + right_of(in) * lane_side;
            const vec3_t to = out * arm_length + right_of(out) * lane_side;
            prefab_curve_t curve;
            curve.segments.push_back({from, in, to, out, (to - from).length()});
            curve.exit_arms[exits[k]] = 1;
            curve.lane_masks[exits[k]] = 1;
            curve.type = 0;
            cross.curves.push_back(curve);
            cross.nodes[static_cast<size_t>(a)].slots[1][k] = 2 * a + k;
        }
    }
    return cross;
}

// One traffic entity on its own grid: the game controller with the grid's roads and crossings, and the
// traffic with its roads registered and every slot filled.
class traffic_grid_t {
public:
    traffic_grid_t(uint32_t seed, size_t cars)
    {
        ctrl.seg_server = new seg_server_t;
        ctrl.seg_server->road_defs.emplace_back().lanes = {{1, 1}, 200, 350};
        ctrl.seg_server->prefab_table[seg_crosses].push_back(crossing_prefab());
        build_grid();
        traffic.load_resources();
        // The traffic gets `cars` slots: the others are taken off its free stack, so neither its own spawn
        // nor the refill uses them.
        while (traffic.free_slots.size() > cars)
            traffic.free_slots.pop_back();
        traffic.controller_link = ctrl.handle();
        ai_car_def_t car;
        car.length = 420.0f;
        car.width = 180.0f;
        car.half_height = 70.0f;
        car.day_probability = car.night_probability = car.city_probability = car.country_probability = 1.0f;
        for (const uint8_t speed : {40, 35, 30, 25}) {
            car.speed = speed;
            traffic.catalogue().add(car);
        }
        traffic.viewer_position = {crossing_spacing * (grid_side - 1) * 0.5f, 0.0f,
                                   crossing_spacing * (grid_side - 1) * 0.5f};
        traffic.start_burst = false;
        for (size_t e = 0; e < road_edges.size(); ++e)
            traffic.register_road(ctrl.edges[road_edges[e]].traffic_road, road_edges[e], 0, -1);
        for (const int32_t cross : cross_edges)
            for (int group = 0; group * 8 < curves_per_crossing; ++group)
                traffic.register_road((cross + 6000) * 50 + group, cross, 1, group * 8);
        fill(seed);
    }
    ~traffic_grid_t()
    {
        traffic.destroy(0);
        ctrl.destroy(0);
    }
    traffic_grid_t(const traffic_grid_t&) = delete;
    traffic_grid_t& operator=(const traffic_grid_t&) = delete;

    // One frame: the lights' phase, then the traffic's update. Answers the cars it ran.
    size_t step()
    {
        clock += step_seconds;
        const bool east_west = std::fmod(clock, 2.0 * light_phase_seconds) < light_phase_seconds;
        for (int32_t s = 0; s < ctrl.semaphore_count; ++s) {
            const int arm = (s % curves_per_crossing) / 2;
            ctrl.semaphores[s].light = (arm % 2 == 0) == east_west ? map_light_open : map_light_closed;
        }
        traffic.step(clock, step_seconds);
        return traffic.spawned.size();
    }

    game_ctrl_e ctrl;
    traffic_e traffic;
    std::vector<int32_t> road_edges;
    std::vector<int32_t> cross_edges;
    double clock = 0.0;

private:
    int32_t node(const vec3_t& position)
    {
        const int32_t index = ctrl.add_node(position);
        map_node_t& record = ctrl.nodes[index];
        record.direction = {1, 0, 0};
        record.links[0] = record.links[1] = -1;
        record.link_kinds[0] = record.link_kinds[1] = map_edge_road;
        return index;
    }
    int32_t edge(int32_t kind, const std::array<int32_t, 4>& ends)
    {
        const int32_t index = ctrl.add_edge();
        map_edge_t& record = ctrl.edges[index];
        record.kind = kind;
        record.semaphore = record.sign = record.stamp = -1;
        record.traffic_road = 40 + index;
        for (int slot = 0; slot < 4; ++slot) {
            record.nodes[slot] = ends[static_cast<size_t>(slot)];
            if (ends[static_cast<size_t>(slot)] == -1)
                continue;
            map_node_t& end = ctrl.nodes[ends[static_cast<size_t>(slot)]];
            const int link = end.links[0] == -1 ? 0 : 1;
            end.links[link] = index;
            end.link_kinds[link] = kind;
        }
        record.length = (ctrl.nodes[ends[1]].position - ctrl.nodes[ends[0]].position).length();
        return index;
    }
    // Crossings on a square grid (an even number to a side); the roads join neighbouring arms, and
    // outside the grid pairs of free arms join, so every road leads on and no car drives off the grid.
    void build_grid()
    {
        std::vector<std::array<int32_t, 4>> arms;
        for (int j = 0; j < grid_side; ++j)
            for (int i = 0; i < grid_side; ++i) {
                const vec3_t centre{i * crossing_spacing, 0.0f, j * crossing_spacing};
                std::array<int32_t, 4> ends{};
                for (int a = 0; a < 4; ++a)
                    ends[static_cast<size_t>(a)] = node(centre + arm_directions[static_cast<size_t>(a)] * arm_length);
                arms.push_back(ends);
            }
        ctrl.semaphore_count = curves_per_crossing * grid_side * grid_side;
        ctrl.semaphores = static_cast<map_semaphore_t*>(
            api::mem_sys_alloc(sizeof(map_semaphore_t) * static_cast<size_t>(ctrl.semaphore_count)));
        for (int32_t s = 0; s < ctrl.semaphore_count; ++s)
            ctrl.semaphores[s] = {map_semaphore_unused, map_light_open, 0, {}};
        for (size_t c = 0; c < arms.size(); ++c) {
            const int32_t cross = edge(map_edge_cross, arms[c]);
            ctrl.edges[cross].semaphore = static_cast<int32_t>(c) * curves_per_crossing;
            cross_edges.push_back(cross);
        }
        const auto arm_of = [&arms](int i, int j, int a) {
            return arms[static_cast<size_t>(j * grid_side + i)][static_cast<size_t>(a)];
        };
        for (int j = 0; j < grid_side; ++j)
            for (int i = 0; i + 1 < grid_side; ++i) {
                road_edges.push_back(edge(map_edge_road, {arm_of(i, j, 0), arm_of(i + 1, j, 2), -1, -1}));
                road_edges.push_back(edge(map_edge_road, {arm_of(j, i, 3), arm_of(j, i + 1, 1), -1, -1}));
            }
        // Round the outside, each free arm joins its neighbour's by a road 10 m beyond the grid.
        const int last = grid_side - 1;
        for (int k = 0; k + 1 < grid_side; k += 2) {
            road_edges.push_back(edge(map_edge_road, {arm_of(last, k, 0), arm_of(last, k + 1, 0), -1, -1}));
            road_edges.push_back(edge(map_edge_road, {arm_of(0, k, 2), arm_of(0, k + 1, 2), -1, -1}));
            road_edges.push_back(edge(map_edge_road, {arm_of(k, 0, 1), arm_of(k + 1, 0, 1), -1, -1}));
            road_edges.push_back(edge(map_edge_road, {arm_of(k, last, 3), arm_of(k + 1, last, 3), -1, -1}));
        }
    }
    // Places the cars asked for, at a random place of a random road
    // at least 25 m from every other car, as the traffic's own spawn places its cars.
    void fill(uint32_t seed)
    {
        random.seed(seed);
        for (size_t e = 0; e < road_edges.size(); ++e)
            fill_roads.push_back({static_cast<int32_t>(e), road_edges[e]});
        refill();
    }

public:
    // The traffic removes cars that meet; the benchmark puts new ones in their slots between frames,
    // so each frame runs the full slot count.
    void refill()
    {
        traffic_fill(traffic, ctrl, fill_roads, random, clock, [](const vec3_t&) { return true; });
    }

private:
    std::vector<traffic_fill_road_t> fill_roads;
    std::mt19937 random;
};

// Frames run before the timing starts, so the cars are under way and the lights have switched.
constexpr int settle_frames = 3000;

void BM_traffic_ours(benchmark::State& state)
{
    bind_engine_for_tests();
    traffic_grid_t grid(1, static_cast<size_t>(state.range(0)));
    for (int frame = 0; frame < settle_frames; ++frame) {
        grid.step();
        grid.refill();
    }
    double updates = 0.0;
    double frames = 0.0;
    for (auto _ : state) {
        updates += static_cast<double>(grid.step());
        frames += 1.0;
        state.PauseTiming();
        grid.refill();
        state.ResumeTiming();
    }
    state.counters["car_updates_per_s"] = benchmark::Counter(updates, benchmark::Counter::kIsRate);
    state.counters["cars"] = frames > 0.0 ? updates / frames : 0.0;
}

// --- SUMO ---

// Runs `command`, answering its output (empty when it could not run).
std::string run_program(const std::string& command)
{
    std::string out;
    if (FILE* const pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, got);
        if (pclose(pipe) != 0)
            out += "\n(exit status not zero)";
    }
    return out;
}

bool sumo_installed()
{
    static const bool installed = std::system("command -v sumo >/dev/null 2>&1 && command -v netgenerate >/dev/null "
                                              "2>&1") == 0;
    return installed;
}

// The edges of a SUMO network file (internal ones left out) with the nodes they join.
struct sumo_edge_t {
    std::string id, from, to;
};

// The value of the attribute `name` on an XML line, empty when the line has none.
std::string attribute_of(const std::string& line, const std::string& name)
{
    const std::string opening = " " + name + "=\"";
    const size_t start = line.find(opening);
    if (start == std::string::npos)
        return {};
    const size_t value = start + opening.size();
    const size_t end = line.find('"', value);
    return end == std::string::npos ? std::string() : line.substr(value, end - value);
}

// Reads the number that follows `label` in `text`; false (and `out` untouched) without one.
bool number_after(const std::string& text, const std::string& label, double& out)
{
    const size_t at = text.find(label);
    if (at == std::string::npos)
        return false;
    const char* const start = text.c_str() + at + label.size();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start)
        return false;
    out = value;
    return true;
}

std::vector<sumo_edge_t> read_sumo_edges(const std::filesystem::path& net)
{
    std::vector<sumo_edge_t> edges;
    std::ifstream in(net);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("<edge ") == std::string::npos || line.find("function=\"internal\"") != std::string::npos)
            continue;
        sumo_edge_t edge{attribute_of(line, "id"), attribute_of(line, "from"), attribute_of(line, "to")};
        if (!edge.id.empty() && !edge.from.empty() && !edge.to.empty())
            edges.push_back(edge);
    }
    return edges;
}

// Our grid's size and spacing as SUMO's netgenerate makes it, with `cars` cars on random routes without
// U-turns long enough for `seconds` of driving, one lane each way, lights at the crossings.
bool write_sumo_scenario(const std::filesystem::path& folder, int cars, double seconds, std::string& out_error)
{
    std::filesystem::create_directories(folder);
    char command[1024];
    std::snprintf(command, sizeof command,
                  "netgenerate --grid --grid.number=%d --grid.length=%.0f --default.lanenumber=1 "
                  "--default-junction-type=traffic_light --tls.green.time=%.0f --no-turnarounds true "
                  "--output-file=%s",
                  grid_side, crossing_spacing / 100.0f, light_phase_seconds, (folder / "grid.net.xml").c_str());
    const std::string log = run_program(command);
    const std::vector<sumo_edge_t> edges = read_sumo_edges(folder / "grid.net.xml");
    if (edges.empty()) {
        out_error = "netgenerate made no network: " + log;
        return false;
    }
    std::map<std::string, std::vector<size_t>> leaving;
    for (size_t e = 0; e < edges.size(); ++e)
        leaving[edges[e].from].push_back(e);
    // An edge at the top speed takes about 11 s; the routes are longer than the run, so no car arrives.
    const int hops = static_cast<int>(seconds / 10.0) + 10;
    std::mt19937 random(7);
    std::ofstream routes(folder / "grid.rou.xml");
    routes << "<routes>\n  <vType id=\"car\" length=\"4.2\" maxSpeed=\"13.9\"/>\n";
    for (int v = 0; v < cars; ++v) {
        size_t e = random() % edges.size();
        routes << "  <vehicle id=\"v" << v << "\" type=\"car\" depart=\"0\" departPos=\"random_free\">"
               << "<route edges=\"" << edges[e].id;
        for (int hop = 0; hop < hops; ++hop) {
            std::vector<size_t> next;
            for (const size_t candidate : leaving[edges[e].to])
                if (edges[candidate].to != edges[e].from)
                    next.push_back(candidate);
            if (next.empty())
                break;
            e = next[random() % next.size()];
            routes << ' ' << edges[e].id;
        }
        routes << "\"/></vehicle>\n";
    }
    routes << "</routes>\n";
    return true;
}

// SUMO's own figures of one run.
struct sumo_run_t {
    double ups = 0.0;
    double running = 0.0;
    double seconds = 0.0;  // its duration
};

// Runs SUMO for `steps` steps on a scenario of `cars` cars in `folder`; false with `error` set when it
// gave no figures.
bool run_sumo(const std::filesystem::path& folder, int cars, int steps, sumo_run_t& out, std::string& error)
{
    const double seconds = steps * static_cast<double>(step_seconds);
    if (!write_sumo_scenario(folder, cars, seconds, error))
        return false;
    char command[1024];
    std::snprintf(command, sizeof command,
                  "sumo --net-file %s --route-files %s --step-length %.2f --begin 0 --end %.2f --no-step-log true "
                  "--duration-log.statistics true --no-warnings true --time-to-teleport -1",
                  (folder / "grid.net.xml").c_str(), (folder / "grid.rou.xml").c_str(), step_seconds, seconds);
    const std::string log = run_program(command);
    if (!number_after(log, "UPS: ", out.ups) || !number_after(log, "Duration: ", out.seconds)) {
        error = "sumo gave no UPS: " + log.substr(0, 400);
        return false;
    }
    // The duration is printed in seconds ("1.23s") or in milliseconds ("1230ms"), by version.
    const size_t at = log.find("Duration: ");
    const size_t unit = log.find_first_not_of("0123456789.", at + 10);
    if (unit != std::string::npos && log.compare(unit, 2, "ms") == 0)
        out.seconds /= 1000.0;
    number_after(log, "Running: ", out.running);
    return true;
}

// A SUMO run lasts at least this long (s), so that its duration print's rounding stays below 1 %.
constexpr double sumo_least_seconds = 1.0;

void BM_traffic_sumo(benchmark::State& state)
{
    if (!sumo_installed()) {
        state.SkipWithError("the peer SUMO is missing (bench/setup-peers.sh installs it); our side ran alone");
        return;
    }
    const auto cars = static_cast<int>(state.range(0));
    // A folder of this process's own, so that two runs at once do not share their files.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("kavrenta-bench-sumo-" + std::to_string(getpid()) + "-" + std::to_string(cars));
    std::string error;
    sumo_run_t run;
    // The steps grow until a run lasts long enough: SUMO's figure is its own vehicle updates per second.
    int steps = 1500;
    for (auto _ : state) {
        while (true) {
            if (!run_sumo(folder, cars, steps, run, error)) {
                state.SkipWithError(error.c_str());
                break;
            }
            if (run.seconds >= sumo_least_seconds || steps >= 10000000)
                break;
            const double scale = run.seconds > 0.0 ? 1.5 * sumo_least_seconds / run.seconds : 10.0;
            steps = static_cast<int>(std::min(steps * std::min(scale, 10.0), 10000000.0));
        }
        state.SetIterationTime(run.seconds);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    state.counters["car_updates_per_s"] = run.ups;
    state.counters["cars"] = run.running;
    state.counters["steps"] = steps;
}

}  // namespace

BENCHMARK(BM_traffic_ours)->Arg(1)->Arg(8)->Arg(64)->Arg(126)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_traffic_sumo)->Arg(1)->Arg(8)->Arg(64)->Arg(126)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

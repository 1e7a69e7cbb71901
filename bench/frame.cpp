// Microseconds of a whole game frame: the module run in this process as the host runs it (the engine
// reset, DLL_register, DLL_game_init, then one engine frame of 0.02 s at a time), with the headless
// graphics recorder, unpainted and painted (off-screen, where EGL is). Two worlds: a generated grid of
// lit crossings large enough for the full traffic (127 cars kept spawned around the player's truck,
// which drives north along a road with its throttle held, streaming and the mirrors on), and the sample
// map as "kavrenta -map mainland" starts it. Before the timing a world runs its frames of loading and
// settling; the cars the traffic removes are put back between frames, outside the timing.

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "editor/ai_data_writer.h"
#include "engine/command_line.h"
#include "engine/frame.h"
#include "engine/gfx_record.h"
#include "engine/host.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine/process.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "engine/reset.h"
#include "game/economy/ai_data_file.h"
#include "road/map_file.h"
#include "road/road_network.h"
#include "../tools/sample_map_builder.h"
#include "traffic_fill.h"
#include "vehicles/body/car_phys.h"

extern "C" bool DLL_register(void* host_module);
extern "C" void DLL_game_init();
extern "C" void DLL_shutdown();

namespace {

// The grid: crossings this many to a side (even, so the free arms outside pair up), this far apart (cm);
// a crossing's arms reach this far from its centre (the sample's crossing prefab).
constexpr int grid_side = 10;
constexpr float crossing_spacing = 15000.0f;
constexpr float arm_length = 2000.0f;
// The truck starts on the northbound lane of the road between the last two rows of this column.
constexpr int start_column = grid_side / 2;
constexpr float start_lane = 175.0f;

// The four arms of a crossing in the order of its edge's nodes: east, north, west, south.
const vec3_t arm_directions[4] = {{1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 0, 1}};

// A square grid of lit crossings joined by roads, the free arms outside joined in pairs, so no road ends.
class grid_map_t {
public:
    grid_map_t()
    {
        std::vector<std::array<int32_t, 4>> arms;
        for (int j = 0; j < grid_side; ++j)
            for (int i = 0; i < grid_side; ++i) {
                const vec3_t centre{i * crossing_spacing, 0.0f, j * crossing_spacing};
                std::array<int32_t, 4> ends{};
                for (int a = 0; a < 4; ++a) {
                    // Each arm faces the way a road leaves it east- or southwards (the outer arms are
                    // turned below, where the roads round the outside need it).
                    const vec3_t facing = a == 0 || a == 2 ? vec3_t{1, 0, 0} : vec3_t{0, 0, 1};
                    ends[static_cast<size_t>(a)] = map_.node(centre + arm_directions[a] * arm_length, facing);
                }
                arms.push_back(ends);
                const int32_t cross = map_.edge(map_edge_cross, {ends[0], ends[1], ends[2], ends[3]});
                // Traffic lights on every arm.
                map_edge_side_t& side = network.edges[cross].sides[0];
                side.strip_width = 1;
                side.railing = side.railing_shader = side.profile = side.terrain = 0;
            }
        const auto arm = [&arms](int i, int j, int a) {
            return arms[static_cast<size_t>(j * grid_side + i)][static_cast<size_t>(a)];
        };
        for (int j = 0; j < grid_side; ++j)
            for (int i = 0; i + 1 < grid_side; ++i) {
                map_.edge(map_edge_road, {arm(i, j, 0), arm(i + 1, j, 2)});
                map_.edge(map_edge_road, {arm(j, i, 3), arm(j, i + 1, 1)});
            }
        const int last = grid_side - 1;
        for (int k = 0; k + 1 < grid_side; k += 2) {
            u_turn(arm(last, k, 0), arm(last, k + 1, 0), {1, 0, 0});
            u_turn(arm(0, k, 2), arm(0, k + 1, 2), {-1, 0, 0});
            u_turn(arm(k, 0, 1), arm(k + 1, 0, 1), {0, 0, -1});
            u_turn(arm(k, last, 3), arm(k + 1, last, 3), {0, 0, 1});
        }
        network.start_position = {start_column * crossing_spacing + start_lane, 0.0f,
                                  (grid_side - 1.5f) * crossing_spacing};
    }

    // Writes the map and the economy's files beside it (a map without docks) into `folder`.
    bool write(const std::filesystem::path& folder, const char* name) const
    {
        std::filesystem::create_directories(folder);
        const std::string path = (folder / (std::string(name) + ".mbd")).string();
        std::vector<uint8_t> bytes(map_file_size(network));
        map_file_write(network, bytes.data());
        if (!write_bytes(path, bytes))
            return false;
        const dock_prefab_lookup_t no_docks = [](const map_edge_t&) -> const dock_prefab_t* { return nullptr; };
        std::vector<uint8_t> aid, rte;
        std::string error;
        return ai_data_build(network, no_docks, aid, error) && route_table_build(network, no_docks, rte, error) &&
               write_bytes(map_side_path(path.c_str(), "aid"), aid) &&
               write_bytes(map_side_path(path.c_str(), "rte"), rte);
    }

    road_network_t network;

private:
    // A road from free arm `from` out along `out` and back into the free arm `to` beside it.
    void u_turn(const int32_t from, const int32_t to, const vec3_t& out)
    {
        network.nodes[from].direction = out;
        network.nodes[to].direction = out * -1.0f;
        map_.edge(map_edge_road, {from, to});
    }

    map_builder_t map_{network};
};

// The engine library's handle, as the host hands it to DLL_register.
void* engine_library()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&::message), &info) || !info.dli_fname)
        return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

// The game started on `map` with a documents folder of its own, shut down as the host does.
class game_run_t {
public:
    game_run_t(const char* map, const bool painted)
        : documents_(std::filesystem::temp_directory_path() / ("kavrenta-bench-frame-" + std::to_string(getpid())))
    {
        engine_reset_families();
        log_set_capture(false);
        log_set_echo(std::getenv("KAVRENTA_BENCH_LOG") != nullptr);
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        host_settings().documents = documents_.string();
        host_settings().home.clear();
        host_settings().draw = painted;
        cdl_set({"kavrenta", "-map", map, "-default_controls"});
        void* const engine = engine_library();
        if (!engine || !vfs_init_from_host() || !DLL_register(engine))
            return;
        // The map is made with the engine bound, where the game's home will read it.
        if (std::string(map) == "grid" && !grid_map_t().write(documents_ / "Kavrenta" / "maps", map))
            return;
        DLL_game_init();
        running_ = true;
    }
    ~game_run_t()
    {
        if (running_) {
            DLL_shutdown();
            process_terminate_all();
            ui_shutdown();
        }
        std::error_code ignored;
        std::filesystem::remove_all(documents_, ignored);
    }
    game_run_t(const game_run_t&) = delete;
    game_run_t& operator=(const game_run_t&) = delete;

    bool running() const { return running_; }
    bool frame() { return running_ && engine_run_frame(host_settings().frame_seconds) > 0 && !host_quit_requested(); }

    // Presses a key and keeps it held.
    static void press(const char* key)
    {
        std::vector<inp_event_t> events;
        if (inp_script_parse(std::string("0 press ") + key + "\n", "bench", events))
            inp_queue_events(events);
    }

private:
    std::filesystem::path documents_;
    bool running_ = false;
};

// Frames the world may take to load and show its intro before the drive starts, and frames of driving
// before the timing (the traffic's start burst is over and the truck is under way).
constexpr int start_frames = 3000;
constexpr int settle_frames = 200;
// Cars are kept within this distance of the truck (cm), inside the traffic's removal distance.
constexpr float fill_radius = 40000.0f;

// The traffic's cars topped up to every slot: roads near the truck take the cars it removed.
class traffic_top_up_t {
public:
    size_t run(const vec3_t& viewer)
    {
        const held_part_t<traffic_e> held(get_game_bridge() ? get_game_bridge()->traffic() : entity_handle_t{});
        traffic_e* const traffic = held.get();
        if (!traffic)
            return 0;
        const held_part_t<game_ctrl_e> controller(traffic->controller_link);
        if (!controller.get())
            return traffic->spawned.size();
        game_ctrl_e& ctrl = *controller.get();
        roads_.clear();
        for (size_t r = 0; r < traffic->roads.size(); ++r)
            for (const int32_t edge : traffic->roads[r].edges)
                if (!traffic->roads[r].pending_removal && ctrl.edges.valid(edge) &&
                    ctrl.edges[edge].kind == map_edge_road)
                    roads_.push_back({static_cast<int32_t>(r), edge});
        traffic_fill(*traffic, ctrl, roads_, random_, traffic->clock,
                     [&viewer](const vec3_t& p) { return (p - viewer).length_sq() < fill_radius * fill_radius; });
        return traffic->spawned.size();
    }

private:
    std::vector<traffic_fill_road_t> roads_;
    std::mt19937 random_{7};
};

vec3_t truck_position()
{
    const held_part_t<car_phys_e> truck(get_game_bridge() ? get_game_bridge()->avatar() : entity_handle_t{});
    return truck.get() ? truck.get()->get_position() : vec3_t{};
}

void BM_frame(benchmark::State& state, const char* map, const bool full_traffic, const bool painted)
{
    game_run_t game(map, painted);
    if (!game.running()) {
        state.SkipWithError("the game did not start");
        return;
    }
    if (painted && !gfx_record_can_paint()) {
        state.SkipWithError("no frame can be painted here (no EGL)");
        return;
    }
    traffic_top_up_t top_up;
    // The throttle is held once the drive starts: the intro ignores the keys.
    log_set_capture(true);
    bool started = false;
    for (int frame = 0; frame < start_frames + settle_frames && game.frame(); ++frame) {
        if (!started) {
            for (const log_entry_t& entry : log_captured())
                started = started || entry.text.find("<car_player_e> the drive starts") != std::string::npos;
            log_clear_capture();
            if (started) {
                log_set_capture(false);
                game_run_t::press("up");
                frame = start_frames;
            }
        }
        if (full_traffic)
            top_up.run(truck_position());
    }
    log_set_capture(false);
    log_clear_capture();
    if (!started) {
        state.SkipWithError("the drive did not start");
        return;
    }
    const vec3_t start = truck_position();
    double cars = 0.0;
    for (auto _ : state) {
        if (!game.frame()) {
            state.SkipWithError("the game ended");
            return;
        }
        state.PauseTiming();
        cars += static_cast<double>(full_traffic ? top_up.run(truck_position()) : 0);
        state.ResumeTiming();
    }
    const vec3_t end = truck_position();
    const auto frames = static_cast<double>(state.iterations());
    // The counters say the world was the one asked for: the cars spawned each frame, and how far the
    // truck drove (m) while it was timed.
    state.counters["cars"] = frames > 0.0 ? cars / frames : 0.0;
    state.counters["truck_m"] = (end - start).length() / 100.0f;
}

}  // namespace

BENCHMARK_CAPTURE(BM_frame, grid_full_traffic, "grid", true, false)->Iterations(1500)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_frame, sample_map, "mainland", false, false)->Iterations(1500)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_frame, grid_full_traffic_painted, "grid", true, true)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_frame, sample_map_painted, "mainland", false, true)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

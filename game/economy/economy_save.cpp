#include <cstring>

#include "engine/mbio.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/save_timestamp.h"
#include "game/economy/economy_record_io.h"
#include "game/economy_ctrl.h"

// The economy's section of a save game and the time-stamp trailer that ends the file.

namespace {

// The section's magic with its terminating zero.
constexpr char section_magic[] = "3c0n0m7ctrlh34d3r";
static_assert(sizeof section_magic == 18);
// The save version whose sections hold the special offer.
constexpr int32_t offer_version = 14;
// Flags word of the player's truck.
constexpr uint32_t flag_trailer = 1;
constexpr uint32_t flag_cheated = 2;

template <typename record_t> bool write_array(mbio_t& out, const std::vector<record_t>& records, const size_t count)
{
    if (!out.write_u32(static_cast<uint32_t>(count)))
        return false;
    for (const record_t& record : records)
        if (!write_record(out, record))
            return false;
    return true;
}

// An array of `count` records (plus `extra` behind them) of `size` bytes each; the count is checked
// against the bytes that remain before anything is allocated.
template <typename record_t>
bool read_array(mbio_t& in, std::vector<record_t>& out, const size_t size, const size_t extra, uint32_t& out_count)
{
    if (!in.read_count(out_count, size) || (out_count + extra) * size > in.remaining())
        return false;
    std::vector<record_t> records(out_count + extra);
    for (record_t& record : records)
        if (!read_record(in, record))
            return false;
    out = std::move(records);
    return true;
}

bool index_ok(const int32_t index, const size_t count) { return index >= -1 && index < static_cast<int32_t>(count); }

}  // namespace

bool economy_ctrl_e::write_section(mbio_t& out) const
{
    bool ok = out.write_bytes(section_magic, sizeof section_magic);
    for (const company_t& company : companies)
        ok = ok && write_record(out, company);
    ok = ok && write_array(out, drivers, drivers.size()) && write_array(out, cities, cities.size()) &&
         write_array(out, cargos, static_cast<size_t>(cargo_count())) &&
         write_array(out, special_cargos, special_cargos.size()) && write_array(out, traders, traders.size()) &&
         write_array(out, dealers, dealers.size()) && write_array(out, trucks, trucks.size()) &&
         write_array(out, jobs, static_cast<size_t>(job_count()));
    ok = ok && out.write_u32(static_cast<uint32_t>(week)) && out.write_i32(player_job.job) &&
         write_vec3(out, player_job.target) && out.write_f32(time_left) && out.write_i32(game_over_reason) &&
         out.write_i32(level) && out.write_i32(goal_kind) && out.write_i32(goal_target) && out.write_i32(outcome) &&
         write_text(out, instructions, sizeof instructions);
    return ok && out.write_f32(offer.countdown) && out.write_u8(offer.active) && out.write_f32(offer.deadline) &&
           out.write_i32(offer.reminders) && out.write_f32(offer.next_reminder) &&
           write_text(out, offer.text, sizeof offer.text);
}

bool economy_ctrl_e::read_section(mbio_t& in, const int32_t version, std::string& out_error, const bool apply)
{
    char magic[sizeof section_magic];
    if (!in.read_bytes(magic, sizeof magic) || std::memcmp(magic, section_magic, sizeof magic) != 0) {
        out_error = "magic";
        return false;
    }
    // Everything is read into a fresh controller's worth of records first, so a refused section
    // changes nothing.
    economy_ctrl_e* const self = this;
    company_t read_companies[economy_company_count];
    std::vector<driver_t> read_drivers;
    std::vector<city_t> read_cities;
    std::vector<cargo_t> read_cargos, read_specials;
    std::vector<trader_t> read_traders;
    std::vector<dealer_t> read_dealers;
    std::vector<company_truck_t> read_trucks;
    std::vector<job_t> read_jobs;
    uint32_t n_drivers = 0, n_cities = 0, n_cargos = 0, n_specials = 0, n_traders = 0, n_dealers = 0, n_trucks = 0,
             n_jobs = 0;
    bool ok = true;
    for (company_t& company : read_companies)
        ok = ok && read_record(in, company);
    ok = ok && read_array(in, read_drivers, driver_record_size, 0, n_drivers) &&
         read_array(in, read_cities, city_record_size, 0, n_cities) &&
         read_array(in, read_cargos, cargo_record_size, 1, n_cargos) &&
         read_array(in, read_specials, cargo_record_size, 0, n_specials) &&
         read_array(in, read_traders, trader_record_size, 0, n_traders) &&
         read_array(in, read_dealers, dealer_record_size, 0, n_dealers) &&
         read_array(in, read_trucks, company_truck_record_size, 0, n_trucks) &&
         read_array(in, read_jobs, job_record_size, 1, n_jobs);
    uint32_t read_week = 0;
    player_job_t read_player{};
    float read_time_left = 0.0f;
    int32_t read_reason = 0, read_level = 0, read_goal_kind = 0, read_goal_target = 0, read_outcome = 0;
    char read_instructions[256];
    ok = ok && in.read_u32(read_week) && in.read_i32(read_player.job) && read_vec3(in, read_player.target) &&
         in.read_f32(read_time_left) && in.read_i32(read_reason) && in.read_i32(read_level) &&
         in.read_i32(read_goal_kind) && in.read_i32(read_goal_target) && in.read_i32(read_outcome) &&
         read_text(in, read_instructions, sizeof read_instructions);
    special_cargo_offer_t read_offer = offer;
    if (ok && version == offer_version)
        ok = in.read_f32(read_offer.countdown) && in.read_u8(read_offer.active) && in.read_f32(read_offer.deadline) &&
             in.read_i32(read_offer.reminders) && in.read_f32(read_offer.next_reminder) &&
             read_text(in, read_offer.text, sizeof read_offer.text);
    if (!ok) {
        out_error = "cut short: " + in.last_error();
        return false;
    }

    // Every index the rules follow is checked against the arrays it names.
    const size_t cargo_total = n_cargos + 1;
    for (const company_t& company : read_companies) {
        for (const int32_t truck : company.trucks)
            ok = ok && index_ok(truck, n_trucks);
        ok = ok && index_ok(company.headquarters, n_cities) && index_ok(company.target_city, n_cities);
    }
    for (const driver_t& driver : read_drivers) {
        ok = ok && driver.company >= -1 && driver.company < economy_company_count && index_ok(driver.truck, n_trucks);
        for (const int32_t job : driver.jobs)
            ok = ok && index_ok(job, n_jobs + 1);
        for (int i = 0; i < 3; ++i)
            ok = ok && index_ok(driver.pref_cities[i], n_cities) && index_ok(driver.pref_cargos[i], n_cargos);
    }
    for (const city_t& city : read_cities) {
        ok = ok && city.trader_count >= 0 && city.trader_count <= city_max_traders &&
             index_ok(city.master, economy_company_count);
        for (int32_t i = 0; i < city.trader_count && ok; ++i)
            ok = city.traders[i] >= 0 && city.traders[i] < static_cast<int32_t>(n_traders);
    }
    const auto cargo_ok = [&](const int32_t cargo) {
        return (cargo >= 0 && cargo < static_cast<int32_t>(n_cargos)) ||
               (cargo >= special_cargo_base && cargo < special_cargo_base + static_cast<int32_t>(n_specials));
    };
    for (const trader_t& trader : read_traders) {
        ok = ok && index_ok(trader.city, n_cities) && trader.produced_count >= -1 && trader.produced_count <= 32 &&
             trader.accepted_count >= -1 && trader.accepted_count <= 33 && index_ok(trader.first_job, n_jobs);
        for (int32_t i = 0; i < trader.produced_count && ok; ++i)
            ok = cargo_ok(trader.produced[i]);
        for (int32_t i = 0; i < trader.accepted_count && ok; ++i)
            ok = cargo_ok(trader.accepted[i]);
    }
    for (size_t j = 0; j < read_jobs.size() && ok; ++j) {
        const job_t& job = read_jobs[j];
        const bool free_spare = j == n_jobs && job.cargo == -1;
        ok = free_spare || (index_ok(job.cargo, cargo_total) && job.cargo >= 0 && job.source >= 0 &&
                            job.source < static_cast<int32_t>(n_traders) && job.destination >= 0 &&
                            job.destination < static_cast<int32_t>(n_traders));
    }
    for (const company_truck_t& truck : read_trucks)
        ok = ok && index_ok(truck.owner, n_drivers);
    ok = ok && index_ok(read_player.job, n_jobs + 1) && read_offer.reminders >= 0;
    if (!ok) {
        out_error = "an index outside its records";
        return false;
    }
    if (!apply)
        return true;

    std::memcpy(self->companies, read_companies, sizeof read_companies);
    drivers = std::move(read_drivers);
    cities = std::move(read_cities);
    cargos = std::move(read_cargos);
    special_cargos = std::move(read_specials);
    traders = std::move(read_traders);
    dealers = std::move(read_dealers);
    trucks = std::move(read_trucks);
    jobs = std::move(read_jobs);
    week = static_cast<int32_t>(read_week);
    player_job = read_player;
    time_left = read_time_left;
    game_over_reason = read_reason;
    level = read_level;
    goal_kind = read_goal_kind;
    goal_target = read_goal_target;
    outcome = read_outcome;
    std::memcpy(instructions, read_instructions, sizeof instructions);
    offer = read_offer;
    return true;
}

int32_t economy_ctrl_e::save(const int file)
{
    mbio_t out;
    out.open_grow();
    write_section(out);
    player_truck_state_t truck;
    world_->truck_state(truck);
    const uint32_t flags = (truck.has_trailer ? flag_trailer : 0) | (cheated ? flag_cheated : 0);
    write_vec3(out, truck.position);
    write_quat(out, truck.orientation);
    out.write_u32(flags);
    write_vec3(out, truck.trailer_position);
    write_quat(out, truck.trailer_orientation);
    out.write_f32(truck.trailer_damage);
    out.write_f32(truck.fuel);
    const long written = api::vfs_write(file, out.data(), static_cast<long>(out.size()));
    if (written != static_cast<long>(out.size()))
        return -1;
    return static_cast<int32_t>(written) + world_->truck_record_save(file);
}

namespace {

// The rest of an open file from its position, read whole; false when it cannot be read.
bool read_rest(const int file, long& start, std::vector<uint8_t>& rest)
{
    start = api::vfs_seek(file, 0, 1);
    vfs_stat_t info{};
    if (start < 0 || api::vfs_fstat(file, &info) != 0 || info.size < start)
        return false;
    rest.resize(static_cast<size_t>(info.size - start));
    return rest.empty() ||
           api::vfs_read(file, rest.data(), static_cast<long>(rest.size())) == static_cast<long>(rest.size());
}

}  // namespace

bool economy_ctrl_e::read_whole_section(const int file, const int32_t version, const bool apply,
                                        player_truck_state_t& truck, uint32_t& flags, long& size)
{
    // The section is read from the rest of the file, then the file is moved to the section's end.
    long start = 0;
    std::vector<uint8_t> rest;
    if (!read_rest(file, start, rest))
        return false;
    mbio_t in(rest.data(), rest.size());
    std::string why;
    const bool read = read_section(in, version, why, apply) && read_vec3(in, truck.position) &&
                      read_quat(in, truck.orientation) && in.read_u32(flags) && read_vec3(in, truck.trailer_position) &&
                      read_quat(in, truck.trailer_orientation) && in.read_f32(truck.trailer_damage) &&
                      in.read_f32(truck.fuel);
    api::vfs_seek(file, start + static_cast<long>(in.position()), 0);
    size = static_cast<long>(in.position());
    if (!read)
        api::error("<economy_ctrl_e> save section refused: %s", why.empty() ? in.last_error().c_str() : why.c_str());
    return read;
}

int32_t economy_ctrl_e::check(const int file, const int32_t version)
{
    player_truck_state_t truck;
    uint32_t flags = 0;
    long size = 0;
    if (!read_whole_section(file, version, false, truck, flags, size))
        return -1;
    // The truck's own record follows the economy's fields: pass over it as a load would read it.
    const int32_t record = world_->truck_record_bytes(version);
    return record == 0 || api::vfs_seek(file, record, 1) >= 0 ? static_cast<int32_t>(size) + record : -1;
}

int32_t economy_ctrl_e::load(const int file, const int32_t version)
{
    player_truck_state_t truck;
    uint32_t flags = 0;
    long size = 0;
    if (!read_whole_section(file, version, true, truck, flags, size))
        return -1;
    truck.has_trailer = (flags & flag_trailer) != 0;
    cheated = (flags & flag_cheated) ? 1 : 0;
    set_ai_level(level);
    const int32_t own = companies[0].trucks[0];
    world_->restore_truck_state(truck, own >= 0 ? trucks[static_cast<size_t>(own)].colour : 0);
    const int32_t record = world_->truck_record_load(file, version);
    open_main_hud(1);
    load_ai_data(bridge ? bridge->get_map_name() : "");
    if (truck.has_trailer)
        restore_towed_trailer(truck);
    // The drivers' clocks and the companies' step times start again with the world's clock.
    const double now = world_->world_time();
    for (driver_t& driver : drivers) {
        driver.leg_clock = now;
        driver.state &= static_cast<uint8_t>(~driver_in_traffic);
    }
    for (company_t& company : companies)
        company.last_step_time = now;
    for (int32_t d = 0; d < static_cast<int32_t>(drivers.size()); ++d) {
        driver_t& driver = drivers[static_cast<size_t>(d)];
        route_view_t route;
        bool forward = false;
        if (job_route_distance(driver.jobs[0], route, forward) && route.length > 0) {
            driver.route_length = route.length;
            driver.route_distance = route.distance;
            driver.route_nodes = route.nodes;
            driver.route_distances = route.distances;
            driver.route_direction = forward ? 1 : 0;
            if (driver.current_node >= route.length)
                driver.current_node = forward ? static_cast<uint16_t>(route.length - 1) : 0;
        } else {
            driver.route_length = 0;
            driver.state &= static_cast<uint8_t>(~driver_has_route);
        }
    }
    // The truck's own damage came with its record: the gauge shows it, not the fresh HUD's.
    set_hud_damage(world_->player_truck_damage());
    return static_cast<int32_t>(size) + record;
}

void economy_ctrl_e::restore_towed_trailer(const player_truck_state_t& truck)
{
    // The job and its cargo come from the file: a trailer is spawned only for a job that exists.
    const int32_t j = player_job.job;
    const bool job_known = j >= 0 && j <= job_count();
    const int32_t c = job_known ? jobs[static_cast<size_t>(j)].cargo : -1;
    if (c < 0 || c >= static_cast<int32_t>(cargos.size())) {
        api::warning("<economy_ctrl_e> the saved trailer belongs to no job with a cargo (job %d); it is left out", j);
        return;
    }
    const job_t& job = jobs[static_cast<size_t>(j)];
    const cargo_t& cargo = cargos[static_cast<size_t>(c)];
    vec3_t destination{};
    if (job.destination >= 0 && job.destination < static_cast<int32_t>(traders.size())) {
        const int32_t dock = traders[static_cast<size_t>(job.destination)].dock;
        if (dock >= 0 && dock < static_cast<int32_t>(docks.size()))
            destination = docks[static_cast<size_t>(dock)].position;
    }
    const trailer_order_t order{cargo.trailer,
                                cargo.variant,
                                cargo.fragility,
                                cargo.weight,
                                truck.trailer_position,
                                truck.trailer_orientation,
                                -1,
                                -1,
                                j,
                                destination};
    if (!world_->restore_towed_trailer(order, truck.trailer_damage))
        api::warning("<economy_ctrl_e> the saved trailer of job %d could not be spawned", j);
}

int32_t economy_ctrl_e::save_timestamp_write(const int file)
{
    return save_timestamp_write_values(file, week, world_->game_time());
}

int32_t economy_ctrl_e::save_timestamp_read(const int file)
{
    return save_timestamp_read_values(file, nullptr, nullptr);
}

void economy_ctrl_e::save_timestamp_default() { instruction_delay = 4.5f; }

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/mbio.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/save_timestamp.h"
#include "game/economy/economy_money_range.h"
#include "game/economy/economy_record_io.h"
#include "game/economy_ctrl.h"
#include "vehicles/player/car_player.h"

// The economy's section of a save game and the time-stamp trailer that ends the file.

namespace {

// The section's magic with its terminating zero.
constexpr char section_magic[] = "3c0n0m7ctrlh34d3r";
static_assert(sizeof section_magic == 18);
// The save version whose sections hold the special offer, and the version the economy writes.
constexpr int32_t offer_version = 14;
constexpr int32_t written_version = 14;
// Flags word of the player's truck.
constexpr uint32_t flag_trailer = 1;
constexpr uint32_t flag_cheated = 2;

// The section after its magic, rows 2 to 34, in their order: the one description the writing, the
// reading and the check of its numbers run. `holder_t` is the controller, or the image a read is
// checked in before the controller takes it.
template <typename io_t, typename holder_t> void describe_section(io_t& io, holder_t& h)
{
    io.field(h.companies);
    io.records(h.drivers, 0);
    io.records(h.cities, 0);
    // The cargos and the jobs keep one spare record behind the last.
    io.records(h.cargos, 1);
    io.records(h.special_cargos, 0);
    io.records(h.traders, 0);
    io.records(h.dealers, 0);
    io.records(h.trucks, 0);
    io.records(h.jobs, 1);
    io.field(h.week);
    io.field(h.player_job);
    io.field(h.time_left);
    io.field(h.game_over_reason);
    io.field(h.level);
    io.field(h.goal_kind);
    io.field(h.goal_target);
    io.field(h.outcome);
    io.field(h.instructions);
    io.field(h.offer.countdown, offer_version, offer_version);
    io.field(h.offer.active, offer_version, offer_version);
    io.field(h.offer.deadline, offer_version, offer_version);
    io.field(h.offer.reminders, offer_version, offer_version);
    io.field(h.offer.next_reminder, offer_version, offer_version);
    io.field(h.offer.text, offer_version, offer_version);
}

// Rows 35 to 41: the player's truck and its trailer, with the flags word between them.
template <typename io_t, typename truck_t, typename flags_t>
void describe_truck(io_t& io, truck_t& truck, flags_t& flags)
{
    io.field(truck.position);
    io.field(truck.orientation);
    io.field(flags);
    io.field(truck.trailer_position);
    io.field(truck.trailer_orientation);
    io.field(truck.trailer_damage);
    io.field(truck.fuel);
}

bool index_ok(const int32_t index, const size_t count) { return index >= -1 && index < static_cast<int32_t>(count); }

}  // namespace

bool economy_ctrl_e::write_section(mbio_t& out) const
{
    saved_writer_t writer(out, written_version);
    out.write_bytes(section_magic, sizeof section_magic);
    describe_section(writer, *this);
    return !out.failed() && writer.ok();
}

// What a section holds, by the controller's names, read whole before any of it is taken.
struct economy_section_image_t {
    company_t companies[economy_company_count];
    std::vector<driver_t> drivers;
    std::vector<city_t> cities;
    std::vector<cargo_t> cargos, special_cargos;
    std::vector<trader_t> traders;
    std::vector<dealer_t> dealers;
    std::vector<company_truck_t> trucks;
    std::vector<job_t> jobs;
    int32_t week = 0;
    player_job_t player_job{};
    float time_left = 0.0f;
    int32_t game_over_reason = 0, level = 0, goal_kind = 0, goal_target = 0, outcome = 0;
    char instructions[256] = {};
    special_cargo_offer_t offer{};
};

namespace {

// Highest week number taken: a career of twenty thousand years.
constexpr int32_t week_limit = 1000000;
// Longest job, in centimetres: ten thousand kilometres.
constexpr float job_distance_limit = 1.0e9f;
// Farthest a saved truck or trailer may stand from the origin on any axis, and the most fuel a tank
// holds: both far beyond the sample map and any truck, and small enough for the physics to stay exact.
constexpr float position_limit = 1.0e7f;
constexpr float fuel_limit = 100000.0f;

bool finite_in(const float value, const float low, const float high)
{
    return std::isfinite(value) && value >= low && value <= high;
}
bool place_ok(const vec3_t& at)
{
    return finite_in(at.x, -position_limit, position_limit) && finite_in(at.y, -position_limit, position_limit) &&
           finite_in(at.z, -position_limit, position_limit);
}
// A stored orientation: finite and not near zero; it is taken normalised.
bool orientation_ok(quat_t& q)
{
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (!std::isfinite(length) || !(length > 0.5f && length < 2.0f))
        return false;
    q = {q.x / length, q.y / length, q.z / length, q.w / length};
    return true;
}

// True when the amounts the week's settlement and the pay compute with lie in the economy's range.
bool money_ok(const economy_section_image_t& s)
{
    bool ok = true;
    for (const company_t& c : s.companies)
        ok = ok && economy_money_in_range(c.money) && c.loan >= 0 && economy_money_in_range(c.loan) &&
             economy_money_in_range(c.income) && economy_money_in_range(c.haul_score) &&
             economy_money_in_range(c.haul_score_second) && economy_money_in_range(c.week_driver_income) &&
             economy_money_in_range(c.week_costs) && economy_money_in_range(c.week_loan_repayment);
    for (const driver_t& d : s.drivers)
        ok = ok && d.salary >= 0 && d.salary <= economy_salary_limit && economy_money_in_range(d.week_income) &&
             economy_money_in_range(d.week_haul_score);
    for (const city_t& city : s.cities)
        for (const int32_t score : city.haul_score)
            ok = ok && economy_money_in_range(score);
    for (const job_t& job : s.jobs)
        ok = ok && job.distance >= 0.0f && job.distance <= job_distance_limit;
    return ok;
}

// True when the week, the time limit, the special offer's reminders and the level are ones the game
// can run on.
bool clocks_ok(const economy_section_image_t& s)
{
    return s.week >= 0 && s.week <= week_limit && s.time_left >= -1.0f && s.level >= 0 && s.level <= 3 &&
           s.offer.reminders >= 0 && s.offer.reminders <= 3 && place_ok(s.player_job.target);
}

// Reads rows 1 to 34 into `s`, checking every count, index and number; false with `out_error` on a
// section it refuses. `s.offer` holds what a section without the offer keeps.
bool parse_section(mbio_t& in, const int32_t version, economy_section_image_t& s, std::string& out_error)
{
    char magic[sizeof section_magic];
    if (!in.read_bytes(magic, sizeof magic) || std::memcmp(magic, section_magic, sizeof magic) != 0) {
        out_error = "magic";
        return false;
    }
    saved_reader_t reader(in, version);
    describe_section(reader, s);
    if (!reader.ok()) {
        out_error = "cut short: " + in.last_error();
        return false;
    }

    // Every index the rules follow is checked against the arrays it names.
    const size_t n_drivers = s.drivers.size(), n_cities = s.cities.size(), n_cargos = s.cargos.size() - 1,
                 n_specials = s.special_cargos.size(), n_traders = s.traders.size(), n_trucks = s.trucks.size(),
                 n_jobs = s.jobs.size() - 1;
    bool ok = true;
    const size_t cargo_total = n_cargos + 1;
    for (const company_t& company : s.companies) {
        for (const int32_t truck : company.trucks)
            ok = ok && index_ok(truck, n_trucks);
        ok = ok && index_ok(company.headquarters, n_cities) && index_ok(company.target_city, n_cities);
    }
    for (const driver_t& driver : s.drivers) {
        ok = ok && driver.company >= -1 && driver.company < economy_company_count && index_ok(driver.truck, n_trucks);
        for (const int32_t job : driver.jobs)
            ok = ok && index_ok(job, n_jobs + 1);
        for (int i = 0; i < 3; ++i)
            ok = ok && index_ok(driver.pref_cities[i], n_cities) && index_ok(driver.pref_cargos[i], n_cargos);
    }
    for (const city_t& city : s.cities) {
        ok = ok && city.trader_count >= 0 && city.trader_count <= city_max_traders &&
             index_ok(city.master, economy_company_count);
        for (int32_t i = 0; i < city.trader_count && ok; ++i)
            ok = city.traders[i] >= 0 && city.traders[i] < static_cast<int32_t>(n_traders);
    }
    const auto cargo_ok = [&](const int32_t cargo) {
        return (cargo >= 0 && cargo < static_cast<int32_t>(n_cargos)) ||
               (cargo >= special_cargo_base && cargo < special_cargo_base + static_cast<int32_t>(n_specials));
    };
    for (const trader_t& trader : s.traders) {
        ok = ok && index_ok(trader.city, n_cities) && trader.produced_count >= -1 && trader.produced_count <= 32 &&
             trader.accepted_count >= -1 && trader.accepted_count <= 33 && index_ok(trader.first_job, n_jobs);
        for (int32_t i = 0; i < trader.produced_count && ok; ++i)
            ok = cargo_ok(trader.produced[i]);
        for (int32_t i = 0; i < trader.accepted_count && ok; ++i)
            ok = cargo_ok(trader.accepted[i]);
    }
    for (size_t j = 0; j < s.jobs.size() && ok; ++j) {
        const job_t& job = s.jobs[j];
        const bool free_spare = j == n_jobs && job.cargo == -1;
        ok = free_spare || (index_ok(job.cargo, cargo_total) && job.cargo >= 0 && job.source >= 0 &&
                            job.source < static_cast<int32_t>(n_traders) && job.destination >= 0 &&
                            job.destination < static_cast<int32_t>(n_traders));
    }
    for (const company_truck_t& truck : s.trucks)
        ok = ok && index_ok(truck.owner, n_drivers);
    ok = ok && index_ok(s.player_job.job, n_jobs + 1);
    if (!ok) {
        out_error = "an index outside its records";
        return false;
    }
    saved_finite_t finite(version);
    describe_section(finite, s);
    if (!finite.ok) {
        out_error = "a number that is not finite";
        return false;
    }
    if (!money_ok(s)) {
        out_error = "an amount of money or a wage outside the economy's range";
        return false;
    }
    if (!clocks_ok(s)) {
        out_error = "a week, clock or level outside its range";
        return false;
    }
    return true;
}

// Reads rows 35 to 41: the truck's and the trailer's places, the flags and the fuel, each checked.
bool parse_truck(mbio_t& in, player_truck_state_t& truck, uint32_t& flags, std::string& out_error)
{
    saved_reader_t reader(in, every_save_version);
    describe_truck(reader, truck, flags);
    if (!reader.ok()) {
        out_error = "cut short: " + in.last_error();
        return false;
    }
    const bool trailer = (flags & flag_trailer) != 0;
    if (!place_ok(truck.position) || !orientation_ok(truck.orientation) || !finite_in(truck.fuel, 0.0f, fuel_limit) ||
        (trailer && (!place_ok(truck.trailer_position) || !orientation_ok(truck.trailer_orientation) ||
                     !std::isfinite(truck.trailer_damage)))) {
        out_error = "a truck or trailer place, or the fuel, outside its range";
        return false;
    }
    truck.trailer_damage = std::clamp(truck.trailer_damage, 0.0f, 1.0f);
    return true;
}

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

// Reads the section and the player's truck from the file's position into `s` and `truck`, leaving the
// file after them (`size` bytes); false, with a message, on a section it refuses.
bool read_from_file(const int file, const int32_t version, economy_section_image_t& s, player_truck_state_t& truck,
                    uint32_t& flags, long& size)
{
    long start = 0;
    std::vector<uint8_t> rest;
    if (!read_rest(file, start, rest)) {
        api::error("<economy_ctrl_e> save section refused: it cannot be read");
        return false;
    }
    mbio_t in(rest.data(), rest.size());
    std::string why;
    const bool read = parse_section(in, version, s, why) && parse_truck(in, truck, flags, why);
    api::vfs_seek(file, start + static_cast<long>(in.position()), 0);
    size = static_cast<long>(in.position());
    if (!read)
        api::error("<economy_ctrl_e> save section refused: %s", why.c_str());
    return read;
}

}  // namespace

void economy_ctrl_e::take_section(economy_section_image_t& s)
{
    std::memcpy(companies, s.companies, sizeof companies);
    drivers = std::move(s.drivers);
    cities = std::move(s.cities);
    cargos = std::move(s.cargos);
    special_cargos = std::move(s.special_cargos);
    traders = std::move(s.traders);
    dealers = std::move(s.dealers);
    trucks = std::move(s.trucks);
    jobs = std::move(s.jobs);
    week = s.week;
    player_job = s.player_job;
    time_left = s.time_left;
    game_over_reason = s.game_over_reason;
    level = s.level;
    goal_kind = s.goal_kind;
    goal_target = s.goal_target;
    outcome = s.outcome;
    std::memcpy(instructions, s.instructions, sizeof instructions);
    offer = s.offer;
    // The dealers' stock is not saved: the loaded dealers offer their trucks afresh, as at a game's start.
    build_dealer_stock();
}

bool economy_ctrl_e::read_section(mbio_t& in, const int32_t version, std::string& out_error, const bool apply)
{
    // Everything is read and checked first, so a refused section changes nothing.
    economy_section_image_t s;
    s.offer = offer;
    if (!parse_section(in, version, s, out_error))
        return false;
    if (apply)
        take_section(s);
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
    saved_writer_t writer(out, written_version);
    describe_truck(writer, truck, flags);
    const long written = api::vfs_write(file, out.data(), static_cast<long>(out.size()));
    if (written != static_cast<long>(out.size()))
        return -1;
    return static_cast<int32_t>(written) + world_->truck_record_save(file);
}

namespace {

// Checks the section and passes over the truck's own record of `record` bytes that follows it.
int32_t check_with_record(const int file, const int32_t version, const int32_t record)
{
    economy_section_image_t s;
    player_truck_state_t truck;
    uint32_t flags = 0;
    long size = 0;
    if (!read_from_file(file, version, s, truck, flags, size))
        return -1;
    return record == 0 || api::vfs_seek(file, record, 1) >= 0 ? static_cast<int32_t>(size) + record : -1;
}

}  // namespace

int32_t economy_ctrl_e::check_section(const int file, const int32_t version)
{
    return check_with_record(file, version, car_player_e::state_record_bytes(version));
}

int32_t economy_ctrl_e::check(const int file, const int32_t version)
{
    // The truck's own record follows the economy's fields: pass over it as this world's load reads it.
    return check_with_record(file, version, world_->truck_record_bytes(version));
}

int32_t economy_ctrl_e::load(const int file, const int32_t version)
{
    economy_section_image_t s;
    s.offer = offer;
    player_truck_state_t truck;
    uint32_t flags = 0;
    long size = 0;
    if (!read_from_file(file, version, s, truck, flags, size))
        return -1;
    take_section(s);
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
    for (driver_t& driver : drivers) {
        if (!computer_drivers_.take_job_route(driver))
            driver.route_length = 0;
        else if (driver.current_node >= driver.route_length)
            driver.current_node = (driver.route_direction & 1) ? static_cast<uint16_t>(driver.route_length - 1) : 0;
    }
    // The truck's own damage came with its record: the gauge shows it, not the fresh HUD's.
    set_hud_damage(world_->player_truck_damage());
    return static_cast<int32_t>(size) + record;
}

void economy_ctrl_e::restore_towed_trailer(const player_truck_state_t& truck)
{
    // The job and its cargo come from the file: a trailer is spawned only for a job that exists.
    const int32_t j = player_job.job;
    trailer_order_t order{};
    if (!job_trailer_order(j, truck.trailer_position, truck.trailer_orientation, order)) {
        api::warning("<economy_ctrl_e> the saved trailer belongs to no job with a cargo (job %d); it is left out", j);
        return;
    }
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

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/random.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"

// The loading docks, the route table, the jobs and the trailers waiting at the docks.

namespace {

// Reads a whole file of the virtual file system; false when it cannot be opened.
bool read_file(const std::string& path, std::vector<uint8_t>& out)
{
    const int file = api::vfs_open(path.c_str(), 0, 0);
    if (file < 0)
        return false;
    out.clear();
    uint8_t piece[4096];
    for (;;) {
        const long got = api::vfs_read(file, piece, sizeof piece);
        if (got <= 0)
            break;
        out.insert(out.end(), piece, piece + got);
    }
    api::vfs_close(file);
    return true;
}

// The city of trader `trader` (-1 when there is no such trader).
int32_t trader_city(const std::vector<trader_t>& traders, const int32_t trader)
{
    return trader >= 0 && trader < static_cast<int32_t>(traders.size()) ? traders[static_cast<size_t>(trader)].city
                                                                        : -1;
}

// The haul distance of job `job` in centimetres: its route's, or a guess of one to two kilometres
// (reported) when the route is unknown.
float job_distance(const economy_ctrl_e& economy, const int32_t job)
{
    route_view_t route;
    bool forward = false;
    if (economy.job_route_distance(job, route, forward))
        return static_cast<float>(route.distance) * 100.0f;
    api::error("Unknown job route!");
    return (sys_rand() + 1.0f) * 1000.0f * 100.0f;
}

}  // namespace

int32_t economy_ctrl_e::load_ai_data(const char* map_path)
{
    const std::string aid_path = map_side_path(map_path, "aid");
    routes.clear();
    routes.path = map_side_path(map_path, "rte");
    std::vector<uint8_t> bytes;
    std::string why;
    if (read_file(routes.path, bytes) && !routes.parse(bytes.data(), bytes.size(), why))
        api::error("Bad route table %s: %s", routes.path.c_str(), why.c_str());

    docks.clear();
    for (trader_t& trader : traders)
        trader.dock = -1;
    if (!read_file(aid_path, bytes)) {
        api::error("Cannot open %s map file", aid_path.c_str());
        return -1;
    }
    if (!ai_data_parse(bytes.data(), bytes.size(), static_cast<int32_t>(traders.size()), docks, why)) {
        api::error("Incorrect version of AI data ! (%s): %s", aid_path.c_str(), why.c_str());
        return -1;
    }
    std::stable_sort(docks.begin(), docks.end(), [](const dock_t& a, const dock_t& b) { return a.id < b.id; });
    // The docks are linked to their traders after sorting, so that a trader's dock index names its record.
    for (size_t i = 0; i < docks.size(); ++i) {
        for (uint16_t& job : docks[i].slot_jobs)
            job = slot_no_job;
        if (docks[i].trader != -1)
            traders[static_cast<size_t>(docks[i].trader)].dock = static_cast<int32_t>(i);
    }
    api::message("AI data %s successfuly loaded....", aid_path.c_str());
    return 1;
}

bool economy_ctrl_e::route_get(const uint16_t a, const uint16_t b, route_view_t& out) const
{
    return routes.get(a, b, out);
}

bool economy_ctrl_e::job_route_distance(const int32_t job, route_view_t& out, bool& out_forward) const
{
    if (job < 0 || job > job_count())
        return false;
    const job_t& record = jobs[static_cast<size_t>(job)];
    const auto trader_count = static_cast<int32_t>(traders.size());
    if (record.source < 0 || record.source >= trader_count || record.destination < 0 ||
        record.destination >= trader_count)
        return false;
    const int32_t s = traders[static_cast<size_t>(record.source)].dock;
    const int32_t d = traders[static_cast<size_t>(record.destination)].dock;
    if (s < 0 || d < 0)
        return false;
    out_forward = s < d;
    return out_forward ? route_get(static_cast<uint16_t>(s), static_cast<uint16_t>(d), out)
                       : route_get(static_cast<uint16_t>(d), static_cast<uint16_t>(s), out);
}

int32_t economy_ctrl_e::job_source_city(const int32_t job) const
{
    return job < 0 || job > job_count() ? -1 : trader_city(traders, jobs[static_cast<size_t>(job)].source);
}

int32_t economy_ctrl_e::job_dest_city(const int32_t job) const
{
    return job < 0 || job > job_count() ? -1 : trader_city(traders, jobs[static_cast<size_t>(job)].destination);
}

namespace {

// Whether trader `trader` accepts cargo `cargo` in a list with entries.
bool accepts(const trader_t& trader, const int32_t cargo)
{
    for (int32_t i = 0; i < trader.accepted_count && i < 33; ++i)
        if (trader.accepted[i] == cargo)
            return true;
    return false;
}

}  // namespace

void economy_ctrl_e::generate_jobs()
{
    jobs.assign(cities.size() * 20 + 1, job_t{});
    size_t count = 0;
    const auto city_count = static_cast<int32_t>(cities.size());
    for (int32_t c = 0; c < city_count; ++c) {
        const city_t& city = cities[static_cast<size_t>(c)];
        for (int32_t slot = 0; slot < city.trader_count && slot < city_max_traders; ++slot) {
            const int32_t source = city.traders[slot];
            const trader_t& trader = traders[static_cast<size_t>(source)];
            if (trader.produced_count <= 0)
                continue;
            for (int32_t k = 0; k < 5; ++k) {
                const int32_t n_produced = std::min(trader.produced_count, 32);
                const int32_t cargo =
                    trader.produced[(nearest(sys_rand() * static_cast<float>(n_produced)) + k) % n_produced];
                std::vector<int32_t> collected;
                for (int32_t other = 0; other < city_count; ++other) {
                    if (other == c)
                        continue;
                    const city_t& destination = cities[static_cast<size_t>(other)];
                    for (int32_t t = 0; t < destination.trader_count && t < city_max_traders; ++t) {
                        const int32_t candidate = destination.traders[t];
                        if (accepts(traders[static_cast<size_t>(candidate)], cargo) &&
                            std::find(collected.begin(), collected.end(), candidate) == collected.end())
                            collected.push_back(candidate);
                    }
                }
                const auto n = static_cast<int32_t>(collected.size());
                if (n == 0)
                    continue;
                if (cargo >= 0 && cargo < cargo_count())
                    cargos[static_cast<size_t>(cargo)].flags |= cargo_offered;
                const int32_t r1 = nearest(sys_rand() * static_cast<float>(n));
                const int32_t r2 = nearest(sys_rand() * static_cast<float>(n));
                const int32_t destination = collected[static_cast<size_t>((r1 + r2) % n)];
                const int32_t destination_city = traders[static_cast<size_t>(destination)].city;
                bool duplicate = false;
                for (size_t j = 0; j < count && !duplicate; ++j)
                    duplicate = jobs[j].cargo == cargo && traders[static_cast<size_t>(jobs[j].source)].city == c &&
                                traders[static_cast<size_t>(jobs[j].destination)].city == destination_city;
                // The room is city count x 20: no city of four traders makes more than twenty jobs.
                if (!duplicate && count + 1 < jobs.size()) {
                    jobs[count] = {cargo, source, destination, 0.0f, 0};
                    ++count;
                }
            }
        }
    }
    jobs.resize(count + 1);
    for (size_t j = 0; j < count; ++j)
        jobs[j].distance = job_distance(*this, static_cast<int32_t>(j));
    jobs[count] = {-1, 0, 0, 0.0f, 0};
    std::stable_sort(jobs.begin(), jobs.begin() + static_cast<std::ptrdiff_t>(count),
                     [](const job_t& a, const job_t& b) { return a.source < b.source; });
    for (trader_t& trader : traders)
        trader.first_job = -1;
    for (size_t j = 0; j < count; ++j) {
        trader_t& trader = traders[static_cast<size_t>(jobs[j].source)];
        if (trader.first_job == -1)
            trader.first_job = static_cast<int32_t>(j);
    }
}

bool economy_ctrl_e::generate_job(const int32_t source_trader, const int32_t destination_city)
{
    job_t& spare = jobs[static_cast<size_t>(spare_job())];
    if (spare.cargo != -1 || special_cargos.empty())
        return false;
    const int32_t k = nearest(sys_rand() * static_cast<float>(special_cargos.size() - 1));
    cargos[static_cast<size_t>(spare_cargo())] = special_cargos[static_cast<size_t>(k)];
    spare = {spare_cargo(), source_trader, -1, 0.0f, 0};
    const auto trader_count = static_cast<int32_t>(traders.size());
    for (int32_t t = 0; t < trader_count && spare.destination == -1; ++t) {
        const trader_t& trader = traders[static_cast<size_t>(t)];
        if (destination_city != -1 ? trader.city == destination_city
                                   : t != source_trader && accepts(trader, special_cargo_base + k))
            spare.destination = t;
    }
    if (spare.destination == -1) {
        spare.cargo = -1;
        return false;
    }
    spare.distance = job_distance(*this, spare_job());
    return true;
}

void economy_ctrl_e::dock_slot_release(const int32_t dock, const int32_t slot)
{
    if (dock < 0 || dock >= static_cast<int32_t>(docks.size()) || slot < 0 || slot >= dock_slot_count)
        return;
    dock_t& record = docks[static_cast<size_t>(dock)];
    if (record.slot_states[slot] != slot_trailer_standing)
        return;
    record.slot_trailers[slot] = 0;
    record.slot_states[slot] = record.slot_jobs[slot] == spare_job() ? slot_open : slot_job_ready;
}

void economy_ctrl_e::set_player_job(const int32_t job, const vec3_t* target)
{
    if (job < 0 || job > job_count())
        return;
    job_t& record = jobs[static_cast<size_t>(job)];
    if (target) {
        player_job = {job, *target};
        record.flags |= job_flag_taken;
        if (job == spare_job()) {
            offer.active = 0;
            offer.reminders = 0;
        }
        return;
    }
    if (job != player_job.job)
        return;
    player_job = {-1, {}};
    record.flags &= ~job_flag_taken;
    if (job == spare_job())
        record.cargo = -1;
}

bool economy_ctrl_e::job_trailer_order(const int32_t job, const vec3_t& position, const quat_t& orientation,
                                       trailer_order_t& out) const
{
    if (job < 0 || job > job_count())
        return false;
    const job_t& record = jobs[static_cast<size_t>(job)];
    if (record.cargo < 0 || record.cargo > cargo_count())
        return false;
    const cargo_t& cargo = cargos[static_cast<size_t>(record.cargo)];
    vec3_t destination{};
    if (record.destination >= 0 && record.destination < static_cast<int32_t>(traders.size())) {
        const int32_t dock = traders[static_cast<size_t>(record.destination)].dock;
        if (dock >= 0 && dock < static_cast<int32_t>(docks.size()))
            destination = docks[static_cast<size_t>(dock)].position;
    }
    out = {cargo.trailer, cargo.variant, cargo.fragility, cargo.weight, position, orientation, -1, -1,
           job,           destination};
    return true;
}

void economy_ctrl_e::announce_special_offer(const float t)
{
    job_t& spare = jobs[static_cast<size_t>(spare_job())];
    if (!offer.active) {
        offer.countdown -= world_->frame_time();
        if (offer.countdown > 0.0f)
            return;
        offer.countdown = (sys_rand() - 0.5f) * 360.0f + 500.0f;
        if (spare.cargo != -1)
            return;
        const float deadline = static_cast<float>(3 - level) * 10800.0f + 21600.0f + (sys_rand() - 0.5f) * 14400.0f + t;
        if (deadline >= 604800.0f)
            return;
        const auto city_count = static_cast<int32_t>(cities.size());
        const int32_t here = world_->current_city();
        // The source is drawn again while it is the truck's city and the destination while it is the
        // source: with fewer than two cities no draw would end, and there is no offer to make.
        if (city_count < 2)
            return;
        int32_t source = draw_index(sys_rand(), city_count);
        while (source == here)
            source = draw_index(sys_rand(), city_count);
        int32_t destination = draw_index(sys_rand(), city_count);
        while (destination == source)
            destination = draw_index(sys_rand(), city_count);
        int32_t trader = -1;
        const city_t& from = cities[static_cast<size_t>(source)];
        for (int32_t i = 0; i < from.trader_count && i < city_max_traders && trader == -1; ++i)
            if (traders[static_cast<size_t>(from.traders[i])].produced_count > 0)
                trader = from.traders[i];
        if (trader == -1 || !generate_job(trader, destination))
            return;
        offer.deadline = deadline;
        offer.next_reminder = t + (deadline - t) * 0.5f;
        offer.active = 1;
        offer.reminders = 0;
        char when[128];
        format_day_time(deadline, when, sizeof when, 0xFF00FFFFu);
        std::snprintf(offer.text, sizeof offer.text,
                      "@@ui_special_cargo_offer1@@ <color value=FF00FFFF>%s<color value=FFFFFFFF> @@ui_by@@ %s "
                      "@@ui_special_cargo_offer2@@ <color value=FF00FFFF>%s<color value=FFFFFFFF>",
                      from.display_name, when, cities[static_cast<size_t>(destination)].display_name);
        world_->pager(offer.text, 1);
        return;
    }
    if (offer.reminders < 3 && t >= offer.next_reminder) {
        world_->pager(offer.text, 1);
        ++offer.reminders;
        offer.next_reminder = t + (offer.deadline - t) * 0.5f;
    }
    if (t >= offer.deadline && !(spare.flags & job_flag_taken)) {
        spare.cargo = -1;
        offer.active = 0;
        world_->pager("@@ui_special_cargo_offer_expired@@", 1);
    }
}

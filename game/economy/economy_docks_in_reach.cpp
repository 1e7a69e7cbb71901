#include "game/economy/economy_docks_in_reach.h"

#include <algorithm>

#include "engine/check.h"
#include "engine/random.h"
#include "common/engine_api.h"
#include "game/economy_ctrl.h"

namespace {

// Trader `trader` when it has a dock of `dock_count`; null (a dockless trader reported) otherwise.
const trader_t* docked_trader(const std::vector<trader_t>& traders, const int32_t trader, const size_t dock_count)
{
    if (trader < 0 || trader >= static_cast<int32_t>(traders.size()))
        return nullptr;
    const trader_t& owner = traders[static_cast<size_t>(trader)];
    if (owner.dock < 0 || owner.dock >= static_cast<int32_t>(dock_count)) {
        api::error("Dockless trader ! %s", owner.name);
        return nullptr;
    }
    return &owner;
}

// Whether `at` lies within `radius` centimetres of `centre`.
bool within(const vec3_t& at, const vec3_t& centre, const float radius)
{
    const vec3_t d = at - centre;
    return d.x * d.x + d.y * d.y + d.z * d.z <= radius * radius;
}

// Trailers are placed when the truck comes within 120 m of their slot.
constexpr float trailer_placing_radius = 12000.0f;

}  // namespace

void economy_docks_in_reach_t::activate(const int32_t dock_id, const int32_t trader)
{
    economy_ctrl_e& e = economy_;
    const trader_t* const owner = docked_trader(e.traders, trader, e.docks.size());
    if (!owner)
        return;
    active_.push_back(owner->dock);
    dock_t& dock = e.docks[static_cast<size_t>(owner->dock)];
    if (dock.id != dock_id)
        return;
    const job_t& spare = e.jobs[static_cast<size_t>(e.spare_job())];
    if (owner->first_job < 0) {
        if (e.offer.active && dock.slot_count > 0 && dock.slot_states[0] == slot_idle) {
            dock.slot_states[0] = slot_open;
            dock.slot_jobs[0] = slot_no_job;
            if (spare.cargo != -1 && spare.source == trader) {
                dock.slot_jobs[0] = static_cast<uint16_t>(e.spare_job());
                dock.slot_states[0] = slot_job_ready;
            }
        }
        return;
    }
    for (int32_t i = 0; i < dock.slot_count; ++i) {
        if (dock.slot_states[i] != slot_idle)
            continue;
        const int32_t j = owner->first_job + i;
        dock.slot_states[i] = slot_open;
        dock.slot_jobs[i] = slot_no_job;
        if (j >= e.job_count() || e.jobs[static_cast<size_t>(j)].source != trader)
            break;
        auto ready = [&](const int32_t job) {
            dock.slot_states[i] = slot_job_ready;
            dock.slot_jobs[i] = static_cast<uint16_t>(job);
        };
        if (i == 0) {
            if (e.goal_kind == goal_delivered && owner->city == e.companies[0].headquarters && owner->city != -1)
                ready(e.generate_job(trader, e.goal_target) ? e.spare_job() : j);
            else if (e.offer.active)
                ready(spare.cargo != -1 && spare.source == trader ? e.spare_job() : j);
            else
                ready(sys_rand() < 0.05f && e.generate_job(trader, -1) ? e.spare_job() : j);
        } else {
            job_t& job = e.jobs[static_cast<size_t>(j)];
            if (!(job.flags & job_flag_taken)) {
                const bool can = job.cargo >= 0 && job.cargo < e.cargo_count() &&
                                 (e.cargos[static_cast<size_t>(job.cargo)].flags & cargo_can_overweight);
                if (can && sys_rand() < 0.15f)
                    job.flags |= job_flag_overweight;
                else
                    job.flags &= ~job_flag_overweight;
            }
            ready(j);
        }
    }
}

void economy_docks_in_reach_t::deactivate(const int32_t dock_id, const int32_t trader)
{
    economy_ctrl_e& e = economy_;
    const trader_t* const owner = docked_trader(e.traders, trader, e.docks.size());
    if (!owner)
        return;
    const auto found = std::find(active_.begin(), active_.end(), owner->dock);
    if (found != active_.end())
        active_.erase(found);
    dock_t& dock = e.docks[static_cast<size_t>(owner->dock)];
    if (dock.id != dock_id)
        return;
    job_t& spare = e.jobs[static_cast<size_t>(e.spare_job())];
    for (int32_t i = 0; i < dock.slot_count; ++i) {
        if (dock.slot_states[i] == slot_trailer_standing && dock.slot_trailers[i])
            e.world().release_trailer(dock.slot_trailers[i]);
        dock.slot_trailers[i] = 0;
        dock.slot_states[i] = slot_idle;
        if (dock.slot_jobs[i] == e.spare_job() && !(spare.flags & job_flag_taken) && !e.offer.active)
            spare.cargo = -1;
    }
}

int32_t economy_docks_in_reach_t::dock_at(const vec3_t& position) const
{
    const std::vector<dock_t>& docks = economy_.docks;
    for (const int32_t index : active_) {
        if (index < 0 || index >= static_cast<int32_t>(docks.size()))
            continue;
        const dock_t& dock = docks[static_cast<size_t>(index)];
        if (within(position, dock.position, economy_ctrl_e::dock_yard_radius))
            return dock.id;
    }
    return -1;
}

void economy_docks_in_reach_t::place_near_trailers()
{
    economy_ctrl_e& e = economy_;
    vec3_t truck{};
    if (current_ == -1 || !e.world().truck_position(truck))
        return;
    for (const int32_t index : active_) {
        if (index < 0 || index >= static_cast<int32_t>(e.docks.size()))
            continue;
        dock_t& dock = e.docks[static_cast<size_t>(index)];
        if (dock.id != current_)
            continue;
        for (int32_t i = 0; i < dock.slot_count; ++i) {
            if (dock.slot_states[i] != slot_job_ready || !within(truck, dock.slot_positions[i], trailer_placing_radius))
                continue;
            const int32_t j = dock.slot_jobs[i];
            trailer_order_t order{};
            if (!e.job_trailer_order(j, dock.slot_positions[i], dock.slot_orientations[i], order)) {
                dock.slot_states[i] = slot_placement_failed;
                continue;
            }
            order.dock = index;
            order.slot = i;
            const uint32_t trailer = e.world().place_trailer(order);
            dock.slot_trailers[i] = trailer;
            dock.slot_states[i] = trailer ? slot_trailer_standing : slot_placement_failed;
        }
    }
}

void economy_docks_in_reach_t::promote_slots()
{
    std::vector<dock_t>& docks = economy_.docks;
    if (docks.empty())
        return;
    cursor_ = (cursor_ + 1) % static_cast<int32_t>(docks.size());
    kv_assert(cursor_ >= 0);
    dock_t& dock = docks[static_cast<size_t>(cursor_)];
    if (dock.slot_states[0] == slot_idle)
        return;
    for (int32_t i = 0; i < dock.slot_count; ++i)
        if (dock.slot_states[i] == slot_open && dock.slot_jobs[i] != slot_no_job)
            dock.slot_states[i] = slot_job_ready;
}

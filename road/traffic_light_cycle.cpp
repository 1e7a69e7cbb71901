#include "road/traffic_light_cycle.h"

#include <algorithm>
#include <iterator>

#include "engine/check.h"
#include "road/game_ctrl.h"

namespace {

// Seconds an even phase of the light cycle lasts beyond the odd phases' 8.
constexpr float light_step_after = 12.0f;
// Exit semaphores of a prefab edge, after one entry semaphore per curve.
constexpr int32_t exit_semaphores = 16;

}  // namespace

void traffic_light_cycle_t::attach(const int32_t edge)
{
    if (!ctrl_.edges.valid(edge))
        return;
    map_edge_t& record = ctrl_.edges[edge];
    if (record.kind != map_edge_cross || record.sides[0].strip_width == 0 || record.noise_row != 0)
        return;
    const prefab_t* const prefab = ctrl_.get_prefab_def(record, nullptr);
    if (!prefab || prefab->nodes.empty())
        return;
    cross_lights_t lights{};
    std::fill(std::begin(lights.ids), std::end(lights.ids), -1);
    lights.edge = edge;
    const auto arms = static_cast<int32_t>(std::min<size_t>(prefab->nodes.size(), prefab_max_arms));
    const int32_t curves = static_cast<int32_t>(prefab->curves.size());
    for (int32_t arm = 0; arm < arms; ++arm) {
        const int32_t group = ((arm + record.centre_word) % arms + arms) % arms;
        for (int32_t lane = 0; lane < prefab_node_slots; ++lane) {
            const int32_t curve = prefab_node_slot(*prefab, arm, lane, record.centre_word)[0];
            // A semaphore past the map's array (a curve the map was not made for) stays unlit.
            const int64_t id = static_cast<int64_t>(record.semaphore) + curve;
            kv_assert(group >= 0 && group * 4 + lane < static_cast<int32_t>(std::size(lights.ids)));
            if (curve >= 0 && curve < curves && record.semaphore >= 0 && id < ctrl_.semaphore_count)
                lights.ids[group * 4 + lane] = static_cast<int32_t>(id);
        }
    }
    crossings_.push_back(lights);
    // The edge's light word marks that it has its light object.
    record.noise_row = 1;
}

void traffic_light_cycle_t::detach(const int32_t edge)
{
    if (!ctrl_.edges.valid(edge))
        return;
    map_edge_t& record = ctrl_.edges[edge];
    if (record.kind != map_edge_cross || record.sides[0].strip_width == 0 || record.noise_row == 0)
        return;
    std::erase_if(crossings_, [edge](const cross_lights_t& lights) { return lights.edge == edge; });
    record.noise_row = 0;
}

void traffic_light_cycle_t::step(const double dt)
{
    timer_ = static_cast<float>(timer_ + dt);
    if (!(timer_ > light_step_after))
        return;
    phase_ = static_cast<uint8_t>((phase_ + 1) % 8);
    timer_ = phase_ % 2 ? 4.0f : 0.0f;
    mask_ = static_cast<uint8_t>((mask_ >> 1) | ((mask_ & 1u) << 7));
    kv_assert(mask_ == 0x80u >> phase_);
    apply_mask(mask_);
    // The crossings' lamp models show the same phase as the semaphores.
    if (ctrl_.seg_server)
        ctrl_.seg_server->set_lamp_state(mask_);
}

void traffic_light_cycle_t::apply_mask(const uint8_t mask)
{
    for (const cross_lights_t& lights : crossings_) {
        if (lights.disabled || !ctrl_.edges.valid(lights.edge) || !ctrl_.semaphores)
            continue;
        map_edge_t& edge = ctrl_.edges[lights.edge];
        for (const int32_t id : lights.ids) {
            if (id >= 0 && id < ctrl_.semaphore_count)
                ctrl_.semaphores[id].light = map_light_closed;
        }
        const prefab_t* const prefab = ctrl_.get_prefab_def(edge, nullptr);
        const int32_t curves = prefab ? static_cast<int32_t>(prefab->curves.size()) : 0;
        bool held = false;
        for (int32_t i = 0; i < curves + exit_semaphores && edge.semaphore >= 0; ++i) {
            const int64_t id = static_cast<int64_t>(edge.semaphore) + i;
            if (id >= ctrl_.semaphore_count)
                break;
            const int32_t reservation = ctrl_.semaphores[id].reservation;
            held = held || (reservation != map_semaphore_free && reservation != map_semaphore_unused);
        }
        if (held)
            continue;
        const bool three_arms = prefab && prefab->nodes.size() == 3;
        auto open = [&](const int slot) {
            const int32_t id = lights.ids[slot];
            if (id >= 0 && id < ctrl_.semaphore_count)
                ctrl_.semaphores[id].light = map_light_open;
        };
        switch (mask) {
        case 0x80:
            if (!three_arms)
                open(0);
            open(4);
            break;
        case 0x20:
            if (three_arms)
                open(0);
            for (const int slot : {1, 2, 3, 5, 6, 7})
                open(slot);
            break;
        case 0x08:
            open(8);
            open(12);
            break;
        case 0x02:
            for (const int slot : {9, 10, 11, 13, 14, 15})
                open(slot);
            break;
        default:
            break;
        }
    }
}

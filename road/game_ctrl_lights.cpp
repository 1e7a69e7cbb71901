#include <algorithm>

#include "common/engine_api.h"
#include "road/game_ctrl.h"

namespace {

// Seconds an even phase of the light cycle lasts beyond the odd phases' 8.
constexpr float light_step_after = 12.0f;
// Exit semaphores of a prefab edge, after one entry semaphore per curve.
constexpr int32_t exit_semaphores = 16;

// Reports a semaphore id outside the array; true when `id` names one.
bool semaphore_ok(const int32_t id, const int32_t count)
{
    if (id >= 0 && id < count)
        return true;
    api::error("Wrong semaphore index");
    return false;
}

}  // namespace

int32_t game_ctrl_e::get_semaphore(const int32_t id, vec3_t* out_position)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return map_semaphore_free;
    if (out_position)
        *out_position = semaphores[id].position;
    return semaphores[id].reservation;
}

uint32_t game_ctrl_e::set_semaphore(const int32_t id, const int32_t value, uint32_t* out_wait)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return 0;
    semaphores[id].reservation = value;
    const auto wait = static_cast<uint32_t>(semaphores[id].wait);
    if (out_wait)
        *out_wait = wait;
    return wait;
}

int32_t game_ctrl_e::get_semaphore_light(const int32_t id)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return 0;
    return semaphores[id].light;
}

void game_ctrl_e::attach_cross_lights(const int32_t edge)
{
    if (!edges.valid(edge))
        return;
    map_edge_t& record = edges[edge];
    if (record.kind != map_edge_cross || record.sides[0].strip_width == 0 || record.noise_row != 0)
        return;
    const prefab_t* const prefab = get_prefab_def(record, nullptr);
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
            if (curve >= 0 && curve < curves && record.semaphore >= 0 && id < semaphore_count)
                lights.ids[group * 4 + lane] = static_cast<int32_t>(id);
        }
    }
    cross_lights_.push_back(lights);
    // The edge's light word marks that it has its light object.
    record.noise_row = 1;
}

void game_ctrl_e::detach_cross_lights(const int32_t edge)
{
    if (!edges.valid(edge))
        return;
    map_edge_t& record = edges[edge];
    if (record.kind != map_edge_cross || record.sides[0].strip_width == 0 || record.noise_row == 0)
        return;
    std::erase_if(cross_lights_, [edge](const cross_lights_t& lights) { return lights.edge == edge; });
    record.noise_row = 0;
}

void game_ctrl_e::traffic_light_cycle(const double dt)
{
    light_timer = static_cast<float>(light_timer + dt);
    if (!(light_timer > light_step_after))
        return;
    light_phase = static_cast<uint8_t>((light_phase + 1) % 8);
    light_timer = light_phase % 2 ? 4.0f : 0.0f;
    light_mask = static_cast<uint8_t>((light_mask >> 1) | ((light_mask & 1u) << 7));
    apply_light_mask(light_mask);
    // The crossings' lamp models show the same phase as the semaphores.
    if (seg_server)
        seg_server->set_lamp_state(light_mask);
}

void game_ctrl_e::apply_light_mask(const uint8_t mask)
{
    for (const cross_lights_t& lights : cross_lights_) {
        if (lights.disabled || !edges.valid(lights.edge) || !semaphores)
            continue;
        map_edge_t& edge = edges[lights.edge];
        for (const int32_t id : lights.ids) {
            if (id >= 0 && id < semaphore_count)
                semaphores[id].light = map_light_closed;
        }
        const prefab_t* const prefab = get_prefab_def(edge, nullptr);
        const int32_t curves = prefab ? static_cast<int32_t>(prefab->curves.size()) : 0;
        bool held = false;
        for (int32_t i = 0; i < curves + exit_semaphores && edge.semaphore >= 0; ++i) {
            const int64_t id = static_cast<int64_t>(edge.semaphore) + i;
            if (id >= semaphore_count)
                break;
            const int32_t reservation = semaphores[id].reservation;
            held = held || (reservation != map_semaphore_free && reservation != map_semaphore_unused);
        }
        if (held)
            continue;
        const bool three_arms = prefab && prefab->nodes.size() == 3;
        auto open = [&](const int slot) {
            const int32_t id = lights.ids[slot];
            if (id >= 0 && id < semaphore_count)
                semaphores[id].light = map_light_open;
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

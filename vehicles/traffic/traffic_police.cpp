// The player's offences as the traffic counts them, and the police it sends: a pursuit for an offence,
// now and then a police post by the road.
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "common/world_services.h"
#include "engine/entity_proc.h"
#include "road/game_ctrl.h"
#include "road/map_edge.h"
#include "vehicles/traffic/car_police.h"
#include "vehicles/links/police_player.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/traffic_player.h"

namespace {

// The police truck's entity block.
constexpr const char* police_script = "/scripts/game/police.esc";
// Seconds since the last ticket after which driving without headlights at night is punished again.
constexpr float lights_offence_pause = 300.0f;
// Chance per frame that a police post is looked for, and how far above the road it is placed.
constexpr float police_post_chance = 0.99f;
constexpr float police_post_lift = 200.0f;

}  // namespace

void traffic_e::direct_ticket(const int32_t code, const int32_t value)
{
    const held_part_t<traffic_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
    if (player.get())
        player.get()->show_ticket(code, value);
    offences_.forget_hits();
}

void traffic_e::punish(const int32_t code, const int32_t value, const bool police_truck)
{
    if (police_truck) {
        call_police(code, value);
        offences_.forget_hits();
    } else {
        direct_ticket(code, value);
    }
}

void traffic_e::report_offence(const int32_t code, const int32_t value)
{
    if (!enabled() || offences_.pending() != -1)
        return;
    const bool police_truck = game_detail_level() >= 1;
    switch (code) {
    case offence_hit_car: {
        if (value < 0 || value >= static_cast<int32_t>(cars.size()))
            return;
        traffic_car_t& car = cars[static_cast<size_t>(value)];
        if (car.model == 0) {
            // The police car of the traffic was hit: the ticket at once.
            direct_ticket(offence_hit_car, -1);
            car.siren_bits |= 1;
            stop_smoke();
        }
        if (offences_.count_hit(value))
            punish(code, -1, police_truck);
        return;
    }
    case offence_no_lights: {
        const held_part_t<police_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
        if (!player.get() || player.get()->offence_clock() <= lights_offence_pause)
            return;
        [[fallthrough]];
    }
    case offence_wrong_way:
        punish(code, -1, police_truck);
        return;
    case offence_weigh_station:
        punish(code, value, police_truck);
        return;
    default:
        return;
    }
}

car_police_e* traffic_e::bring_police()
{
    auto* const world = dynamic_cast<world_services_t*>(process());
    entity_t* const root = world ? world->instantiate_block(police_script) : nullptr;
    if (!root || !bridge->register_police(root->handle()))
        return nullptr;
    return dynamic_cast<car_police_e*>(root);
}

void traffic_e::call_police(const int32_t code, const int32_t value)
{
    offences_.set_pending(code);
    if (!bridge)
        return;
    if (bridge->has_police()) {
        const held_part_t<car_police_e> police(bridge->police());
        if (police.get())
            police.get()->note_offence(code, value);
        return;
    }
    if (car_police_e* const police = bring_police())
        police->begin_pursuit(code, -1, false, value);
}

void traffic_e::spawn_police(const vec3_t& position, const quat_t& rotation, const bool must_see)
{
    if (!bridge || bridge->has_police())
        return;
    if (car_police_e* const police = bring_police())
        police->set_pose(position, rotation, must_see);
}

void traffic_e::cancel_offence()
{
    offences_.settle();
    const held_part_t<police_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
    if (player.get())
        player.get()->end_police();
}

void traffic_e::police_chance()
{
    if (!bridge || bridge->has_police() || game_detail_level() < 1 || roads.empty() ||
        api::sys_rand() <= police_post_chance)
        return;
    const auto pick = [](size_t count) {
        return std::min(static_cast<size_t>(api::sys_rand() * static_cast<float>(count)), count - 1);
    };
    const traffic_road_t& road = roads[pick(roads.size())];
    if (road.first_edge() < 0)
        return;
    const int32_t edge = road.edges[pick(road.edges.size())];
    vec3_t position;
    quat_t rotation;
    bool must_see = false;
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        game_ctrl_e* const ctrl = controller.get();
        if (!ctrl || !ctrl->edges.valid(edge) || ctrl->edges[edge].kind != map_edge_road ||
            ctrl->edge_side_type_3_4(edge))
            return;
        must_see = ctrl->edge_side_type_7_9(edge);
        ctrl->edge_curve_point(edge, position, rotation);
    }
    position.y += police_post_lift;
    const vec3_t away = position - viewer_position;
    if (away.dot(away) > police_post_distance)
        spawn_police(position, rotation, must_see);
}

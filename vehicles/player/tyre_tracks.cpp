// The marks the player's truck leaves behind its rear wheels: skid marks on the road while it slides,
// ruts on soft ground. Each mark is a short decal strip from where the wheel's track last ended.
#include <cmath>

#include "common/decal_request.h"
#include "common/world_services.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "physics/phys_body.h"
#include "vehicles/player/car_player.h"
#include "vehicles/body/vehicle_decals.h"

namespace {

constexpr const char* skid_script = "scripts/decals/track.esc";
constexpr const char* rut_script = "scripts/decals/track_grass.esc";
// The squared moves a strip waits for.
constexpr float strip_threshold = 625.0f;
// Marks on the road are laid only while the truck slides faster than this (metres per second).
constexpr float skid_threshold = 1.0f;
// A strip longer than this is a jump of the truck (a reset, a placement), not a track.
constexpr float longest_strip = 1000.0f;
// The tracks lie this far outside the rear wheels' ray points.
constexpr float track_outset = 25.0f;
// Strip width and the steepest ground it lies on (degrees).
constexpr float strip_width = 100.0f;
constexpr float strip_angle_limit = 60.0f;
// The rear wheels: the left one's track and ground decide the left mark, the right one's the right.
constexpr int left_rear_wheel = 2;
constexpr int right_rear_wheel = 3;

}  // namespace

float car_player_e::lateral_slip() const
{
    if (!body || !body->current)
        return 0.0f;
    const vec3_t side = vector_to_world({1.0f, 0.0f, 0.0f});
    return std::fabs(body->current->linear_velocity.dot(side)) * 0.01f;
}

void car_player_e::update_tyre_tracks(const bool hard_ground)
{
    // The skid value is the truck's sideways slip: a truck driving straight, however fast or however
    // hard it brakes, marks nothing; one that slides across its wheels does.
    skid_value = lateral_slip();
    const vec3_t here = get_position();
    track_distance += (here - track_body_position).length_sq();
    track_body_position = here;
    if (track_distance <= strip_threshold)
        return;
    track_distance = 0.0f;

    auto* const world = dynamic_cast<world_services_t*>(process());
    const int sides[2] = {left_rear_wheel, right_rear_wheel};
    for (int side = 0; side < 2; ++side) {
        const car_wheel_t& wheel = wheels[sides[side]];
        vec3_t local = wheel.ray_point;
        local.x += side == 0 ? -track_outset : track_outset;
        const vec3_t point = to_world(local);
        const vec3_t last = last_marks[side];
        last_marks[side] = point;
        const vec3_t run = point - last;
        const float length = run.length();
        if (!marks_placed || !(length > 0.0f) || length > longest_strip || !world)
            continue;
        const bool laid = hard_ground ? skid_value > skid_threshold : wheel.ground_kind != ground_kind_road;
        if (!laid)
            continue;
        const vec3_t middle = last + run * 0.5f;
        decal_request_t strip{};
        strip.sizes[0] = strip_width;
        strip.sizes[1] = length;
        strip.words[0].real = -1.0f;
        strip.words[1].real = cartes_2_ypr(run).y;
        strip.words[2].real = strip_angle_limit;
        strip.words[3].integer = 0;
        strip.words[4].integer = -1;
        const vec3_t reach(0.0f, vehicle_decal_reach, 0.0f);
        world->place_decal(false, middle + reach, middle - reach, hard_ground ? skid_script : rut_script, strip);
    }
    marks_placed = 1;
}

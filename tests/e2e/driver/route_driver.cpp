#include "route_driver.h"

#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"

namespace {

constexpr float degrees = 180.0f / 3.14159265f;
const char* const key_names[] = {"up", "down", "left", "right"};

float ground_distance(const vec3_t& a, const vec3_t& b) { return std::hypot(a.x - b.x, a.z - b.z); }

// Signed angle (radians, positive to the left) from direction `from` to direction `to` in the ground plane.
float ground_angle(const vec3_t& from, const vec3_t& to)
{
    return std::atan2(from.z * to.x - from.x * to.z, from.x * to.x + from.z * to.z);
}

// How far `position` lies across the road's middle line at route point `at` of `route`: from the line
// through that point's middle and the next point's along the road (lead-in points share the middle of
// the road point nearest them, so the next with another middle), so that the distance along the road
// between two points, or past the route's last one, does not count.
float across_middle(const std::vector<route_point_t>& route, const size_t at, const vec3_t& position)
{
    const auto other = [&](const size_t i) { return ground_distance(route[i].middle, route[at].middle) > 1.0f; };
    size_t from = at;
    size_t to = at + 1;
    while (to < route.size() && !other(to))
        ++to;
    if (to == route.size()) {
        to = at;
        while (from > 0 && !other(from))
            --from;
    }
    if (from == to || !other(from == at ? to : from))
        return ground_distance(route[at].middle, position);
    const vec3_t& start = route[from].middle;
    const vec3_t along(route[to].middle.x - start.x, 0.0f, route[to].middle.z - start.z);
    const float length = std::hypot(along.x, along.z);
    return std::fabs(along.x * (position.z - start.z) - along.z * (position.x - start.x)) / length;
}

}  // namespace

std::vector<route_point_t> route_driver_t::lead_in(const truck_pose_t& pose, const std::vector<route_point_t>& route,
                                                   const float distance)
{
    size_t join = 0;
    while (join + 1 < route.size()) {
        const vec3_t ahead = route[join].lane - pose.position;
        if (ahead.x * pose.forward.x + ahead.z * pose.forward.z >= distance &&
            ground_distance(route[join].lane, pose.position) >= distance)
            break;
        ++join;
    }
    const vec3_t to = route[join].lane;
    const vec3_t along = join + 1 < route.size() ? (route[join + 1].lane - to).normalized() : pose.forward;
    const float length = ground_distance(to, pose.position);
    std::vector<route_point_t> out;
    const int steps = std::max(1, static_cast<int>(length / 400.0f));
    for (int i = 0; i < steps; ++i) {
        vec3_t point;
        smooth_curve(pose.position, pose.forward * (length / 3.0f), to, along * (length / 3.0f),
                     static_cast<float>(i) / static_cast<float>(steps), point, nullptr);
        // The road under a lead-in point is that of the route's point nearest it.
        route_point_t lead = *std::min_element(route.begin(), route.end(), [&](const auto& a, const auto& b) {
            return ground_distance(a.middle, point) < ground_distance(b.middle, point);
        });
        lead.lane = point;
        out.push_back(lead);
    }
    out.insert(out.end(), route.begin() + static_cast<std::ptrdiff_t>(join), route.end());
    return out;
}

route_driver_t::route_driver_t(std::vector<route_point_t> route, const settings_t& settings)
    : route_(std::move(route)), settings_(settings)
{}

void route_driver_t::hold(const key_t key, const bool down)
{
    if (held_[key] == down)
        return;
    held_[key] = down;
    std::vector<inp_event_t> events;
    const std::string line = std::string("0 ") + (down ? "press " : "release ") + key_names[key] + "\n";
    if (inp_script_parse(line, "route_driver", events))
        inp_queue_events(events);
}

void route_driver_t::release_keys()
{
    for (int key = 0; key < key_count; ++key)
        hold(static_cast<key_t>(key), false);
}

float route_driver_t::wanted_steering(const truck_pose_t& pose) const
{
    // Pure pursuit from the rear axle towards the lane a speed-dependent distance ahead. Backing, the
    // rear axle leads and the wheel turns the truck the other way.
    const vec3_t rear = pose.position - pose.forward * (settings_.wheelbase * 0.5f);
    const vec3_t travel = settings_.backwards ? pose.forward * -1.0f : pose.forward;
    const float look = 600.0f + 60.0f * std::fabs(speed_);
    size_t target = nearest_;
    while (target + 1 < route_.size() && ground_distance(route_[target].lane, rear) < look)
        ++target;
    vec3_t aim = route_[target].lane;
    // Backing, near the end the aim stays the look-ahead away on the line of the last stretch, so that
    // the wheel does not chase a point right under the axle.
    const float short_by = look - ground_distance(aim, rear);
    if (settings_.backwards && target + 1 == route_.size() && target > 0 && short_by > 0.0f)
        aim = aim + (aim - route_[target - 1].lane).normalized() * short_by;
    const vec3_t to_target = aim - rear;
    const float alpha = ground_angle(travel, to_target);
    // A point behind is not steered for: a truck that rolls past the route's end keeps straight.
    if (std::fabs(alpha) > 0.5f * 3.14159265f)
        return 0.0f;
    const float distance = std::max(ground_distance(aim, rear), 100.0f);
    const float angle = std::atan(2.0f * settings_.wheelbase * std::sin(alpha) / distance) * degrees;
    return std::clamp(settings_.backwards ? -angle : angle, -settings_.max_steering, settings_.max_steering);
}

float route_driver_t::wanted_speed() const
{
    float wanted = settings_.top_speed;
    // Bends: the tightest radius over the next stretch.
    float travelled = 0.0f;
    for (size_t i = nearest_ + 1; i + 1 < route_.size() && travelled < 6000.0f; ++i) {
        const vec3_t a = route_[i].lane - route_[i - 1].lane;
        const vec3_t b = route_[i + 1].lane - route_[i].lane;
        const float step = ground_distance(route_[i + 1].lane, route_[i].lane);
        travelled += step;
        const float turn = std::fabs(ground_angle(a, b));
        if (turn > 1e-4f && step > 1.0f) {
            const float radius = step / turn * 0.01f;
            // Slow down in time: the speed the bend allows plus what braking at 1 m/s² sheds before it.
            const float bend = std::sqrt(settings_.bend_acceleration * radius);
            wanted = std::min(wanted, std::sqrt(bend * bend + 2.0f * 1.0f * travelled * 0.01f));
        }
    }
    float left = 0.0f;
    for (size_t i = nearest_ + 1; i < route_.size(); ++i)
        left += ground_distance(route_[i].lane, route_[i - 1].lane);
    // The route's end, planned at 0.5 m/s²: on a road the truck rolls on freely, so it stops late.
    wanted = std::min(wanted, std::sqrt(2.0f * 0.5f * left * 0.01f));
    // Far off the lane (joining it), slowly.
    if (lane_error_ > 150.0f)
        wanted = std::min(wanted, 2.5f);
    return std::max(wanted, left > 1500.0f ? 2.0f : 0.0f);
}

void route_driver_t::step(const truck_pose_t& pose, const float dt)
{
    if (seen_ && dt > 0.0f) {
        const vec3_t moved = pose.position - last_position_;
        // Backing, the speed counts along the way the truck backs.
        const float sign = settings_.backwards ? -1.0f : 1.0f;
        speed_ = sign * (moved.x * pose.forward.x + moved.z * pose.forward.z) * 0.01f / dt;
    }
    seen_ = true;
    last_position_ = pose.position;

    // Progress along the route: the nearest point a little way ahead of the last one.
    size_t best = nearest_;
    float best_distance = ground_distance(route_[best].lane, pose.position);
    for (size_t i = nearest_; i < route_.size() && i < nearest_ + 8; ++i) {
        const float distance = ground_distance(route_[i].lane, pose.position);
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    nearest_ = best;
    lane_error_ = best_distance;
    off_middle_ = across_middle(route_, best, pose.position);
    arrived_ = nearest_ + 1 >= route_.size() && best_distance < 2500.0f && std::fabs(speed_) < 0.5f;

    // The pedals.
    const float speed_wanted = arrived_ ? 0.0f : wanted_speed();
    const key_t go = settings_.backwards ? key_down : key_up;
    const key_t brake = settings_.backwards ? key_up : key_down;
    hold(go, speed_ < speed_wanted - 0.3f && speed_wanted > 0.0f);
    hold(brake, speed_ > 0.5f && (speed_ > speed_wanted + 0.4f || speed_wanted == 0.0f));

    // The wheel: the keys move the driver's idea of its angle towards the angle wanted.
    const float wanted = wanted_steering(pose);
    const float dead_band = 1.0f;
    const bool left = wanted > steering_ + dead_band;
    const bool right = wanted < steering_ - dead_band;
    hold(key_left, left);
    hold(key_right, right);
    if (left)
        steering_ = std::min(steering_ + dt * (steering_ >= 0.0f ? settings_.steer_rate : settings_.counter_rate),
                             settings_.max_steering);
    else if (right)
        steering_ = std::max(steering_ - dt * (steering_ <= 0.0f ? settings_.steer_rate : settings_.counter_rate),
                             -settings_.max_steering);
    else
        steering_ = steering_ > 0.0f ? std::max(steering_ - settings_.centre_rate * dt, 0.0f)
                                     : std::min(steering_ + settings_.centre_rate * dt, 0.0f);
}

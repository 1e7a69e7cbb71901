#include <algorithm>
#include <cfloat>
#include <cmath>

#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/physproc.h"

namespace {

// Radians per degree.
constexpr float radians_per_degree = 0.017453292f;

// The local box of a geometry, turned by `turn` into the axis-aligned box around its eight corners.
void sweep_box(cd_geo_t* geometry, bool rotating, const quat_t& turn, vec3_t& minimum, vec3_t& maximum)
{
    const cd_bvnode_t* bounds = geometry->get_bounds();
    if (!bounds || bounds->bounds.empty()) {
        minimum = maximum = vec3_t();
        return;
    }
    minimum = {bounds->bounds.minimum[0], bounds->bounds.minimum[1], bounds->bounds.minimum[2]};
    maximum = {bounds->bounds.maximum[0], bounds->bounds.maximum[1], bounds->bounds.maximum[2]};
    if (!rotating)
        return;
    const vec3_t low = minimum;
    const vec3_t high = maximum;
    minimum = vec3_t(FLT_MAX, FLT_MAX, FLT_MAX);
    maximum = vec3_t(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (int corner = 0; corner < 8; ++corner) {
        const vec3_t point((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 4) ? high.z : low.z);
        const vec3_t turned = turn.rotate(point);
        for (int axis = 0; axis < 3; ++axis) {
            minimum[axis] = std::min(minimum[axis], turned[axis]);
            maximum[axis] = std::max(maximum[axis], turned[axis]);
        }
    }
}

}  // namespace

bool physproc_t::sweep(const phys_pose_t& start, const phys_pose_t& end, uint32_t mode, phys_sweep_out_t* out)
{
    cd_geo_t* const moving = context_.moving;
    if (!moving || !context_.candidates || !context_.contacts || !context_.filter) {
        api::error("physproc_t::sweep: no query context with a moving geometry");
        return false;
    }
    const uint64_t began = profile_clock();
    const bool want_pose = out && (mode & sweep_pose);
    const bool want_normal = out && (mode & sweep_normal);
    if (mode & sweep_fresh)
        context_.contacts->remove_all();
    vec3_t direction = end.position - start.position;
    quat_t turn = quat_t::get_delta(start.orientation, end.orientation);
    turn.normalize();
    const bool rotating = !turn.is_zero();
    if (direction.length_sq() <= 1e-6f && !rotating) {
        if (want_pose)
            out->pose = end;
        return false;
    }

    // The geometry's items carry its orientation; the sweep turns them and turns them back.
    const quat_t before = moving->pose.orientation;
    bool turned = false;
    if (!(start.orientation == before)) {
        moving->set_rotation(start.orientation);
        turned = true;
    }
    vec3_t box_minimum;
    vec3_t box_maximum;
    sweep_box(moving, rotating, turn, box_minimum, box_maximum);
    uint64_t build = broad_phase(start.position, end.position, box_minimum, box_maximum);
    if (context_.candidates->is_empty()) {
        // Nothing in reach: the path is free, and turning the items step by step would find nothing.
        if (want_normal)
            out->normal = -(direction.length() > 1e-6f ? direction / direction.length() : direction);
        if (turned)
            moving->set_rotation(before);
        if (want_pose)
            out->pose = end;
        add_detect_time(profile_clock() - began - build);
        return false;
    }

    // Sub-steps: the step length along the path, and the smallest step worth taking (1 cm of travel,
    // or the turn that moves a point of the bounding sphere by 1 cm).
    const float distance = direction.length();
    float step = 1.0f;
    float smallest = 1.0f;
    if (distance > 1e-6f) {
        step = std::min(1.0f, context_.step_length / distance);
        smallest = std::min(1.0f, 1.0f / distance);
    }
    if (rotating) {
        const float angle = turn.get_rotation_rad();
        const float radius = moving->get_sphere()->radius;
        step = std::min(step, context_.rotation_step * radians_per_degree / angle);
        const float chord = radius > 0.5f ? 2.0f * std::asin(0.5f / radius) : 2.0f * std::asin(1.0f);
        smallest = std::min(smallest, chord / angle);
    }
    if (!(step > smallest))
        step = smallest;
    if (distance > 1e-6f)
        direction /= distance;

    if (want_normal)
        out->normal = -direction;
    phys_pose_t reached = start;
    float last_free = 0.0f;
    float last_tested = 0.0f;
    bool last_solid = false;
    bool impact = false;
    for (;;) {
        const float t = std::min(last_free + step, 1.0f);
        bool solid = last_solid;
        phys_pose_t trial;
        trial.position = start.position + (end.position - start.position) * t;
        trial.orientation = rotating ? quat_t::slerp(start.orientation, end.orientation, t) : start.orientation;
        // A fraction within half the smallest step of the last one tested keeps that test's answer.
        if (std::fabs(t - last_tested) > smallest * 0.5f) {
            if (rotating) {
                moving->set_rotation(trial.orientation);
                turned = true;
            }
            float best_dot = FLT_MAX;
            vec3_t normal;
            solid = false;
            for (const phys_candidate_t& candidate : *context_.candidates)
                solid |=
                    file_contacts(candidate, trial, direction, t, smallest, want_normal ? &best_dot : nullptr, &normal);
            if (want_normal && best_dot < FLT_MAX)
                out->normal = normal;
            last_tested = t;
            last_solid = solid;
        }
        if (solid) {
            if (t - last_free <= smallest) {
                impact = true;
                break;
            }
            step *= 0.5f;
            if (step < 1.0001f * smallest) {
                impact = true;
                break;
            }
            continue;
        }
        last_free = t;
        reached = trial;
        if (t >= 1.0f)
            break;
    }

    build += clear_candidates();
    if (turned)
        moving->set_rotation(before);
    if (want_pose)
        out->pose = impact ? reached : end;
    add_detect_time(profile_clock() - began - build);
    return impact;
}

bool physproc_t::file_contacts(const phys_candidate_t& candidate, const phys_pose_t& trial, const vec3_t& direction,
                               float t, float smallest_step, float* best_dot, vec3_t* normal)
{
    hits_.clear();
    if (collide_pair(context_.moving, candidate.geometry, trial.position, &hits_) == 0)
        return false;
    const bool solid = candidate.answer == phys_pair_solid;
    for (size_t i = 0; i < hits_.size(); ++i) {
        phys_contact_t record;
        record.first = context_.moving;
        record.second = candidate.geometry;
        record.position = trial.position;
        record.orientation = trial.orientation;
        record.direction = direction;
        record.first_item = hits_[i].item;
        record.second_item = hits_[i].other_item;
        record.key = t;
        record.constraint = solid ? 1 : 0;
        // The last solid contact closes the list: anything met farther along is gone.
        const bool closes = solid && i + 1 == hits_.size();
        contact_list_insert(*context_.contacts, record, closes, closes ? 1.5f * smallest_step : 0.0f);
        if (!solid || !best_dot || record.second_item == cd_item_none)
            continue;
        cd_item_t item;
        item.id = record.second_item;
        item.request = cd_item_t::request_plane;
        candidate.geometry->get_item(item, 1);
        const float along = item.plane.xyz().dot(direction);
        if (along < *best_dot) {
            *best_dot = along;
            *normal = item.plane.xyz();
        }
    }
    return solid;
}

#include <algorithm>

#include "engine/geometry.h"
#include "common/engine_api.h"
#include "physics/body_callback.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

namespace {

// A surface the move slides along: a plane, or the edge where a second plane met the first.
struct constraint_t {
    // Kinds of constraint.
    enum kind_t : uint8_t { plane = 1, edge = 2 };

    vec3_t first_normal;
    vec3_t second_normal;
    uint8_t kind;
    // Position reached when the constraint was made, the motion still to make from there, and the
    // body's next velocities at that moment.
    vec3_t position;
    vec3_t remaining;
    vec3_t linear;
    vec3_t angular;
};

// Stages of one move.
enum move_phase_t { phase_first_try, phase_sliding, phase_stepped };

// Two spaces of indentation per trace level, at most 64.
const char* indentation(int depth)
{
    static const char spaces[] = "                                                                ";
    const int width = std::clamp(depth * 2, 0, 64);
    return spaces + 64 - width;
}

// The plane normal of a contact's item on the geometry it hit.
vec3_t contact_normal(const phys_contact_t& contact)
{
    cd_item_t item;
    item.id = contact.second_item;
    item.request = cd_item_t::request_plane;
    contact.second->get_item(item, 1);
    return translate_plane(item.plane, contact.second->pose.position).xyz();
}

}  // namespace

bool physproc_t::move_geom(phys_body_t* body)
{
    cd_geo_t* const geometry = body ? body->geometry : nullptr;
    if (!geometry || !body->current)
        return false;
    phys_state_t& current = *body->current;
    phys_state_t& next = body->next;

    const vec3_t integrated = next.position - current.position;
    const vec3_t mdel = integrated + body->extra_translation;
    quat_t rdel = quat_t::get_delta(current.orientation, next.orientation) * body->extra_rotation;
    rdel.normalize();
    if (rdel.w < 0.0f)
        rdel = quat_t(-rdel.x, -rdel.y, -rdel.z, -rdel.w);
    if (mdel.length_sq() <= 1e-6f && rdel.is_zero()) {
        next.orientation = current.orientation;
        next.position = current.position;
        next.update_matrices();
        return false;
    }

    const char level = verbose();
    const bool trace = level == 'd' || level == 'w';
    const bool trace_w = level == 'w';
    if (trace) {
        ++trace_depth_;
        const vec3_t angles = rdel.get_ypr();
        api::message("%s >\\r'%s'[%d]\\w rdel <%.02f %.02f %.02f> mdel <%.02f %.02f %.02f>", indentation(trace_depth_),
                     "??", body->id, angles.x, angles.y, angles.z, mdel.x, mdel.y, mdel.z);
    }

    const bool stepping = body->move.stair_height > 0;
    const bool sliding = body->move.slide != 0;
    phys_pose_t target{current.position + mdel, rdel * current.orientation};
    phys_pose_t sweep_start{current.position, current.orientation};
    phys_pose_t reached = sweep_start;

    phys_candidate_list_t candidates;
    candidates.init_mm(candidate_pool_);
    vdatalist_t<constraint_t> constraints;
    constraints.init_mm(constraint_pool_);
    contact_list_t contacts;
    contact_list_t output;
    cd_query_context_t context;
    context.moving = geometry;
    context.body = body;
    context.step_length = body->move.sub_step_length;
    context.rotation_step = body->move.rotation_step;
    context.filter = &pair_;
    context.candidates = &candidates;
    context.contacts = &contacts;
    context.output = &output;
    push_context(context);

    body_callback_t* const owner = geometry->owner_callbacks;

    move_phase_t phase = phase_first_try;
    int tries = 0;
    for (;;) {
        ++tries;
        phys_sweep_out_t swept;
        const uint32_t mode = phase == phase_first_try ? (sweep_fresh | sweep_pose | sweep_normal) : (sweep_fresh | sweep_pose);
        const bool impact = sweep(sweep_start, target, mode, &swept);
        contact_list_merge(output, contacts);
        reached = swept.pose;
        if (!impact) {
            if (sliding)
                constraints.remove_all();
            break;
        }
        if (phase == phase_first_try) {
            const phys_impact_t first_impact{&swept.normal, &reached};
            filter_impulse(body, body_callback_t::impulse_first_impact, next.linear_velocity, next.angular_velocity,
                           &first_impact);
            // Whatever of the turn and the travel is still free, made in place.
            phys_sweep_out_t rest;
            sweep(reached, {reached.position, target.orientation}, sweep_pose, &rest);
            reached = rest.pose;
            sweep(reached, {target.position, reached.orientation}, sweep_pose, &rest);
            reached = rest.pose;
            const vec3_t remaining = target.position - reached.position;
            if (trace) {
                const phys_contact_t* const hit = contacts.last() ? &contacts.last()->value() : nullptr;
                const int hit_id = hit && hit->second && hit->second->body ? hit->second->body->id : -1;
                const vec3_t made = reached.position - current.position;
                api::message("%s  \\g!impact into \\r'%s'[%d]\\g mov <%.02f %.02f %.02f> remain <%.02f %.02f %.02f>",
                             indentation(trace_depth_), "??", hit_id, made.x, made.y, made.z, remaining.x,
                             remaining.y, remaining.z);
            }
            sweep_start = reached;
            target.orientation = reached.orientation;

            const vec3_t level_remaining(remaining.x, 0.0f, remaining.z);
            if (stepping && integrated.y <= 0.0f && level_remaining.length_sq() > 1e-6f &&
                step_stair(body, reached, level_remaining, output, trace_w)) {
                phase = phase_stepped;
            } else {
                phase = phase_sliding;
                constraints.remove_all();
                for (auto* node = contacts.last(); node && node->value().constraint; node = node->prev()) {
                    const vec3_t normal = contact_normal(node->value());
                    if (remaining.dot(normal) > 0.0f)
                        continue;
                    bool known = false;
                    for (const constraint_t& held : constraints) {
                        const vec3_t gap = held.first_normal - normal;
                        known |= std::fabs(gap.x) <= 1e-6f && std::fabs(gap.y) <= 1e-6f && std::fabs(gap.z) <= 1e-6f;
                    }
                    if (!known)
                        constraints.append({normal, vec3_t(), constraint_t::plane, reached.position, remaining,
                                            next.linear_velocity, next.angular_velocity});
                }
            }
        } else {
            sweep_start = reached;
            const vec3_t remaining = target.position - reached.position;
            if (constraints.first() && constraints.first()->value().kind == constraint_t::plane) {
                const vec3_t followed = constraints.first()->value().first_normal;
                for (auto* node = contacts.last(); node && node->value().constraint && node->value().second_item != cd_item_none;
                     node = node->prev()) {
                    const vec3_t met = contact_normal(node->value());
                    if (remaining.dot(met) <= 0.0f && std::fabs(followed.dot(met)) <= 0.9998f)
                        constraints.append({followed, met, constraint_t::edge, reached.position, remaining,
                                            next.linear_velocity, next.angular_velocity});
                }
            }
            constraints.remove_first();
        }

        if (phase == phase_stepped || !sliding)
            break;
        if (constraints.is_empty()) {
            filter_impulse(body, body_callback_t::impulse_free, vec3_t(), vec3_t(), nullptr);
            break;
        }
        // Follow the first constraint from where it was made, with the velocities of that moment.
        const constraint_t& followed = constraints.first()->value();
        sweep_start = {followed.position, reached.orientation};
        target.orientation = reached.orientation;
        vec3_t motion = followed.remaining;
        if (followed.kind == constraint_t::plane) {
            const vec3_t& normal = followed.first_normal;
            // A slope too steep to stand on is never climbed.
            if (normal.y > 0.0f && normal.y < body->move.floor_min_up)
                motion.y = std::min(motion.y, 0.0f);
            motion = motion - normal * (1.001f * motion.dot(normal));
        } else {
            const vec3_t along = followed.first_normal.cross(followed.second_normal);
            motion = project_vector2vector(along, motion) +
                     (followed.first_normal + followed.second_normal).normalized() * 0.001f;
        }
        target.position = followed.position + motion;
        next.linear_velocity = followed.linear;
        next.angular_velocity = followed.angular;
        const vec3_t normal = followed.kind == constraint_t::plane ? followed.first_normal : followed.second_normal;
        const phys_impact_t taken{&normal, nullptr};
        filter_impulse(body, body_callback_t::impulse_constraint, project_vector(normal, next.linear_velocity),
                       project_vector2vector(normal, next.angular_velocity), &taken);
    }

    const vec3_t made = reached.position - current.position;
    quat_t turned = quat_t::get_delta(current.orientation, reached.orientation);
    turned.normalize();
    const bool clipped = owner && owner->on_touch(made, turned);
    if (clipped) {
        next.position = current.position;
        next.orientation = current.orientation;
    } else {
        next.position = reached.position;
        next.orientation = turned.is_zero() ? current.orientation : reached.orientation;
    }
    next.update_matrices();
    if (!clipped && owner) {
        const uint64_t began = api::tmr_get_cycles();
        for (const phys_contact_t& contact : output) {
            owner->on_contact(contact, true);
            body_callback_t* const hit_owner = contact.second ? contact.second->owner_callbacks : nullptr;
            if (hit_owner && pair_.function(pair_.user, contact.second, geometry) != phys_pair_ignore)
                hit_owner->on_contact(contact, false);
        }
        profile_.callback += api::tmr_get_cycles() - began;
    }
    pop_context();
    if (trace) {
        const vec3_t angles = turned.get_ypr();
        api::message("%s <\\r'%s'[%d]\\w rdel <%.02f %0.02f %0.02f> mdel <%.02f %.02f %.02f> user clip %s tries %d",
                     indentation(trace_depth_), "??", body->id, angles.x, angles.y, angles.z, made.x, made.y, made.z,
                     clipped ? "TRUE" : "FALSE", tries);
        --trace_depth_;
    }
    return !clipped;
}

bool physproc_t::step_stair(phys_body_t* body, phys_pose_t& reached, const vec3_t& level_motion, contact_list_t& output,
                            bool trace)
{
    const char* const indent = indentation(trace_depth_);
    if (trace)
        api::message("%s  \\gstair: prepare", indent);
    const float height = static_cast<float>(body->move.stair_height);
    const vec3_t raised = reached.position + vec3_t(0.0f, height, 0.0f);
    const quat_t& orientation = reached.orientation;
    // Forward over the stair, one centimetre beyond the motion left.
    const vec3_t beyond = raised + level_motion + level_motion.normalized();
    if (sweep({raised, orientation}, {beyond, orientation}, 0, nullptr)) {
        if (trace)
            api::message("%s  \\gstair: fwd move failed", indent);
        return false;
    }
    const vec3_t above = raised + level_motion;
    phys_sweep_out_t landing;
    if (sweep({above, orientation}, {above - vec3_t(0.0f, 2.0f * height, 0.0f), orientation}, sweep_pose | sweep_normal,
              &landing)) {
        contact_list_merge(output, *context_.contacts);
        if (landing.normal.y < body->move.floor_min_up) {
            if (trace)
                api::message("%s  \\gstair: dwn move failed", indent);
            return false;
        }
        const phys_impact_t impact{&landing.normal, nullptr};
        filter_impulse(body, body_callback_t::impulse_constraint, project_vector(landing.normal, body->next.linear_velocity),
                       project_vector2vector(landing.normal, body->next.angular_velocity), &impact);
    }
    reached = landing.pose;
    if (trace)
        api::message("%s  \\gstair: success", indent);
    return true;
}

void physproc_t::filter_impulse(phys_body_t* body, int kind, vec3_t linear, vec3_t angular, const phys_impact_t* impact)
{
    body_callback_t* const owner = body->geometry ? body->geometry->owner_callbacks : nullptr;
    if (!owner)
        return;
    const uint64_t began = api::tmr_get_cycles();
    if (owner->filter_impulse(kind, linear, angular, impact)) {
        body->next.linear_velocity = linear;
        body->next.angular_velocity = angular;
    }
    profile_.callback += api::tmr_get_cycles() - began;
}

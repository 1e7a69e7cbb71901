#include <algorithm>

#include "engine/geometry.h"
#include "common/engine_api.h"
#include "physics/body_callback.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

namespace {

// A squared motion at most this long is no motion: the move does nothing, and a stair is not tried.
constexpr float still_motion_sq = 1e-6f;
// Two contact normals whose components all differ by at most this give one plane constraint.
constexpr float same_normal_tolerance = 1e-6f;
// Planes whose normals have a dot product above this (either way) are parallel: they make no edge.
constexpr float parallel_planes_dot = 0.9998f;
// Sliding along a plane takes off a little more than the motion into it, so the next sweep starts clear.
constexpr float plane_push_off = 1.001f;
// Sliding along an edge keeps this far off both planes, along the mean of their normals.
constexpr float edge_push_off = 0.001f;
// The stair step's forward sweep goes this many centimetres beyond the motion left.
constexpr float stair_overshoot = 1.0f;
// The trace indents two spaces per nesting level, at most this many.
constexpr int widest_indentation = 64;

// Two spaces of indentation per trace level, at most widest_indentation.
const char* indentation(int depth)
{
    static const char spaces[] = "                                                                ";
    static_assert(sizeof spaces == widest_indentation + 1);
    const int width = std::clamp(depth * 2, 0, widest_indentation);
    return spaces + widest_indentation - width;
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

// True when two normals are equal within same_normal_tolerance in every component.
bool same_normal(const vec3_t& a, const vec3_t& b)
{
    const vec3_t gap = a - b;
    return std::fabs(gap.x) <= same_normal_tolerance && std::fabs(gap.y) <= same_normal_tolerance &&
           std::fabs(gap.z) <= same_normal_tolerance;
}

}  // namespace

// A surface the move slides along: a plane, or the edge where a second plane met the first.
struct phys_constraint_t {
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

// One kinematic move of a body's geometry (physproc_t::move_geom), phase by phase: the first try,
// the first impact (a stair step or the planes to slide along), sliding along planes and then edges,
// and the finish that hands the result and the contacts to the owners.
class phys_move_t {
public:
    phys_move_t(physproc_t& process, phys_body_t& body)
        : process_(process), body_(body), geometry_(*body.geometry), current_(*body.current), next_(body.next),
          owner_(geometry_.owner_callbacks)
    {}

    // Runs the move; true when its result was written into the body's next state.
    bool run()
    {
        if (!measure_motion())
            return false;
        trace_in();
        set_up();
        for (;;) {
            ++tries_;
            phys_sweep_out_t swept;
            if (!sweep_to_target(swept)) {
                if (sliding_allowed_)
                    constraints_.remove_all();
                break;
            }
            if (phase_ == phase_first_try)
                first_impact(swept);
            else
                further_impact();
            if (phase_ == phase_stepped || !sliding_allowed_ || !follow_next_constraint())
                break;
        }
        return finish();
    }

private:
    // Phases of one move.
    enum phase_t { phase_first_try, phase_sliding, phase_stepped };

    // The integrated motion plus the body's extra move; false (with the next state put back) when
    // there is nothing to do.
    bool measure_motion()
    {
        integrated_ = next_.position - current_.position;
        mdel_ = integrated_ + body_.extra_translation;
        rdel_ = quat_t::get_delta(current_.orientation, next_.orientation) * body_.extra_rotation;
        rdel_.normalize();
        if (rdel_.w < 0.0f)
            rdel_ = quat_t(-rdel_.x, -rdel_.y, -rdel_.z, -rdel_.w);
        if (mdel_.length_sq() <= still_motion_sq && rdel_.is_zero()) {
            next_.orientation = current_.orientation;
            next_.position = current_.position;
            next_.update_matrices();
            return false;
        }
        return true;
    }

    // Target pose, lists and the query context the move's sweeps run in.
    void set_up()
    {
        stepping_allowed_ = body_.move.stair_height > 0;
        sliding_allowed_ = body_.move.slide != 0;
        target_ = {current_.position + mdel_, rdel_ * current_.orientation};
        sweep_start_ = {current_.position, current_.orientation};
        reached_ = sweep_start_;

        candidates_.init_mm(process_.candidate_pool_);
        constraints_.init_mm(process_.constraint_pool_);
        cd_query_context_t context;
        context.moving = &geometry_;
        context.body = &body_;
        context.step_length = body_.move.sub_step_length;
        context.rotation_step = body_.move.rotation_step;
        context.filter = &process_.pair_;
        context.candidates = &candidates_;
        context.contacts = &contacts_;
        context.output = &output_;
        process_.push_context(context);
    }

    // One sweep from the sweep start to the target; its contacts join the output. True on a solid impact.
    bool sweep_to_target(phys_sweep_out_t& swept)
    {
        const uint32_t mode =
            phase_ == phase_first_try ? (sweep_fresh | sweep_pose | sweep_normal) : (sweep_fresh | sweep_pose);
        const bool impact = process_.sweep(sweep_start_, target_, mode, &swept);
        contact_list_merge(output_, contacts_);
        reached_ = swept.pose;
        return impact;
    }

    // The first solid impact: the owner's say on the velocities, the rest of the turn and the travel made
    // in place, then a stair step or the planes to slide along.
    void first_impact(const phys_sweep_out_t& swept)
    {
        const phys_impact_t impact{&swept.normal, &reached_};
        offer_impulse(body_callback_t::impulse_first_impact, next_.linear_velocity, next_.angular_velocity, &impact);
        phys_sweep_out_t rest;
        process_.sweep(reached_, {reached_.position, target_.orientation}, sweep_pose, &rest);
        reached_ = rest.pose;
        process_.sweep(reached_, {target_.position, reached_.orientation}, sweep_pose, &rest);
        reached_ = rest.pose;
        const vec3_t remaining = target_.position - reached_.position;
        trace_impact(remaining);
        sweep_start_ = reached_;
        target_.orientation = reached_.orientation;

        const vec3_t level_remaining(remaining.x, 0.0f, remaining.z);
        if (stepping_allowed_ && integrated_.y <= 0.0f && level_remaining.length_sq() > still_motion_sq &&
            step_stair(level_remaining)) {
            phase_ = phase_stepped;
            return;
        }
        phase_ = phase_sliding;
        gather_planes(remaining);
    }

    // Up by the body's step height, forward by `level_motion`, down onto a floor. True, with the pose
    // reached on the stair, when it succeeded.
    bool step_stair(const vec3_t& level_motion)
    {
        const char* const indent = indentation(process_.trace_depth_);
        if (trace_w_)
            api::message("%s  \\gstair: prepare", indent);
        const float height = static_cast<float>(body_.move.stair_height);
        const vec3_t raised = reached_.position + vec3_t(0.0f, height, 0.0f);
        const quat_t& orientation = reached_.orientation;
        const vec3_t beyond = raised + level_motion + level_motion.normalized() * stair_overshoot;
        if (process_.sweep({raised, orientation}, {beyond, orientation}, 0, nullptr)) {
            if (trace_w_)
                api::message("%s  \\gstair: fwd move failed", indent);
            return false;
        }
        const vec3_t above = raised + level_motion;
        phys_sweep_out_t landing;
        if (process_.sweep({above, orientation}, {above - vec3_t(0.0f, 2.0f * height, 0.0f), orientation},
                           sweep_pose | sweep_normal, &landing)) {
            contact_list_merge(output_, contacts_);
            if (landing.normal.y < body_.move.floor_min_up) {
                if (trace_w_)
                    api::message("%s  \\gstair: dwn move failed", indent);
                return false;
            }
            const phys_impact_t impact{&landing.normal, nullptr};
            offer_impulse(body_callback_t::impulse_constraint, project_vector(landing.normal, next_.linear_velocity),
                          project_vector2vector(landing.normal, next_.angular_velocity), &impact);
        }
        reached_ = landing.pose;
        if (trace_w_)
            api::message("%s  \\gstair: success", indent);
        return true;
    }

    // The plane constraints of the first impact: each solid contact of the latest sweeps (at the tail of
    // the contact list) whose plane the motion left runs into, once per normal.
    void gather_planes(const vec3_t& remaining)
    {
        constraints_.remove_all();
        for (auto* node = contacts_.last(); node && node->value().constraint; node = node->prev()) {
            const vec3_t normal = contact_normal(node->value());
            if (remaining.dot(normal) > 0.0f)
                continue;
            bool known = false;
            for (const phys_constraint_t& held : constraints_)
                known |= same_normal(held.first_normal, normal);
            if (!known)
                constraints_.append({normal, vec3_t(), phys_constraint_t::plane, reached_.position, remaining,
                                     next_.linear_velocity, next_.angular_velocity});
        }
    }

    // An impact while sliding: a plane being followed gains an edge with every plane it met; the
    // constraint followed is dropped.
    void further_impact()
    {
        sweep_start_ = reached_;
        const vec3_t remaining = target_.position - reached_.position;
        if (constraints_.first() && constraints_.first()->value().kind == phys_constraint_t::plane) {
            const vec3_t followed = constraints_.first()->value().first_normal;
            for (auto* node = contacts_.last();
                 node && node->value().constraint && node->value().second_item != cd_item_none; node = node->prev()) {
                const vec3_t met = contact_normal(node->value());
                if (remaining.dot(met) <= 0.0f && std::fabs(followed.dot(met)) <= parallel_planes_dot)
                    constraints_.append({followed, met, phys_constraint_t::edge, reached_.position, remaining,
                                         next_.linear_velocity, next_.angular_velocity});
            }
        }
        constraints_.remove_first();
    }

    // Aims the next pass along the first constraint, from where it was made and with the velocities of
    // that moment. False when no constraint is left (the owner is told) and the move ends.
    bool follow_next_constraint()
    {
        if (constraints_.is_empty()) {
            offer_impulse(body_callback_t::impulse_free, vec3_t(), vec3_t(), nullptr);
            return false;
        }
        const phys_constraint_t& followed = constraints_.first()->value();
        sweep_start_ = {followed.position, reached_.orientation};
        target_.orientation = reached_.orientation;
        vec3_t motion = followed.remaining;
        if (followed.kind == phys_constraint_t::plane) {
            const vec3_t& normal = followed.first_normal;
            // A slope too steep to stand on is never climbed.
            if (normal.y > 0.0f && normal.y < body_.move.floor_min_up)
                motion.y = std::min(motion.y, 0.0f);
            motion = motion - normal * (plane_push_off * motion.dot(normal));
        } else {
            const vec3_t along = followed.first_normal.cross(followed.second_normal);
            motion = project_vector2vector(along, motion) +
                     (followed.first_normal + followed.second_normal).normalized() * edge_push_off;
        }
        target_.position = followed.position + motion;
        next_.linear_velocity = followed.linear;
        next_.angular_velocity = followed.angular;
        const vec3_t normal =
            followed.kind == phys_constraint_t::plane ? followed.first_normal : followed.second_normal;
        const phys_impact_t taken{&normal, nullptr};
        offer_impulse(body_callback_t::impulse_constraint, project_vector(normal, next_.linear_velocity),
                      project_vector2vector(normal, next_.angular_velocity), &taken);
        return true;
    }

    // The owner may cancel the move; otherwise the pose reached becomes the next state and the owners
    // hear of the contacts. Pops the move's context. True when the next state holds the move.
    bool finish()
    {
        const vec3_t made = reached_.position - current_.position;
        quat_t turned = quat_t::get_delta(current_.orientation, reached_.orientation);
        turned.normalize();
        const bool clipped = owner_ && owner_->on_touch(made, turned);
        if (clipped) {
            next_.position = current_.position;
            next_.orientation = current_.orientation;
        } else {
            next_.position = reached_.position;
            next_.orientation = turned.is_zero() ? current_.orientation : reached_.orientation;
        }
        next_.update_matrices();
        if (!clipped && owner_)
            report_contacts();
        process_.pop_context();
        trace_out(turned, made, clipped);
        return !clipped;
    }

    // Each output contact to the mover's owner, and to the hit geometry's owner when the filter lets it.
    void report_contacts()
    {
        const uint64_t began = process_.profile_clock();
        const phys_pair_t& pair = process_.pair_;
        for (const phys_contact_t& contact : output_) {
            owner_->on_contact(contact, true);
            body_callback_t* const hit_owner = contact.second ? contact.second->owner_callbacks : nullptr;
            if (hit_owner && pair.function(pair.user, contact.second, &geometry_) != phys_pair_ignore)
                hit_owner->on_contact(contact, false);
        }
        process_.profile_.callback += process_.profile_clock() - began;
    }

    // Offers the owner a pair of velocities; they become the body's next ones when it accepts them.
    void offer_impulse(int kind, vec3_t linear, vec3_t angular, const phys_impact_t* impact)
    {
        if (!owner_)
            return;
        const uint64_t began = process_.profile_clock();
        if (owner_->filter_impulse(kind, linear, angular, impact)) {
            next_.linear_velocity = linear;
            next_.angular_velocity = angular;
        }
        process_.profile_.callback += process_.profile_clock() - began;
    }

    // The trace lines, when "p_verbose" asks for them ('w' adds the stair lines).
    void trace_in()
    {
        const char level = process_.verbose();
        trace_ = level == 'd' || level == 'w';
        trace_w_ = level == 'w';
        if (!trace_)
            return;
        ++process_.trace_depth_;
        const vec3_t angles = rdel_.get_ypr();
        api::message("%s >\\r'%s'[%d]\\w rdel <%.02f %.02f %.02f> mdel <%.02f %.02f %.02f>",
                     indentation(process_.trace_depth_), "??", body_.id, angles.x, angles.y, angles.z, mdel_.x, mdel_.y,
                     mdel_.z);
    }
    void trace_impact(const vec3_t& remaining) const
    {
        if (!trace_)
            return;
        const phys_contact_t* const hit = contacts_.last() ? &contacts_.last()->value() : nullptr;
        const int hit_id = hit && hit->second && hit->second->body ? hit->second->body->id : -1;
        const vec3_t made = reached_.position - current_.position;
        api::message("%s  \\g!impact into \\r'%s'[%d]\\g mov <%.02f %.02f %.02f> remain <%.02f %.02f %.02f>",
                     indentation(process_.trace_depth_), "??", hit_id, made.x, made.y, made.z, remaining.x, remaining.y,
                     remaining.z);
    }
    void trace_out(const quat_t& turned, const vec3_t& made, bool clipped)
    {
        if (!trace_)
            return;
        const vec3_t angles = turned.get_ypr();
        api::message("%s <\\r'%s'[%d]\\w rdel <%.02f %0.02f %0.02f> mdel <%.02f %.02f %.02f> user clip %s tries %d",
                     indentation(process_.trace_depth_), "??", body_.id, angles.x, angles.y, angles.z, made.x, made.y,
                     made.z, clipped ? "TRUE" : "FALSE", tries_);
        --process_.trace_depth_;
    }

    physproc_t& process_;
    phys_body_t& body_;
    cd_geo_t& geometry_;
    phys_state_t& current_;
    phys_state_t& next_;
    body_callback_t* const owner_;

    vec3_t integrated_;
    vec3_t mdel_;
    quat_t rdel_;
    bool stepping_allowed_ = false;
    bool sliding_allowed_ = false;
    bool trace_ = false;
    bool trace_w_ = false;
    phys_pose_t target_;
    phys_pose_t sweep_start_;
    phys_pose_t reached_;
    phase_t phase_ = phase_first_try;
    int tries_ = 0;
    phys_candidate_list_t candidates_;
    vdatalist_t<phys_constraint_t> constraints_;
    contact_list_t contacts_;
    contact_list_t output_;
};

bool physproc_t::move_geom(phys_body_t* body)
{
    if (!body || !body->geometry || !body->current)
        return false;
    phys_move_t move(*this, *body);
    return move.run();
}

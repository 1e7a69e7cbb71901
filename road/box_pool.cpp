#include "road/box_pool.h"

#include <cmath>

#include "common/engine_api.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

namespace {

// Extents of a pooled box and the mass its inertia is set up with.
const vec3_t box_extents(500.0f, 400.0f, 5.0f);
constexpr float box_setup_mass = 800.0f;
// Where the boxes wait before they are first lent, and where a box given back rests.
const vec3_t box_waiting(0.0f, 1000000.0f, 0.0f);
const vec3_t box_returned(0.0f, 0.0f, 0.0f);
// Speed limits of a lent box (centimetres and radians per second).
constexpr float box_max_speed = 1000.0f;
constexpr float box_max_spin = 5.0f;
// Body flag that makes the physics process take a state set from outside.
constexpr uint32_t body_take_state = 2;

// Scales `v` down to `limit` when it is longer.
vec3_t capped(const vec3_t& v, const float limit)
{
    const float length = v.length();
    return length > limit ? v * (limit / length) : v;
}

float distance_sq(const vec3_t& a, const vec3_t& b) { return (a - b).length_sq(); }

}  // namespace

box_pool_t::~box_pool_t() { destroy(); }

void box_pool_t::create(physproc_t* physics, const entity_handle_t owner, body_callback_t* callbacks)
{
    if (created_)
        return;
    physics_ = physics;
    for (box_entry_t& entry : entries_) {
        entry.geometry = new cd_geo_box_t(box_extents, nullptr, 0, 0);
        entry.body = new phys_body_t;
        entry.body->move.stair_height = 10;
        entry.body->move.sub_step_length = 1.0f;
        entry.body->set_mass_box(box_extents, box_setup_mass);
        entry.owner = contact_owner_t{owner.word(), contact_kind_kicked_box, 0.0f};
        entry.geometry->owner_word = owner.word();
        entry.geometry->owner_record = &entry.owner;
        entry.geometry->owner_callbacks = callbacks;
        entry.body->set_geom(entry.geometry);
        entry.carried = nullptr;
        if (physics_)
            phys_insert_geom(physics_, entry.geometry);
        entry.position = box_waiting;
        entry.geometry->set_position(box_waiting);
        entry.body->body_flags |= body_take_state;
    }
    created_ = true;
}

void box_pool_t::destroy()
{
    if (!created_)
        return;
    for (box_entry_t& entry : entries_) {
        if (entry.carried) {
            entry.carried->flags &= ~loose_carried;
            entry.carried->body = nullptr;
            entry.carried->box = -1;
        }
        if (physics_)
            phys_remove_geom(physics_, entry.geometry);
        entry.body->clear_geom();
        delete entry.body;
        if (--entry.geometry->use_count == 0)
            delete entry.geometry;
        entry = box_entry_t{};
    }
    physics_ = nullptr;
    cursor_ = -1;
    created_ = false;
}

void box_pool_t::relink_owners()
{
    for (box_entry_t& entry : entries_) {
        if (entry.geometry)
            entry.geometry->owner_record = &entry.owner;
    }
}

void box_pool_t::park(const int32_t index, const vec3_t& position)
{
    box_entry_t& entry = entries_[index];
    entry.position = position;
    entry.geometry->set_position(position);
    entry.body->body_flags |= body_take_state;
    if (phys_state_t* const state = entry.body->current) {
        state->linear_velocity = vec3_t{};
        state->angular_velocity = vec3_t{};
    }
    entry.carried = nullptr;
}

void box_pool_t::give_back(loose_instance_t& instance)
{
    instance.flags &= ~loose_carried;
    if (!instance.body)
        return;
    instance.body = nullptr;
    const int32_t index = instance.box;
    instance.box = -1;
    if (created_ && index >= 0 && index < box_pool_size && entries_[index].carried == &instance)
        park(index, box_returned);
}

void box_pool_t::take(const int32_t index, loose_instance_t& instance, const vec3_t& offset)
{
    box_entry_t& entry = entries_[index];
    if (loose_instance_t* const displaced = entry.carried) {
        displaced->flags &= ~loose_carried;
        displaced->body = nullptr;
        displaced->box = -1;
    }
    quat_t orientation = instance.orientation;
    orientation.normalize();
    entry.position = instance.position + orientation.rotate(offset);
    entry.carried = &instance;
    instance.flags |= loose_carried;
    instance.body = entry.body;
    instance.box = index;
    entry.geometry->set_position(entry.position);
    entry.geometry->set_orientation(orientation);
    if (phys_state_t* const state = entry.body->current) {
        state->linear_velocity = vec3_t{};
        state->angular_velocity = vec3_t{};
        state->update_matrices();
    }
    entry.body->body_flags |= body_take_state;
    entry.body->set_mass(20.0f * entry.geometry->dimensions().length());
    entry.owner.tag = (instance.flags & loose_kind_near) ? contact_kind_kicked_box : contact_kind_resting_box;
    if (physics_)
        phys_update_geom(physics_, entry.geometry);
    entry.geometry->set_rotation(orientation);
}

void box_pool_t::update(const std::vector<loose_instance_t*>& instances, const vec3_t& truck, const float world_time)
{
    if (!created_)
        return;
    const auto count = static_cast<int32_t>(instances.size());
    if (cursor_ == -1)
        cursor_ = count > 0 ? 0 : -1;
    else
        cursor_ = cursor_ + 1 < count ? cursor_ + 1 : -1;
    for (box_entry_t& entry : entries_) {
        if (!entry.carried)
            continue;
        phys_state_t* const state = entry.body->current;
        if (world_time - entry.touch_time <= box_pool_awake) {
            entry.body->add_force(vec3_t(0.0f, entry.body->mass * -981.0f, 0.0f), nullptr);
            if (state) {
                state->linear_velocity = capped(state->linear_velocity, box_max_speed);
                state->angular_velocity = capped(state->angular_velocity, box_max_spin);
            }
        } else if (state) {
            state->linear_velocity = vec3_t{};
            state->angular_velocity = vec3_t{};
        }
    }
    if (cursor_ < 0)
        return;
    loose_instance_t* const instance = instances[static_cast<size_t>(cursor_)];
    if (!instance || (instance->flags & loose_carried) || instance->boxes[0].length_sq() < 1.0f)
        return;
    const float near = distance_sq(instance->position, truck);
    int32_t taken = 0;
    for (int32_t index = 0; index < box_pool_size && taken < 2; ++index) {
        box_entry_t& entry = entries_[index];
        if (entry.carried && !(distance_sq(entry.position, truck) > near))
            continue;
        take(index, *instance, instance->box_centres[taken]);
        ++taken;
        if (taken == 1 && !(instance->boxes[1].length_sq() > 1.0f))
            break;
    }
}

int box_pool_t::debug_draw() const
{
    if (!created_ || !api::gfx_line_plain)
        return 0;
    int lines = 0;
    for (const box_entry_t& entry : entries_) {
        const vec3_t* const corners = entry.geometry->corners();
        const vec3_t& size = entry.geometry->dimensions();
        const vec3_t centre = entry.geometry->body && entry.geometry->body->current
                                  ? entry.geometry->body->current->position
                                  : entry.geometry->pose.position;
        // Two corners are joined by an edge when they lie one edge length apart.
        for (int a = 0; a < cd_geo_box_t::corner_count; ++a) {
            for (int b = a + 1; b < cd_geo_box_t::corner_count; ++b) {
                const float gap = (corners[a] - corners[b]).length();
                if (std::fabs(gap - size.x) > 0.01f && std::fabs(gap - size.y) > 0.01f &&
                    std::fabs(gap - size.z) > 0.01f)
                    continue;
                const vec3_t from = centre + corners[a];
                const vec3_t to = centre + corners[b];
                api::gfx_line_plain(0xff00ff00u, &from.x, &to.x);
                ++lines;
            }
        }
    }
    return lines;
}

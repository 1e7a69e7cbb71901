#include "common/object_e.h"

namespace {

// The editable values, in the order the editor and entity blocks list them.
constexpr evalue_def_t volume_def =
    evalue_member("volume", evalue_real, sizeof(float), evalue_bind<&object_e::volume>, nullptr, "1.0");
constexpr evalue_def_t position_def =
    evalue_member("position", evalue_point, sizeof(vec3_t), evalue_bind<&object_e::position>, &volume_def, "0 0 0");
constexpr evalue_def_t rotation_def =
    evalue_member("rotation", evalue_point, sizeof(vec3_t), evalue_bind<&object_e::rotation>, &position_def, "0 0 0");
constexpr evalue_def_t useable_def =
    evalue_member("useable", evalue_bool, sizeof(bool), evalue_bind<&object_e::useable>, &rotation_def, "false");

}  // namespace

const level_list_t object_e::object_init_list(&entity_t::init_list, {-10, 10});

object_e::object_e()
{
    entity_flags |= 1u;
    type_flags |= 2u;
    reset_state();
}

const evalue_def_t* object_e::get_evalue_root() const { return &useable_def; }

int object_e::init(int phase)
{
    if (phase == -10)
        previous_position = position;
    return entity_t::init(phase);
}

void object_e::reset_state()
{
    previous_position = vec3_t{};
    position = vec3_t{};
    orientation = vec3_t{};
    state_extra = vec3_t{};
    state_word = 0;
    rotation = vec3_t{0.0f, 1.0f, 0.0f};
}

void object_e::set_local_offset(const axial_t& offset)
{
    local_offset_ = offset;
    offset_pending_ = true;
}

void object_e::get_world_axial(mat4_t& matrix, mat4_t& inverse)
{
    axial_t frame;
    frame.translate(position);
    frame.rotate(orientation);
    if (offset_pending_) {
        frame.mult(local_offset_);
        local_offset_.identity();
        offset_pending_ = false;
    }
    matrix = frame.matrix;
    inverse = frame.inverse;
}

#include <algorithm>
#include <cstring>

#include "engine/log.h"
#include "instance.h"

namespace {

// The turn of `track` at `frame`: between two keys the turn between theirs, before the first and after
// the last the nearest key's.
quat_t sample(const psm_anim_track_t& track, float frame)
{
    const std::vector<psm_anim_key_t>& keys = track.keys;
    if (frame <= keys.front().frame)
        return keys.front().turn;
    for (size_t i = 1; i < keys.size(); ++i)
        if (frame < keys[i].frame) {
            const float t = (frame - keys[i - 1].frame) / (keys[i].frame - keys[i - 1].frame);
            return quat_t::slerp(keys[i - 1].turn, keys[i].turn, t);
        }
    return keys.back().turn;
}

}  // namespace

quat_t psm_t::animated_turn(int bone) const
{
    // Lower priorities first; each descriptor turns the bone toward its animation's pose by its weight,
    // so one of weight 1 and the highest priority poses it alone.
    std::vector<const psm_adesc_t*> order;
    for (const psm_adesc_t& adesc : adescs)
        order.push_back(&adesc);
    std::stable_sort(order.begin(), order.end(),
                     [](const psm_adesc_t* a, const psm_adesc_t* b) { return a->priority < b->priority; });
    quat_t turn;
    for (const psm_adesc_t* adesc : order) {
        const psm_anim_data_t& anim = model->anims[static_cast<size_t>(adesc->anim)];
        for (const psm_anim_track_t& track : anim.tracks) {
            if (track.bone != bone)
                continue;
            const float frame = anim.frames > 1 ? float(adesc->time / anim.length) * float(anim.frames - 1) : 0.0f;
            turn = quat_t::slerp(turn, sample(track, frame), std::clamp(adesc->weight, 0.0f, 1.0f));
        }
    }
    return turn;
}

mat4_t psm_t::posed_bone(int bone) const
{
    // Walk up to the root, then compose downwards: parents always have lower indices.
    std::vector<int> chain;
    for (int b = bone; b >= 0; b = model->bone_records[static_cast<size_t>(b)].parent)
        chain.push_back(b);
    mat4_t global = mat4_t::identity();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const psm_bone_pose_t& pose = poses[static_cast<size_t>(*it)];
        mat4_t offset, rotation, animated;
        matrix_set_translate(offset, pose.ext_pos);
        matrix_set_quat(rotation, pose.ext_rot);
        matrix_set_quat(animated, animated_turn(*it));
        global = global * offset * model->bone_records[static_cast<size_t>(*it)].local * animated * rotation;
    }
    return global;
}

ENGINE_API int psm_bone_find_global(const psm_t* model, const char* name)
{
    const psm_t* const instance = psm_instance_lookup(model, "psm_bone_find_global");
    if (!instance || !name)
        return -1;
    for (int i = 0; i < instance->model->bone_count; ++i)
        if (std::strcmp(instance->model->bones[i].name, name) == 0)
            return i;
    return -1;
}

ENGINE_API bool psm_bone_get_matrix(const psm_t* model, int bone, mat4_t* out)
{
    if (!out)
        return false;
    *out = mat4_t::identity();
    const psm_t* const instance = psm_instance_lookup(model, "psm_bone_get_matrix");
    if (!instance || !instance->check_bone(bone, "psm_bone_get_matrix"))
        return false;
    *out = instance->posed_bone(bone);
    return true;
}

ENGINE_API bool psm_bone_comp_inv_matrix(const psm_t* model, int bone, mat4_t* out)
{
    if (!out)
        return false;
    *out = mat4_t::identity();
    const psm_t* const instance = psm_instance_lookup(model, "psm_bone_comp_inv_matrix");
    if (!instance || !instance->check_bone(bone, "psm_bone_comp_inv_matrix"))
        return false;
    if (matrix_inverse(*out, instance->posed_bone(bone)))
        return true;
    error("psm_bone_comp_inv_matrix: bone %d of %s has a singular frame", bone, instance->model->path);
    return false;
}

ENGINE_API bool psm_bone_set_ext_pos(psm_t* model, int bone, const vec3_t* offset)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_bone_set_ext_pos");
    if (!instance || !offset || !instance->check_bone(bone, "psm_bone_set_ext_pos"))
        return false;
    instance->poses[static_cast<size_t>(bone)].ext_pos = *offset;
    return true;
}

ENGINE_API bool psm_bone_set_ext_rot(psm_t* model, int bone, const quat_t* rotation)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_bone_set_ext_rot");
    if (!instance || !rotation || !instance->check_bone(bone, "psm_bone_set_ext_rot"))
        return false;
    instance->poses[static_cast<size_t>(bone)].ext_rot = *rotation;
    return true;
}

ENGINE_API const vec3_t* psm_update_gdata(psm_t* model, int part, int* out_count)
{
    if (out_count)
        *out_count = 0;
    psm_t* const instance = psm_instance_lookup(model, "psm_update_gdata");
    if (!instance || !instance->check_part(part, "psm_update_gdata"))
        return nullptr;
    const psm_part_t& record = instance->model->parts[part];
    std::vector<vec3_t>& posed = instance->posed_positions[static_cast<size_t>(part)];
    posed.assign(record.positions, record.positions + record.vertex_count);
    if (record.bone >= 0) {
        // A part follows its bone: from the bone's rest frame to its posed frame.
        mat4_t rest_inverse;
        if (matrix_inverse(rest_inverse, instance->model->bones[record.bone].global)) {
            const mat4_t move = instance->posed_bone(record.bone) * rest_inverse;
            for (vec3_t& p : posed)
                p = mult_point_matrix_fast(move, p);
        } else {
            error("psm_update_gdata: bone %d of %s has a singular frame; part %s left unposed", record.bone,
                  instance->model->path, record.name);
        }
    }
    if (out_count)
        *out_count = record.vertex_count;
    return posed.data();
}

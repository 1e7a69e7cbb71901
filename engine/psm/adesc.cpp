#include <algorithm>
#include <cmath>

#include "engine/log.h"
#include "instance.h"

namespace {

// Where frame `frame` lies in seconds: frame 0 at 0, the last frame at the length.
double frame_time(const psm_anim_data_t& anim, int frame)
{
    if (frame >= anim.frames - 1)
        return anim.length;
    return anim.frames > 1 ? double(frame) * anim.length / (anim.frames - 1) : 0.0;
}

// The time a descriptor stops at.
double stop_time(const psm_anim_data_t& anim, const psm_adesc_t& adesc)
{
    return adesc.stop_frame < 0 ? double(anim.length) : frame_time(anim, adesc.stop_frame);
}

// Advances one descriptor; true while it runs.
bool advance(const psm_anim_data_t& anim, psm_adesc_t& adesc, float seconds)
{
    if (adesc.stopped) {
        adesc.rtime = seconds;
        return false;
    }
    adesc.rtime = 0.0f;
    adesc.time += seconds;
    if (adesc.looping) {
        adesc.time = std::fmod(adesc.time, double(anim.length));
        if (adesc.time < 0)
            adesc.time += anim.length;
        return true;
    }
    adesc.time = std::max(adesc.time, 0.0);
    const double end = stop_time(anim, adesc);
    if (adesc.time < end)
        return true;
    adesc.rtime = static_cast<float>(adesc.time - end);
    adesc.time = end;
    adesc.stopped = true;
    return false;
}

// The instance and descriptor a call names, with the descriptor's animation; false after an error.
struct adesc_target_t {
    psm_t* instance = nullptr;
    psm_adesc_t* adesc = nullptr;
    const psm_anim_data_t* anim = nullptr;

    adesc_target_t(const psm_t* model, int handle, const char* caller)
    {
        instance = psm_instance_lookup(model, caller);
        adesc = instance ? instance->find_adesc(handle, caller) : nullptr;
        if (adesc)
            anim = &instance->model->anims[static_cast<size_t>(adesc->anim)];
    }
    explicit operator bool() const { return adesc != nullptr; }
};

}  // namespace

ENGINE_API int psm_adesc_create(psm_t* model, int anim, int start_frame, unsigned flags, int priority)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_adesc_create");
    if (!instance)
        return 0;
    if (anim < 0 || static_cast<size_t>(anim) >= instance->model->anims.size()) {
        error("psm_adesc_create: no animation %d in %s", anim, instance->model->path);
        return 0;
    }
    const psm_anim_data_t& data = instance->model->anims[static_cast<size_t>(anim)];
    psm_adesc_t adesc;
    adesc.handle = instance->next_adesc++;
    adesc.anim = anim;
    adesc.flags = flags;
    adesc.priority = priority;
    adesc.time = frame_time(data, std::clamp(start_frame, 0, data.frames - 1));
    instance->adescs.push_back(adesc);
    return adesc.handle;
}

ENGINE_API void psm_adesc_remove(psm_t* model, int adesc)
{
    if (adesc_target_t target{model, adesc, "psm_adesc_remove"}) {
        auto& list = target.instance->adescs;
        list.erase(list.begin() + (target.adesc - list.data()));
    }
}

ENGINE_API bool psm_adesc_add_time(psm_t* model, int adesc, float seconds)
{
    adesc_target_t target{model, adesc, "psm_adesc_add_time"};
    if (!target)
        return false;
    if (!std::isfinite(seconds)) {
        error("psm_adesc_add_time: %g is not a time", double(seconds));
        return !target.adesc->stopped;
    }
    return advance(*target.anim, *target.adesc, seconds);
}

ENGINE_API void psm_add_time(psm_t* model, float seconds)
{
    psm_t* const instance = psm_instance_lookup(model, "psm_add_time");
    if (!instance || instance->is_static)
        return;
    if (!std::isfinite(seconds)) {
        error("psm_add_time: %g is not a time", double(seconds));
        return;
    }
    // An instance of a description: its behaviours advance the descriptors they play.
    if (instance->behavior) {
        psm_behavior_add_time(*instance, seconds);
        return;
    }
    for (psm_adesc_t& adesc : instance->adescs)
        if (!adesc.stopped)
            advance(instance->model->anims[static_cast<size_t>(adesc.anim)], adesc, seconds);
}

ENGINE_API float psm_adesc_get_rtime(const psm_t* model, int adesc)
{
    const adesc_target_t target{model, adesc, "psm_adesc_get_rtime"};
    return target ? target.adesc->rtime : 0.0f;
}

ENGINE_API float psm_adesc_get_nw_frame(const psm_t* model, int adesc)
{
    const adesc_target_t target{model, adesc, "psm_adesc_get_nw_frame"};
    if (!target || target.anim->frames < 2)
        return 0.0f;
    return static_cast<float>(target.adesc->time * (target.anim->frames - 1) / target.anim->length);
}

ENGINE_API void psm_adesc_set_stop_frame(psm_t* model, int adesc, int frame)
{
    const adesc_target_t target{model, adesc, "psm_adesc_set_stop_frame"};
    if (!target)
        return;
    if (frame < -1 || frame >= target.anim->frames) {
        error("psm_adesc_set_stop_frame: no frame %d in an animation of %d frames", frame, target.anim->frames);
        return;
    }
    target.adesc->stop_frame = frame;
}

ENGINE_API void psm_adesc_loop_forever(psm_t* model, int adesc)
{
    if (const adesc_target_t target{model, adesc, "psm_adesc_loop_forever"}) {
        target.adesc->looping = true;
        target.adesc->stopped = false;
    }
}

ENGINE_API void psm_adesc_reset_anim(psm_t* model, int adesc, int frame)
{
    if (const adesc_target_t target{model, adesc, "psm_adesc_reset_anim"}) {
        target.adesc->time = frame_time(*target.anim, std::clamp(frame, 0, target.anim->frames - 1));
        target.adesc->rtime = 0.0f;
    }
}

ENGINE_API void psm_adesc_unstop(psm_t* model, int adesc)
{
    if (const adesc_target_t target{model, adesc, "psm_adesc_unstop"})
        target.adesc->stopped = false;
}

ENGINE_API bool psm_adesc_stopped(const psm_t* model, int adesc)
{
    const adesc_target_t target{model, adesc, "psm_adesc_stopped"};
    return target && target.adesc->stopped;
}

ENGINE_API void psm_adesc_set_cur_weight(psm_t* model, int adesc, float weight)
{
    if (const adesc_target_t target{model, adesc, "psm_adesc_set_cur_weight"})
        target.adesc->weight = weight;
}

ENGINE_API float psm_adesc_get_cur_weight(const psm_t* model, int adesc)
{
    const adesc_target_t target{model, adesc, "psm_adesc_get_cur_weight"};
    return target ? target.adesc->weight : 0.0f;
}

ENGINE_API void psm_adesc_set_wspeeds(psm_t* model, int adesc, float rise, float fall)
{
    if (const adesc_target_t target{model, adesc, "psm_adesc_set_wspeeds"}) {
        target.adesc->wspeeds[0] = rise;
        target.adesc->wspeeds[1] = fall;
    }
}

ENGINE_API float psm_adesc_get_wspeed(const psm_t* model, int adesc, int which)
{
    const adesc_target_t target{model, adesc, "psm_adesc_get_wspeed"};
    if (!target)
        return 0.0f;
    if (which != 0 && which != 1) {
        error("psm_adesc_get_wspeed: %d is neither 0 (rise) nor 1 (fall)", which);
        return 0.0f;
    }
    return target.adesc->wspeeds[which];
}

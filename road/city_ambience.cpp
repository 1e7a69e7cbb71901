#include "road/city_ambience.h"

#include <cmath>
#include <cstdio>

#include "engine/check.h"
#include "engine/snd.h"
#include "common/engine_api.h"
#include "road/saved_index.h"

void city_ambience_t::load_sounds()
{
    char path[64];
    for (int32_t i = 0; i < game_ctrl_ambient_loops; ++i) {
        std::snprintf(path, sizeof path, "/sounds/ambient/city_trafficloop0%d.ogg", i + 1);
        if (!loops_[i])
            loops_[i] = api::snd_new(path, 12, 10);
    }
}

void city_ambience_t::free_sounds()
{
    for (snd_sound_t*& loop : loops_) {
        if (loop)
            api::snd_delete(loop);
        loop = nullptr;
    }
}

void city_ambience_t::update(const int32_t city)
{
    const bool stop = city == -1 || current_ < -1 || current_ >= game_ctrl_ambient_loops;
    if (stop && current_ != -1) {
        if (is_loop(current_) && loops_[current_] && api::snd_playing(loops_[current_]))
            api::snd_stop(loops_[current_]);
        current_ = -1;
    }
    if (city == -1 || current_ != -1)
        return;
    current_ = static_cast<int32_t>(std::lround(api::sys_rand() * 4.0f));
    kv_assert(is_loop(current_));
    if (loops_[current_])
        api::snd_play(loops_[current_]);
}

void city_ambience_t::after_load()
{
    if (is_loop(current_) && loops_[current_])
        api::snd_play(loops_[current_]);
}

void city_ambience_t::restore(const int32_t loop)
{
    current_ = saved_index_or_none(loop, game_ctrl_ambient_loops, "city traffic loop");
}

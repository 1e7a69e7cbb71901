#include <algorithm>

#include "common/engine_api.h"
#include "road/game_ctrl.h"

namespace {

// Reports a semaphore id outside the array; true when `id` names one.
bool semaphore_ok(const int32_t id, const int32_t count)
{
    if (id >= 0 && id < count)
        return true;
    api::error("Wrong semaphore index");
    return false;
}

}  // namespace

int32_t game_ctrl_e::get_semaphore(const int32_t id, vec3_t* out_position)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return map_semaphore_free;
    if (out_position)
        *out_position = semaphores[id].position;
    return semaphores[id].reservation;
}

uint32_t game_ctrl_e::set_semaphore(const int32_t id, const int32_t value, uint32_t* out_wait)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return 0;
    semaphores[id].reservation = value;
    const auto wait = static_cast<uint32_t>(semaphores[id].wait);
    if (out_wait)
        *out_wait = wait;
    return wait;
}

int32_t game_ctrl_e::get_semaphore_light(const int32_t id)
{
    if (!semaphores || !semaphore_ok(id, semaphore_count))
        return 0;
    return semaphores[id].light;
}

#include "truck_tracker.h"

#include <limits>

#include "engine/psm.h"
#include "engine/psm_record.h"

truck_tracker_t::truck_tracker_t(const std::string& make, const vec3_t& start)
    : base_prefix_("/makes/truck/" + make + "/acc/base/")
{
    pose_.position = start;
}

bool truck_tracker_t::update()
{
    const std::vector<psm_draw_record_t>& records = psm_draw_records();
    int newest = -1;
    for (const psm_draw_record_t& record : records)
        newest = std::max(newest, record.frame);
    if (newest < 0 || newest == last_frame_)
        return false;
    const psm_draw_record_t* best = nullptr;
    float best_distance = std::numeric_limits<float>::max();
    for (const psm_draw_record_t& record : records) {
        if (record.frame != newest)
            continue;
        const psm_info_t* const info = psm_get_info(const_cast<psm_t*>(record.model));
        if (!info || !info->path || std::string(info->path).rfind(base_prefix_, 0) != 0)
            continue;
        // Column vectors, stored row by row: the translation is the last column.
        const vec3_t at{record.world[3], record.world[7], record.world[11]};
        const float distance = (at - pose_.position).length_sq();
        if (distance < best_distance) {
            best_distance = distance;
            best = &record;
        }
    }
    if (!best)
        return false;
    last_frame_ = newest;
    pose_.position = {best->world[3], best->world[7], best->world[11]};
    pose_.forward = vec3_t{-best->world[2], -best->world[6], -best->world[10]}.normalized();
    return true;
}

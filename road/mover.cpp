#include "road/mover.h"

#include <algorithm>

#include "engine/geometry.h"

namespace {

// Seconds to the milliseconds kept in the progress word.
constexpr float pause_scale = 999.99994f;

// The pause at each end of the path, in seconds (bits 16-30 of the fourth parameter).
int32_t pause_seconds(const map_miscitem_t& item) { return (item.params[3] >> 16) & 0x7FFF; }

// Progress per second along `segment`. A curve segment of zero length, which would give an infinite
// rate, holds the mover still.
float segment_rate(const map_miscitem_t& item, const int32_t segment)
{
    if ((item.flags & map_misc_curve) == 0)
        return static_cast<float>(item.params[segment]) * 0.000001f;
    if (item.params[segment] == 0)
        return 0.0f;
    return static_cast<float>(item.params[3] & 0xFFFF) / static_cast<float>(item.params[segment]);
}

// Starts the pause at an end of the path when one is set; true when it started.
bool start_pause(map_miscitem_t& item, const int32_t segment)
{
    const int32_t pause = pause_seconds(item);
    if (pause == 0)
        return false;
    const uint32_t milliseconds = static_cast<uint32_t>(static_cast<float>(pause) * pause_scale);
    item.progress = (milliseconds & mover_progress_mask) | static_cast<uint32_t>(segment) << mover_segment_shift;
    item.flags |= map_misc_pausing;
    return true;
}

}  // namespace

mover_step_t mover_advance(map_miscitem_t& item, const float dt)
{
    mover_step_t step;
    const int32_t segments = static_cast<int32_t>(item.flags & map_misc_segments_mask);
    if (segments == 0)
        return step;
    int32_t k = static_cast<int32_t>(item.progress >> mover_segment_shift);
    // A segment beyond the path (a damaged record) starts the path again rather than reading past the
    // four waypoints.
    if (k >= segments)
        k = 0;
    const bool backwards_before = (item.flags & map_misc_backwards) != 0;
    float p = static_cast<float>(item.progress & mover_progress_mask) * 0.000001f;
    if (item.flags & map_misc_pausing) {
        const float remaining = static_cast<float>(item.progress & mover_progress_mask) * 0.001f - dt;
        if (remaining > 0.0f) {
            const uint32_t milliseconds = static_cast<uint32_t>(remaining * pause_scale);
            item.progress = (milliseconds & mover_progress_mask) | static_cast<uint32_t>(k) << mover_segment_shift;
            return step;
        }
        item.flags &= ~static_cast<uint32_t>(map_misc_pausing);
        p = backwards_before ? 1.0f : 0.0f;
    }

    const float rate = segment_rate(item, k);
    bool paused = false;
    if ((item.flags & map_misc_backwards) == 0) {
        p += rate * dt;
        if (p > 1.0f) {
            ++k;
            p -= 1.0f;
            if (k >= segments) {
                if (item.flags & map_misc_ping_pong) {
                    k = segments - 1;
                    item.flags |= map_misc_backwards;
                    p = 1.0f;
                } else {
                    k = 0;
                }
                paused = start_pause(item, k);
            }
        }
    } else {
        p -= rate * dt;
        if (p < 0.0f) {
            --k;
            if (k < 0) {
                k = 0;
                item.flags &= ~static_cast<uint32_t>(map_misc_backwards);
                p = 0.0f;
                paused = start_pause(item, k);
            } else {
                p += 1.0f;
            }
        }
    }
    if (!paused) {
        const uint32_t millionths = static_cast<uint32_t>(static_cast<int64_t>(p * 1000000.0f)) & mover_progress_mask;
        item.progress = millionths | static_cast<uint32_t>(k) << mover_segment_shift;
    }
    step.moved = true;
    step.segment = k;
    step.progress = p;
    return step;
}

mover_pose_t mover_pose(const map_miscitem_t& item, const int32_t segment, const float progress)
{
    mover_pose_t pose;
    const vec3_t& from = item.points[segment];
    const vec3_t& to = item.points[segment + 1];
    const bool backwards = (item.flags & map_misc_backwards) != 0;
    vec3_t facing;
    if (item.flags & map_misc_curve) {
        const float scale = static_cast<float>(item.params[segment]) / 3.0f;
        smooth_curve(from, item.tangents[segment] * scale, to, item.tangents[segment + 1] * scale, progress,
                     pose.position, &facing);
    } else {
        pose.position = from + (to - from) * progress;
        facing = to - from;
    }
    if (item.flags & map_misc_orient)
        pose.rotation.set_cartes(backwards ? -facing : facing);
    return pose;
}

mover_pose_t mover_pose_now(const map_miscitem_t& item)
{
    const int32_t segments = static_cast<int32_t>(item.flags & map_misc_segments_mask);
    auto segment = static_cast<int32_t>(item.progress >> mover_segment_shift);
    if (segment >= segments)
        segment = 0;
    float progress = static_cast<float>(item.progress & mover_progress_mask) * 0.000001f;
    if (item.flags & map_misc_pausing)
        progress = (item.flags & map_misc_backwards) ? 1.0f : 0.0f;
    return mover_pose(item, segment, std::min(progress, 1.0f));
}

#include "frame/client_proc_profile.h"

#include <algorithm>
#include <vector>

#include "engine/entity.h"
#include "frame/client_proc.h"

void draw_profile_t::offer(entity_t* entity, double microseconds, bool pre_draw)
{
    total_ += microseconds;
    if (microseconds < 100.0)
        return;
    if (count_ < capacity) {
        records_[count_++] = record_t{entity, microseconds, pre_draw};
    } else if (microseconds > longest_) {
        record_t* shortest = std::min_element(records_, records_ + count_, [](const record_t& a, const record_t& b) {
            return a.microseconds < b.microseconds;
        });
        *shortest = record_t{entity, microseconds, pre_draw};
    }
    longest_ = std::max(longest_, microseconds);
}

void draw_profile_t::report(const client_proc_t& process, int pre_draws, int draws) const
{
    process.cl_message("TOP [PRE(%d)]DRAWS(%d) [%.1f ms total]", pre_draws, draws, total_ * 0.001);
    std::vector<record_t> sorted(records_, records_ + count_);
    std::sort(sorted.begin(), sorted.end(),
              [](const record_t& a, const record_t& b) { return a.microseconds > b.microseconds; });
    for (size_t i = 0; i < sorted.size(); ++i)
        process.cl_message("%-20s [item %p] time %.1f ms (%s)", sorted[i].entity->name(),
                           static_cast<void*>(sorted[i].entity), sorted[i].microseconds * 0.001,
                           sorted[i].pre_draw ? "pre_draw" : "draw");
}

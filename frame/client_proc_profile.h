#pragma once
#include <cstdint>

class entity_t;
class client_proc_t;

// The slowest draw calls of one frame: calls of at least 100 microseconds are offered; the table
// keeps up to 10, and once full a call longer than the longest seen replaces the shortest.
class draw_profile_t {
public:
    static constexpr int capacity = 10;

    // Times one call of `entity` (pre-draw or draw) and offers it to the table.
    void offer(entity_t* entity, double microseconds, bool pre_draw);
    // Reports the totals and the table, longest first, through `process`.
    void report(const client_proc_t& process, int pre_draws, int draws) const;

    int count() const { return count_; }
    double total_microseconds() const { return total_; }

private:
    struct record_t {
        entity_t* entity;
        double microseconds;
        bool pre_draw;
    };
    record_t records_[capacity] = {};
    int count_ = 0;
    double longest_ = 0.0;
    double total_ = 0.0;
};

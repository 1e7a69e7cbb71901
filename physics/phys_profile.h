#pragma once
#include <cstdint>

// Where a physics process spent its time since the last step's report (profiling cycles) and how many
// queries its callers made.
struct phys_profile_t {
    uint64_t detect_step = 0;
    uint64_t detect_caller = 0;
    uint64_t ray = 0;
    uint64_t build_step = 0;
    uint64_t build_caller = 0;
    uint64_t integrate = 0;
    uint64_t callback = 0;
    int caller_queries = 0;
};

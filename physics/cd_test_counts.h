#pragma once
#include <cstdint>

// How many collision tests the narrow phase made, shared by every physics process; each step's
// profile reads and resets them.
struct cd_test_counts_t {
    uint32_t pair_tests = 0;
    uint32_t segment_tests = 0;
    uint32_t bv_tests = 0;
    uint32_t primitive_tests = 0;
};

// The counters of the module.
cd_test_counts_t& cd_test_counts();

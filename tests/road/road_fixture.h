#pragma once
#include <gtest/gtest.h>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"

// A reset engine with the module's engine pointers bound, as the road code runs in a game.
class road_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }
};

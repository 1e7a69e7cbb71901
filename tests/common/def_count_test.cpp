#include "common/def_count.h"

#include <gtest/gtest.h>

#include "engine/def_pool.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"

namespace {

class def_count_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
    }
};

TEST_F(def_count_test, a_count_is_capped_by_the_values_its_block_holds)
{
    struct case_t {
        const char* text;
        int count;
        const char* message;  // "" when none is wanted
    };
    const case_t cases[] = {
        {"colors { color_count = 2; color0 = 1; color1 = 2 }", 2, ""},
        {"colors { color_count = 1000000000; color0 = 1; color1 = 2 }", 2,
         "/defs/car_colors.def: color_count is 1000000000, but the block holds 3 values; 2 entries are read"},
        {"colors { color_count = -5; color0 = 1 }", 0, "/defs/car_colors.def: color_count is -5; no entry is read"},
        {"colors { color0 = 1 }", 0, ""},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.text);
        log_clear_capture();
        const auto pool = def_pool_t::parse(c.text, "/defs/car_colors.def");
        ASSERT_TRUE(pool);
        EXPECT_EQ(def_count(*pool->find("colors"), "color_count", "/defs/car_colors.def"), c.count);
        if (*c.message)
            EXPECT_EQ(engine_log_matching(c.message).size(), 1u);
        else
            EXPECT_TRUE(engine_log_matching("color_count").empty());
    }
}

}  // namespace

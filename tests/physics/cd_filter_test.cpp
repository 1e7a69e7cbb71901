#include <gtest/gtest.h>

#include "physics/cd_filter.h"

namespace {

int object_a = 0;
int object_b = 0;

TEST(cd_filter, answers_the_default_without_rules_or_exceptions)
{
    cd_filter_t filter;
    EXPECT_EQ(filter.query(&object_a, 0xff, 0xff), 1);
    filter.clear(0);
    EXPECT_EQ(filter.query(&object_a, 0xff, 0xff), 0);
}

TEST(cd_filter, rule_with_no_masks_matches_every_object)
{
    cd_filter_t filter;
    filter.add_rule(0, 0, true);
    EXPECT_EQ(filter.query(nullptr, 0, 0), 0);
    EXPECT_EQ(filter.query(&object_a, 0x1234, 0x8000), 0);
}

TEST(cd_filter, type_mask_needs_every_bit)
{
    cd_filter_t filter;
    filter.add_rule(0x6, 0, true);
    EXPECT_EQ(filter.query(&object_a, 0x2, 0), 1);
    EXPECT_EQ(filter.query(&object_a, 0x7, 0), 0);
}

// One row per group mode: the mask 0b0110 against object group bits.
struct group_case_t {
    uint32_t mode;
    uint32_t group_bits;
    bool matches;
};

TEST(cd_filter, group_modes_compare_mask_and_object_groups)
{
    const group_case_t cases[] = {
        {0, 0b0010, true},
        {0, 0b0110, true},
        {0, 0b1010, false},
        {1, 0b0110, true},
        {1, 0b1110, true},
        {1, 0b0010, false},
        {2, 0b0011, true},
        {2, 0b1001, false},
        {3, 0b1001, true},
        {3, 0b0011, false},
        {7, 0b0110, false},
        // A non-zero group mask never matches an object without groups, whatever the mode.
        {0, 0, false},
        {1, 0, false},
        {2, 0, false},
        {3, 0, false},
    };
    for (const auto& c : cases) {
        cd_filter_t filter;
        filter.add_rule(0, 0b0110, 0, c.mode, true);
        EXPECT_EQ(filter.query(&object_a, 0, c.group_bits), c.matches ? 0 : 1)
            << "mode " << c.mode << " groups " << c.group_bits;
    }
}

TEST(cd_filter, first_matching_rule_answers_and_front_insertion_goes_first)
{
    cd_filter_t filter;
    filter.add_rule(0x1, 0, 1, 0, true);
    filter.add_rule(0x1, 0, 0, 0, true);
    EXPECT_EQ(filter.query(&object_a, 0x1, 0), 1);
    filter.add_rule(0x1, 0, false);  // in front, answers 0
    EXPECT_EQ(filter.query(&object_a, 0x1, 0), 0);
    EXPECT_EQ(filter.rule_count(), 3);
}

TEST(cd_filter, exception_wins_over_rules_for_its_object_only)
{
    cd_filter_t filter;
    filter.add_rule(0, 0, true);
    filter.add_exception(&object_a, 1);
    EXPECT_EQ(filter.query(&object_a, 0, 0), 1);
    EXPECT_EQ(filter.query(&object_b, 0, 0), 0);
}

TEST(cd_filter, vehicle_setup_ignores_objects_with_any_listed_type_bit)
{
    cd_filter_t filter;
    filter.clear(1);
    for (const uint32_t type : {0x2u, 0x80u, 0x100u})
        filter.add_rule(type, 0, false);
    EXPECT_EQ(filter.query(&object_a, 0x82, 0), 0);
    EXPECT_EQ(filter.query(&object_a, 0x100, 0), 0);
    EXPECT_EQ(filter.query(&object_a, 0x1, 0), 1);
}

TEST(cd_filter, clear_drops_rules_and_exceptions)
{
    cd_filter_t filter;
    filter.add_rule(0, 0, true);
    filter.add_exception(&object_a, 0);
    filter.clear(1);
    EXPECT_EQ(filter.rule_count(), 0);
    EXPECT_EQ(filter.exception_count(), 0);
    EXPECT_EQ(filter.query(&object_a, 0, 0), 1);
}

}  // namespace

#include "road/noise.h"

#include <cmath>
#include <vector>

#include "road_fixture.h"

namespace {

using noise_test = road_test_t;

TEST_F(noise_test, integer_noise_wraps_modulo_two_to_the_thirty_second)
{
    EXPECT_NEAR(noise_hash(0, 0), -0.28179098f, 1e-7f);
    for (const int32_t x : {-7, 0, 3, 100000, 2147483647})
        for (const int32_t y : {-1, 0, 9, 65536}) {
            const float value = noise_hash(x, y);
            EXPECT_GT(value, -1.0f);
            EXPECT_LE(value, 1.0f);
        }
}

TEST_F(noise_test, the_value_at_integer_points_is_the_sum_of_the_smoothed_octaves)
{
    for (const int32_t i : {0, 5, 17}) {
        const float expected = noise_smooth(i, 3) + 0.25f * noise_smooth(2 * i, 6) + 0.0625f * noise_smooth(4 * i, 12);
        EXPECT_FLOAT_EQ(noise_value(static_cast<float>(i), 3.0f), expected);
    }
    EXPECT_FLOAT_EQ(noise_interp(2.0f, 6.0f, 0.5f), 4.0f);
    EXPECT_FLOAT_EQ(noise_interp(2.0f, 6.0f, 1.0f), 6.0f);
}

TEST_F(noise_test, lookups_wrap_into_the_tables)
{
    ASSERT_TRUE(noise_tables_build());
    EXPECT_EQ(noise_sample(4096, 32), noise_sample(0, 0));
    EXPECT_EQ(noise_sample(8191, 63), noise_sample(4095, 31));
    EXPECT_EQ(noise_sample(-1, -1), noise_sample(4095, 31));
    EXPECT_EQ(noise_sample(12, 7), noise_value(12.0f, 7.0f));
    EXPECT_EQ(noise_sample2(256.0f, -1.0f), noise_table2[255]);
    EXPECT_EQ(noise_sample2(3.4f, 4.6f), noise_value(1.5f, 2.5f));
    noise_tables_free();
}

TEST_F(noise_test, tables_are_shared_by_their_users_and_rebuilt_the_same)
{
    ASSERT_TRUE(noise_tables_build());
    const std::vector<float> first(noise_table, noise_table + noise_table_rows * noise_table_columns);
    const float* const shared = noise_table;
    ASSERT_TRUE(noise_tables_build());
    EXPECT_EQ(noise_table, shared);
    EXPECT_EQ(noise_users, 2);
    noise_tables_free();
    EXPECT_NE(noise_table, nullptr);
    noise_tables_free();
    EXPECT_EQ(noise_table, nullptr);
    EXPECT_EQ(noise_table2, nullptr);
    noise_tables_free();
    EXPECT_EQ(noise_users, 0);

    ASSERT_TRUE(noise_tables_build());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), noise_table));
    noise_tables_free();
}

}  // namespace

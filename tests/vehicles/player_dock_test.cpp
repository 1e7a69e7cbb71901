#include <gtest/gtest.h>

#include <vector>

#include "player_fixture.h"

namespace {

using player_dock_test = player_test_t;

TEST_F(player_dock_test, the_truck_tells_the_economy_once_when_it_enters_and_once_when_it_leaves_a_docks_yard)
{
    player();
    frames(3);
    EXPECT_TRUE(economy_->docks_told.empty()) << "outside every yard there is nothing to tell";
    economy_->dock_here = 7;
    frames(3);
    EXPECT_EQ(economy_->docks_told, std::vector<int32_t>({7}));
    economy_->dock_here = -1;
    frames(3);
    EXPECT_EQ(economy_->docks_told, std::vector<int32_t>({7, -1}));
}

}  // namespace

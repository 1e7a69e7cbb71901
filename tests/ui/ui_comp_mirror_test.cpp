#include "ui/components/ui_comp_mirror.h"

#include <gtest/gtest.h>

#include "common/world_view.h"
#include "ui_fixture.h"

namespace {

// A world that notes whether the mirror flag was up while it drew its view.
class probe_world_t : public world_view_t {
public:
    void draw_view() override { flag_seen.push_back(drawing_secondary_view()); }
    std::vector<bool> flag_seen;
};

class ui_comp_mirror_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.mirror { id = 120; rect = 10 10 200 60; }\n"
                              "    entity ui.comp.mirror { id = 121; rect = 10 10 200 60; mirror_type = trucker; }\n");
        mirror_ = dynamic_cast<ui_comp_mirror_t*>(ui_driver_find(window_, 120));
        ASSERT_NE(mirror_, nullptr);
    }

    c_item_t* window_ = nullptr;
    ui_comp_mirror_t* mirror_ = nullptr;
};

TEST_F(ui_comp_mirror_test, draws_the_shown_world_with_the_mirror_flag_raised_only_meanwhile)
{
    probe_world_t world;
    set_shown_world_view(&world);
    mirror_->draw();
    EXPECT_EQ(world.flag_seen, std::vector<bool>{true});
    EXPECT_FALSE(drawing_secondary_view());

    withdraw_world_view(&world);
    mirror_->draw();  // no world shown: nothing to draw
    EXPECT_EQ(world.flag_seen.size(), 1u);
}

TEST_F(ui_comp_mirror_test, a_hidden_mirror_costs_nothing_and_the_type_picks_the_camera)
{
    probe_world_t world;
    set_shown_world_view(&world);
    mirror_->show(false);
    mirror_->draw();
    EXPECT_TRUE(world.flag_seen.empty());
    withdraw_world_view(&world);
    EXPECT_EQ(mirror_->camera_code, 12);
    auto* trucker = dynamic_cast<ui_comp_mirror_t*>(ui_driver_find(window_, 121));
    ASSERT_NE(trucker, nullptr);
    EXPECT_EQ(trucker->camera_code, 15);
}

}  // namespace

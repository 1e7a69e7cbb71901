#include "game/highscores.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "common/game_context.h"
#include "game_flow_fixture.h"
#include "ui/components/ui_comp_list.h"

namespace {

// The menu world with a scenario whose location is "any" (so its table has no city objects at
// first) and a list to fill.
class highscores_test : public game_flow_test_t {
protected:
    void SetUp() override
    {
        game_flow_test_t::SetUp();
        write_data_file("defs/scenarios/race.def", "scenario { name = Race; location = any; time_limit = 1000; }\n");
        write_data_file("ui/scores.esc", "entity ui.window { rect = 0 1024 768 0;\n"
                                         "    entity ui.comp.common.list { id = 300; rect = 0 400 700 100; }\n}\n");
        start();
        def_obj_t* context = game_context_get();
        ASSERT_NE(context, nullptr);
        context->set_value("scenario_def", "race.def");
        context->set_value("headq_name", "Port Ash");
        window_ = ui_winsert("test", "scores", 0, "/ui/scores.esc", true);
        list_ = dynamic_cast<ui_comp_list_t*>(ui_driver_find(window_, 300));
        ASSERT_NE(list_, nullptr);
    }

    std::string rows() const
    {
        std::string all;
        for (int i = 0; i < list_->count(); ++i)
            all += std::string(list_->item_text_at(i)) + ";";
        return all;
    }

    c_item_t* window_ = nullptr;
    ui_comp_list_t* list_ = nullptr;
};

TEST_F(highscores_test, a_city_missing_from_the_table_gets_the_same_rivals_every_time)
{
    gameover_highscores(*list_, nullptr, false, 0.0f, "");
    ASSERT_EQ(list_->count(), 10) << "the headquarters city is added to the table";
    const std::string first = rows();
    gameover_highscores(*list_, nullptr, false, 0.0f, "");
    EXPECT_EQ(rows(), first) << "the table is read back, enciphered";
    for (int i = 1; i < list_->count(); ++i)
        EXPECT_LE(std::stof(list_->item_text_at(i - 1)), std::stof(list_->item_text_at(i))) << "fastest first";
    EXPECT_GE(std::stof(list_->item_text_at(0)), 1200.0f - 1200.0f * 0.17f);
}

TEST_F(highscores_test, a_won_game_enters_above_an_equal_time_and_the_last_row_drops_out)
{
    gameover_highscores(*list_, nullptr, false, 0.0f, "");
    const float third = std::stof(list_->item_text_at(2));
    const std::string last = list_->item_text_at(9);
    gameover_highscores(*list_, nullptr, true, third, "Our Haulage");
    ASSERT_EQ(list_->count(), 10);
    EXPECT_NE(std::string(list_->item_pml_at(2)).find("Our Haulage"), std::string::npos);
    EXPECT_NE(std::string(list_->item_pml_at(2)).find("FF00FFFF"), std::string::npos) << "the player's row stands out";
    EXPECT_EQ(rows().find(last + ";"), std::string::npos) << "the old tenth row is gone";
}

}  // namespace

namespace {

TEST(highscore_rows, times_that_are_no_number_or_out_of_range_are_read_as_the_slowest)
{
    def_pool_t pool("/highscores/edited.def");
    def_obj_t* city = pool.new_object("port_ash");
    pool.add_object(city);
    const char* const stored[highscore_rows] = {"12.5", "nan", "inf", "-3", "1e30", "-inf", "", "7", "x", "100"};
    for (int i = 0; i < highscore_rows; ++i) {
        city->set_value(("name" + std::to_string(i)).c_str(), "Ann");
        city->set_value(("time" + std::to_string(i)).c_str(), stored[i]);
    }
    const std::vector<highscore_entry_t> rows = highscore_rows_read(*city);
    ASSERT_EQ(rows.size(), size_t{highscore_rows});
    const float expected[highscore_rows] = {12.5f,
                                            highscore_time_limit,
                                            highscore_time_limit,
                                            highscore_time_limit,
                                            highscore_time_limit,
                                            highscore_time_limit,
                                            0.0f,
                                            7.0f,
                                            0.0f,
                                            100.0f};
    for (int i = 0; i < highscore_rows; ++i)
        EXPECT_EQ(rows[static_cast<size_t>(i)].time, expected[i]) << stored[i];
    EXPECT_EQ(rows[0].name, "Ann");
}

}  // namespace

#include <gtest/gtest.h>

#include <string>

#include "engine/log.h"
#include "player_fixture.h"

namespace {

class player_cb_test : public player_test_t {
protected:
    // The voice file the last line asked for: this data root has none, so its name is in the error.
    static bool asked_for(const std::string& prefix)
    {
        return !engine_log_matching("Unable to load def /defs/voices/" + prefix).empty();
    }
};

TEST_F(player_cb_test, the_ai_driver_answers_the_players_answer_by_what_it_asked)
{
    const struct {
        int32_t ai_question;
        int32_t partner;
        int32_t answer_item;  // the player's traffic answer: 1 light, 3 cops
        const char* reply;
    } cases[] = {
        {0, 7, 1, "crazy_reply_"},  // asked about the weather, told about the traffic
        {2, 7, 1, "gen_comment_"},  // commented, told about the traffic
        {1, 7, 1, "gen_reply_"},    // asked about the traffic, told about it
        {0, -1, 3, "gen_reply_"},   // "cops" is always welcome, asked or not
    };
    for (const auto& c : cases) {
        player_cb_radio_t& radio = player()->cb_radio();
        traffic_->ai_driver = 7;
        if (c.partner != -1)
            radio.ask(c.partner, c.ai_question);
        log_clear_capture();
        radio.say(-1, 2, c.answer_item);
        radio.update(3.0f);
        EXPECT_TRUE(asked_for(c.reply)) << c.reply << " for AI question " << c.ai_question;
        EXPECT_EQ(radio.answer(), -1) << "the answer is closed";
        TearDown();
        SetUp();
    }
}

TEST_F(player_cb_test, without_an_ai_truck_a_question_gets_no_answer_and_closes_after_20_s)
{
    player_cb_radio_t& radio = player()->cb_radio();
    radio.say(-1, 0, 0);
    EXPECT_TRUE(asked_for("weather_ask_"));
    EXPECT_EQ(radio.question(), 0);
    EXPECT_EQ(radio.partner(), -1);
    for (int i = 0; i < 19; ++i)
        radio.update(1.0f);
    EXPECT_EQ(radio.question(), 0);
    radio.update(1.5f);
    EXPECT_EQ(radio.question(), -1);
}

TEST_F(player_cb_test, the_main_menu_skips_its_grey_lines_and_a_spoken_line_closes_it_once_keys_are_up)
{
    car_player_e* truck = player();
    truck->cb_radio().toggle_menu();
    truck->input().set_switch_timer(1.0f);
    script("0 impulse 171 1 2\n0.02 impulse 171 0 2\n");
    frames(2);
    EXPECT_EQ(truck->cb_radio().menu(), 0) << "line 2 answers a question nobody asked";
    truck->input().set_switch_timer(1.0f);
    script("0 impulse 170 1 2\n0.04 impulse 170 0 2\n");
    frames(1);
    EXPECT_TRUE(asked_for("weather_ask_"));
    frames(20);
    EXPECT_EQ(truck->cb_radio().menu(), -1);
}

}  // namespace

#include <string>

#include "engine/snd.h"
#include "engine/snd_record.h"
#include "engine_testing/engine_test.h"

namespace {

class snd_test : public engine_test_t {
protected:
    // A sound file of `seconds` at the family's nominal 16000 bytes a second.
    void write_sound(const std::string& path, int seconds)
    {
        write_data_file(path, std::string(static_cast<size_t>(seconds) * 16000, '\0'));
    }

    static snd_state_t state_of(snd_sound_t* sound)
    {
        snd_state_t state;
        EXPECT_TRUE(snd_record_state(sound, state));
        return state;
    }
};

TEST_F(snd_test, a_sound_whose_file_does_not_exist_is_null)
{
    EXPECT_EQ(snd_new("/sounds/ui/click.ogg", 0, 20), nullptr);
    EXPECT_TRUE(engine_log_has("snd_new: cannot open sound \"/sounds/ui/click.ogg\""));
    EXPECT_EQ(snd_new("/../outside.ogg", 0, 20), nullptr);
    EXPECT_EQ(snd_record_live(), 0);
}

TEST_F(snd_test, a_played_sound_plays_until_stopped_or_finished)
{
    write_sound("sounds/ui/click.ogg", 2);
    snd_sound_t* click = snd_new("/sounds/ui/click.ogg", 0, 20);
    ASSERT_NE(click, nullptr);
    EXPECT_FALSE(snd_playing(click));
    snd_play(click);
    EXPECT_TRUE(snd_playing(click));
    snd_stop(click);
    EXPECT_FALSE(snd_playing(click));

    snd_play(click);
    snd_record_finish(click);
    EXPECT_FALSE(snd_playing(click));
    EXPECT_EQ(state_of(click).plays, 2);

    // Time runs the sound out unless it loops.
    snd_play(click);
    snd_record_advance(1.5);
    EXPECT_TRUE(snd_playing(click));
    snd_record_advance(1.0);
    EXPECT_FALSE(snd_playing(click));

    snd_sound_t* loop = snd_new("sounds/ui/click.ogg", snd_looped, 10);
    snd_play(loop);
    snd_record_advance(5.0);
    EXPECT_TRUE(snd_playing(loop));
    EXPECT_EQ(state_of(loop).position_ms, 1000u);

    snd_delete(click);
    snd_state_t gone;
    EXPECT_FALSE(snd_record_state(click, gone));
    snd_delete(click);
    EXPECT_EQ(engine_log_matching("snd_delete: ").size(), 1u);
    EXPECT_EQ(snd_record_live(), 1);
}

TEST_F(snd_test, a_disabled_tag_pauses_its_sounds_without_stopping_them)
{
    write_sound("music/track.ogg", 10);
    snd_sound_t* music = snd_new("/music/track.ogg", snd_streamed, 10);
    ASSERT_NE(music, nullptr);
    snd_play(music);
    snd_disable_tag(10);
    EXPECT_TRUE(snd_playing(music));
    EXPECT_TRUE(state_of(music).silenced);
    snd_record_advance(3.0);
    EXPECT_EQ(snd_get_stream_position(music), 0u);
    snd_enable_tag(10, 0);
    snd_record_advance(3.0);
    EXPECT_EQ(snd_get_stream_position_sec(music), 3);
    EXPECT_FALSE(state_of(music).silenced);
}

TEST_F(snd_test, streams_report_length_and_position_and_clamp_a_seek)
{
    write_sound("music/track.ogg", 90);
    snd_sound_t* music = snd_new("/music/track.ogg", snd_streamed, 10);
    snd_sound_t* effect = snd_new("/music/track.ogg", 0, 10);
    EXPECT_EQ(snd_get_stream_length(music), 90000u);
    EXPECT_EQ(snd_get_stream_length_sec(music), 90);
    EXPECT_EQ(snd_get_stream_length(effect), 0u);
    snd_play(music);
    snd_set_stream_position(music, 61500);
    EXPECT_EQ(snd_get_stream_position_sec(music), 61);
    snd_set_stream_position(music, 500000);
    EXPECT_EQ(snd_get_stream_position(music), 90000u);
}

TEST_F(snd_test, each_handle_keeps_its_placement_volume_rate_and_distances)
{
    write_sound("sounds/ai/horn.ogg", 1);
    snd_def_mm_distances(6000.0f, 35000.0f);
    snd_sound_t* horn = snd_new("/sounds/ai/horn.ogg", snd_positional, 10);
    EXPECT_FLOAT_EQ(state_of(horn).near_distance, 6000.0f);
    EXPECT_FLOAT_EQ(state_of(horn).far_distance, 35000.0f);

    const float at[3] = {1, 2, 3};
    snd_position(horn, at);
    snd_volume(horn, 1.5f);
    snd_rate(horn, 0.5f);
    snd_rate(horn, 0.0f);
    snd_distances(horn, 5000.0f, 10000.0f);
    snd_distances(horn, 5000.0f, 10.0f);
    const snd_state_t state = state_of(horn);
    EXPECT_FLOAT_EQ(state.position[2], 3.0f);
    EXPECT_FLOAT_EQ(state.volume, 1.0f);
    EXPECT_FLOAT_EQ(state.rate, 0.5f);
    EXPECT_TRUE(engine_log_has("snd_rate: 0 is not a positive rate"));
    EXPECT_FLOAT_EQ(state.far_distance, 10000.0f);
    EXPECT_TRUE(engine_log_has("snd_distances: bad range 5000 .. 10"));
}

TEST_F(snd_test, devices_and_the_listener_are_recorded)
{
    EXPECT_EQ(snd_device_count(), 0);
    snd_init_devices();
    ASSERT_EQ(snd_device_count(), 1);
    EXPECT_STREQ(snd_device_get(0)->device_string(), "headless");
    EXPECT_EQ(snd_device_get(1), nullptr);
    snd_restart();
    snd_apply();
    EXPECT_EQ(snd_record_restarts(), 1);
    EXPECT_EQ(snd_record_applies(), 1);
    const float at[3] = {10, 20, 30};
    const float still[3] = {0, 0, 0};
    snd_listener(at, nullptr, still);
    EXPECT_FLOAT_EQ(snd_record_listener().position[1], 20.0f);
    snd_set_current_tag(20);
    EXPECT_EQ(snd_record_current_tag(), 20);
    snd_device_shutdown();
    EXPECT_EQ(snd_device_count(), 0);
}

}  // namespace

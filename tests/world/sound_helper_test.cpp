#include <gtest/gtest.h>

#include "../frame/frame_fixture.h"
#include "world/box_helper.h"
#include "world/plain_sound.h"

namespace {

using sound_helper_test = frame_test_t;

// A sound entity with a file, initialised.
struct made_sound_t {
    explicit made_sound_t(bool looped, bool multi)
    {
        std::snprintf(sound.file, sizeof sound.file, "/sounds/ui/gas_stop.ogg");
        sound.looped = looped;
        sound.multi_play = multi;
        sound.init(0);
    }
    ~made_sound_t() { sound.destroy(0); }
    plain_sound_e sound;
};

TEST_F(sound_helper_test, multi_play_adds_a_voice_per_activation_while_the_others_play_but_a_loop_keeps_one)
{
    write_data_file("sounds/ui/gas_stop.ogg", "kavrenta sample sound: test\n");
    made_sound_t multi(false, true);
    for (int i = 0; i < 3; ++i) {
        multi.sound.set_active(true);
        multi.sound.handler();
        EXPECT_FALSE(multi.sound.active) << "the input falls back: a trigger";
    }
    EXPECT_EQ(multi.sound.voices().size(), 3u);

    made_sound_t looped(true, true);
    for (int i = 0; i < 3; ++i) {
        looped.sound.set_active(true);
        looped.sound.handler();
    }
    EXPECT_EQ(looped.sound.voices().size(), 1u);
}

TEST_F(sound_helper_test, the_editor_corrects_volumes_and_distances_and_names_the_problems)
{
    sound_e sound;
    sound.max_dist = 300.0f;
    EXPECT_TRUE(sound.edit_val_changed("min_dist", 0, "0"));
    EXPECT_FLOAT_EQ(sound.min_dist, 1.0f);
    EXPECT_TRUE(sound.edit_val_changed("min_dist", 0, "500"));
    EXPECT_FLOAT_EQ(sound.min_dist, 299.0f);
    EXPECT_TRUE(sound.edit_val_changed("volume", 0, "150"));
    EXPECT_EQ(sound.volume_percent, 100);
    EXPECT_FALSE(sound.edit_val_changed("rate", 0, "2"));

    plain_sound_e plain;
    EXPECT_TRUE(plain.edit_val_changed("min_dist", 0, "50"));
    EXPECT_FLOAT_EQ(plain.max_dist, 500.0f);

    sound.ambient = true;
    EXPECT_FALSE(sound.edit_evalue_valid("max_dist"));
    EXPECT_TRUE(sound.edit_evalue_valid("volume"));
    char text[200];
    sound.volume_percent = 120;
    sound.min_dist = 400.0f;
    ASSERT_TRUE(sound.edit_check_me(text, sizeof text));
    EXPECT_STREQ(text, "Sound volume is out of range (120); Min distance is greater than or equal to max distance.");
    sound.min_dist = 10.0f;
    ASSERT_TRUE(sound.edit_check_me(text, sizeof text));
    EXPECT_STREQ(text, "Sound volume is out of range (120)");
    sound.volume_percent = 50;
    EXPECT_FALSE(sound.edit_check_me(text, sizeof text));
}

TEST_F(sound_helper_test, a_box_helper_outlines_its_cube_and_a_flat_one_a_rectangle)
{
    box_helper_e box;
    const box_outline_t outline = box.outline();
    EXPECT_EQ(outline.colour, 128u | 128u << 8 | 128u << 16);
    for (const vec3_t& p : outline.points) {
        EXPECT_EQ(std::fabs(p.x), 50.0f);
        EXPECT_EQ(std::fabs(p.y), 50.0f);
        EXPECT_EQ(std::fabs(p.z), 50.0f);
    }
    box.size.y = 0.0f;
    box.draw_color = {300.0f, -5.0f, 10.4f};
    const box_outline_t flat = box.outline();
    for (const vec3_t& p : flat.points)
        EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(flat.colour, 255u | 0u << 8 | 10u << 16) << "channels limited to a byte";
    EXPECT_STREQ(box.get_default_name(), "dummy_box");
}

}  // namespace

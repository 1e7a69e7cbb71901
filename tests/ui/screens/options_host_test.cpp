#include <gtest/gtest.h>

#include <string>

#include "engine/bind.h"
#include "engine/snd_record.h"
#include "engine/ui_action.h"
#include "options_fixture.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/options/ui_handler_menu_options3.h"
#include "ui/screens/options/ui_handler_menu_optionsbase.h"

namespace {

class options_host_test : public options_test_t {
protected:
    static void press(const char* group, const char* name, int id)
    {
        auto* button = dynamic_cast<ui_comp_button_t*>(find(group, name, id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    static std::string home_config()
    {
        std::string text;
        EXPECT_TRUE(vfs_read_whole("/config.cfg", text));
        return text;
    }
};

TEST_F(options_host_test, the_options_open_on_the_graphics_tab_switch_tabs_and_keep_a_new_binding_on_the_way_back)
{
    open_options();
    const auto* host = page<ui_handler_menu_optionsbase_t>("optionsmenu", "optionsbase");
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(shown(window("optionsmenu", "optionsbase")));
    EXPECT_TRUE(shown(window("menu", "options1"))) << "every show starts on the graphics tab";
    EXPECT_FALSE(shown(window("menu", "options2")));
    EXPECT_FALSE(shown(window("menu", "main")));
    EXPECT_EQ(host->current_tab, 0);
    EXPECT_TRUE(pressed("optionsmenu", "optionsbase", 3000));

    press("optionsmenu", "optionsbase", 3002);
    settle();
    EXPECT_FALSE(shown(window("menu", "options1")));
    EXPECT_TRUE(shown(window("menu", "options3")));
    press("optionsmenu", "optionsbase", 3002);
    settle();
    EXPECT_TRUE(shown(window("menu", "options3"))) << "the tab on screen stays as it is";
    EXPECT_EQ(host->current_tab, 2);

    ASSERT_TRUE(api::bind_add_imp("k", api::inp_impulse_get(100)->name, 0, 1));
    ASSERT_TRUE(ui_driver_stroke(1));  // Esc on the sound page
    settle();
    EXPECT_FALSE(shown(window("optionsmenu", "optionsbase")));
    EXPECT_FALSE(shown(window("menu", "options3")));
    EXPECT_TRUE(shown(window("menu", "main")));
    EXPECT_NE(home_config().find("bind_impulse \"k\" 0 100"), std::string::npos) << home_config();

    // Shown again, the host starts on the graphics tab, whichever tab it was left on.
    ASSERT_TRUE(click(window("menu", "main"), 30));
    settle();
    EXPECT_TRUE(shown(window("menu", "options1")));
    EXPECT_FALSE(shown(window("menu", "options3")));
    EXPECT_EQ(host->current_tab, 0);
}

TEST_F(options_host_test, a_tab_button_pressed_before_any_tab_shows_opens_its_own_page)
{
    open_options();
    auto* host = page<ui_handler_menu_optionsbase_t>("optionsmenu", "optionsbase");
    ASSERT_NE(host, nullptr);
    ui_whide(window("menu", "options1"));
    host->current_tab = -1;
    press("optionsmenu", "optionsbase", 3001);
    settle();
    EXPECT_TRUE(shown(window("menu", "options2")));
    EXPECT_FALSE(shown(window("menu", "options1")));
    EXPECT_EQ(host->current_tab, 1);
}

TEST_F(options_host_test, the_options_of_the_in_game_menu_go_back_to_it_and_a_detail_change_asks_for_a_restart)
{
    start({"-map", "xyz"});
    ASSERT_TRUE(api::cmd_execute("game_menu"));
    settle();
    ASSERT_TRUE(shown(window("menu", "game")));
    ASSERT_TRUE(click(window("menu", "game"), 30));
    settle();
    EXPECT_TRUE(shown(window("optionsmenu", "optionsbase")));
    EXPECT_TRUE(shown(window("menu", "options1")));
    EXPECT_FALSE(shown(window("menu", "game")));

    press("menu", "options1", 132);
    EXPECT_EQ(cvar("g_details"), "2");
    EXPECT_TRUE(shown(window("dialog", "msgbox"))) << "the new detail level shows in full after a restart";
    ui_whide(window("dialog", "msgbox"));

    press("menu", "options1", 1001);
    settle();
    EXPECT_FALSE(shown(window("optionsmenu", "optionsbase")));
    EXPECT_FALSE(shown(window("menu", "options1")));
    EXPECT_TRUE(shown(window("menu", "game")));
    set_cvar("g_details", "1");
}

class sound_page_test : public options_host_test {
protected:
    void SetUp() override
    {
        options_host_test::SetUp();
        open_options();
        press("optionsmenu", "optionsbase", 3002);
        settle();
        sound_ = page<ui_handler_menu_options3_t>("menu", "options3");
        ASSERT_NE(sound_, nullptr);
    }
    // The sound variables outlive a test: their defaults come back for the next one.
    void TearDown() override
    {
        if (sound_)
            sound_->reset_defaults();
        set_cvar("s_3d_emulated", "0");
        options_host_test::TearDown();
    }

    ui_handler_menu_options3_t* sound_ = nullptr;
};

TEST_F(sound_page_test, the_lists_show_the_devices_with_no_sound_first_and_the_mixing_rate_of_the_variable)
{
    EXPECT_EQ(rows(list_of("menu", "options3", 100)), (std::vector<std::string>{"@@ui_no_sound@@", "Headless output"}));
    EXPECT_EQ(selected(list_of("menu", "options3", 100)), "Headless output");
    EXPECT_EQ(rows(list_of("menu", "options3", 110)), (std::vector<std::string>{"44100 Hz", "22050 Hz", "11025 Hz"}));
    set_cvar("s_mix_rate", "22050");
    sound_->read_cvars();
    EXPECT_EQ(selected(list_of("menu", "options3", 110)), "22050 Hz");
    set_cvar("s_mix_rate", "48000");
    sound_->read_cvars();
    EXPECT_EQ(selected(list_of("menu", "options3", 110)), "22050 Hz") << "an unknown rate keeps the row shown";

    const int restarts = snd_record_restarts();
    pick(list_of("menu", "options3", 100), 0);
    EXPECT_EQ(cvar("s_device"), "");
    EXPECT_EQ(snd_record_restarts(), restarts + 1);
    pick(list_of("menu", "options3", 110), 2);
    EXPECT_EQ(cvar("s_mix_rate"), "11025");
    EXPECT_EQ(snd_record_restarts(), restarts + 2);
}

TEST_F(sound_page_test, volumes_run_from_0_to_100_and_only_apply_while_the_switches_restart)
{
    set_cvar("s_music_volume", "0.5");
    set_cvar("s_sfx_volume", "1.7");  // a hand-edited configuration
    sound_->read_cvars();
    EXPECT_EQ(slider_value("menu", "options3", 120), 50);
    EXPECT_EQ(slider_value("menu", "options3", 130), 100) << "a volume past the end stands at the end";

    const int restarts = snd_record_restarts();
    const int applies = snd_record_applies();
    slide("menu", "options3", 120, 73);
    EXPECT_EQ(cvar("s_music_volume"), "0.73");
    slide("menu", "options3", 130, 0);
    EXPECT_EQ(cvar("s_sfx_volume"), "0");
    press("menu", "options3", 140);
    EXPECT_EQ(cvar("s_reverse_stereo"), "1");
    EXPECT_EQ(snd_record_applies(), applies + 3);
    EXPECT_EQ(snd_record_restarts(), restarts);

    press("menu", "options3", 150);
    press("menu", "options3", 165);
    press("menu", "options3", 170);
    EXPECT_EQ(cvar("s_music_enabled"), "0");
    EXPECT_EQ(cvar("s_sfx_enabled"), "1");
    EXPECT_EQ(cvar("s_3d_emulated"), "1");
    EXPECT_EQ(snd_record_restarts(), restarts + 3);

    press("menu", "options3", 1000);
    EXPECT_EQ(cvar("s_music_volume"), "0.8");
    EXPECT_EQ(cvar("s_music_enabled"), "1");
    EXPECT_EQ(cvar("s_3d_emulated"), "1") << "the defaults leave the 3-D emulation";
    EXPECT_EQ(slider_value("menu", "options3", 120), 80);
    EXPECT_TRUE(pressed("menu", "options3", 155));
    set_cvar("s_3d_emulated", "0");
}

}  // namespace

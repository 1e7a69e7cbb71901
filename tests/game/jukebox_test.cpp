#include "game/ui_handler_jukebox.h"

#include <gtest/gtest.h>

#include "../ui/ui_fixture.h"

namespace {

// The jukebox without a game controller: no tracks and no music.
class jukebox_test : public ui_test_t {};

TEST_F(jukebox_test, without_music_the_time_reads_zero_and_stepping_an_empty_list_does_nothing)
{
    write_data_file("ui/jukebox.esc", "entity ui.handler.jukebox { }\nentity ui.window { rect = 0 1024 768 0;\n"
                                      "    entity ui.comp.common.list { id = 50; rect = 0 400 700 400; }\n"
                                      "    entity ui.comp.common.slider { id = 40; rect = 0 400 380 360; }\n"
                                      "    entity ui.comp.common.text { id = 41; rect = 0 400 350 330; }\n}\n");
    c_item_t* window = ui_winsert("game", "jukebox", 1, "/ui/jukebox.esc", true);
    ASSERT_NE(window, nullptr);
    frame();
    auto* jukebox =
        dynamic_cast<ui_handler_jukebox_t*>(static_cast<entity_t*>(ui_driver_window(window)->handler_item->object));
    ASSERT_NE(jukebox, nullptr);
    EXPECT_EQ(ui_driver_get(ui_driver_find(window, 41), "value"), "00 : 00 / 00 : 00");
    jukebox->jukebox_step(1);
    jukebox->jukebox_step(-1);
    jukebox->jukebox_seek(5000);
    EXPECT_EQ(jukebox->current_track, 0u);
    EXPECT_EQ(jukebox->paused_by_jukebox, 0) << "no world was paused";
}

}  // namespace

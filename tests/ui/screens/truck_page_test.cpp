#include <gtest/gtest.h>

#include <string>

#include "engine/ui_action.h"
#include "notebook_fixture.h"
#include "ui/components/ui_comp_color_pick.h"
#include "ui/components/ui_comp_make.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/notebook/ui_handler_screen_trucks.h"
#include "ui/screens/ui_handler_dialog_color.h"

// The trucks page with its colour dialog in a game world: the slot the player drives, the buy mode's
// refusal without a driver, and the paint chosen, previewed, kept or dropped.

namespace {

class truck_page_test : public notebook_test_t {
protected:
    void SetUp() override
    {
        notebook_test_t::SetUp();
        std::string body = texts("ui.comp.common.text", {52,  54,  55,  56,  60, 61, 62,  63,  81,  92,  95, 100,
                                                         105, 155, 230, 500, 50, 57, 140, 150, 200, 210, 400}) +
                           texts("ui.comp.common.button", {70, 71, 93, 94, 110, 130}) + checks({53, 120}) +
                           texts("ui.comp.double_bar", {310, 320, 330, 340, 410, 420, 430, 440}) +
                           "    entity ui.comp.make { id = 80; rect = 300 500 700 500; }\n"
                           "    entity ui.comp.group { rect = 0 1024 760 730;\n" +
                           radios({30, 31, 32, 33, 34}) + "    }\n" +
                           "    entity ui.comp.group { rect = 0 1024 600 560;\n";
        for (int s = 0; s < 8; ++s)
            body += "        entity ui.comp.truckbutton { id = " + std::to_string(40 + s) +
                    "; rect = " + std::to_string(s * 100) + " " + std::to_string(s * 100 + 90) +
                    " 600 560; button_type = radio; }\n";
        body += "    }\n";
        for (const int id : {90, 91, 220})
            body += "    entity ui.comp.common.list { id = " + std::to_string(id) + "; rect = 600 1000 " +
                    std::to_string(500 - (id - 90) / 2) + " 300; item_height = 20; }\n";
        write_data_file("ui/notebook/trucks.esc", page("trucks", body));
        write_data_file("ui/dialog/color.esc",
                        "entity ui.handler.dialog.color { }\nentity ui.window { rect = 312 712 560 200;\n"
                        "    entity ui.comp.color.pick { id = 10; rect = 352 672 500 260; }\n"
                        "    entity ui.comp.common.button { id = 20; rect = 352 492 248 216; }\n"
                        "    entity ui.comp.common.button { id = 21; rect = 532 672 248 216; }\n}\n");
        write_data_file("makes/truck/rig/acc/flames/!desc.def", "accessory {\n type = paint\n}\n");
        // The page the notebook made holds none of the shop's components: this one takes its place.
        ASSERT_TRUE(get_game_bridge()->remove_window(page_item("trucks")));
        c_item_t* const item = ui_winsert("notebook", "trucks", 0, "/ui/notebook/trucks.esc", false);
        ASSERT_NE(item, nullptr);
        get_game_bridge()->adopt_window(item);
        open_notebook();
        ui_wshow(item, 0);
        frames(1);
        shop = dynamic_cast<ui_handler_screen_trucks_t*>(window_handler(item));
        ASSERT_NE(shop, nullptr);
    }

    void select_slot(int slot)
    {
        ASSERT_TRUE(click(page_item("trucks"), 40 + slot));
        frames(1);
    }
    uint32_t view_paint() const
    {
        auto* view = dynamic_cast<ui_comp_make_t*>(ui_driver_find(window("notebook", "trucks"), 80));
        return view ? view->paint : 0;
    }
    uint32_t button_paint(int slot) const
    {
        auto* button = dynamic_cast<ui_comp_truckbutton_t*>(ui_driver_find(window("notebook", "trucks"), 40 + slot));
        return button ? button->paint : 0;
    }
    // Opens the colour dialog from the page, as its paint button does (the plain test layout lets
    // components overlap, so the press goes to the page's handler as the button sends it).
    c_item_t* open_paint()
    {
        ui_press_param_t press{0};
        shop->handle(component("trucks", 110), ui_action_pressed, &press);
        frames(1);
        return window("dialog", "color");
    }
    ui_comp_color_pick_t* picker() const
    {
        return dynamic_cast<ui_comp_color_pick_t*>(ui_driver_find(window("dialog", "color"), 10));
    }

    ui_handler_screen_trucks_t* shop = nullptr;
};

TEST_F(truck_page_test, the_driven_truck_cannot_be_sold_nor_given_another_driver)
{
    select_slot(0);
    for (const int id : {70, 71, 130})
        EXPECT_FALSE(component("trucks", id)->active) << id;
    select_slot(2);
    for (const int id : {70, 71, 130})
        EXPECT_TRUE(component("trucks", id)->active) << id;
    EXPECT_EQ(value("trucks", 61), "Bob Birch");
    // Pressed while inactive, the sale still changes nothing for slot 0.
    select_slot(0);
    ui_press_param_t press{1};
    shop->handle(component("trucks", 130), ui_action_pressed, &press);
    EXPECT_EQ(economy->companies[0].trucks[0], 0);
    EXPECT_EQ(economy->companies[0].money, 50000);
}

TEST_F(truck_page_test, buy_mode_on_an_empty_slot_without_a_free_driver_says_so_and_stays_out)
{
    select_slot(3);
    ASSERT_TRUE(click(page_item("trucks"), 120));
    frames(1);
    EXPECT_FALSE(shop->buy_mode);
    EXPECT_TRUE(shown(window("dialog", "msgbox")));
    EXPECT_EQ(value("trucks", 120), "@@ui_buy_truck@@");
}

TEST_F(truck_page_test, the_colour_dialog_previews_keeps_or_drops_the_paint)
{
    economy->trucks[2].colour = 0x102030;
    std::snprintf(economy->trucks[2].accessories[1], 32, "flames");
    select_slot(2);
    c_item_t* dialog = open_paint();
    ASSERT_TRUE(shown(dialog));
    ASSERT_NE(picker(), nullptr);
    // The picker starts at the truck's paint (its own word holds red in the low byte).
    EXPECT_EQ(picker()->get_color() & 0xFFFFFFu, ui_handler_dialog_color_t::picker_word(0x102030) & 0xFFFFFFu);

    // A colour picked is shown on the page's truck in the same frame, and nothing is kept.
    picker()->set_color(ui_handler_dialog_color_t::picker_word(0xC00000));
    picker()->picked = 1;
    frames(1);
    EXPECT_EQ(view_paint() & 0xFFFFFFu, 0xC00000u);
    EXPECT_EQ(button_paint(2) & 0xFFFFFFu, 0xC00000u);
    EXPECT_EQ(economy->trucks[2].colour, 0x102030u);

    // Cancel shows the stored paint again.
    ASSERT_TRUE(click(dialog, 21));
    frames(1);
    EXPECT_FALSE(shown(dialog));
    EXPECT_EQ(view_paint() & 0xFFFFFFu, 0x102030u);

    // OK keeps the colour and takes the paint job off, for free.
    dialog = open_paint();
    picker()->set_color(ui_handler_dialog_color_t::picker_word(0x00C000));
    ASSERT_TRUE(click(dialog, 20));
    frames(1);
    EXPECT_EQ(economy->trucks[2].colour, 0x00C000u);
    EXPECT_EQ(economy->trucks[2].accessories[1][0], '\0');
    EXPECT_STREQ(economy->trucks[2].accessories[0], "motor");
    EXPECT_EQ(economy->companies[0].money, 50000);

    // Enter is OK; Esc drops the colour like Cancel.
    dialog = open_paint();
    picker()->set_color(ui_handler_dialog_color_t::picker_word(0x0000C0));
    ui_key_param_t enter{28, 0, 0};
    window_handler(dialog)->handle(nullptr, ui_action_key_up, &enter);
    EXPECT_EQ(economy->trucks[2].colour, 0x0000C0u);
    dialog = open_paint();
    picker()->set_color(ui_handler_dialog_color_t::picker_word(0xFFFFFF));
    picker()->picked = 1;
    frames(1);
    ui_key_param_t escape{1, 0, 0};
    window_handler(dialog)->handle(nullptr, ui_action_key_up, &escape);
    EXPECT_EQ(economy->trucks[2].colour, 0x0000C0u);
    EXPECT_EQ(view_paint() & 0xFFFFFFu, 0x0000C0u);
}

TEST_F(truck_page_test, without_the_trucks_page_the_colour_dialog_only_hides)
{
    economy->trucks[2].colour = 0x102030;
    select_slot(2);
    c_item_t* dialog = open_paint();
    ASSERT_TRUE(get_game_bridge()->remove_window(page_item("trucks")));
    picker()->set_color(ui_handler_dialog_color_t::picker_word(0x00C000));
    ASSERT_TRUE(click(dialog, 20));
    frames(1);
    EXPECT_FALSE(shown(dialog));
    EXPECT_EQ(economy->trucks[2].colour, 0x102030u);
}

}  // namespace

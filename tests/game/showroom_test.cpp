#include "game/ui_handler_showroom.h"

#include <gtest/gtest.h>

#include <string>

#include "game_flow_fixture.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_comp_make.h"

namespace {

// The menu world with two truck makes, the police truck, a hidden folder and a trailer with three
// cargo variants.
class showroom_test : public game_flow_test_t {
protected:
    void SetUp() override
    {
        game_flow_test_t::SetUp();
        write_data_file("makes/truck/rig/description.def",
                        "truck { name = Rig; access0 = base; access1 = interior; }\n");
        write_data_file("makes/truck/rig/acc/red/!desc.def", "accessory { type = paint; name = Red; author = Ann; }\n");
        write_data_file("makes/truck/rig/acc/blue/!desc.def", "accessory { type = PAINT; name = Blue; }\n");
        write_data_file("makes/truck/rig/acc/base/!desc.def", "accessory { type = base; name = Chassis; }\n");
        write_data_file("makes/truck/bare/description.def", "truck { name = Bare; }\n");
        write_data_file("makes/truck/police/description.def", "truck { name = Police; }\n");
        write_data_file("makes/truck/.hidden/description.def", "truck { name = Hidden; }\n");
        write_data_file("makes/trailer/box/description.def", "trailer { name = Box; author = Bo; }\n");
        write_data_file("makes/trailer/box/acc/base/!desc.def",
                        "accessory { shader0 = a.shd; shader1 = b.shd; shader2 = c.shd; }\n");
        write_data_file("defs/cargos/milk.def", "cargo { name = Milk; trailer = BOX; variant = 1; }\n");
        write_data_file("defs/cargos/tea.def", "cargo { name = Tea; trailer = box; variant = 1; }\n");
        write_data_file("defs/cargos/ice.def", "cargo { name = Ice; trailer = box; variant = 2; }\n");
        write_data_file(
            "ui/showroom.esc",
            "entity ui.handler.showroom { }\nentity ui.window { rect = 0 1024 768 0;\n"
            "    entity ui.comp.common.text { id = 100; rect = 0 100 760 740; }\n"
            "    entity ui.comp.common.text { id = 110; rect = 0 100 730 710; }\n"
            "    entity ui.comp.make { id = 120; rect = 500 900 700 300; }\n"
            "    entity ui.comp.common.list { id = 130; rect = 0 300 700 500; item_height = 20; }\n"
            "    entity ui.comp.common.list { id = 140; rect = 0 300 480 300; item_height = 20; }\n"
            "    entity ui.comp.common.button { id = 150; rect = 0 100 100 60; }\n"
            "    entity ui.comp.common.button { id = 160; rect = 200 300 100 60; button_type = check; }\n"
            "    entity ui.comp.group { rect = 400 800 100 60;\n"
            "        entity ui.comp.common.button { id = 170; rect = 400 500 100 60; button_type = radio; }\n"
            "        entity ui.comp.common.button { id = 180; rect = 600 700 100 60; button_type = radio; }\n"
            "    }\n}\n");
    }

    static std::string texts(ui_comp_list_t* list)
    {
        std::string all;
        for (int i = 0; i < list->count(); ++i)
            all += std::string(list->item_pml_at(i)) + ";";
        return all;
    }
};

TEST_F(showroom_test, lists_the_makes_without_the_police_or_hidden_folders_and_the_paints_then_the_trailer_variants)
{
    start();
    c_item_t* room = menu_window("menu", "showroom", 0, "/ui/showroom.esc");
    ASSERT_NE(room, nullptr);
    ui_wshow(room, 0);
    frames(1);
    auto* makes = dynamic_cast<ui_comp_list_t*>(ui_driver_find(room, 130));
    auto* items = dynamic_cast<ui_comp_list_t*>(ui_driver_find(room, 140));
    ASSERT_NE(makes, nullptr);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(texts(makes), "Bare;Rig;");
    EXPECT_EQ(texts(items), "") << "a make without paints lists none";
    ASSERT_TRUE(makes->select_item(1, true));
    EXPECT_EQ(texts(items), "Blue;Red;");
    ASSERT_TRUE(items->select_item(1, true));
    EXPECT_EQ(ui_driver_get(ui_driver_find(room, 100), "value"), "Rig");
    EXPECT_EQ(ui_driver_get(ui_driver_find(room, 110), "value"), "Red - Ann");

    ASSERT_TRUE(click(room, 180));
    EXPECT_EQ(texts(makes), "Box;");
    ASSERT_EQ(items->count(), 3);
    std::string variants;
    for (int i = 0; i < items->count(); ++i)
        variants += std::to_string(items->item_data_at(i));
    EXPECT_EQ(variants, "021") << "sorted by their cargos, the variant without any first";
    EXPECT_STREQ(items->item_pml_at(2), "Milk, Tea");
    ASSERT_TRUE(items->select_item(1, true));
    EXPECT_EQ(ui_driver_get(ui_driver_find(room, 110), "value"), "Ice - Bo");
    EXPECT_EQ(cargo_names_for_trailer("box", 7), "");
}

TEST_F(showroom_test, the_make_view_keeps_its_paint_opaque_and_turns_only_on_a_one_button_drag)
{
    start();
    c_item_t* room = menu_window("menu", "showroom", 0, "/ui/showroom.esc");
    ui_wshow(room, 0);
    frames(1);
    auto* view = dynamic_cast<ui_comp_make_t*>(ui_driver_find(room, 120));
    ASSERT_NE(view, nullptr);
    view->set_color(0x123456);
    EXPECT_EQ(view->paint, 0xFF123456u);
    view->locked = 0;
    view->auto_turn = 0;
    const float angle = view->angles[1];
    ui_driver_move(700, 500);
    ui_driver_press();
    ui_driver_press(ui_button_second);
    ui_driver_move(650, 500);
    EXPECT_FLOAT_EQ(view->angles[1], angle) << "two buttons held: no turn";
    ui_driver_release(ui_button_second);
    ui_driver_release();
    EXPECT_EQ(view->held_buttons, 0u);
    EXPECT_EQ(ui_pointer_shown(), 0) << "the pointer is given back";
    ui_driver_move(700, 500);
    ui_driver_press();
    ui_driver_move(680, 500);
    EXPECT_FLOAT_EQ(view->angles[1], angle - 20.0f);
    ui_driver_release();
}

}  // namespace

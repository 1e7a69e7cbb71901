#include <gtest/gtest.h>

#include <string>

#include "engine/ui_action.h"
#include "notebook_fixture.h"
#include "ui/components/ui_comp_arrow.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/ui_handler_screen_routes.h"

namespace {

// Four cities on the map picture's corners and middle, a trader in each; twenty orders of cargo 0
// from alder to birch, one of cargo 1 from birch to cedar and one from cedar to alder.
class notebook_routes_test : public notebook_test_t {
protected:
    void SetUp() override
    {
        notebook_test_t::SetUp();
        const struct {
            const char* name;
            int x, y;
        } cities[] = {{"alder", 0, 0}, {"birch", 511, 255}, {"cedar", 255, 127}, {"dune", 100, 200}};
        economy->cities.resize(4);
        economy->traders.resize(4);
        for (int c = 0; c < 4; ++c) {
            write_data_file(std::string("defs/cities/") + cities[c].name + ".def",
                            std::string("city {\n name = \"") + cities[c].name +
                                " town\"\n posx = " + std::to_string(cities[c].x) +
                                "\n posy = " + std::to_string(cities[c].y) + "\n halign = center\n valign = top\n}\n");
            std::snprintf(economy->cities[static_cast<size_t>(c)].name, 32, "%s", cities[c].name);
            economy->cities[static_cast<size_t>(c)].master = -1;
            economy->traders[static_cast<size_t>(c)].city = c;
        }
        write_data_file("defs/cargos/logs.def", "cargo {\n name = Logs\n}\n");
        write_data_file("defs/cargos/milk.def", "cargo {\n name = Milk\n}\n");
        economy->cargos.assign(3, cargo_t{});  // the spare cargo behind the two
        economy->jobs.clear();
        std::snprintf(economy->cargos[0].name, 32, "logs");
        std::snprintf(economy->cargos[1].name, 32, "milk");
        economy->cargos[0].flags = economy->cargos[1].flags = cargo_offered;
        for (int j = 0; j < 20; ++j)
            economy->jobs.push_back(job_t{0, 0, 1, 1000.0f, 0});
        economy->jobs.push_back(job_t{1, 1, 2, 1000.0f, 0});
        economy->jobs.push_back(job_t{1, 2, 0, 1000.0f, 0});
        economy->jobs.push_back(job_t{-1, -1, -1, 0.0f, 0});  // the spare job
        for (driver_t& driver : economy->drivers) {
            for (int32_t& job : driver.jobs)
                job = -1;
            for (int p = 0; p < 3; ++p)
                driver.pref_cities[p] = driver.pref_cargos[p] = -1;
        }
        economy->drivers[1].jobs[0] = 20;  // bob drives milk from birch to cedar, half-way
        economy->drivers[1].progress = 0.5f;
        open_notebook();
        page_handler = dynamic_cast<ui_handler_screen_routes_t*>(window_handler(page_item("routes")));
        ASSERT_NE(page_handler, nullptr);
    }

    std::vector<const ui_comp_arrow_t*> shown_arrows() const
    {
        std::vector<const ui_comp_arrow_t*> shown;
        for (c_item_t* item : page_handler->arrows) {
            auto* arrow = item ? dynamic_cast<const ui_comp_arrow_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
            if (arrow && arrow->visible)
                shown.push_back(arrow);
        }
        return shown;
    }
    bool pressed(int id)
    {
        auto* button = dynamic_cast<ui_comp_button_t*>(component("routes", id));
        return button && button->pressed;
    }
    // The second pointer button going down on component `id` (for the list, on its row `row`).
    void pointer_two(int id, uint32_t row = 0)
    {
        ui_list_pointer_param_t param{};
        param.pointer.buttons = 4;
        param.index = row;
        page_handler->handle(component("routes", id), ui_action_pointer_down, &param);
    }

    ui_handler_screen_routes_t* page_handler = nullptr;
};

TEST_F(notebook_routes_test, city_buttons_stand_where_the_map_picture_puts_them_and_orders_run_between_them)
{
    // Map 100..611 by 345..600 for a picture of 512 by 256: posx 255, posy 127 lands at (355, 473).
    const ui_view_t* cedar = component("routes", 10002);
    ASSERT_NE(cedar, nullptr);
    EXPECT_FLOAT_EQ((cedar->rect.left + cedar->rect.right) / 2.0f, 355.0f);
    EXPECT_FLOAT_EQ((cedar->rect.top + cedar->rect.bottom) / 2.0f, 473.0f);
    EXPECT_EQ(ui_driver_get(component("routes", 10001), "value"), "center|top|0|birch town");
    EXPECT_TRUE(pressed(210)) << "orders leave the chosen city at first";

    // To birch: the twenty logs orders, which need a second step of the arrow pool.
    ASSERT_TRUE(click(page_item("routes"), 200));
    ASSERT_TRUE(click(page_item("routes"), 10001));
    auto arrows = shown_arrows();
    ASSERT_EQ(arrows.size(), 20u);
    EXPECT_EQ(page_handler->arrows.size(), 32u);
    EXPECT_TRUE(arrows[0]->hit_test(355, 472)) << "alder (100, 600) to birch (611, 345) passes the middle";
    EXPECT_FALSE(arrows[0]->hit_test(355, 560));
    // The orders under the pointer show in its tooltip.
    write_data_file("ui/pointers/tip.esc", "entity ui.window { rect = 0 24 24 0;\n"
                                           "    entity ui.comp.text { id = 100; rect = 24 524 0 -300; }\n}\n");
    ASSERT_TRUE(ui_pinsert(0, "/ui/pointers/tip.esc"));
    ui_pointer_param_t move{};
    move.x = 355.0f;
    move.y = 472.0f;
    page_handler->handle(component("routes", 20), ui_action_pointer_move, &move);
    const std::string tip = ui_driver_get(ui_driver_find(ui_pget(0), 100), "text");
    EXPECT_EQ(tip.rfind("<img src=/shaders/ui/desktop.shd width=", 0), 0u) << tip;
    EXPECT_NE(tip.find("<font @@__fnt_sml@@>\\wLogs : alder town -> birch town</font><br>"), std::string::npos) << tip;
    move.y = 560.0f;
    page_handler->handle(component("routes", 20), ui_action_pointer_move, &move);
    EXPECT_EQ(ui_driver_get(ui_driver_find(ui_pget(0), 100), "text"), "");
    // From birch: the one milk order, at once; the longer selection's arrows are hidden.
    ASSERT_TRUE(click(page_item("routes"), 210));
    arrows = shown_arrows();
    ASSERT_EQ(arrows.size(), 1u);
    uint32_t state = 0;
    int32_t tag = -1;
    arrows[0]->get_params(state, tag);
    EXPECT_EQ(tag, 20);
    EXPECT_TRUE(arrows[0]->hit_test(483, 409)) << "birch (611, 345) to cedar (355, 473)";

    // A cargo pick releases the city and shows every order of that cargo.
    ui_list_param_t pick{"", "", 1, 0};
    page_handler->handle(component("routes", 10), ui_action_item_selected, &pick);
    EXPECT_FALSE(pressed(10001));
    EXPECT_EQ(page_handler->selected_city, -1);
    EXPECT_EQ(shown_arrows().size(), 2u);
    ASSERT_TRUE(click(page_item("routes"), 220));
    EXPECT_TRUE(shown_arrows().empty());
    EXPECT_EQ(page_handler->arrows.size(), 32u) << "the pool keeps its arrows";
}

TEST_F(notebook_routes_test, a_hired_driver_shows_his_order_and_takes_three_preferred_cities_and_cargos)
{
    ASSERT_TRUE(click(page_item("routes"), 42));
    EXPECT_EQ(value("routes", 61), "Bob Birch");
    EXPECT_EQ(value("routes", 100), "Milk");
    EXPECT_EQ(value("routes", 110), "birch town");
    EXPECT_EQ(value("routes", 120), "cedar town");
    auto* current = dynamic_cast<ui_comp_arrow_t*>(static_cast<ui_view_t*>(page_handler->slot_arrows[2]->object));
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->visible);
    EXPECT_EQ(current->state, 3u);

    const driver_t& bob = economy->drivers[1];
    for (const int city : {0, 1, 2, 3})
        pointer_two(10000 + city);
    EXPECT_EQ(std::vector<int>(bob.pref_cities, bob.pref_cities + 3), (std::vector<int>{3, 2, 1}))
        << "a fourth city pushes the oldest out";
    pointer_two(10003);
    EXPECT_EQ(std::vector<int>(bob.pref_cities, bob.pref_cities + 3), (std::vector<int>{2, 1, -1}))
        << "taking out the first keeps the others in order";
    int marks = 0;
    for (c_item_t* mark : page_handler->pref_marks)
        marks += static_cast<ui_view_t*>(mark->object)->visible ? 1 : 0;
    EXPECT_EQ(marks, 2);

    // The cargo list's row of milk (sorted after logs) turns green when milk is preferred.
    auto* list = dynamic_cast<ui_comp_list_t*>(component("routes", 10));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    ui_list_item_t row;
    row.mask = ui_list_all;
    ASSERT_TRUE(list->get_item(1, row));
    ASSERT_EQ(row.data, 1u);
    pointer_two(10, 1);
    EXPECT_EQ(bob.pref_cargos[0], 1);
    ASSERT_TRUE(list->get_item(1, row));
    EXPECT_EQ(std::string(row.pml.c_str()), "Milk|FFC8F0C8");

    // The player's own truck takes no preferences; its quick help says so.
    ASSERT_TRUE(click(page_item("routes"), 40));
    const driver_t& ann = economy->drivers[0];
    pointer_two(10001);
    EXPECT_EQ(ann.pref_cities[0], -1);
    page_handler->quick_help(10001);
    EXPECT_EQ(value("routes", 500), "@@qh_city_button0@@");
    page_handler->quick_help(43);
    EXPECT_EQ(value("routes", 500), "@@qh_truck_slotx_empty@@");
}

}  // namespace

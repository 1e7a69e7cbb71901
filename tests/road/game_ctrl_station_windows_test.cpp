#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/bind.h"
#include "engine/entity_reg.h"
#include "engine/input.h"
#include "engine/ui.h"
#include "engine/ui_handler.h"
#include "engine_testing/test_entity_type.h"
#include "common/notebook_host.h"
#include "common/ui_find_component.h"
#include "frame/type_registry.h"
#include "game_ctrl_fixture.h"
#include "ui/components/ui_comp_common_text.h"

namespace {

// A notebook that writes down which dealer and page it was told, in order.
std::vector<std::string> notebook_calls;

class fake_notebook_t : public ui_handler_t, public notebook_host_t {
public:
    void show_page(const int32_t page) override { notebook_calls.push_back("page " + std::to_string(page)); }
    void set_dealer(const int32_t dealer) override { notebook_calls.push_back("dealer " + std::to_string(dealer)); }
};

const entity_reg_t fake_notebook_type = test_entity_type<fake_notebook_t>("ui.handler.test.notebook");

// The game controller with the UI running and the sample game's own station windows.
class station_windows_test : public game_ctrl_test_t {
protected:
    void SetUp() override
    {
        game_ctrl_test_t::SetUp();
        const entity_reg_t* const rows = entity_type_rows();
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (std::string(rows[i].type_name).rfind("ui.", 0) == 0 && !entity_find_type(rows[i].type_name))
                entity_register(&rows[i]);
        ui_init();
        for (const char* file : {"ui/ggasico.esc", "ui/gserviceico.esc", "ui/gscalesico.esc", "defs/ui/txt.def"})
            write_data_file(file, sample(file));
        ctrl.bridge = bridge.get();
    }
    void TearDown() override
    {
        ctrl.destroy(0);
        game_ctrl_test_t::TearDown();
    }
    static std::string sample(const std::string& file)
    {
        std::ifstream in(std::string(KAVRENTA_SOURCE_DIR) + "/data/" + file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // A station item of `type` at (x, 0, 0), active.
    int32_t station(const int32_t type, const float x, const int32_t price = 0)
    {
        const int32_t index = ctrl.add_miscitem();
        ctrl.miscitems[index].type = type;
        ctrl.miscitems[index].points[0] = {x, 0.0f, 0.0f};
        ctrl.miscitems[index].params[0] = price;
        ctrl.active_list(base_ctrl_stations).append(index);
        return index;
    }
    // The value of text `id` of the window `group`:`name`, "(none)" without the window or the text.
    std::string text(const char* group, const char* name, const int id) const
    {
        c_item_t* const window = bridge->find_window(group, name);
        auto* const view = window ? dynamic_cast<ui_comp_common_text_t*>(ui_window_component(window, id)) : nullptr;
        return view ? view->value.c_str() : "(none)";
    }
    bool shown(const char* group, const char* name) const
    {
        c_item_t* const window = bridge->find_window(group, name);
        const auto* const view = window ? static_cast<const ui_view_t*>(window->object) : nullptr;
        return view && view->visible;
    }

    game_ctrl_e ctrl;
};

TEST_F(station_windows_test, stopping_at_each_station_opens_its_window_with_its_figures_and_leaving_closes_it)
{
    ASSERT_TRUE(bind_add_imp("F5", inp_impulse_get(180)->name, 0, 0));
    station(map_misc_gas_station, 0.0f, 150);
    station(map_misc_service, 100000.0f);
    station(map_misc_scales, 200000.0f);

    // The pump: its price, nothing fuelled yet and the key the player fills the tank with.
    ctrl.tick(0.1);
    ASSERT_TRUE(shown("ico1", "gas"));
    EXPECT_EQ(text("ico1", "gas", 100), "1.50 $");
    EXPECT_EQ(text("ico1", "gas", 110), "0");
    EXPECT_EQ(text("ico1", "gas", 130), "F5");

    // Driving on, the pump's window closes.
    parts->position = {50000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    EXPECT_FALSE(shown("ico1", "gas"));

    // The service point: the repair of a truck worth 80000 dollars with 35 % damage costs 280.
    parts->truck_damage = 0.35f;
    parts->position = {100000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    ASSERT_TRUE(shown("ico2", "service"));
    EXPECT_EQ(text("ico2", "service", 110), "35 %");
    EXPECT_NE(text("ico2", "service", 100).find("280"), std::string::npos) << text("ico2", "service", 100);

    parts->position = {150000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    EXPECT_FALSE(shown("ico2", "service"));

    // The scales weigh a job's trailer, and pass a load that is not too heavy.
    parts->job = 4;
    parts->position = {200000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    ASSERT_TRUE(shown("ico3", "scales"));
    EXPECT_NE(text("ico3", "scales", 100).find("@@ui_passed@@"), std::string::npos);
    EXPECT_EQ(text("ico3", "scales", 110), "@@ui_ok@@");

    parts->position = {500000.0f, 0.0f, 0.0f};
    ctrl.tick(0.1);
    EXPECT_FALSE(shown("ico3", "scales"));
}

TEST_F(station_windows_test, a_pump_key_nobody_bound_leaves_the_keys_line_as_it_was)
{
    station(map_misc_gas_station, 0.0f, 150);
    ctrl.tick(0.1);
    ASSERT_TRUE(shown("ico1", "gas"));
    EXPECT_EQ(text("ico1", "gas", 130), "-");
}

// Driving up to a dealer opens the notebook on its trucks page, told which dealer it is, once: the
// notebook the player closes there stays shut until the truck has left the dealer and come back.
TEST_F(station_windows_test, a_dealer_opens_the_trucks_page_once_a_visit)
{
    if (!entity_find_type(fake_notebook_type.type_name))
        entity_register(&fake_notebook_type);
    write_data_file("ui/notebook/notebook.esc",
                    "entity ui.handler.test.notebook { }\nentity ui.window { rect = 0 1024 768 0; }\n");
    use_sample_map();
    game_ctrl_e visited;
    ASSERT_EQ(init_ctrl(visited), 0);
    ASSERT_FALSE(shown("menu", "notebook"));
    notebook_calls.clear();
    const int32_t dealer = visited.add_miscitem();
    visited.miscitems[dealer].type = map_misc_dealer;
    visited.miscitems[dealer].points[0] = {50000.0f, 0.0f, 0.0f};
    visited.miscitems[dealer].params[0] = 3;
    visited.active_list(base_ctrl_stations).append(dealer);

    // Passing 11 m away is not a visit; 9 m away, even at speed, is.
    parts->speed_mph = 30.0f;
    parts->position = {50000.0f, 0.0f, 1100.0f};
    visited.tick(0.1);
    EXPECT_FALSE(shown("menu", "notebook"));
    parts->position = {50000.0f, 0.0f, 900.0f};
    visited.tick(0.1);
    ASSERT_TRUE(shown("menu", "notebook"));
    EXPECT_EQ(notebook_calls, (std::vector<std::string>{"dealer 3", "page 1"}));
    EXPECT_EQ(parts->known_dealers, (std::vector<int32_t>{3}));

    ui_whide(bridge->find_window("menu", "notebook"));
    visited.tick(0.1);
    EXPECT_FALSE(shown("menu", "notebook")) << "closed at the dealer, it stays closed";
    EXPECT_EQ(notebook_calls.size(), 2u);

    parts->position = {60000.0f, 0.0f, 0.0f};
    visited.tick(0.1);
    parts->position = {50000.0f, 0.0f, 0.0f};
    visited.tick(0.1);
    EXPECT_TRUE(shown("menu", "notebook")) << "back at the dealer";
    EXPECT_EQ(notebook_calls.size(), 4u);
    visited.destroy(0);
    visited.destroy(10);
}

}  // namespace

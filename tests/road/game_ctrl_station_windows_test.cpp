#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/bind.h"
#include "engine/entity_reg.h"
#include "engine/input.h"
#include "engine/ui.h"
#include "common/ui_find_component.h"
#include "frame/type_registry.h"
#include "game_ctrl_fixture.h"
#include "ui/components/ui_comp_common_text.h"

namespace {

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

}  // namespace

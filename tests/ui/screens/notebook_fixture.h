#pragma once
#include <memory>
#include <string>
#include <vector>

#include "../../game/economy_fixture.h"
#include "../../game/game_flow_fixture.h"
#include "common/world_pause.h"
#include "game/economy_ctrl.h"
#include "ui/screens/ui_handler_menu_notebook.h"

// A game world with the notebook and its five pages (the ids their handlers read, plain looks) and a
// small economy in the bridge: the player's company with a truck and driver in slot 0, a truck without
// a driver in slot 1 and a hired driver's truck in slot 2; three opponents.
class notebook_test_t : public game_flow_test_t {
protected:
    void SetUp() override
    {
        game_flow_test_t::SetUp();
        write_data_file("ui/notebook/notebook.esc",
                        "entity ui.handler.menu.notebook { }\nentity ui.window { rect = 0 1024 768 0;\n"
                        "    entity ui.comp.group { rect = 0 1024 768 720;\n" +
                            radios({100, 101, 102, 103, 104}) + "    }\n" +
                            "    entity ui.comp.common.button { id = 10; rect = 900 1000 760 730; }\n}\n");
        std::vector<int> economy_ids{10, 15, 20, 25, 27, 30, 35, 40, 45, 2000};
        for (int row = 0; row < 8; ++row)
            for (const int part : {11, 15, 20, 25, 30})
                economy_ids.push_back(100 * (row + 1) + part);
        write_data_file(
            "ui/notebook/economy.esc",
            page("economy", texts("ui.comp.common.text", economy_ids) + texts("ui.comp.text", {110, 210, 310}) +
                                texts("ui.comp.double_bar", {127}) + texts("ui.comp.common.button", {1000, 1100})));
        std::vector<int> competition_ids{4, 5, 10};
        for (int c = 0; c < 4; ++c)
            for (const int part : {5, 10, 15, 20, 25, 30})
                competition_ids.push_back(100 * (c + 1) + part);
        write_data_file("ui/notebook/competition.esc",
                        page("competition", texts("ui.comp.common.text", competition_ids) +
                                                texts("ui.comp.text", {100, 101, 300, 301}) +
                                                "    entity ui.comp.group { id = 1; rect = 0 100 100 0;\n" +
                                                texts("ui.comp.common.text", {6, 7}) + "    }\n" + checks({358}) +
                                                "    entity ui.comp.group { id = 359; rect = 0 100 100 0; }\n"));
        write_data_file("ui/notebook/roadmap.esc",
                        page("roadmap", "    entity ui.comp.area_map { id = 100; rect = 0 500 500 0; }\n" +
                                            checks({200, 210, 220, 230, 240, 250})));
        write_data_file("ui/notebook/routes.esc", page("routes", ""));
        write_data_file("ui/notebook/trucks.esc", page("trucks", ""));
        write_data_file("defs/drivers/ann.def",
                        "driver {\n name = \"Ann Ash\"\n imgs = \"ann.shd|ann_small.shd\"\n prestige = 40\n}\n");
        write_data_file("defs/drivers/bob.def",
                        "driver {\n name = \"Bob Birch\"\n imgs = \"bob.shd\"\n prestige = 60\n}\n");
        write_data_file("defs/cities/alder.def", "city {\n name = \"Alder Town\"\n}\n");
        write_data_file("makes/truck/rig/acc/motor/!desc.def", "accessory {\n power = 60\n}\n");
        start({"-map", "xyz"});
        // Made after the engine's reset, so that its handle is a live one.
        economy_item = std::make_unique<economy_ctrl_e>();
        economy = economy_item.get();
        fill_economy();
        economy->set_world(&economy_world);
        ASSERT_TRUE(get_game_bridge()->register_economy(economy->handle()));
        notebook_item = ui_winsert("menu", "notebook", 0x40, "/ui/notebook/notebook.esc", false);
        ASSERT_NE(notebook_item, nullptr);
        get_game_bridge()->adopt_window(notebook_item);
        notebook = dynamic_cast<ui_handler_menu_notebook_t*>(window_handler(notebook_item));
        ASSERT_NE(notebook, nullptr);
        current_world_allow_pause(true);
    }

    void TearDown() override
    {
        economy_item.reset();
        game_flow_test_t::TearDown();
    }

    // Records of the player's company, the opponents, their trucks and drivers.
    void fill_economy()
    {
        economy->drivers.resize(2);
        std::snprintf(economy->drivers[0].name, sizeof economy->drivers[0].name, "ann");
        std::snprintf(economy->drivers[1].name, sizeof economy->drivers[1].name, "bob");
        economy->drivers[1].week_deliveries = 3;
        economy->drivers[1].week_haul_score = 12345;
        economy->drivers[1].week_income = 4200;
        economy->trucks.resize(3);
        for (int t = 0; t < 3; ++t) {
            company_truck_t& truck = economy->trucks[static_cast<size_t>(t)];
            std::snprintf(truck.make, sizeof truck.make, "rig");
            std::snprintf(truck.accessories[0], sizeof truck.accessories[0], "motor");
            truck.owner = -1;
            truck.rating = 40.0f;
        }
        economy->trucks[0].owner = 0;
        economy->trucks[2].owner = 1;
        economy->cities.resize(1);
        std::snprintf(economy->cities[0].name, sizeof economy->cities[0].name, "alder");
        for (int c = 0; c < economy_company_count; ++c) {
            company_t& company = economy->companies[c];
            for (int32_t& truck : company.trucks)
                truck = -1;
            company.headquarters = -1;
            company.colour = c;
            std::snprintf(company.name, sizeof company.name, "Company %d", c);
        }
        company_t& player = economy->companies[0];
        player.trucks[0] = 0;
        player.trucks[1] = 1;
        player.trucks[2] = 2;
        player.money = 50000;
        player.prestige = 30.0f;
        player.headquarters = 0;
    }

    // Shows the notebook as the game controller does.
    void open_notebook() { ui_wshow(notebook_item, 0x20000000); }

    c_item_t* page_item(const char* name) { return window("notebook", name); }
    ui_view_t* component(const char* page, int id) { return ui_driver_find(page_item(page), id); }
    std::string value(const char* page, int id)
    {
        ui_view_t* view = component(page, id);
        return view ? ui_driver_get(view, "value") : "<missing>";
    }

    // Script pieces: components of `type` with `ids` in a column, and a page window.
    static std::string texts(const std::string& type, const std::vector<int>& ids)
    {
        std::string script;
        float top = 700.0f;
        for (const int id : ids) {
            script += "    entity " + type + " { id = " + std::to_string(id) + "; rect = 0 200 " + std::to_string(top) +
                      " " + std::to_string(top - 10.0f) + "; }\n";
            top -= 10.0f;
        }
        return script;
    }
    static std::string radios(const std::vector<int>& ids)
    {
        std::string script;
        float left = 0.0f;
        for (const int id : ids) {
            script += "        entity ui.comp.common.button { id = " + std::to_string(id) +
                      "; rect = " + std::to_string(left) + " " + std::to_string(left + 100.0f) +
                      " 760 730; button_type = radio; }\n";
            left += 110.0f;
        }
        return script;
    }
    static std::string checks(const std::vector<int>& ids)
    {
        std::string script;
        float top = 700.0f;
        for (const int id : ids) {
            script += "    entity ui.comp.common.button { id = " + std::to_string(id) + "; rect = 600 700 " +
                      std::to_string(top) + " " + std::to_string(top - 30.0f) + "; button_type = check; }\n";
            top -= 40.0f;
        }
        return script;
    }
    static std::string page(const std::string& name, const std::string& body)
    {
        return "entity ui.handler.screen." + name + " { }\nentity ui.window { rect = 0 1024 708 0;\n" + body + "}\n";
    }

    fake_economy_world_t economy_world;
    std::unique_ptr<economy_ctrl_e> economy_item;
    economy_ctrl_e* economy = nullptr;
    c_item_t* notebook_item = nullptr;
    ui_handler_menu_notebook_t* notebook = nullptr;
};

#include "economy_fixture.h"

#include "engine/random.h"

void economy_test::SetUp()
{
    engine_test_t::SetUp();
    ASSERT_TRUE(bind_engine_for_tests());
    random_reset();
    for (const char* city : {"alder", "birch", "cedar"})
        write_data_file(std::string("defs/cities/") + city + ".def",
                        std::string("city {\n    name = \"") + city + " town\"\n}\n");
    write_data_file(
        "defs/cargos/logs.def",
        "cargo {\n trailer = flatbed\n income = 100\n can_overweight = 1\n weight = 20\n fragility = 0.2\n}\n");
    write_data_file("defs/cargos/milk.def",
                    "cargo {\n trailer = boxvan\n income = 150\n weight = 10\n fragility = 0.8\n}\n");
    write_data_file("defs/cargos/gold.def",
                    "cargo {\n trailer = boxvan\n income = 500\n type = \"@@ct_specials@@\"\n}\n");
    write_data_file("defs/traders/mill.def", "trader {\n location = alder\n produce = logs\n accept = milk\n}\n");
    write_data_file("defs/traders/dairy.def",
                    "trader {\n location = birch\n produce = milk\n accept = \"logs;gold\"\n}\n");
    write_data_file("defs/traders/depot.def",
                    "trader {\n location = cedar\n produce = \"logs;milk\"\n accept = \"!all\"\n}\n");
    for (const char* driver : {"ann", "bob", "cid", "dan", "eve"})
        write_data_file(std::string("defs/drivers/") + driver + ".def",
                        "driver {\n salary_min = 500\n salary_max = 900\n prestige = 20\n pref_city = birch\n}\n");
    write_data_file("defs/dealers/north.def", "dealer {\n makes = rig\n offer = 2\n}\n");
    write_data_file("makes/truck/rig/description.def",
                    "truck {\n price = 80000\n access0 = motor\n access1 = cab\n}\n");
    write_data_file("makes/truck/rig/acc/motor/!desc.def",
                    "accessory {\n type = engine\n power = 60\n maint = 30\n prestige = 10\n}\n");
    write_data_file("makes/truck/rig/acc/cab/!desc.def", "accessory {\n type = cabin\n maint = 10\n prestige = 5\n}\n");
}

void economy_test::load(economy_ctrl_e& economy)
{
    economy.set_world(&world);
    economy.load_definitions();
}

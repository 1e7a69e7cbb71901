#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/random.h"
#include "common/format.h"
#include "../../game/economy_fixture.h"
#include "game/economy/economy_defs.h"
#include "ui/screens/notebook/shop_lines.h"
#include "ui/screens/notebook/truck_shop.h"

// The truck shop's business with the economy: truck purchases with trade-in and loans, sales, parts,
// paint, and drivers hired and swapped.

namespace {

class truck_shop_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        random_reset();
        write_data_file("defs/cities/alder.def", "city {\n name = Alder\n}\n");
        // Drivers in file order: ann (the player), bob, cid, dan, eve; eve needs prestige 90.
        for (const char* driver : {"ann", "bob", "cid", "dan"})
            write_data_file(std::string("defs/drivers/") + driver + ".def",
                            "driver {\n salary_min = 500\n salary_max = 900\n prestige = 20\n pref_city = alder\n}\n");
        write_data_file("defs/drivers/eve.def", "driver {\n salary_min = 700\n salary_max = 700\n prestige = 90\n}\n");
        // A make worth exactly 10000 and one worth 8000, both with plain parts only.
        write_data_file(
            "makes/truck/rig/description.def",
            "truck {\n name = Rig\n price = 10000\n access0 = cab\n access1 = motor\n access2 = paint\n}\n");
        write_data_file("makes/truck/van/description.def", "truck {\n name = Van\n price = 8000\n access0 = cab\n}\n");
        for (const char* make : {"rig", "van"})
            write_data_file(std::string("makes/truck/") + make + "/acc/cab/!desc.def",
                            "accessory {\n type = cabin\n shop_type = none\n}\n");
        write_data_file(
            "makes/truck/rig/acc/motor/!desc.def",
            "accessory {\n type = engine\n shop_type = engine\n name = Motor\n power = 50\n price = 900\n}\n");
        write_data_file(
            "makes/truck/rig/acc/turbo/!desc.def",
            "accessory {\n type = engine\n shop_type = engine\n name = Turbo\n power = 80\n maint = 5\n}\n");
        write_data_file(
            "makes/truck/rig/acc/horn/!desc.def",
            "accessory {\n type = horn\n shop_type = extras\n name = Horn\n prestige = 10\n price = 250\n}\n");
        write_data_file("makes/truck/rig/acc/paint/!desc.def", "accessory {\n type = paint\n shop_type = none\n}\n");
        write_data_file("makes/truck/rig/acc/flames/!desc.def",
                        "accessory {\n type = paint\n shop_type = paint\n name = Flames\n prestige = 5\n}\n");
        economy.set_world(&world);
        economy.load_definitions();
        ASSERT_EQ(economy.drivers.size(), 5u);
        economy.drivers[0].flags |= driver_is_player;
        for (driver_t& driver : economy.drivers)
            driver.flags &= ~driver_unknown_bit(0);
        economy.drivers[0].company = 0;
        economy.companies[0].trucks[0] = 0;
        economy.trucks[0] = build("rig");
        economy.trucks[0].owner = 0;
        economy.companies[0].money = 50000;
        economy.companies[0].prestige = 20.0f;
    }

    // A new truck of `make` with its standard parts, owned by `driver`.
    static company_truck_t build(const char* make, const int32_t driver = -1)
    {
        company_truck_t truck{};
        std::snprintf(truck.make, sizeof truck.make, "%s", make);
        truck_standard_accessories(truck);
        truck.condition = 1.0f;
        truck.owner = driver;
        return truck;
    }

    // Puts driver `driver`'s truck, a new `make`, into slot `slot` of the player's company.
    void own(const int32_t slot, const int32_t driver, const char* make = "rig")
    {
        company_truck_t& truck = economy.trucks[static_cast<size_t>(driver)];
        truck = build(make, driver);
        economy.drivers[static_cast<size_t>(driver)].company = 0;
        economy.companies[0].trucks[slot] = driver;
    }

    bool has_part(const int32_t slot, const char* name)
    {
        const company_truck_t* truck = shop.slot_record(slot);
        for (const auto& place : truck->accessories)
            if (std::strncmp(place, name, sizeof place) == 0)
                return true;
        return false;
    }

    fake_economy_world_t world;
    economy_ctrl_e economy;
    truck_shop_t shop{economy};
};

TEST_F(truck_shop_test, a_purchase_costs_the_price_less_the_trade_in_and_goes_through_at_exactly_the_money)
{
    // An empty slot: the whole price, and money equal to the cost is enough.
    economy.companies[0].money = 8000;
    const int32_t driver = shop.pending_driver(1);
    ASSERT_EQ(driver, 1);  // the first free driver the company's prestige reaches
    const auto bought = shop.buy_truck(1, build("van", driver), -1);
    EXPECT_EQ(bought.outcome, truck_shop_t::purchase_outcome_t::bought);
    EXPECT_EQ(bought.cost, 8000);
    EXPECT_EQ(economy.companies[0].money, 0);
    EXPECT_EQ(economy.companies[0].trucks[1], economy.drivers[1].truck);
    EXPECT_EQ(economy.drivers[1].company, 0);
    EXPECT_STREQ(shop.slot_record(1)->make, "van");
    EXPECT_EQ(shop.slot_record(1)->owner, 1);
    EXPECT_FLOAT_EQ(shop.slot_record(1)->rating, economy.truck_rating(*shop.slot_record(1)));

    // Replacing a truck worth 10000 by an offer of 8000: 8000 - 8500, the player gets 500.
    economy.companies[0].money = 0;
    ASSERT_EQ(shop.slot_value(0), 10000);
    const auto replaced = shop.buy_truck(0, build("van", shop.pending_driver(0)), -1);
    EXPECT_EQ(replaced.outcome, truck_shop_t::purchase_outcome_t::bought);
    EXPECT_EQ(replaced.cost, -500);
    EXPECT_EQ(economy.companies[0].money, 500);
    EXPECT_EQ(economy.companies[0].trucks[0], 0);
    EXPECT_EQ(economy.drivers[0].company, 0);
}

TEST_F(truck_shop_test, a_shortfall_is_offered_the_next_loan_step_within_the_ceiling_and_the_credit_limit)
{
    // Prestige 20: a credit limit of 200000; near it only what is left of it is offered.
    struct {
        int32_t shortfall;
        int32_t loan;
        int32_t offered;
    } const cases[] = {
        {1, 0, 10000}, {10000, 0, 20000}, {25000, 0, 30000}, {1, 149999, 10000}, {1, 150000, 0}, {50000, 140000, 60000},
    };
    for (const auto& c : cases) {
        economy.companies[0].loan = c.loan;
        EXPECT_EQ(shop.loan_offer(c.shortfall), c.offered) << c.shortfall << " short with a loan of " << c.loan;
    }
    economy.companies[0].prestige = 0.0f;  // a credit limit of 100000
    economy.companies[0].loan = 95000;
    EXPECT_EQ(shop.loan_offer(4000), 5000);
    EXPECT_EQ(shop.loan_offer(6000), 0);

    // A purchase the money does not reach changes nothing but offers the loan; once taken it goes through.
    economy.companies[0].prestige = 20.0f;
    economy.companies[0].loan = 0;
    economy.companies[0].money = 7999;
    const company_truck_t offer = build("van", shop.pending_driver(1));
    const auto short_of = shop.buy_truck(1, offer, -1);
    EXPECT_EQ(short_of.outcome, truck_shop_t::purchase_outcome_t::loan_offered);
    EXPECT_EQ(short_of.loan, 10000);
    EXPECT_EQ(economy.companies[0].trucks[1], -1);
    EXPECT_EQ(economy.companies[0].money, 7999);
    shop.take_loan(short_of.loan);
    EXPECT_EQ(economy.companies[0].loan, 10000);
    EXPECT_EQ(shop.buy_truck(1, offer, -1).outcome, truck_shop_t::purchase_outcome_t::bought);
    EXPECT_EQ(economy.companies[0].money, 17999 - 8000);

    economy.companies[0].loan = 150000;
    economy.companies[0].money = 0;
    EXPECT_EQ(shop.buy_truck(2, build("van", shop.pending_driver(2)), -1).outcome,
              truck_shop_t::purchase_outcome_t::no_loan);
}

TEST_F(truck_shop_test, a_purchase_without_offer_driver_slot_or_truck_record_changes_nothing)
{
    company_truck_t no_make = build("van", 1);
    no_make.make[0] = '\0';
    EXPECT_EQ(shop.buy_truck(1, no_make, -1).outcome, truck_shop_t::purchase_outcome_t::refused);
    EXPECT_EQ(shop.buy_truck(1, build("van", -1), -1).outcome, truck_shop_t::purchase_outcome_t::refused);
    EXPECT_EQ(shop.buy_truck(8, build("van", 1), -1).outcome, truck_shop_t::purchase_outcome_t::refused);
    EXPECT_EQ(shop.buy_truck(-1, build("van", 1), -1).outcome, truck_shop_t::purchase_outcome_t::refused);
    economy.drivers[1].truck = -1;
    EXPECT_EQ(shop.buy_truck(1, build("van", 1), -1).outcome, truck_shop_t::purchase_outcome_t::refused);
    EXPECT_EQ(economy.companies[0].money, 50000);
    EXPECT_EQ(economy.companies[0].trucks[1], -1);

    // No free driver the company's prestige reaches: nobody to buy a truck for.
    for (int32_t d = 1; d < 4; ++d)
        economy.drivers[static_cast<size_t>(d)].company = 2;
    EXPECT_EQ(shop.pending_driver(1), -1);
    economy.companies[0].prestige = 90.0f;
    EXPECT_EQ(shop.pending_driver(1), 4);
    economy.drivers[4].flags |= driver_unknown_bit(0);
    EXPECT_EQ(shop.pending_driver(1), -1);
}

TEST_F(truck_shop_test, the_fleet_level_rises_at_the_fourth_and_seventh_truck_and_never_falls)
{
    economy.companies[0].money = 1000000;
    while (economy.drivers.size() < 8) {
        economy.drivers.push_back(economy.drivers[1]);
        economy.drivers.back().truck = static_cast<int32_t>(economy.trucks.size());
        economy.trucks.push_back(company_truck_t{});
    }
    const int32_t levels[] = {0, 0, 1, 1, 1, 2};  // after slots 1 to 6 are bought: 2 to 7 trucks
    for (int32_t slot = 1; slot <= 6; ++slot) {
        ASSERT_EQ(shop.buy_truck(slot, build("van", slot), -1).outcome, truck_shop_t::purchase_outcome_t::bought);
        EXPECT_EQ(economy.companies[0].level, levels[slot - 1]) << "after slot " << slot;
    }
    ASSERT_GT(shop.sell_truck(6), 0);
    ASSERT_GT(shop.sell_truck(5), 0);
    ASSERT_GT(shop.sell_truck(4), 0);
    EXPECT_EQ(economy.companies[0].level, 2);
}

TEST_F(truck_shop_test, a_sale_pays_the_trade_in_and_frees_the_driver_but_the_driven_truck_is_not_for_sale)
{
    EXPECT_EQ(shop.sell_truck(0), -1);
    EXPECT_EQ(economy.companies[0].trucks[0], 0);
    EXPECT_EQ(economy.companies[0].money, 50000);
    EXPECT_EQ(shop.sell_truck(3), -1);  // empty

    own(3, 2);
    EXPECT_EQ(shop.sell_truck(3), 8500);
    EXPECT_EQ(economy.companies[0].money, 58500);
    EXPECT_EQ(economy.companies[0].trucks[3], -1);
    EXPECT_EQ(economy.drivers[2].company, -1);
    EXPECT_STREQ(economy.trucks[2].make, "rig");  // the record stays the driver's
}

TEST_F(truck_shop_test, parts_replace_their_type_refund_in_full_and_need_more_money_than_their_price)
{
    int32_t turbo = 0, motor = 0, horn = 0;
    ASSERT_TRUE(truck_acc_def_stats("rig", "turbo", turbo));
    ASSERT_TRUE(truck_acc_def_stats("rig", "motor", motor));
    ASSERT_TRUE(truck_acc_def_stats("rig", "horn", horn));

    economy.companies[0].money = turbo;
    EXPECT_EQ(shop.buy_part(0, "turbo"), truck_shop_t::part_outcome_t::too_dear);
    EXPECT_FALSE(has_part(0, "turbo"));

    // The turbo takes the motor's place (both engines), and the motor's own price comes back.
    economy.companies[0].money = turbo + 1;
    EXPECT_EQ(shop.buy_part(0, "turbo"), truck_shop_t::part_outcome_t::bought);
    EXPECT_TRUE(has_part(0, "turbo"));
    EXPECT_FALSE(has_part(0, "motor"));
    EXPECT_STREQ(shop.slot_record(0)->accessories[1], "turbo");
    EXPECT_EQ(economy.companies[0].money, 1 + motor);
    EXPECT_FLOAT_EQ(shop.slot_record(0)->rating, economy.truck_rating(*shop.slot_record(0)));

    // A new type goes into the first free place; with none free nothing is bought.
    economy.companies[0].money = 100000;
    for (int i = 3; i < truck_accessory_count; ++i)
        std::snprintf(shop.slot_record(0)->accessories[i], 32, "junk%d", i);
    EXPECT_EQ(shop.buy_part(0, "horn"), truck_shop_t::part_outcome_t::no_place);
    EXPECT_EQ(economy.companies[0].money, 100000);
    shop.slot_record(0)->accessories[40][0] = '\0';
    EXPECT_EQ(shop.buy_part(0, "horn"), truck_shop_t::part_outcome_t::bought);
    EXPECT_STREQ(shop.slot_record(0)->accessories[40], "horn");
    EXPECT_EQ(economy.companies[0].money, 100000 - horn);
    EXPECT_EQ(shop.slot_record(0)->prestige, 10);

    // Selling pays the raw "price" key back, not the computed price.
    EXPECT_TRUE(shop.sell_part(0, "HORN"));
    EXPECT_EQ(economy.companies[0].money, 100000 - horn + 250);
    EXPECT_FALSE(has_part(0, "horn"));
    EXPECT_EQ(shop.slot_record(0)->prestige, 0);
    EXPECT_FALSE(shop.sell_part(0, "horn"));
    EXPECT_EQ(shop.buy_part(5, "horn"), truck_shop_t::part_outcome_t::refused);
    EXPECT_EQ(shop.buy_part(0, "nothing"), truck_shop_t::part_outcome_t::refused);
}

TEST_F(truck_shop_test, a_plain_colour_takes_every_paint_job_off_for_free)
{
    economy.companies[0].money = 100000;
    ASSERT_EQ(shop.buy_part(0, "flames"), truck_shop_t::part_outcome_t::bought);
    EXPECT_TRUE(has_part(0, "flames"));
    EXPECT_FALSE(has_part(0, "paint"));  // one paint job replaces the other
    const int32_t money = economy.companies[0].money;
    EXPECT_TRUE(shop.apply_paint(0, 0x123456));
    EXPECT_EQ(shop.slot_record(0)->colour, 0x123456u);
    EXPECT_FALSE(has_part(0, "flames"));
    EXPECT_TRUE(has_part(0, "motor"));
    EXPECT_EQ(economy.companies[0].money, money);
    EXPECT_FALSE(shop.apply_paint(4, 0x123456));
}

TEST_F(truck_shop_test, a_hired_driver_takes_over_the_truck_and_its_wage_enters_the_week)
{
    own(1, 1);
    economy.drivers[1].salary = 600;
    economy.drivers[4].salary = 700;
    economy.drivers[4].pref_cities[0] = 7;
    economy.companies[0].money = 0;
    economy.weekly_report();
    const int32_t costs_before = economy.companies[0].week_costs;

    EXPECT_FALSE(shop.hire(0, 4));  // the player drives slot 0 himself
    EXPECT_FALSE(shop.hire(2, 4));  // no truck
    EXPECT_FALSE(shop.hire(1, 9));  // no such driver
    ASSERT_TRUE(shop.hire(1, 4));
    EXPECT_EQ(economy.drivers[4].company, 0);
    EXPECT_EQ(economy.drivers[1].company, -1);
    EXPECT_EQ(economy.drivers[4].truck, 1);
    EXPECT_EQ(economy.drivers[1].truck, 4);
    EXPECT_EQ(economy.trucks[1].owner, 4);
    EXPECT_EQ(economy.trucks[4].owner, 1);
    EXPECT_EQ(economy.drivers[4].pref_cities[0], 0);  // Alder, the leaving driver's
    EXPECT_EQ(economy.drivers[1].pref_cities[0], -1);
    EXPECT_EQ(economy.companies[0].trucks[1], 1);
    EXPECT_FALSE(shop.hire(1, 4));  // already the company's

    economy.weekly_report();
    EXPECT_EQ(economy.companies[0].week_costs - costs_before, 100);
}

TEST_F(truck_shop_test, swapped_drivers_exchange_their_trucks_but_the_player_keeps_his)
{
    own(1, 1);
    own(2, 2, "van");
    ASSERT_TRUE(shop.swap(1, 2));
    EXPECT_EQ(economy.drivers[1].truck, 2);
    EXPECT_EQ(economy.drivers[2].truck, 1);
    EXPECT_EQ(economy.trucks[2].owner, 1);
    EXPECT_EQ(economy.trucks[1].owner, 2);
    EXPECT_EQ(economy.companies[0].trucks[1], 1);
    EXPECT_FALSE(shop.swap(0, 1));
    EXPECT_FALSE(shop.swap(1, -1));
    EXPECT_FALSE(shop.swap(1, 3));  // not the company's
}

TEST(shop_lines, part_groups_come_from_the_shop_type_word)
{
    const std::pair<const char*, int32_t> cases[] = {{"engine", 0}, {"Transmission", 1}, {"BRAKES", 2},
                                                     {"pneu", 3},   {"none", -1},        {"", -1},
                                                     {"extras", 4}, {"paint", 4}};
    for (const auto& [word, group] : cases)
        EXPECT_EQ(part_group_from_shop_type(word), group) << word;
}

class shop_lines_test : public truck_shop_test {};

TEST_F(shop_lines_test, figures_show_green_when_they_help_and_red_when_they_hurt)
{
    write_data_file("makes/truck/rig/acc/worn/!desc.def",
                    "accessory {\n type = engine\n imgs = w.shd\n name = Worn\n power = -5\n maint = 5\n}\n");
    write_data_file("makes/truck/rig/acc/tuned/!desc.def",
                    "accessory {\n type = engine\n imgs = t.shd\n name = Tuned\n handling = 3\n maint = -5\n}\n");
    struct {
        const char* name;
        bool paint;
        const char* figures;
    } const cases[] = {
        {"worn", false, "w.shd|Worn|\\r-5%\\w|0%|0%|\\r+5%\\w|\\c"},
        {"tuned", false, "t.shd|Tuned|0%|\\g+3%\\w|0%|\\g-5%\\w|\\c"},
        {"flames", true, "|@@ui_paint_job@@ \"Flames\"|0%|0%|\\g+5%\\w|0%|\\c"},
    };
    for (const auto& c : cases) {
        char line[shop_line_size];
        accessory_line("rig", c.name, c.paint, line);
        EXPECT_EQ(std::string(line).substr(0, std::strlen(c.figures)), c.figures);
        int32_t price = 0;
        truck_acc_def_stats("rig", c.name, price);
        char money[64];
        format_money(price, money, sizeof money, 0xFFFFFFFFu);
        EXPECT_EQ(std::string(line).substr(std::strlen(c.figures)), money) << c.name;
    }
    char offer[shop_line_size];
    company_truck_t truck = build("rig");
    std::snprintf(truck.accessories[5], 32, "horn");
    offer_line(economy, truck, offer);
    char money[64];
    format_money(economy.truck_value(truck), money, sizeof money, 0xFFFFFFFFu);
    EXPECT_EQ(std::string(offer), std::string("Rig|\\g50%\\w|0%|\\g10%\\w|0%|\\c") + money);
}

}  // namespace

#include "ui/screens/notebook/truck_shop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/random.h"
#include "common/game_bridge.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"

namespace {

// The "type" of accessory `name` of `make` (empty when it has none).
void part_type(const char* make, const char* name, char (&out)[32])
{
    truck_acc_def_string(make, name, "type", out, sizeof out);
}

}  // namespace

truck_make_text_t::truck_make_text_t(const company_truck_t& truck)
{
    std::snprintf(text, sizeof text, "%.*s", static_cast<int>(sizeof truck.make), truck.make);
}

int32_t truck_shop_t::slot_truck(const int32_t slot) const
{
    if (slot < 0 || slot >= company_truck_slots)
        return -1;
    const int32_t truck = economy_.companies[0].trucks[slot];
    return valid_truck(truck) ? truck : -1;
}

company_truck_t* truck_shop_t::slot_record(const int32_t slot)
{
    const int32_t truck = slot_truck(slot);
    return truck == -1 ? nullptr : &economy_.trucks[static_cast<size_t>(truck)];
}

int32_t truck_shop_t::slot_value(const int32_t slot) const
{
    const int32_t truck = slot_truck(slot);
    return truck == -1 ? 0 : economy_.truck_value(economy_.trucks[static_cast<size_t>(truck)]);
}

int32_t truck_shop_t::trade_in(const int32_t value)
{
    const float share = static_cast<float>(value) * trade_in_rate;
    return nearest(share);
}

void truck_shop_t::update_fleet_level()
{
    int occupied = 0;
    for (int slot = 0; slot < company_truck_slots; ++slot)
        occupied += economy_.companies[0].trucks[slot] != -1 ? 1 : 0;
    int32_t& level = economy_.companies[0].level;
    if (occupied >= 7)
        level = std::max(level, 2);
    else if (occupied >= 4)
        level = std::max(level, 1);
}

int32_t truck_shop_t::pending_driver(const int32_t slot) const
{
    if (slot < 0 || slot >= company_truck_slots)
        return -1;
    const int32_t truck = slot_truck(slot);
    if (truck != -1)
        return economy_.trucks[static_cast<size_t>(truck)].owner;
    const int32_t reach = nearest(economy_.companies[0].prestige);
    for (size_t d = 0; d < economy_.drivers.size(); ++d) {
        const driver_t& driver = economy_.drivers[d];
        int32_t needed = 0;
        driver_def_int(driver.name, "prestige", needed);
        if (driver.company == -1 && !(driver.flags & driver_unknown_bit(0)) && needed <= reach)
            return static_cast<int32_t>(d);
    }
    return -1;
}

int32_t truck_shop_t::loan_offer(const int32_t shortfall) const
{
    const company_t& company = economy_.companies[0];
    if (shortfall <= 0 || company.loan >= loan_ceiling)
        return 0;
    const int64_t steps = static_cast<int64_t>(shortfall) / loan_step + 1;
    const int64_t room = static_cast<int64_t>(economy_.company_credit_limit(0)) - company.loan;
    const int64_t offer = std::min(std::max<int64_t>(steps * loan_step, loan_step), room);
    return offer >= shortfall ? static_cast<int32_t>(offer) : 0;
}

void truck_shop_t::take_loan(const int32_t amount)
{
    economy_.companies[0].loan += amount;
    economy_.add_money(amount, 0);
}

truck_shop_t::purchase_t truck_shop_t::buy_truck(const int32_t slot, const company_truck_t& build, const int32_t stock)
{
    purchase_t result;
    const int32_t driver = build.owner;
    if (slot < 0 || slot >= company_truck_slots || !valid_driver(driver) || build.make[0] == '\0')
        return result;
    const int32_t price = economy_.truck_value(build);
    result.cost = price - trade_in(slot_value(slot));
    const int64_t shortfall = static_cast<int64_t>(result.cost) - economy_.companies[0].money;
    if (shortfall > 0) {
        result.loan = shortfall <= INT32_MAX ? loan_offer(static_cast<int32_t>(shortfall)) : 0;
        result.outcome = result.loan > 0 ? purchase_outcome_t::loan_offered : purchase_outcome_t::no_loan;
        return result;
    }
    driver_t& record = economy_.drivers[static_cast<size_t>(driver)];
    if (!valid_truck(record.truck))
        return result;
    economy_.companies[0].trucks[slot] = record.truck;
    record.company = 0;
    company_truck_t& truck = economy_.trucks[static_cast<size_t>(record.truck)];
    truck = build;
    truck.owner = driver;
    recolour_offer(stock);
    update_fleet_level();
    economy_.add_money(-result.cost, 0);
    refigure(truck);
    result.outcome = purchase_outcome_t::bought;
    return result;
}

int32_t truck_shop_t::sell_truck(const int32_t slot)
{
    if (slot == 0 || slot_truck(slot) == -1)
        return -1;
    const int32_t sale = trade_in(slot_value(slot));
    const int32_t driver = economy_.trucks[static_cast<size_t>(slot_truck(slot))].owner;
    if (valid_driver(driver))
        economy_.drivers[static_cast<size_t>(driver)].company = -1;
    economy_.companies[0].trucks[slot] = -1;
    economy_.add_money(sale, 0);
    return sale;
}

int truck_shop_t::find_part_of_type(const char* make, const char (*accessories)[32], const char* type)
{
    for (int i = 0; i < truck_accessory_count; ++i) {
        if (accessories[i][0] == '\0')
            continue;
        char name[33];
        std::snprintf(name, sizeof name, "%.*s", 32, accessories[i]);
        char own[32];
        part_type(make, name, own);
        if (strcasecmp(own, type) == 0)
            return i;
    }
    return -1;
}

int truck_shop_t::fit_part(const char* make, char (*accessories)[32], const char* name)
{
    char type[32];
    part_type(make, name, type);
    int place = find_part_of_type(make, accessories, type);
    for (int i = 0; place == -1 && i < truck_accessory_count; ++i)
        if (accessories[i][0] == '\0')
            place = i;
    if (place != -1)
        std::snprintf(accessories[place], sizeof accessories[place], "%.31s", name);
    return place;
}

truck_shop_t::part_outcome_t truck_shop_t::buy_part(const int32_t slot, const char* name)
{
    company_truck_t* const truck = slot_record(slot);
    if (!truck || !name || !name[0])
        return part_outcome_t::refused;
    const truck_make_text_t make(*truck);
    int32_t price = 0;
    if (!truck_acc_def_stats(make.text, name, price))
        return part_outcome_t::refused;
    if (price >= economy_.companies[0].money)
        return part_outcome_t::too_dear;
    char type[32];
    part_type(make.text, name, type);
    const int replaced = find_part_of_type(make.text, truck->accessories, type);
    if (replaced != -1) {
        int32_t refund = 0;
        truck_acc_def_stats(make.text, truck->accessories[replaced], refund);
        economy_.add_money(refund, 0);
    }
    if (fit_part(make.text, truck->accessories, name) == -1)
        return part_outcome_t::no_place;
    economy_.add_money(-price, 0);
    refigure(*truck);
    return part_outcome_t::bought;
}

bool truck_shop_t::sell_part(const int32_t slot, const char* name)
{
    company_truck_t* const truck = slot_record(slot);
    if (!truck || !name || !name[0])
        return false;
    const truck_make_text_t make(*truck);
    for (auto& place : truck->accessories) {
        if (strncasecmp(place, name, sizeof place) != 0)
            continue;
        int32_t refund = 0;
        truck_acc_def_int(make.text, name, "price", refund);
        economy_.add_money(refund, 0);
        std::memset(place, 0, sizeof place);
        truck->prestige = economy_.truck_sum_prestige(*truck);
        return true;
    }
    return false;
}

bool truck_shop_t::apply_paint(const int32_t slot, const uint32_t colour)
{
    company_truck_t* const truck = slot_record(slot);
    if (!truck)
        return false;
    const truck_make_text_t make(*truck);
    truck->colour = colour;
    for (int place; (place = find_part_of_type(make.text, truck->accessories, "paint")) != -1;)
        std::memset(truck->accessories[place], 0, sizeof truck->accessories[place]);
    return true;
}

bool truck_shop_t::hire(const int32_t slot, const int32_t driver)
{
    if (slot == 0 || slot_truck(slot) == -1 || !valid_driver(driver))
        return false;
    const int32_t own_truck = slot_truck(slot);
    const int32_t old = economy_.trucks[static_cast<size_t>(own_truck)].owner;
    driver_t& hired = economy_.drivers[static_cast<size_t>(driver)];
    if (!valid_driver(old) || old == driver || hired.company != -1 || !valid_truck(hired.truck))
        return false;
    driver_t& leaving = economy_.drivers[static_cast<size_t>(old)];
    leaving.company = -1;
    hired.company = 0;
    std::memcpy(hired.pref_cities, leaving.pref_cities, sizeof hired.pref_cities);
    std::memcpy(hired.pref_cargos, leaving.pref_cargos, sizeof hired.pref_cargos);
    std::memset(leaving.pref_cities, -1, sizeof leaving.pref_cities);
    std::memset(leaving.pref_cargos, -1, sizeof leaving.pref_cargos);
    leaving.truck = hired.truck;
    economy_.trucks[static_cast<size_t>(leaving.truck)].owner = old;
    hired.truck = own_truck;
    economy_.trucks[static_cast<size_t>(own_truck)].owner = driver;
    refigure(economy_.trucks[static_cast<size_t>(leaving.truck)]);
    refigure(economy_.trucks[static_cast<size_t>(own_truck)]);
    return true;
}

bool truck_shop_t::swap(const int32_t driver, const int32_t other)
{
    if (!valid_driver(driver) || !valid_driver(other) || driver == other)
        return false;
    driver_t& a = economy_.drivers[static_cast<size_t>(driver)];
    driver_t& b = economy_.drivers[static_cast<size_t>(other)];
    // The player keeps the truck he drives.
    if ((a.flags | b.flags) & driver_is_player)
        return false;
    if (a.company != 0 || b.company != 0 || !valid_truck(a.truck) || !valid_truck(b.truck))
        return false;
    std::swap(a.truck, b.truck);
    economy_.trucks[static_cast<size_t>(a.truck)].owner = driver;
    economy_.trucks[static_cast<size_t>(b.truck)].owner = other;
    refigure(economy_.trucks[static_cast<size_t>(a.truck)]);
    refigure(economy_.trucks[static_cast<size_t>(b.truck)]);
    return true;
}

bool truck_shop_t::valid_driver(const int32_t driver) const
{
    return driver >= 0 && driver < static_cast<int32_t>(economy_.drivers.size());
}

bool truck_shop_t::valid_truck(const int32_t truck) const
{
    return truck >= 0 && truck < static_cast<int32_t>(economy_.trucks.size());
}

void truck_shop_t::refigure(company_truck_t& truck) const
{
    truck.rating = economy_.truck_rating(truck);
    truck.prestige = economy_.truck_sum_prestige(truck);
}

void truck_shop_t::recolour_offer(const int32_t stock)
{
    const game_bridge_t* const bridge = economy_.bridge;
    if (!bridge || stock < 0 || stock >= static_cast<int32_t>(economy_.dealer_stock.size()))
        return;
    company_truck_t& offer = economy_.dealer_stock[static_cast<size_t>(stock)];
    const uint32_t count = bridge->colour_count();
    bool other_exists = false;
    for (uint32_t i = 0; i < count; ++i)
        other_exists = other_exists || bridge->colour(i) != offer.colour;
    // A table without another colour leaves the offer as it is.
    if (!other_exists)
        return;
    uint32_t colour = offer.colour;
    while (colour == offer.colour)
        colour = bridge->colour(static_cast<uint32_t>(nearest(sys_rand() * static_cast<float>(count - 1))));
    offer.colour = colour;
}

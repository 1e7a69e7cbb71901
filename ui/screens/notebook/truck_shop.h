#pragma once
#include <cstdint>

#include "game/economy/economy_records.h"

class economy_ctrl_e;

// A company truck's make as a terminated text (the record's field may fill all its bytes).
struct truck_make_text_t {
    explicit truck_make_text_t(const company_truck_t& truck);
    char text[sizeof company_truck_t::make + 1];
};

// The truck shop's business with the economy: it buys, replaces and sells the trucks of the player's
// company (company 0), fits and sells their parts, repaints them and hires and swaps their drivers. It
// changes the economy's records only; the trucks page shows the outcome and rebuilds the driven truck.
// Slot 0 holds the truck the player drives himself: it can be replaced and fitted, never sold, and its
// driver (the player) is never hired away or swapped.
class truck_shop_t {
public:
    // A trade-in or a sale gets this share of the truck's value.
    static constexpr float trade_in_rate = 0.85f;
    // No loan is offered for a truck while the company owes this much.
    static constexpr int32_t loan_ceiling = 150000;
    // Loans are offered in steps of this much.
    static constexpr int32_t loan_step = 10000;

    // What a truck purchase came to.
    enum class purchase_outcome_t {
        refused,       // no offer, no driver, a slot out of range or a driver without a truck record
        bought,        // the truck is the company's and the cost was paid
        loan_offered,  // the money does not reach; `loan` would cover it
        no_loan,       // the money does not reach and no loan covers it
    };
    struct purchase_t {
        purchase_outcome_t outcome = purchase_outcome_t::refused;
        int32_t cost = 0;  // price minus trade-in
        int32_t loan = 0;  // the loan offered
    };
    // What a part purchase came to.
    enum class part_outcome_t {
        bought,
        refused,   // no truck in the slot, or the part has no definition
        too_dear,  // the price is at or above the money
        no_place,  // a part of a new type and no free place on the truck
    };

    explicit truck_shop_t(economy_ctrl_e& economy) : economy_(economy) {}

    // The company-truck record of slot `slot` of the player's company: its index (-1 for an empty
    // slot, a slot out of 0-7 or an index past the records) and the record itself (null then).
    int32_t slot_truck(int32_t slot) const;
    company_truck_t* slot_record(int32_t slot);
    // The value of the slot's truck, 0 for an empty slot.
    int32_t slot_value(int32_t slot) const;
    // `value` x 0.85 in single precision, rounded to the nearest whole number (ties to even).
    static int32_t trade_in(int32_t value);
    // The number of occupied slots raises the company's level (4 to 6 trucks: 1, 7 or 8: 2), never lowers it.
    void update_fleet_level();
    // The driver of a truck bought into `slot`: the slot's truck's driver, or for an empty slot the
    // first free driver known to the company whose "prestige" the company's prestige reaches; -1 none.
    int32_t pending_driver(int32_t slot) const;

    // The loan offered for a purchase `shortfall` short: the next step above the shortfall, kept within
    // the company's credit limit; 0 when the company owes the ceiling or the limit leaves too little.
    int32_t loan_offer(int32_t shortfall) const;
    // The company borrows `amount`.
    void take_loan(int32_t amount);
    // Buys `build` (its owner the driver who will drive it) into `slot`, trading in the slot's truck;
    // the dealer's stock record `stock` (-1 none) is offered again in another colour.
    purchase_t buy_truck(int32_t slot, const company_truck_t& build, int32_t stock);
    // Sells the slot's truck for its trade-in; its driver leaves the company. The sale, or -1 when the
    // slot is empty or is slot 0 (the player would lose the truck he drives).
    int32_t sell_truck(int32_t slot);

    // Fits accessory `name` on the slot's truck, paying for it and paying back the part of its type it
    // replaces.
    part_outcome_t buy_part(int32_t slot, const char* name);
    // Takes part `name` off the slot's truck and pays back its "price"; false when it is not there.
    bool sell_part(int32_t slot, const char* name);
    // Paints the slot's truck `colour`, free, taking every paint job off; false without a truck.
    bool apply_paint(int32_t slot, uint32_t colour);

    // Driver `driver` (a free one) drives the truck of slot 1-7 in place of its driver, who leaves the
    // company; false when nothing changed.
    bool hire(int32_t slot, int32_t driver);
    // Two drivers of the company exchange their trucks; false when nothing changed.
    bool swap(int32_t driver, int32_t other);

    // The first place of `accessories` holding a part of `type` (ignoring case), -1 none.
    static int find_part_of_type(const char* make, const char (*accessories)[32], const char* type);
    // Puts `name` on `accessories` as a purchase would: over the part of its type, else into the first
    // free place. The place used, -1 when there was none.
    static int fit_part(const char* make, char (*accessories)[32], const char* name);

private:
    // A driver index of the economy.
    bool valid_driver(int32_t driver) const;
    bool valid_truck(int32_t truck) const;
    // The record's rating and prestige after a change of parts or driver.
    void refigure(company_truck_t& truck) const;
    // The dealer's stock record `stock` in a colour of the car-colour table other than its own.
    void recolour_offer(int32_t stock);

    economy_ctrl_e& economy_;
};

#pragma once
#include <cstdint>

#include "game/economy/economy_records.h"
#include "ui/screens/ui_handler_screen_base.h"

class economy_ctrl_e;

// The notebook's trucks page, the company's truck shop ("ui.handler.screen.trucks", window "trucks"
// of group "notebook"): the eight truck slots of the player's company and, for the selected slot, its
// truck, driver, value, attributes and parts. The player buys a truck into an empty slot or replaces
// one (offered a loan when the money does not reach), sells trucks, hires and swaps drivers through
// the driver dialog, fits and sells parts, and repaints through the colour dialog. Slot 0 is the truck
// the player drives: what changes it changes the truck on the road.
class ui_handler_screen_trucks_t : public ui_handler_screen_base_t {
public:
    // Component ids of the page's window.
    enum component_t : int {
        part_group_first = 30,   // 30-34: radio buttons of the part groups
        slot_button_first = 40,  // 40-47: truck buttons of the slots
        value_group = 50,
        value_text = 52,
        auto_turn_button = 53,
        price_text = 54,
        trade_in_text = 55,
        balance_text = 56,
        price_group = 57,
        driver_image = 60,
        driver_name = 61,
        driver_salary = 62,
        driver_rating = 63,
        hire_button = 70,
        swap_button = 71,
        truck_view = 80,
        make_name = 81,
        parts_list = 90,
        fitted_list = 91,
        fitted_more = 92,
        sell_part_button = 93,
        buy_button = 94,
        parts_more = 95,
        money_text = 100,
        rating_text = 105,
        paint_button = 110,
        buy_mode_button = 120,
        sell_button = 130,
        normal_group = 140,
        buy_group = 150,
        offer_text = 155,
        parts_panel = 200,
        offers_panel = 210,
        offers_list = 220,
        no_offers = 230,
        slot_bars = 300,
        offer_bars = 400,
        help_text = 500,
    };

    const char* get_default_name() const override { return "ui.handler.screen.trucks"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.trucks"; }

    // Fields reset; then the base's.
    void on_wcreate() override;
    // The slots, the selected slot, the part group, money, panels, offers and bars.
    void on_wshow() override;
    // Leaves buy mode and drops the truck being bought.
    void on_whide() override;
    // The answer of the loan box, then the base's.
    void handler() override;
    // Buttons, list picks and the quick help; nothing is reported consumed.
    bool handle(ui_view_t* view, int code, void* param) override;

    // The colour dialog: the colour it starts from, a colour shown on the truck without being kept, the
    // stored colour shown again, and the new paint.
    uint32_t get_paint_color() const;
    void preview_paint_color(uint32_t colour);
    void cancel_paint();
    void apply_paint_color(uint32_t colour);
    // The driver dialog: driver `driver` hired for the selected truck (or for the truck being bought),
    // or drivers `driver` and `current` swapping their trucks.
    void confirm_hire(int32_t driver);
    void confirm_swap(int32_t driver, int32_t current);

    int32_t picked_part = -1;    // index in the parts list of the part tried on, -1 none
    int32_t loan_pending = 0;    // 1 while the loan box of a purchase is open
    int32_t offered_loan = 0;    // the loan offered in it
    bool buy_mode = false;       // the page shows the dealers' offers
    int32_t part_group = -1;     // the part group shown, -1 before the first show
    company_truck_t pending{};   // the truck being bought; its owner the driver who will drive it
    int32_t pending_stock = -1;  // the dealer's stock record it came from

private:
    int32_t slot() const;
    // The selected slot's company truck, null for none.
    company_truck_t* slot_truck() const;

    // Money and rating.
    void show_money();
    // Panels of the mode, and the slot view refilled in buy mode.
    void show_mode_panels();
    // Selects `slot`: its buttons, the notebook's slot, the view and the mode again.
    void select_slot(int32_t slot);
    // The slot view with `truck` (null for none).
    void fill_slot_view(const company_truck_t* truck, int32_t slot);
    void show_driver(const company_truck_t& truck, int32_t slot);
    void toggle_buy_mode(bool enter);
    void fill_offers();
    void pick_offer(int32_t stock);
    void purchase();
    void sell_truck();
    void open_driver_dialog(int32_t mode);
    void quick_help(int id);
    // Clicks button `id` with the click muted.
    void click_muted_button(int id);
    // Sets button `id` unpressed with the click muted.
    void unpress(int id);
    void show_view(int id, bool on);
    void set_text(int id, const char* text);
    // The caption of a button that stays pressed, in both of its states.
    void set_caption(int id, const char* text);
    void set_money_text(int id, int32_t amount);

    // --- Parts and paint ---
    void select_part_group(int32_t group);
    void refill_lists();
    void pick_accessory();
    void buy_part();
    void sell_part();
    void open_paint_dialog();
    // The 3-D view and the slot's button show `accessories` of `truck` in `colour`.
    void show_truck_model(const company_truck_t& truck, const char (*accessories)[32], uint32_t colour);
    // The driven truck follows slot 0's record.
    void rebuild_driven_truck();
    void show_attributes(const char* make, const char (*list_a)[32], const char (*list_b)[32], int base);
    void refresh_attribute_panels();
    // The slot's record changed: its button, the model, the driven truck, money, lists and panels.
    void after_part_change();
};

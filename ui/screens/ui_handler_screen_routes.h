#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/screens/ui_handler_screen_base.h"

class economy_ctrl_e;
class pml_buffer_t;
class ui_comp_arrow_t;
class ui_view_t;
struct c_item_t;
struct driver_t;

// The notebook's routes page ("ui.handler.screen.routes", window "routes" of group "notebook"): the map
// with a button for each city and the freight orders as arrows between them (to or from a chosen city,
// or of a chosen cargo), the company's eight truck slots, a hired driver's current order with his
// progress and his four planned orders, his preferred cities and cargos (set with the second pointer
// button), and over the map each city's master with a bar per company for its haul score there.
class ui_handler_screen_routes_t : public ui_handler_screen_base_t {
public:
    // Ids of the page's components.
    static constexpr int cargo_list_id = 10;
    static constexpr int map_id = 20;
    static constexpr int anchor_id = 21;
    static constexpr int first_slot_id = 40;
    static constexpr int face_id = 60;
    static constexpr int driver_name_id = 61;
    static constexpr int salary_id = 62;
    static constexpr int rating_id = 63;
    static constexpr int order_cargo_id = 100;
    static constexpr int order_source_id = 110;
    static constexpr int order_destination_id = 120;
    static constexpr int to_city_id = 200;
    static constexpr int from_city_id = 210;
    static constexpr int hide_id = 220;
    static constexpr int money_id = 300;
    static constexpr int company_rating_id = 310;
    static constexpr int help_id = 500;
    // City button of city i: first_city_id + i, for at most city_id_count cities.
    static constexpr int first_city_id = 10000;
    static constexpr int city_id_count = 1001;
    // Id of the tooltip in the pointer's window, and the longest route tooltip.
    static constexpr int tooltip_id = 100;
    static constexpr size_t tooltip_limit = 8190;
    // The route arrows grow by this many at a time.
    static constexpr int arrow_pool_step = 16;
    // Size of the map picture the cities' "posx" and "posy" are given in.
    static constexpr float map_picture_width = 512.0f;
    static constexpr float map_picture_height = 256.0f;

    ui_handler_screen_routes_t() = default;
    ~ui_handler_screen_routes_t() override;

    const char* get_default_name() const override { return "ui.handler.screen.routes"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.routes"; }

    void on_wcreate() override;
    void on_wdestroy() override;
    // The first showing builds the map's views, city buttons and cargo list; every showing refreshes
    // the slots, the chosen slot's driver, the overlay and the company's money and rating.
    void on_wshow() override;
    // Draws the masters' flags and bars over the window.
    void post_wdraw() override;
    // Quick help, the city, slot, direction and hide buttons, the cargo list and the preferences.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Shows the orders to (direction 1) or from (0) city `city`.
    void select_city(int32_t city);
    // Shows every order of cargo `cargo`.
    void select_cargo(int32_t cargo);
    // Chooses truck slot `slot` for the notebook and shows its driver.
    void select_slot(int32_t slot);
    // Hides every order arrow and forgets the chosen city and cargo.
    void hide_routes();
    // Adds city `city` or cargo `cargo` to the chosen driver's preferences, or takes it out.
    void toggle_preferred_city(int32_t city);
    void toggle_preferred_cargo(int32_t cargo);
    // Writes the help of component `id` (-1: none) to the page's help line.
    void quick_help(int id);

    uint8_t first_show = 1;
    int32_t selected_truck = -1;
    int32_t selected_cargo = -1;
    int32_t selected_city = -1;
    int32_t direction = -1;         // -1 not yet chosen, 0 from the city, 1 to the city
    std::vector<c_item_t*> arrows;  // the route arrows, made as needed
    std::unique_ptr<pml_buffer_t> overlay;
    std::vector<float> city_marks;  // x, y of each city's flag, markup coordinates
    c_item_t* pref_marks[3] = {};
    c_item_t* slot_arrows[8] = {};
    c_item_t* job_arrows[8][4] = {};

private:
    // Makes a view of `type` in the window before the anchor, set up and hidden; null when it fails.
    c_item_t* spawn_view(const char* type);
    void create_map_views();
    void create_city_buttons(const economy_ctrl_e& economy);
    void fill_cargo_list(const economy_ctrl_e& economy);
    // Places route arrow `k` (growing the pool) for job `job`.
    void add_arrow(const economy_ctrl_e& economy, int k, int32_t job);
    // Lays `arrow` from the source city's button to the destination city's for `job`.
    bool place_arrow(const economy_ctrl_e& economy, c_item_t* arrow, int32_t job, uint32_t state, float fraction);
    // Hides arrows `from` .. the end of the pool.
    void hide_arrows(size_t from);
    // The driver panel, his orders and preferences for the chosen slot.
    void refresh_driver();
    void refresh_overlay(const economy_ctrl_e& economy);
    // The driver of the chosen truck, or -1.
    int32_t selected_driver(const economy_ctrl_e& economy) const;
    // The centre of city `city`'s button; false without it.
    bool city_centre(int32_t city, int& out_x, int& out_y);
    // Toggles `value` among the chosen hired driver's preferences (cities or cargos), then plans his
    // orders again; nothing for the player's own truck or a slot without a driver.
    void toggle_preferred(int8_t (driver_t::*preferences)[3], int32_t value);
    // The pointer's tooltip: the orders whose arrows pass (x, y), or a cargo's name; an empty markup
    // clears it.
    void route_tooltip(int x, int y);
    void cargo_tooltip(int32_t cargo);
    void set_tooltip(const std::string& markup);
    // Presses or releases a button without a click sound.
    void set_button(int id, bool pressed);
};

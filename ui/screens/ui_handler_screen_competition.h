#pragma once

#include "ui/screens/ui_handler_screen_base.h"

class economy_ctrl_e;

// The notebook's competition page ("ui.handler.screen.competition", window "competition" of group
// "notebook"): the player's company beside the three opponents (leader's face, colour, headquarters,
// money, prestige, fleet and all-time deliveries), the game week, the difficulty and, once the contest is
// decided, its result. Each opponent's fleet shows while its button is down. Read from the economy on
// every showing.
class ui_handler_screen_competition_t : public ui_handler_screen_base_t {
public:
    // Ids of the page's components.
    static constexpr int result_panel_id = 1;
    static constexpr int week_id = 4;
    static constexpr int level_id = 5;
    static constexpr int result_title_id = 6;
    static constexpr int result_text_id = 7;
    static constexpr int player_name_id = 10;
    // Places after a company's base 100 x (company + 1).
    static constexpr int face_part = 0;
    static constexpr int colour_part = 1;
    static constexpr int city_part = 5;
    static constexpr int money_part = 10;
    static constexpr int prestige_part = 15;
    static constexpr int fleet_count_part = 20;
    static constexpr int deliveries_part = 25;
    static constexpr int haul_part = 30;
    static constexpr int truck_part = 50;
    static constexpr int fleet_button_part = 58;
    static constexpr int fleet_panel_part = 59;

    const char* get_default_name() const override { return "ui.handler.screen.competition"; }
    virtual const char* get_type_name() const { return "ui.handler.screen.competition"; }

    // The opponents' fleet panels start hidden.
    void on_wcreate() override;
    // Fills the page.
    void on_wshow() override;
    // An opponent's fleet button shows or hides its panel.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Rewrites every component from the economy.
    void fill();

private:
    // The face, colour, headquarters and figures of company `c`.
    void fill_company(const economy_ctrl_e& economy, int c);
    // The contest's result panel.
    void fill_result(const economy_ctrl_e& economy);
};

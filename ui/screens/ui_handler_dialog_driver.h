#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

class economy_ctrl_e;
class ui_comp_list_t;

// The driver dialog ("ui.handler.dialog.driver", window "driver" of group "dialog",
// "/ui/dialog/driver.esc"): the truck shop opens it to hire a free driver for the selected truck or
// to swap the drivers of two of the company's trucks. It lists the drivers that may be chosen, with
// picture, name, wage and rating, greys out those the company's prestige does not reach, and hands
// the chosen one to the shop.
class ui_handler_dialog_driver_t : public ui_handler_game_base_t {
public:
    // Modes of `set_mode`.
    static constexpr int32_t mode_hire = 0;
    static constexpr int32_t mode_swap = 1;
    // Ids of the list and the two buttons.
    static constexpr int list_id = 10;
    static constexpr int confirm_id = 20;
    static constexpr int close_id = 21;

    const char* get_default_name() const override { return "ui.handler.dialog.driver"; }
    virtual const char* get_type_name() const { return "ui.handler.dialog.driver"; }

    // Confirm, Close, Enter and Esc.
    bool handle(ui_view_t* view, int code, void* param) override;
    // Hire mode.
    void on_wcreate() override;
    // Lists the drivers of the mode.
    void on_wshow() override;

    // Hire (`excluded` -1) or swap with `excluded`, the selected truck's driver, who is never listed;
    // the confirm button says which.
    void set_mode(int32_t new_mode, int32_t excluded);
    // Fills `list` with the drivers `economy` offers in `mode`, `excluded` left out, sorted by name.
    static void fill_list(const economy_ctrl_e& economy, int32_t mode, int32_t excluded, ui_comp_list_t& list);

    int32_t mode = mode_hire;
    int32_t excluded_driver = -1;

private:
    // Hands the selected driver to the shop.
    void confirm();
};

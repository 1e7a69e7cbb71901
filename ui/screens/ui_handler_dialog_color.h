#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

class ui_comp_color_pick_t;
class ui_handler_screen_trucks_t;

// The colour dialog ("ui.handler.dialog.color", window "color" of group "dialog", "/ui/dialog/color.esc"):
// the truck shop opens it to paint the selected truck. Its picker starts at the truck's paint, every
// change is previewed on the shop's truck model, OK (or Enter) hands the colour to the shop as the new
// paint, and Cancel (or Esc) shows the stored paint again.
class ui_handler_dialog_color_t : public ui_handler_game_base_t {
public:
    // The dialog works for the truck shop only with this target.
    static constexpr int32_t target_trucks = 1;
    // Ids of the picker and the two buttons.
    static constexpr int picker_id = 10;
    static constexpr int ok_id = 20;
    static constexpr int cancel_id = 21;

    const char* get_default_name() const override { return "ui.handler.dialog.color"; }
    virtual const char* get_type_name() const { return "ui.handler.dialog.color"; }

    // Per frame: a colour the player picked since the last frame is previewed.
    void handler() override;
    // OK, Cancel, Enter and Esc.
    bool handle(ui_view_t* view, int code, void* param) override;
    // The target is the truck shop.
    void on_wcreate() override;
    // The picker takes the truck's paint.
    void on_wshow() override;

    // Colours as the shop keeps them (0xRRGGBB) and as the picker takes them (0xAABBGGRR), both ways.
    static uint32_t picker_word(uint32_t rgb);
    static uint32_t paint_rgb(uint32_t picker_word);

    int32_t target = target_trucks;

private:
    // The shop page while the target is the shop and its window exists, else null.
    ui_handler_screen_trucks_t* shop() const;
    ui_comp_color_pick_t* picker() const;
    void apply();
    void cancel();
    void preview();
};

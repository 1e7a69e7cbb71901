#pragma once
#include "ui/components/ui_handler_game_base.h"

struct c_item_t;

// The credits ("ui.handler.menu.credits", "/ui/mcredits.esc"): a text (component 10) scrolling up the
// screen, from the beginning each time the window shows; a key or a click goes back to the menu.
class ui_handler_menu_credits_t : public ui_handler_game_base_t {
public:
    // Id of the scrolling text.
    static constexpr int text_id = 10;
    // Units a second the text scrolls, and while the window fades.
    static constexpr float scroll_speed = 50.0f;
    static constexpr float fading_speed = 25.0f;

    const char* get_default_name() const override { return "ui.handler.menu.credits"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.credits"; }

    // Keeps a reference to the scrolling text.
    void on_wcreate() override;
    // Gives the reference back.
    void on_wdestroy() override;
    // Per frame: scrolls the text, starting again below the screen once it has left at the top.
    void handler() override;
    // Puts the text back at its start.
    void on_whide() override;
    // A key or a click goes back to the menu.
    bool handle(ui_view_t* view, int code, void* param) override;

    c_item_t* text_item = nullptr;

private:
    // Moves the text back below the screen's bottom.
    void reset_text();
};

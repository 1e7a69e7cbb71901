#pragma once
#include "engine/ui_handler.h"
#include "common/hud_pager.h"

// The main HUD ("ui.handler.hud", window "mainhud" from "/ui/gmainhud.esc", which the economy fills
// with money, prestige, damage, day and time). This handler keeps the truck's pager, two message
// lines (the newest over a black shadow, the one before it at half alpha, fading out after a hold),
// and the fading trailer-lost notice. Neither runs while the world is paused. The truck reaches it
// through common/hud_pager.h.
class ui_handler_hud_t : public ui_handler_t, public hud_pager_t {
public:
    // Length of each message line.
    static constexpr size_t line_size = 2048;
    // Seconds a new message holds (the timer counts up from it), and the fade of the older line.
    static constexpr float message_hold = -10.0f;
    static constexpr float fade_time = 3.0f;
    static constexpr float fade_factor = 42.666668f;
    static constexpr int older_alpha = 0x7f;
    // Seconds the notice runs, and the last seconds in which it fades.
    static constexpr float notice_time = 4.0f;
    static constexpr float notice_fade = 3.0f;
    // A newest line this long or shorter is only its colour tag: no message.
    static constexpr size_t empty_line_length = 23;

    const char* get_default_name() const override { return "ui.handler.hud"; }
    virtual const char* get_type_name() const { return "ui.handler.hud"; }

    // Per frame: the notice's fade and the message lines' hold, scroll and fade.
    void handler() override;
    // Empties the lines and hides the notice.
    void on_wshow() override;

    // Shows `text` as the newest pager line; the previous one moves up at half alpha.
    void push_message(const char* text) override;
    // Starts the trailer-lost notice.
    void start_notice() override;

    char older_line[line_size] = "";
    char newest_line[line_size] = "";
    char shadow_line[line_size] = "";
    float message_timer = 0.0f;
    float notice_timer = 0.0f;

private:
    // Writes the three lines to the message component.
    void show_lines();
};

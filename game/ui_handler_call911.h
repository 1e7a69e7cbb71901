#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

// The call-911 window ("ui.handler.call911"): offers the roadside rescue of the player's truck at the
// price of the level, pausing a running game while shown.
class ui_handler_call911_t : public ui_handler_game_base_t {
public:
    // Ids of the window's components.
    static constexpr int call_id = 20;
    static constexpr int cancel_id = 21;
    static constexpr int message_id = 100;

    const char* get_default_name() const override { return "ui.handler.call911"; }
    virtual const char* get_type_name() const { return "ui.handler.call911"; }

    // The menu's sounds and keys, the pause, and the price.
    void on_wshow() override;
    // The game's sounds and keys back; the game resumes when this window paused it.
    void on_whide() override;
    // Call (or Enter), cancel (or Escape).
    bool handle(ui_view_t* view, int code, void* param) override;

    uint8_t paused_world = 1;  // showing the window paused the world
};

#pragma once
#include "ui/components/ui_handler_game_base.h"

// The video-mode test dialog ("ui.handler.dialog.gfxtest", window "gfx_test" of group "dialog",
// "/ui/dialog/gfxtest.esc"): after the graphics page has switched to a new mode it counts 20 seconds
// down; the player keeps the mode (button 20) or goes back (button 21, Esc), and when the countdown runs
// out the previous mode comes back, so a mode the player cannot see is undone without any input.
class ui_handler_dialog_gfxtest_t : public ui_handler_game_base_t {
public:
    // Seconds the player has to keep the new mode.
    static constexpr float countdown_seconds = 20.0f;
    // Ids of the countdown line and of the two buttons.
    static constexpr int countdown_id = 10;
    static constexpr int keep_id = 20;
    static constexpr int revert_id = 21;

    const char* get_default_name() const override { return "ui.handler.dialog.gfxtest"; }
    virtual const char* get_type_name() const { return "ui.handler.dialog.gfxtest"; }

    // Per frame: counts down and shows the seconds left; reverts once when none are left.
    void handler() override;
    // Keep, revert, or Esc (revert).
    bool handle(ui_view_t* view, int code, void* param) override;
    // Starts a new countdown.
    void on_wshow() override;

    float remaining = 0.0f;  // seconds left

private:
    // Hides the dialog and tells the graphics page to keep (true) or revert the mode.
    void finish(bool keep);
};

#pragma once
#include "ui/components/ui_handler_game_base.h"

// The menu background ("ui.handler.mbackground"): shown behind the main and in-game menus, it plays
// the menu music while visible, shows the version text and an overlay the main menu shows and the
// credits hide.
class ui_handler_mbackground_t : public ui_handler_game_base_t {
public:
    // Ids of the overlay and of the version text.
    static constexpr int overlay_id = 100;
    static constexpr int version_id = 110;
    // The version text the background shows.
    static constexpr const char* version_text = "1.10";

    const char* get_default_name() const override { return "ui.handler.mbackground"; }
    virtual const char* get_type_name() const { return "ui.handler.mbackground"; }

    // Starts the menu music and writes the version text.
    void on_wshow() override;
    // Stops the menu music.
    void on_whide() override;

    // Shows or hides the overlay.
    void set_overlay_visible(bool on);
};

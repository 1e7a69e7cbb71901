#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

// The in-game menu ("ui.handler.menu.game"), shown over a paused game: new game, load, save, options,
// back to the game, quit (after a question), the maker's pages, and in a preview the way back to the
// editor. While it or a menu opened from it is up, the game's sounds are silent and the pause state
// cannot change.
class ui_handler_menu_game_t : public ui_handler_game_base_t {
public:
    // Ids of the menu's buttons.
    static constexpr int new_game_id = 5;
    static constexpr int load_id = 10;
    static constexpr int save_id = 20;
    static constexpr int options_id = 30;
    static constexpr int resume_id = 40;
    static constexpr int quit_id = 50;
    static constexpr int web_page_id = 100;
    static constexpr int second_web_page_id = 110;
    static constexpr int exit_id = 666;

    const char* get_default_name() const override { return "ui.handler.menu.game"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.game"; }

    void on_wcreate() override;
    // Opening afresh shows the background; the game's sounds fall silent and the pause state is held.
    void on_wshow() override;
    // Closing for good gives the game its sounds and its pause permission back.
    void on_whide() override;
    // Per frame: the answer to the quit question.
    void handler() override;
    // The buttons (code 2).
    bool handle(ui_view_t* view, int code, void* param) override;

    uint8_t quit_asked = 0;  // the quit question is open in the message box
};

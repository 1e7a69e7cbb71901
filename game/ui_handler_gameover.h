#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

// The game-over window ("ui.handler.gameover", group "dialog", name "game_over", "/ui/gameover.esc"):
// shown when the economy ends the game, it names the outcome, shows the scenario's high-score table
// and offers a new game, loading a save or quitting. It pauses the world while shown.
class ui_handler_gameover_t : public ui_handler_game_base_t {
public:
    // Ids of the window's components.
    static constexpr int message_id = 100;
    static constexpr int title_id = 110;
    static constexpr int new_game_id = 200;
    static constexpr int load_id = 210;
    static constexpr int quit_id = 220;
    static constexpr int scores_id = 300;
    // Game-over reasons with a text of their own.
    static constexpr int32_t reason_time_limit = 1;
    static constexpr int32_t reason_wrong_delivery = 5;
    static constexpr int32_t reason_won = 6;

    const char* get_default_name() const override { return "ui.handler.gameover"; }
    virtual const char* get_type_name() const { return "ui.handler.gameover"; }

    // The high scores, game-over mode, the menu's sounds and keys, the pause and the outcome's texts.
    void on_wshow() override;
    // Gives the game keys back.
    void on_whide() override;
    // New game, load and quit.
    bool handle(ui_view_t* view, int code, void* param) override;

    uint8_t leaving = 0;
};

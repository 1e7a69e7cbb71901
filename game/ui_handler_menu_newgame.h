#pragma once
#include <cstdint>
#include <string>

#include "ui/components/ui_handler_game_base.h"

class ui_comp_list_t;

// The new game window ("ui.handler.menu.newgame"): the driver's name and face, the scenario, the
// headquarters city, the company colour and the level. Starting writes them into the game context and
// builds the game world ("map mainland").
class ui_handler_menu_newgame_t : public ui_handler_game_base_t {
public:
    // Ids of the window's components.
    static constexpr int name_id = 100;
    static constexpr int face_list_id = 110;
    static constexpr int city_list_id = 120;
    static constexpr int colour_list_id = 150;
    static constexpr int back_id = 160;
    static constexpr int start_id = 170;
    static constexpr int level_ids[3] = {180, 190, 200};
    static constexpr int scenario_list_id = 300;
    // Longest text kept of a choice.
    static constexpr size_t choice_limit = 127;
    // The scenario chosen when the window opens.
    static constexpr const char* default_scenario = "free_mode.def";

    const char* get_default_name() const override { return "ui.handler.menu.newgame"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.newgame"; }

    // The first choices.
    void on_wcreate() override;
    // Fills the lists and presets the choices, every time.
    void on_wshow() override;
    // Closing because the game starts: game sounds back, background hidden, the world resumed.
    void on_whide() override;
    // The buttons, Escape and the lists' selections.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Fills the faces, colours, name, level and scenarios for a new choice.
    void newgame_fill();
    // Offers the cities of the chosen scenario's location.
    void newgame_scenario_changed();
    // Offers the cities of `location` ("any" or missing: every city; else names joined by ';').
    void newgame_fill_cities(const char* location, int selected);
    // Writes the choices into the game context and builds the game world.
    void newgame_write_context();
    // Returns to the window the menus were opened from.
    void newgame_back();

    std::string face = "face01.shd";
    std::string headquarters;
    int32_t colour = 0;
    int32_t level = 1;
    std::string scenario;
    uint8_t leaving = 0;

private:
    // The list of the window with `id`, or null.
    ui_comp_list_t* list(int id);
};

#pragma once
#include <cstdint>
#include <string>

#include "ui/components/ui_handler_game_base.h"

struct snd_sound_t;

// The showroom ("ui.handler.showroom", "/ui/showroom.esc"): a browser of the game's trucks (by make
// and paint) and trailers (by make and cargo variant) turning in a 3-D view, with their names and
// authors, over its own music. It reads "/makes/" and "/defs/cargos" directly.
class ui_handler_showroom_t : public ui_handler_game_base_t {
public:
    // Ids of the window's components.
    static constexpr int make_name_id = 100;
    static constexpr int item_name_id = 110;
    static constexpr int view_id = 120;
    static constexpr int makes_id = 130;
    static constexpr int items_id = 140;
    static constexpr int back_id = 150;
    static constexpr int turn_id = 160;
    static constexpr int trucks_id = 170;
    static constexpr int trailers_id = 180;
    // The showroom's music.
    static constexpr const char* music_path = "/music/Thousand Miles of Wonders.ogg";

    const char* get_default_name() const override { return "ui.handler.showroom"; }
    virtual const char* get_type_name() const { return "ui.handler.showroom"; }

    // Hides the menu background, starts the music and lists the trucks.
    void on_wshow() override;
    // Shows the background again and stops the music.
    void on_whide() override;
    // The buttons, Escape and the two lists.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Lists the makes of the mode.
    void showroom_fill_makes();
    // Lists the paints (trucks) or cargo variants (trailers) of the make at `make_path`.
    void showroom_fill_items(const std::string& make_path);
    // Shows the item at `item_path` (variant `item` of a trailer) in the 3-D view.
    void showroom_show_item(const std::string& item_path, uint32_t item);
    // Empties the view and goes back to the main menu.
    void showroom_leave();

    snd_sound_t* music = nullptr;
    uint8_t truck_mode = 1;
};

// The names of the cargos carried by `trailer` in `variant`, joined by ", " (cut to 255 characters).
std::string cargo_names_for_trailer(const char* trailer, int variant);

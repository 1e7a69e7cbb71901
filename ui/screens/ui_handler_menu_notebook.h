#pragma once
#include <cstdint>

#include "common/notebook_host.h"
#include "ui/components/ui_handler_game_base.h"

struct c_item_t;

// The notebook ("ui.handler.menu.notebook", window "notebook" of group "menu"): the in-game window
// through which the player runs the company between drives. Five tab buttons switch between five page
// windows of the group "notebook" (routes, trucks, economy, competition, road map). While it is open the
// world sleeps, the game's sounds are silent, the pointer shows and the notebook's music plays; the
// notebook key, pressed again, or Escape closes it. It also keeps the company truck slot the pages work on.
class ui_handler_menu_notebook_t : public ui_handler_game_base_t, public notebook_host_t {
public:
    // Number of pages; the tab button of page k has id first_tab_id + k.
    static constexpr int page_count = 5;
    static constexpr int first_tab_id = 100;
    // Id of the close button.
    static constexpr int close_id = 10;
    // The impulse of the notebook key.
    static constexpr int notebook_impulse = 182;
    // The notebook's music.
    static constexpr const char* music_path = "/music/Morning Sun.ogg";

    const char* get_default_name() const override { return "ui.handler.menu.notebook"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.notebook"; }

    // Finds or inserts the five page windows through the bridge; no page and no slot is chosen yet.
    void on_wcreate() override;
    // Pauses the world, silences the game, shows the pointer, plays the music and shows the page last
    // shown (the routes page the first time, without a click sound); notes the notebook key.
    void on_wshow() override;
    // Undoes what showing did: the world runs again unless the player had paused it before.
    void on_whide() override;
    // Puts the world to sleep once it may sleep, when the notebook was shown while it could not (a game
    // loaded at a dealer opens the notebook behind the loading screen).
    void pre_wdraw() override;
    // The tab and close buttons; the notebook key's second press and release, and Escape, close it.
    bool handle(ui_view_t* view, int code, void* param) override;

    void show_page(int32_t page) override;
    void set_dealer(int32_t dealer_index) override { dealer = dealer_index; }
    void set_truck_slot(int32_t slot) { truck_slot = slot; }
    int32_t get_truck_slot() const { return truck_slot; }

    int32_t truck_slot = -1;           // selected slot of the company's trucks, 0 to 7; -1 none
    c_item_t* pages[page_count] = {};  // page windows by index (kept by the bridge); null when missing
    int32_t current_page = -1;         // page last shown; -1 until one has been
    uint32_t close_key = 0;            // trigger code of the notebook key when the notebook was shown
    uint8_t close_key_released = 0;    // the press that opened the notebook has been released
    uint8_t close_key_repressed = 0;   // the key went down again after that release
    int32_t dealer = -1;               // dealer of the station the player stopped at; -1 none
    uint8_t world_paused_before = 0;   // the world was paused (by the player) when the notebook opened

private:
    // Hides the notebook window.
    void close();
};

#pragma once
#include <array>
#include <cstdint>

#include "engine/entity_handle.h"
#include "frame/client_proc.h"
#include "common/decal_request.h"
#include "physics/cd_filter.h"
#include "common/world_services.h"
#include "common/world_view.h"

class game_bridge_t;

// One world (the main menu, a game on a map, or the editor): its entities, its physics stepped in
// fixed slices of 0.02 s, its bridge and its draw. The game process makes and drops worlds.
class world_process_t : public client_proc_t, public world_view_t, public world_services_t {
public:
    // Takes the next world serial (0 for the first world of the module's life).
    world_process_t();
    ~world_process_t() override;

    // Steps physics over the frame's time, then runs the entities' handlers.
    void handler() override;
    // Sets the camera from the bridge's camera entity and draws the background and the world.
    void draw() override;
    // The draw once more for a secondary view (a mirror): camera, background and world only; no
    // frame time, camera reset, sound listener or decal refresh.
    void draw_view() override;
    // A world does not talk to a server: its network operations do nothing.
    bool send(const message_t&) override { return false; }
    void receive() override {}
    void dispatch(uint8_t, mbio_t&, const net_addr_t&) override {}

    // Builds a game on map `name` with bridge mode `mode` (2 game, 4 preview from the editor).
    bool spawn_game(const char* name, int32_t mode);
    // Builds the main menu world.
    bool spawn_menu();
    // Builds the editor world on map `name` (may be empty).
    bool spawn_editor(const char* name);
    // Loads the player's truck block and makes its root the bridge's camera entity.
    bool spawn_avatar(const char* script);
    // Loads a police block; the first registers as the bridge's police, a later one is reported.
    bool spawn_police(const char* script);
    // Makes `entity` the world's camera entity; false for null.
    bool set_avatar(entity_t* entity);

    // Puts the world to sleep (or wakes it) when it is pausable; `hide` also stops its draw.
    void pause(bool sleep, bool hide);
    // Destroys the bridge and ends the process (the game process does this before unlocking it).
    void teardown();

    // An entity drawn before the world (the sky); one use is held while it is set.
    void set_background(entity_t* entity) override;
    void clear_background(entity_t* entity) override;
    void set_sky(entity_t* entity) override;
    void clear_sky(entity_t* entity) override;
    // The lights of the scenery (the client process's own).
    r_light_t* new_light() override { return client_proc_t::new_light(); }
    const std::vector<c_item_t*>& light_items() const override { return get_lights(); }
    bool remove_light(r_light_t* light) override { return client_proc_t::remove_light(light); }
    // Loads a block of the scenery (rain, snow) into the world.
    entity_t* instantiate_block(const char* script) override;

    // Places a decal from `script` where the ray from `start` to `end` meets the static world. Without
    // `remember` answers the decal (null when none was placed); with it answers null and keeps the decal
    // (once, up to five a frame) so that the next draw refreshes it.
    virtual c_item_t* place_decal(bool remember, const vec3_t& start, const vec3_t& end, const char* script,
                                  const decal_request_t& params) override;
    // Number of decals of the slots that the next draw refreshes.
    static constexpr int remembered_capacity = 5;
    const std::array<c_item_t*, remembered_capacity>& remembered_decals() const { return remembered_; }

    // Whether "/maps/NAME.mbd" exists and its path fits the bridge; reports "map name : NAME is not
    // valid!" when not.
    bool check_map_name(const char* name);

    game_bridge_t* bridge() const { return bridge_; }
    bool paused() const { return paused_ != 0; }
    bool draw_enabled() const { return draw_enabled_; }
    bool pausable() const { return pausable_; }
    void set_pausable(bool pausable) { pausable_ = pausable; }
    cd_filter_t& filter() { return filter_; }

    // Path of a block loaded by the game, the editor and the menu.
    static constexpr const char* game_script = "/scripts/game/game.esc";
    static constexpr const char* editor_script = "/scripts/editor/edit.esc";
    static constexpr const char* menu_script = "/ui/mmain.esc";

private:
    // Makes the bridge; false (reported) when it cannot be had.
    bool make_bridge(int32_t mode, const char* failure);
    // Loads the camera from the camera entity when it resolves (with `main_view`, after a camera reset
    // and with the sound listener there), then draws the background and the world.
    void draw_scene(const entity_handle_t& camera, bool main_view);
    // Refreshes the remembered decals and forgets them.
    void refresh_decals();
    // Loads and instantiates a block; null when either fails.
    eblock_t* load_block(const char* script);

    game_bridge_t* bridge_ = nullptr;
    float accumulator_ = 0.0f;
    int32_t paused_ = 0;
    bool draw_enabled_ = true;
    bool pausable_ = false;
    entity_handle_t background_;
    entity_handle_t sky_;
    std::array<c_item_t*, remembered_capacity> remembered_{};
    cd_filter_t filter_;
};

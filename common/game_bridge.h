#pragma once
#include <cstdint>
#include <vector>

#include "engine/entity_handle.h"

struct c_item_t;
class vprocess_t;

// World modes a bridge can be in.
enum game_mode_t : int32_t {
    game_mode_menu = 1,
    game_mode_game = 2,
    game_mode_editor = 3,
    game_mode_preview = 4,  // a game previewed from the editor; "exit" goes back to the editor
    game_mode_game_over = 5,
};

// The registry through which a world's main parts find each other: the world's camera entity (the
// player's truck, or the editor's camera), the environment, the controllers, the traffic and the
// police register here; it also keeps the world's mode, its map path and the car colour table.
class game_bridge_t {
public:
    // Capacity of the map path, terminator included.
    static constexpr int map_path_capacity = 64;

    // Locks `owner` (the world's process) for the bridge's life and reads "/defs/car_colors.def".
    game_bridge_t(vprocess_t* owner, int32_t mode);
    ~game_bridge_t();
    game_bridge_t(const game_bridge_t&) = delete;
    game_bridge_t& operator=(const game_bridge_t&) = delete;

    // Replaces the world's camera entity (taking a use of the new one).
    void set_avatar(entity_handle_t entity);
    entity_handle_t avatar() const { return avatar_; }

    // Registration of the single parts: the first registrant stays, a second is reported and refused.
    bool register_environment(entity_handle_t entity);
    bool register_editor_hud(entity_handle_t entity);
    bool register_economy(entity_handle_t entity);
    bool register_base_ctrl(entity_handle_t entity);
    bool register_traffic(entity_handle_t entity);
    bool register_police(entity_handle_t entity);
    entity_handle_t environment() const { return environment_; }
    entity_handle_t editor_hud() const { return editor_hud_; }
    entity_handle_t economy() const { return economy_; }
    entity_handle_t base_ctrl() const { return base_ctrl_; }
    entity_handle_t traffic() const { return traffic_; }
    // The police; reports "police not registered" when there is none.
    entity_handle_t police() const;
    bool has_police() const { return !police_.is_null(); }
    // Gives back the police slot's use and empties it when it holds `entity`; false (reported "police
    // not registered") when it does not.
    bool release_police(entity_handle_t entity);

    int32_t mode() const { return mode_; }
    // Puts the world into game-over mode (the game-over window does when it shows).
    void set_mode_game_over() { mode_ = game_mode_game_over; }

    // "/maps/NAME.mbd", or empty for an empty name. False (path left empty, reported) when the path
    // does not fit the field.
    bool set_map_path(const char* name);
    const char* get_map_name() const { return map_path_; }

    // The colour the game process clears each frame with (the environment keeps it at the sky colour).
    uint32_t clear_colour = 0;

    // The car colour table (empty when "/defs/car_colors.def" could not be read).
    uint32_t colour_count() const { return colour_count_; }
    uint32_t colour(uint32_t index) const { return index < colour_count_ ? colours_[index] : 0; }

    // After a save game was read into the world: the environment, the base controller, the traffic
    // and the economy controller (its default time stamp) finish the load, in that order.
    void after_load();

    // Windows a world opens go through the bridge so that they are removed with it. The first window
    // of the list whose group and name match, ignoring case (null matches any); no use is taken.
    c_item_t* find_window(const char* group, const char* name) const;
    // Finds the window, else builds it from `script` shown and keeps it (with a use); null when it
    // cannot be built.
    c_item_t* insert_window(const char* group, const char* name, unsigned flags, const char* script);
    // Keeps a window built elsewhere (one use is taken); null is ignored.
    void adopt_window(c_item_t* window);
    // Removes a window kept by the bridge; one it does not keep is reported and left alone.
    bool remove_window(c_item_t* window);
    // Hides every visible kept window and remembers them; `show_windows` shows those again once.
    void hide_windows();
    void show_windows();
    int window_count() const { return static_cast<int>(windows_.size()); }
    int hidden_count() const { return static_cast<int>(hidden_.size()); }

private:
    // Takes every kept window off the list and removes it (the destructor's work).
    void remove_windows();
    bool register_slot(entity_handle_t& slot, entity_handle_t entity, const char* what);
    void load_colours();

    uint32_t colour_count_ = 0;
    uint32_t* colours_ = nullptr;
    entity_handle_t avatar_;
    entity_handle_t environment_;
    entity_handle_t editor_hud_;
    entity_handle_t economy_;
    entity_handle_t base_ctrl_;
    entity_handle_t traffic_;
    entity_handle_t police_;
    int32_t mode_;
    vprocess_t* owner_;
    char map_path_[map_path_capacity] = "";
    std::vector<c_item_t*> windows_;
    std::vector<c_item_t*> hidden_;
};

// Whether "/maps/NAME.mbd" fits the bridge's map path field.
bool game_bridge_map_path_fits(const char* name);

// The bridge of the game host's current world, or null.
game_bridge_t* get_game_bridge();

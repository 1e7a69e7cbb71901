#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/cvar.h"
#include "engine/gfx_view.h"
#include "common/game_host.h"
#include "frame/common_proc.h"

struct c_item_t;
class world_process_t;

// The module's top-level process ("game"): runs the game's start-up, draws each frame, owns the
// current world and replaces it on the console commands "menu", "map", "preview", "edit", "exit". It
// is the game host of the world's parts while it exists.
class game_process_t : public common_proc, public game_host_t {
public:
    game_process_t();
    ~game_process_t() override;

    // What DLL_game_init calls: makes the process, adds it to the engine and runs its start-up.
    static game_process_t* create_and_start();
    // The game process, or null.
    static game_process_t* instance();

    // Configuration files, window, commands and variables, devices, then the command line.
    void startup();
    void handler() override;
    // The shutdown notice stores the configuration first.
    void system(int code) override;
    // Shuts the graphics down and writes "/config.cfg" when a home is mounted.
    void write_config();
    // Runs the console command whose words `cmd_argv` gives.
    void command();
    // Runs "cheat WORD" ("drivers", "dealers", "money", "stars") on the world's economy controller.
    void cheat_command();

    // Fills the view parameters from the mode after setting it.
    int set_mode(gfx_device_t* device, gfx_mode_t* mode) override;
    void gfx_mode_shutdown() override { common_proc::gfx_mode_shutdown(); }
    void write_hw_caps(gfx_device_t* device) override { common_proc::write_hw_caps(device); }

    world_process_t* world() const { return world_; }
    const gfx_view_t& view() const override { return view_; }
    // Replaces the view parameters handed to the renderer at the start of every frame.
    void set_view(const gfx_view_t& view) override { view_ = view; }

    // The game host's calls on the current world.
    game_bridge_t* current_bridge() const override;
    bool world_paused() const override;
    void pause_world(bool sleep, bool hide) override;
    void allow_world_pause(bool allow) override;
    // The console window, or null when "g_console" was "0" at start.
    c_item_t* console_window() const { return console_; }

private:
    void register_variables();
    void read_project_init();
    void read_autoexec();
    // Ends the current world, if any.
    void drop_world();
    // Makes a new world, adds it to the engine and keeps it locked.
    world_process_t* make_world();
    void command_map(int words, bool preview);
    void command_exit();
    void command_edit(int words);
    void command_pause();
    void command_menu();
    void command_quit();
    // Opens the in-game menu over the world, or closes it back into the state the world was in.
    void command_game_menu();
    // Removes the pointer and the console window.
    void remove_start_windows();
    // Hides the console window when there is one.
    void hide_console();
    // Asks the world's economy controller to open its main HUD, when there is one.
    void open_main_hud();
    // Shows a text on the pager of the player's truck, when the world has one.
    void pager_message(const char* text);

    gfx_view_t view_{};
    world_process_t* world_ = nullptr;
    c_item_t* console_ = nullptr;
    // Whether the world was paused when the in-game menu opened.
    bool saved_pause_ = false;
    // Whether start-up took its use of the game context (given back by the first shutdown).
    bool holds_context_ = false;
    std::vector<std::unique_ptr<cvar_t>> variables_;
};

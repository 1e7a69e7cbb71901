#include "frame/game_process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/host_file.h"
#include "engine/mem.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "common/console_window.h"
#include "common/engine_api.h"
#include "frame/environment_commands.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "common/local_def.h"
#include "frame/save_game_bridge.h"
#include "frame/screenshot.h"
#include "common/game_settings.h"
#include "common/loading_screen.h"
#include "frame/traffic_info.h"
#include "common/input_actions.h"
#include "common/view_params.h"
#include "frame/world_process.h"

namespace {

game_process_t* the_game = nullptr;

// The player's truck of a game world.
constexpr const char* car_actor_script = "/scripts/game/car_actor.esc";
// The mouse pointer, pointer 0.
constexpr const char* pointer_script = "/ui/pointers/main.esc";
// The in-game menu, opened over a game by "game_menu".
constexpr const char* game_menu_script = "/ui/mgame.esc";

void cmd_game()
{
    if (the_game)
        the_game->command();
}

void cmd_cheat()
{
    if (the_game)
        the_game->cheat_command();
}

void on_details(cvar_t* variable) { set_game_detail_level(v_atoi(variable->value())); }
void on_traffic_density(cvar_t* variable) { set_game_traffic_density(v_atof(variable->value())); }

// One console variable of the game: name, type, default, change callback.
struct variable_spec_t {
    const char* name;
    int type;
    const char* default_text;
    cvar_t::change_callback_t on_change;
};

constexpr int integer = cvar_t::type_integer;
constexpr int real = cvar_t::type_real;

const variable_spec_t game_variables[] = {
    {"g_console", integer, "0", nullptr},
    {"g_minicon", integer, "0", nullptr},
    {"g_fps", integer, "0", nullptr},
    {"g_colbox", integer, "0", nullptr},
    {"g_traffic", integer, "1", nullptr},
    {"g_flyspeed", real, "5000.0", nullptr},
    {"g_details", integer, "1", on_details},
    {"g_traffic_density", real, "1.0", on_traffic_density},
    {"g_view_dist", real, "1.0", nullptr},
    {"g_trans_auto", integer, "1", nullptr},
    {"g_wipers_auto", integer, "1", nullptr},
    {"g_blinkers_auto", integer, "1", nullptr},
    {"g_joy_axis_steer", integer, "16", nullptr},
    {"g_joy_axis_steer_dz", real, "0.0", nullptr},
    {"g_joy_axis_steer_sens", real, "0.0", nullptr},
    {"g_joy_axis_combine", integer, "0", nullptr},
    {"g_joy_axis_ff", integer, "0", nullptr},
    {"g_joy_axis_throttle", integer, "16", nullptr},
    {"g_joy_axis_throttle_dz", real, "0.0", nullptr},
    {"g_joy_ff_gain", real, "1.0", nullptr},
    {"g_joy_axis_brake", integer, "16", nullptr},
    {"g_joy_axis_brake_dz", real, "0.0", nullptr},
    {"g_mouse_control", integer, "0", nullptr},
    {"g_bsizex", integer, "2800000", nullptr},
    {"g_bsizey", integer, "2800000", nullptr},
    {"g_boffx", integer, "0", nullptr},
    {"g_boffy", integer, "0", nullptr},
};

// The commands the game process answers, in registration order.
const char* const game_commands[] = {"quit", "map", "preview", "exit", "edit", "pause", "menu", "game_menu"};

bool starts_with_zero(const char* name)
{
    const cvar_t* variable = api::cvar_get(name);
    return !variable || variable->value()[0] == '0';
}

}  // namespace

game_process_t::game_process_t()
{
    set_name("game");
    the_game = this;
    game_host_install(this);
}

game_process_t::~game_process_t()
{
    // The world is kept locked by this process: let it go with it, and the windows of start-up too.
    drop_world();
    remove_start_windows();
    if (the_game == this)
        the_game = nullptr;
    game_host_withdraw(this);
}

game_process_t* game_process_t::instance() { return the_game; }

game_bridge_t* game_process_t::current_bridge() const { return world_ ? world_->bridge() : nullptr; }

bool game_process_t::world_paused() const { return world_ && world_->paused(); }

void game_process_t::pause_world(const bool sleep, const bool hide)
{
    if (world_)
        world_->pause(sleep, hide);
}

void game_process_t::allow_world_pause(const bool allow)
{
    if (world_)
        world_->set_pausable(allow);
}

game_process_t* game_process_t::create_and_start()
{
    auto* game = new game_process_t;
    api::process_add(game, nullptr, -1, 0);
    game->startup();
    return game;
}

void game_process_t::read_project_init()
{
    const int project = api::cdl_param("-project");
    const char* folder = project ? api::cdl_argv(project + 1) : nullptr;
    if (!folder)
        return;
    char path[64];
    const int length = snprintf(path, sizeof path, "%s/init.cfg", folder);
    if (length < 0 || length >= static_cast<int>(sizeof path)) {
        verror("project path %s is too long", folder);
        return;
    }
    long size = 0;
    char* text = v_readfile(path, &size);
    if (!text) {
        verror("failed to read %s", path);
        return;
    }
    api::cmd_execute_block(text, size);
    api::mem_sys_free(text);
}

void game_process_t::read_autoexec()
{
    const int file = api::vfs_open("autoexec.cfg", 0, 0);
    if (file < 0) {
        verror("failed to open autoexec.cfg (%s)", api::v_strerror(*api::v_errno_addr()));
        return;
    }
    vfs_stat_t stat{};
    if (api::vfs_fstat(file, &stat) < 0) {
        verror("failed to stat autoexec.cfg (%s)", api::v_strerror(*api::v_errno_addr()));
        api::vfs_close(file);
        return;
    }
    const long size = static_cast<long>(stat.size);
    char* text = static_cast<char*>(api::mem_sys_alloc(static_cast<size_t>(size) + 1));
    if (!text) {
        verror("failed to alloc buffer for autoexec.cfg");
        api::vfs_close(file);
        return;
    }
    const long read = api::vfs_read(file, text, size);
    api::vfs_close(file);
    if (read > 0)
        api::cmd_execute_block(text, read);
    api::mem_sys_free(text);
}

void game_process_t::register_variables()
{
    for (const variable_spec_t& spec : game_variables) {
        auto variable = std::make_unique<cvar_t>(spec.name, spec.default_text, spec.type, spec.on_change, 1u);
        api::cvar_register_variable(variable.get(), 0);
        // A variable with a callback runs it once with the value already in force.
        cvar_t* registered = api::cvar_get(spec.name);
        if (spec.on_change && registered) {
            const std::string current = registered->value();
            registered->set(current.c_str());
        }
        variables_.push_back(std::move(variable));
    }
    // The physics diagnostics switch lives as long as the game, so a value set once holds in every
    // world; each world's physics process only reads it.
    auto verbose = std::make_unique<cvar_t>("p_verbose", "", cvar_t::type_text, nullptr, 0u);
    if (api::cvar_register_variable(verbose.get(), 0))
        variables_.push_back(std::move(verbose));
}

void game_process_t::startup()
{
    mount_home("Kavrenta");
    read_project_init();
    read_autoexec();

    api::wnd_init_gui_connection();
    api::wnd_register_window_class(nullptr);
    api::wnd_create_window("Kavrenta");
    api::wnd_show_window();

    for (const char* name : game_commands)
        api::cmd_register_command(name, cmd_game);
    api::cmd_register_command("cheat", cmd_cheat);
    api::cmd_register_command("g_set_time", g_set_time);
    api::cmd_register_command("g_set_fov", g_set_fov);
    api::cmd_register_command("screenshot", screenshot);
    api::cmd_register_command("g_traffic_info", g_traffic_info);
    register_variables();
    load_local_def();

    api::snd_init_devices();
    api::gfx_init_devices();
    api::inp_init_devices();
    ui_init();
    choose_device_mode();
    api::inp_device_get(0);
    if (gfx_path_t* path = api::gfx_path_get("vert"))
        api::gfx_path_select(path);
    api::snd_distance_factor(100.0f);
    api::snd_def_mm_distances(6000.0f, 35000.0f);
    game_context_create();
    holds_context_ = true;

    if (!starts_with_zero("g_console")) {
        console_ = ui_winsert(console_window_group, console_window_name, 9, console_window_script, true);
        api::bind_add_cmd("`", console_window_toggle, 1, 0);
    }
    if (ui_pinsert(0, pointer_script))
        ui_pshow(0);
    api::bind_add_cmd("pause", "pause", 1, 0);

    if (api::cdl_param("-default_controls"))
        apply_default_bindings();
    const int map = api::cdl_param("-map");
    if (map && api::cdl_argv(map + 1)) {
        char text[256];
        const int length = snprintf(text, sizeof text, "map %s", api::cdl_argv(map + 1));
        if (length < 0 || length >= static_cast<int>(sizeof text))
            verror("map name %s is too long", api::cdl_argv(map + 1));
        else
            api::cmd_execute(text);
    } else if (api::cdl_param("-edit")) {
        api::cmd_execute("edit");
    } else {
        api::cmd_execute("menu");
    }
}

int game_process_t::set_mode(gfx_device_t* device, gfx_mode_t* mode)
{
    common_proc::set_mode(device, mode);
    view_.near_plane = 64.0f;
    view_.far_plane = far_view_distance();
    view_.fov = 70.0f;
    const float width = static_cast<float>(mode->width);
    const float height = static_cast<float>(mode->height);
    view_.rect[0] = 0.0f;
    view_.rect[1] = 0.0f;
    view_.rect[2] = width;
    view_.rect[3] = height;
    view_.clip[0] = 0.0f;
    view_.clip[1] = 0.0f;
    view_.clip[2] = width;
    view_.clip[3] = height;
    view_.flags[0] = 0;
    return 0;
}

// Draws the frame: the world (as its last step left it, see world_process_t::handler for the order of a
// world's frame), then the UI.
void game_process_t::handler()
{
    if (!api::gfx_is_active())
        return;
    if (!starts_with_zero("g_fps") && world_) {
        const float delta = api::sys_get_lastdelta();
        verbose("%-5.1f ms / %-5.1f fps", delta * 1000.0f, delta > 0.0f ? 1.0f / delta : 0.0f);
    }
    api::gfx_begin_frame();
    api::gfx_view_push(&view_);
    game_bridge_t* bridge = world_ ? world_->bridge() : nullptr;
    api::gfx_clear1(0xffffffffu, bridge ? bridge->clear_colour : 0u);
    if (world_)
        world_->draw();
    ui_process();
    api::gfx_end_frame();
    api::gfx_try_capture();
    api::gfx_swapbuffers();
    api::gfx_view_pop();
}

void game_process_t::system(int code)
{
    if (code == system_shutdown)
        write_config();
    vprocess_t::system(code);
}

void game_process_t::write_config()
{
    gfx_mode_shutdown();
    api::gfx_shutdown_devices();
    api::snd_device_shutdown();
    // The shutdown notice and the module's shutdown both come here: give the context back once.
    if (holds_context_)
        game_context_release();
    holds_context_ = false;
    api::wnd_destroy_window();
    // Without a home (-homeless, or one that could not be mounted) nothing of the run is kept.
    if (api::vfs_get_fallback_device())
        api::process_store_cfg("/config.cfg");
}

void game_process_t::drop_world()
{
    if (!world_)
        return;
    world_process_t* world = world_;
    world_ = nullptr;
    world->teardown();
    world->unlock();
}

world_process_t* game_process_t::make_world()
{
    world_ = new world_process_t;
    api::process_add(world_, nullptr, -1, 0);
    world_->lock();
    return world_;
}

void game_process_t::command()
{
    const int words = api::cmd_argc();
    const char* verb = api::cmd_argv(0);
    if (!verb)
        return;
    if (!strcasecmp(verb, "quit"))
        command_quit();
    else if (!strcasecmp(verb, "map"))
        command_map(words, false);
    else if (!strcasecmp(verb, "preview"))
        command_map(words, true);
    else if (!strcasecmp(verb, "exit"))
        command_exit();
    else if (!strcasecmp(verb, "edit"))
        command_edit(words);
    else if (!strcasecmp(verb, "pause"))
        command_pause();
    else if (!strcasecmp(verb, "menu"))
        command_menu();
    else if (!strcasecmp(verb, "game_menu"))
        command_game_menu();
}

void game_process_t::remove_start_windows()
{
    ui_premove(0);
    if (console_)
        ui_wremove(console_);
    console_ = nullptr;
}

void game_process_t::hide_console()
{
    if (console_)
        ui_whide(console_);
}

void game_process_t::command_quit()
{
    api::bind_del_command("game_menu");
    remove_start_windows();
    drop_world();
    for (const char* name : {"quit", "map", "preview", "edit", "exit", "g_set_time", "g_set_fov"})
        api::cmd_unregister_command(name);
    api::process_terminate_all();
}

void game_process_t::command_map(int words, bool preview)
{
    if (words < 2)
        return;
    const std::string name = api::cmd_argv(1);
    api::bind_add_cmd("esc", "game_menu", 1, 0);
    api::bind_add_cmd("pause", "pause", 1, 0);
    api::inp_set_active(0);
    if (!preview)
        loading_screen_open(15);
    drop_world();
    if (preview)
        if (def_obj_t* context = game_context_get())
            context->set_value("headq_name", "Unknown");
    world_process_t* world = make_world();
    world->set_pausable(false);
    if (!world->spawn_game(name.c_str(), preview ? game_mode_preview : game_mode_game)) {
        drop_world();
        return;
    }
    if (words == 2)
        world->spawn_avatar(car_actor_script);
    if (preview) {
        if (words == 2)
            open_main_hud();
        return;
    }
    const def_obj_t* context = game_context_get();
    const char* save = context ? context->get_value("load_game_name") : nullptr;
    if (save && save[0]) {
        if (!save_game_read(world->bridge(), save)) {
            // The load menu checked the save whole; one that changed since is not played half-read.
            api::error("[game_process] %s could not be loaded; back to the menu", save);
            if (def_obj_t* loading = game_context_get())
                loading->set_value("load_game_name", "");
            command_menu();
            return;
        }
        world->bridge()->after_load();
    } else {
        open_main_hud();
    }
    hide_console();
    loading_screen_refresh("@@ui_precaching_world@@");
}

void game_process_t::command_exit()
{
    if (!world_) {
        api::cmd_execute("menu");
        return;
    }
    game_bridge_t* bridge = world_->bridge();
    char short_name[game_bridge_t::map_path_capacity] = "";
    const bool preview = bridge && bridge->mode() == game_mode_preview;
    if (preview) {
        const char* path = bridge->get_map_name();
        const char* slash = strrchr(path, '/');
        snprintf(short_name, sizeof short_name, "%s", slash ? slash + 1 : path);
        if (char* dot = strrchr(short_name, '.'))
            *dot = '\0';
    }
    hide_console();
    drop_world();
    if (preview) {
        hide_console();
        char text[16 + game_bridge_t::map_path_capacity];
        snprintf(text, sizeof text, "edit %s", short_name);
        api::cmd_execute(text);
        return;
    }
    api::cmd_execute("menu");
}

void game_process_t::command_edit(int words)
{
    const std::string name = words == 2 ? api::cmd_argv(1) : "";
    drop_world();
    api::inp_set_active(1);
    make_world()->spawn_editor(name.c_str());
    hide_console();
}

void game_process_t::command_pause()
{
    if (!world_)
        return;
    if (!world_->paused()) {
        api::snd_disable_tag(10);
        world_->pause(true, false);
        pager_message("@@ui_game_paused@@");
    } else {
        pager_message("@@ui_game_unpaused@@");
        world_->pause(false, false);
        api::snd_enable_tag(10, 0);
    }
}

void game_process_t::command_menu()
{
    drop_world();
    api::snd_disable_tag(10);
    api::snd_set_current_tag(20);
    api::snd_enable_tag(20, 0);
    make_world()->spawn_menu();
}

void game_process_t::command_game_menu()
{
    // With no world (a map that failed to spawn while "esc" is still bound) there is nothing to cover.
    game_bridge_t* bridge = world_ ? world_->bridge() : nullptr;
    if (!bridge)
        return;
    c_item_t* menu = bridge->find_window("menu", "game");
    if (!menu) {
        // A new window comes shown; hide it so that this first command opens the menu, not closes it.
        menu = bridge->insert_window("menu", "game", 0, game_menu_script);
        if (menu)
            ui_whide(menu);
    }
    const auto* window = menu && (menu->class_flags & 0x400) ? static_cast<const ui_window_t*>(menu->object) : nullptr;
    if (!window)
        return;
    if (!window->is_visible()) {
        bridge->hide_windows();
        saved_pause_ = world_->paused();
        world_->pause(true, true);
        ui_wshow(menu, 0);
        ui_pshow(0);
    } else {
        bridge->show_windows();
        ui_whide(menu);
        ui_pshow(-1);
        world_->pause(saved_pause_, false);
    }
}

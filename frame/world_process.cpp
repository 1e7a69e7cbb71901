#include "frame/world_process.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "engine/eblock.h"
#include "engine/entity.h"
#include "engine/reset.h"
#include "engine/ui.h"
#include "common/cache_lists.h"
#include "physics/contact_filters.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/object_e.h"
#include "frame/world_process_clock.h"

namespace {

// Serial of the next world process of the module's life.
uint32_t next_world_serial = 0;

const engine_reset_registrar_t reset_serials(reset_order_processes + 1, [] { next_world_serial = 0; });

}  // namespace

world_process_t::world_process_t()
{
    set_world_serial(next_world_serial++);
    phys_set_pair(&physics(), contact_pair_filter);
    client_decal_acquire(1024);
    cache_list_set_capacity(1, 512);
    // The newest world is the one the frame shows (the game process keeps one at a time).
    set_shown_world_view(this);
}

world_process_t::~world_process_t()
{
    // The use of the decal cache taken when the world was made.
    client_decal_release();
    withdraw_world_view(this);
    if (!background_.is_null())
        background_.release();
    if (!sky_.is_null())
        sky_.release();
    delete bridge_;
}

// A game world's frame, after the engine's input and console commands (docs/architecture.md, "A game
// world's frame"): the game process, listed before the world, draws the world as the last step left
// it and runs the UI (game_process_t::handler); then this handler steps the physics in 0.02 s slices
// and a remainder, and runs every entity's handler in insertion order (the game controller, the
// economy, the traffic, the environment, the static world and the sounds of the world's block, then the
// player's truck and what came later), then the removals they asked for. A sleeping (paused) world
// skips this step.
void world_process_t::handler()
{
    world_clock_advance(accumulator_, frame_seconds(), [this](float dt) { physics().step(dt); });
    entity_proc_t::handler();
}

void world_process_t::draw()
{
    if (!draw_enabled_)
        return;
    api::gfx_set_time(static_cast<float>(process_time()));
    const entity_handle_t camera = bridge_ ? bridge_->avatar() : entity_handle_t{};
    if (!camera.is_null())
        draw_scene(camera, true);
    refresh_decals();
}

void world_process_t::draw_view()
{
    if (!draw_enabled_)
        return;
    const entity_handle_t camera = bridge_ ? bridge_->avatar() : entity_handle_t{};
    if (!camera.is_null()) {
        set_drawing_secondary_view(true);
        draw_scene(camera, false);
        set_drawing_secondary_view(false);
    }
}

void world_process_t::draw_scene(const entity_handle_t& camera, bool main_view)
{
    if (camera.add_use()) {
        if (auto* object = dynamic_cast<object_e*>(camera.resolve())) {
            if (main_view)
                api::gfx_camera_reset();
            mat4_t matrix, inverse;
            object->get_world_axial(matrix, inverse);
            if (main_view) {
                const vec3_t listener = mult_zero_matrix(matrix);
                const float velocity[3] = {0.0f, 0.0f, 0.0f};
                api::snd_listener(&listener[0], &matrix.m[0][0], velocity);
            }
            api::gfx_camera_load(&inverse.m[0][0], &matrix.m[0][0]);
        }
        camera.release();
    }
    // The background and the sky dome are drawn first; the world then starts from a clear depth.
    entity_t* const background = background_.resolve();
    entity_t* const sky = sky_.resolve();
    if (background)
        background->draw();
    if (sky)
        sky->draw();
    if (background || sky) {
        api::gfx_path_flush();
        api::gfx_clear1(2, 0);
    }
    client_proc_t::draw();
}

void world_process_t::refresh_decals()
{
    for (c_item_t*& decal : remembered_) {
        if (decal)
            cache_item_refresh(decal);
        decal = nullptr;
    }
}

c_item_t* world_process_t::place_decal(bool remember, const vec3_t& start, const vec3_t& end, const char* script,
                                       const decal_request_t& params)
{
    static const int32_t index_list[] = {1, 2, 5};
    decal_params_t record;
    record.fields[0] = params.words[1];
    record.fields[3].real = params.sizes[0];
    record.fields[4].real = params.sizes[1];
    record.fields[5] = params.words[0];
    record.fields[6] = params.words[2];
    record.fields[7].integer = 0;
    record.fields[8].real = 1.0f;
    record.fields[9].integer = 0;
    record.fields[11].integer = 3;
    record.index_list = index_list;
    record.fields[13] = params.words[4];
    record.fields[14] = params.words[3];
    const float size = std::max(params.sizes[0], params.sizes[1]) * 0.5f;
    c_item_t* decal = client_place_decal(this, start, end, world_ray_filter, script, record, 0, size);
    if (!decal || !remember)
        return decal;
    for (c_item_t*& slot : remembered_) {
        if (slot == decal)
            break;
        if (!slot) {
            slot = decal;
            break;
        }
    }
    return nullptr;
}

bool world_process_t::make_bridge(int32_t mode, const char* failure)
{
    delete bridge_;
    bridge_ = new (std::nothrow) game_bridge_t(this, mode);
    if (!bridge_)
        cl_error("%s", failure);
    return bridge_ != nullptr;
}

eblock_t* world_process_t::load_block(const char* script)
{
    eblock_t* block = eblock_from_name(script);
    if (!block || !init_eblock(block))
        return nullptr;
    return block;
}

entity_t* world_process_t::instantiate_block(const char* script)
{
    eblock_t* block = load_block(script);
    return block ? block->root() : nullptr;
}

bool world_process_t::spawn_game(const char* name, int32_t mode)
{
    if (!check_map_name(name))
        return false;
    if (!make_bridge(mode, "can't allocate bridge")) {
        cl_error("map %s cannot be spawned", name);
        return false;
    }
    set_name(name);
    bridge_->set_map_path(name);
    if (!load_block(game_script)) {
        cl_error("map %s cannot be spawned", name);
        return false;
    }
    api::inp_set_mouse_state(1);
    return true;
}

bool world_process_t::spawn_menu()
{
    if (!make_bridge(game_mode_menu, "can't allocate bridge"))
        return false;
    set_name("menu");
    c_item_t* window = ui_winsert("menu", "main", 0, menu_script, true);
    bridge_->adopt_window(window);
    if (window)
        ui_wshow(window, 0);
    ui_pshow(0);
    return true;
}

bool world_process_t::spawn_editor(const char* name)
{
    const char* map = name ? name : "";
    if (!make_bridge(game_mode_editor, "error allocating bridge")) {
        cl_error("map %s cannot be spawned", map);
        return false;
    }
    set_name("editor");
    if (!bridge_->set_map_path(map) || !load_block(editor_script)) {
        cl_error("map %s cannot be spawned", map);
        return false;
    }
    api::inp_set_mouse_state(0);
    return true;
}

bool world_process_t::spawn_avatar(const char* script)
{
    eblock_t* block = bridge_ ? load_block(script) : nullptr;
    if (!block || !block->root()) {
        cl_error("avatar %s cannot be spawned", script);
        return false;
    }
    bridge_->set_avatar(block->root()->handle());
    return true;
}

bool world_process_t::spawn_police(const char* script)
{
    eblock_t* block = bridge_ ? load_block(script) : nullptr;
    if (!block || !block->root()) {
        cl_error("police %s cannot be spawned", script);
        return false;
    }
    // A second police is reported by the bridge and stays in the world.
    bridge_->register_police(block->root()->handle());
    return true;
}

bool world_process_t::set_avatar(entity_t* entity)
{
    if (!entity || !bridge_)
        return false;
    bridge_->set_avatar(entity->handle());
    return true;
}

void world_process_t::pause(bool sleep, bool hide)
{
    if (!pausable_)
        return;
    if (sleep && !paused_) {
        api::process_sleep(this);
        paused_ = 1;
    } else if (!sleep && paused_) {
        api::process_wakeup(this);
        paused_ = 0;
    }
    draw_enabled_ = !hide;
}

void world_process_t::teardown()
{
    withdraw_world_view(this);
    // The world's entities keep the bridge they found at their start and may still reach it while they
    // are destroyed (the game controller tells the economy of the docks whose roads it frees): it goes
    // after them.
    shutdown();
    delete bridge_;
    bridge_ = nullptr;
}

void world_process_t::set_background(entity_t* entity)
{
    if (!background_.is_null())
        background_.release();
    background_ = entity && entity->handle().add_use() ? entity->handle() : entity_handle_t{};
}

void world_process_t::clear_background(entity_t* entity)
{
    if (background_.is_null() || background_.resolve() != entity)
        return;
    background_.release();
    background_ = entity_handle_t{};
}

void world_process_t::set_sky(entity_t* entity)
{
    if (!sky_.is_null())
        sky_.release();
    sky_ = entity && entity->handle().add_use() ? entity->handle() : entity_handle_t{};
}

void world_process_t::clear_sky(entity_t* entity)
{
    if (sky_.is_null() || sky_.resolve() != entity)
        return;
    sky_.release();
    sky_ = entity_handle_t{};
}

bool world_process_t::check_map_name(const char* name)
{
    char path[128];
    const int length = snprintf(path, sizeof path, "/maps/%s.mbd", name ? name : "");
    if (length > 0 && length < static_cast<int>(sizeof path) && game_bridge_map_path_fits(name)) {
        const int file = api::vfs_open(path, 0, 0);
        if (file >= 0) {
            api::vfs_close(file);
            return true;
        }
    }
    cl_error("map name : %s is not valid!", name ? name : "");
    return false;
}

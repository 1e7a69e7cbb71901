#include "editor/edit_ctrl.h"

#include <cstdio>
#include <cstring>

#include "engine/text.h"
#include "engine/entity_proc.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/view_params.h"
#include "common/world_services.h"
#include "world/owning_process.h"
#include "editor/editor_camera.h"
#include "editor/editor_camera_free.h"
#include "editor/ui_handler_editor_hud.h"

namespace {

// The controller "g_info" reports on.
entity_handle_t g_info_target;

void g_info()
{
    const bool held = g_info_target.add_use();
    if (!held)
        return;
    if (auto* ctrl = dynamic_cast<edit_ctrl_e*>(g_info_target.resolve()))
        ctrl->print_map_info();
    g_info_target.release();
}

world_services_t* services_of(const entity_t& entity)
{
    return dynamic_cast<world_services_t*>(owning_process(entity));
}

// Light words of the editor's light: a grey ambient, a brighter diffuse, no specular, from above.
void set_up_light(r_light_t& light)
{
    for (int i = 0; i < 3; ++i) {
        light.ambient[i] = 0.45f;
        light.diffuse[i] = 0.65f;
        light.specular[i] = 0.0f;
        light.direction[i] = 1.0f;
    }
    light.ambient[3] = light.diffuse[3] = 1.0f;
    light.specular[3] = 0.0f;
    light.direction[3] = 0.0f;
}

}  // namespace

edit_ctrl_e::edit_ctrl_e() { pointer.ground = vec3_t{}; }

edit_ctrl_e::~edit_ctrl_e()
{
    if (g_info_target == handle())
        g_info_target = entity_handle_t{};
}

int edit_ctrl_e::init(const int phase)
{
    g_info_target = handle();
    if (phase == -10 && !prepare_segment_server(edit_ctrl_segment_slots, edit_ctrl_aux_segment_slots))
        return 1;
    const int base = base_ctrl_e::init(phase);
    if (base != 0)
        return base;
    if (phase == -10)
        return init_early();
    if (phase == 0)
        init_cameras();
    else if (phase == 10)
        init_late();
    return 0;
}

int edit_ctrl_e::init_early()
{
    load_background_map();
    game_bridge_t* const bridge = get_game_bridge();
    if (bridge && !registered_)
        registered_ = bridge->register_base_ctrl(handle());
    return 0;
}

void edit_ctrl_e::init_cameras()
{
    start_shader_ = api::gfx_shader_precache("/shaders/editor/startpos.shd");
    pins_ = std::make_unique<pml_buffer_t>(0x8000);
    ui_pshow(0);
    if (world_services_t* services = services_of(*this)) {
        services->instantiate_block("/scripts/editor/top_camera.esc");
        services->instantiate_block("/scripts/editor/free_camera.esc");
    }
}

void edit_ctrl_e::init_late()
{
    game_bridge_t* const bridge = get_game_bridge();
    if (bridge) {
        hud_ = bridge->insert_window("editorui_hud", "hud", 4, "/ui/editorhud.esc");
        if (hud_)
            ui_wshow(hud_, 0);
    }
    set_mode(edit_mode_none);
    set_sub_mode(edit_sub_road);
    set_view_mode(edit_view_top);
    const char* const map_name = bridge ? bridge->get_map_name() : "";
    if (map_name[0]) {
        // The bridge names "/maps/NAME.mbd"; the editor loads by the file's name.
        const char* const slash = std::strrchr(map_name, '/');
        load(slash ? slash + 1 : map_name);
    }
    build_start_marker();
    if (world_services_t* services = services_of(*this)) {
        light_ = services->new_light();
        if (light_)
            set_up_light(*light_);
    }
    read_ini();
    command_registered_ = api::cmd_register_command("g_info", g_info);
}

int edit_ctrl_e::destroy(const int phase)
{
    if (phase == 0) {
        write_ini();
        for (entity_handle_t* camera : {&free_camera_, &top_camera_})
            if (!camera->is_null()) {
                camera->release();
                *camera = entity_handle_t{};
            }
        own_segment_.release(*this);
        own_aux_segment_.release(*this);
        release_preview();
        pins_.reset();
        if (light_) {
            if (world_services_t* services = services_of(*this))
                services->remove_light(light_);
            light_ = nullptr;
        }
        if (command_registered_)
            api::cmd_unregister_command("g_info");
        command_registered_ = false;
        hud_ = nullptr;
    }
    return base_ctrl_e::destroy(phase);
}

void edit_ctrl_e::show_target(map_miscitem_t& record)
{
    current_item = static_cast<int32_t>(&record - miscitems.data);
    if (seg_server)
        seg_server->show_target(record.points[0], 0, 0, 3);
}

void edit_ctrl_e::hide_target()
{
    current_item = -1;
    if (seg_server)
        seg_server->hide_target();
}

void edit_ctrl_e::register_camera(editor_camera_e& camera)
{
    entity_handle_t& slot = camera.kind == edit_view_top ? top_camera_ : free_camera_;
    if (!slot.is_null() || !camera.handle().add_use())
        return;
    slot = camera.handle();
    // A camera that registers after the view was chosen becomes current now.
    if (view_mode == camera.kind)
        set_view_mode(view_mode);
}

editor_camera_e* edit_ctrl_e::current_camera() const
{
    const entity_handle_t& slot = view_mode == edit_view_top ? top_camera_ : free_camera_;
    return view_mode == edit_view_none ? nullptr : dynamic_cast<editor_camera_e*>(slot.resolve());
}

void edit_ctrl_e::set_mode(const int32_t value)
{
    mode = value;
    if (auto* hud = ui_handler_editor_hud_t::of_bridge())
        hud->select_mode(110, value);
    if (value == edit_mode_brush)
        select_stamp();
    pointer.picked_type = edit_pick_none;
    pointer.picked_item = pointer.picked_point = -1;
    pointer.held = -1;
    pointer.create_state = 0;
    height_target = edit_height_target_t{};
}

void edit_ctrl_e::set_sub_mode(const int32_t value)
{
    pointer.picked_type = edit_pick_none;
    pointer.picked_item = pointer.picked_point = -1;
    pointer.held = -1;
    pointer.create_state = 0;
    sub_mode = value;
    if (auto* hud = ui_handler_editor_hud_t::of_bridge())
        hud->select_mode(120, value);
}

void edit_ctrl_e::set_view_mode(const int32_t view)
{
    view_mode = view;
    if (view == edit_view_top) {
        ui_pshow(0);
        api::inp_set_mouse_state(0);
    } else if (view == edit_view_free) {
        if (auto* camera = dynamic_cast<editor_camera_free_e*>(free_camera_.resolve()))
            camera->orientation = vec3_t(-60.0f, 0.0f, 0.0f);
        ui_pshow(-1);
        api::inp_set_mouse_state(1);
        gfx_view_t view_params;
        if (get_view_params(&view_params)) {
            view_params.far_plane = editor_free_far_view;
            set_view_params(&view_params);
        }
    } else {
        ui_pshow(-1);
    }
    game_bridge_t* const bridge = get_game_bridge();
    editor_camera_e* const camera = current_camera();
    if (bridge && camera)
        bridge->set_avatar(camera->handle());
}

void edit_ctrl_e::quick_help(const char* text)
{
    if (auto* hud = ui_handler_editor_hud_t::of_bridge())
        hud->set_quick_help(text);
}

bool edit_ctrl_e::save_if_modified()
{
    if (!modified)
        return true;
    if (save(nullptr, false))
        return true;
    api::warning("<edit_ctrl_e> the map was not saved; the command is not carried out");
    return false;
}

void edit_ctrl_e::empty_map()
{
    release_segments();
    own_segment_.release(*this);
    release_preview();
    own_aux_segment_.release(*this);
    pointer = edit_pointer_t{};
    height_target = edit_height_target_t{};
    current_item = -1;
}

void edit_ctrl_e::new_map()
{
    if (!save_if_modified())
        return;
    empty_map();
    map_path[0] = '\0';
    modified = false;
    build_start_marker();
}

void edit_ctrl_e::quit()
{
    if (!save_if_modified())
        return;
    api::cmd_add("quit");
}

void edit_ctrl_e::preview()
{
    if (!save(nullptr, false))
        return;
    const char* const slash = std::strrchr(map_path, '/');
    char word[128];
    v_strncpy(word, slash ? slash + 1 : map_path, sizeof word);
    if (char* dot = std::strrchr(word, '.'))
        *dot = '\0';
    char command[160];
    std::snprintf(command, sizeof command, "preview %s", word);
    api::cmd_add(command);
}

void edit_ctrl_e::print_map_info()
{
    api::message("Edge count : %d", edges.count);
    api::message("Node count : %d", nodes.count);
    api::message("Aux Edge count : %d", aux_edges.count);
    api::message("Aux Node count : %d", aux_nodes.count);
    api::message("Freeitem count : %d", freeitems.count);
    api::message("Sign count : %d", signs.count);
    api::message("Stamp count : %d", stamps.count);
    api::message("Cityblock count : %d", cityblocks.count);
    api::message("Miscitem count : %d", miscitems.count);
    api::message("----");
    const int64_t bytes =
        int64_t{nodes.capacity} * 48 + int64_t{miscitems.capacity} * 192 + int64_t{stamps.capacity} * 16 +
        int64_t{cityblocks.capacity} * 532 + int64_t{edges.capacity} * 168 + int64_t{aux_edges.capacity} * 152 +
        int64_t{freeitems.capacity} * 92 + int64_t{signs.capacity} * 44 + int64_t{aux_nodes.capacity} * 36;
    api::message("Memory usage : %d kB", static_cast<int>(bytes / 1024));
}

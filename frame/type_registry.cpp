#include "frame/type_registry.h"

#include "editor/edit_ctrl.h"
#include "editor/editor_camera_free.h"
#include "editor/editor_camera_top.h"
#include "editor/ui_handler_editor_help.h"
#include "editor/ui_handler_editor_hud.h"
#include "engine/entity_reg.h"
#include "engine/ui_group.h"
#include "engine/ui_window.h"
#include "common/geometry_pools.h"
#include "common/loader_lock.h"
#include "frame/psm_process.h"
#include "common/type_create.h"
#include "frame/world_types.h"
#include "game/economy_ctrl.h"
#include "road/game_ctrl.h"
#include "game/ui_handler_bugreport.h"
#include "game/ui_handler_call911.h"
#include "game/ui_handler_console.h"
#include "game/ui_handler_gameover.h"
#include "game/ui_handler_hud.h"
#include "game/ui_handler_hud_job.h"
#include "game/ui_handler_hud_job3d.h"
#include "game/ui_handler_jukebox.h"
#include "game/ui_handler_mbackground.h"
#include "game/ui_handler_menu_credits.h"
#include "game/ui_handler_menu_game.h"
#include "game/ui_handler_menu_load.h"
#include "game/ui_handler_menu_main.h"
#include "game/ui_handler_menu_newgame.h"
#include "game/ui_handler_menu_save.h"
#include "game/ui_handler_msgbox.h"
#include "game/ui_handler_showroom.h"
#include "ui/components/ui_comp_area_map.h"
#include "ui/components/ui_comp_arrow.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_color_pick.h"
#include "ui/components/ui_comp_common_button.h"
#include "ui/components/ui_comp_common_dropdown.h"
#include "ui/components/ui_comp_common_frame.h"
#include "ui/components/ui_comp_common_inputline.h"
#include "ui/components/ui_comp_common_list.h"
#include "ui/components/ui_comp_common_slider.h"
#include "ui/components/ui_comp_common_text.h"
#include "ui/components/ui_comp_double_bar.h"
#include "ui/components/ui_comp_gauge.h"
#include "ui/components/ui_comp_historyline.h"
#include "ui/components/ui_comp_logview.h"
#include "ui/components/ui_comp_make.h"
#include "ui/components/ui_comp_menu_model.h"
#include "ui/components/ui_comp_mirror.h"
#include "ui/components/ui_comp_progress.h"
#include "ui/components/ui_comp_text.h"
#include "ui/components/ui_comp_tooltip.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/components/ui_hud_buttons.h"
#include "ui/screens/ui_handler_dialog_color.h"
#include "ui/screens/ui_handler_dialog_driver.h"
#include "ui/screens/options/ui_handler_dialog_gfxtest.h"
#include "ui/screens/ui_handler_menu_notebook.h"
#include "ui/screens/options/ui_handler_menu_options1.h"
#include "ui/screens/options/ui_handler_menu_options2.h"
#include "ui/screens/options/ui_handler_menu_options3.h"
#include "ui/screens/options/ui_handler_menu_optionsbase.h"
#include "ui/screens/options/ui_handler_options_informer.h"
#include "ui/screens/ui_handler_screen_competition.h"
#include "ui/screens/ui_handler_screen_economy.h"
#include "ui/screens/ui_handler_screen_roadmap.h"
#include "ui/screens/ui_handler_screen_routes.h"
#include "ui/screens/notebook/ui_handler_screen_trucks.h"
#include "vehicles/player/car_player.h"
#include "vehicles/traffic/car_police.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/traffic/traffic.h"
#include "world/car_smoke.h"
#include "world/decals_wrap_aa.h"
#include "world/env_rain.h"
#include "world/env_snow.h"
#include "world/environment.h"

namespace {

// A row of the registry with the shared destroy function.
template <typename class_t> constexpr entity_reg_t row(const char* type_name, uint32_t flags = 0)
{
    return registered_type<class_t>(type_name, flags, entity_type_destroy);
}

const entity_reg_t rows[] = {
    row<car_player_e>("actors.car", 1),
    row<car_trailor_e>("actors.trailer"),
    row<car_police_e>("actors.ai"),
    row<traffic_e>("traffic"),
    row<edit_ctrl_e>("editor.ctrl"),
    row<ui_handler_editor_hud_t>("ui.handler.editor.hud"),
    row<ui_handler_editor_help_t>("ui.handler.editor.help"),
    row<editor_camera_top_e>("editor.camera.top"),
    row<editor_camera_free_e>("editor.camera.free"),
    row<game_ctrl_e>("game.ctrl"),
    row<economy_ctrl_e>("economy.ctrl"),
    row<decals_wrap_aa_e>("decals.wrap_aa"),
    row<ui_handler_console_t>("ui.handler.system.console"),
    row<ui_handler_bugreport_t>("ui.handler.system.bugreport"),
    row<ui_handler_menu_main_t>("ui.handler.menu.main"),
    row<ui_handler_menu_game_t>("ui.handler.menu.game"),
    row<ui_handler_menu_load_t>("ui.handler.menu.load"),
    row<ui_handler_menu_save_t>("ui.handler.menu.save"),
    row<ui_handler_menu_optionsbase_t>("ui.handler.menu.optionsbase"),
    row<ui_handler_menu_options1_t>("ui.handler.menu.options1"),
    row<ui_handler_menu_options2_t>("ui.handler.menu.options2"),
    row<ui_handler_menu_options3_t>("ui.handler.menu.options3"),
    row<ui_handler_options_informer_t>("ui.handler.options.informer"),
    row<ui_handler_menu_newgame_t>("ui.handler.menu.newgame"),
    row<ui_handler_hud_job3d_t>("ui.handler.hud.job3d"),
    row<ui_handler_hud_job_t>("ui.handler.hud.job"),
    row<ui_handler_hud_t>("ui.handler.hud"),
    row<ui_handler_jukebox_t>("ui.handler.jukebox"),
    row<ui_handler_call911_t>("ui.handler.call911"),
    row<ui_handler_gameover_t>("ui.handler.gameover"),
    row<ui_handler_mbackground_t>("ui.handler.mbackground"),
    row<ui_handler_msgbox_t>("ui.handler.msgbox"),
    row<ui_handler_menu_credits_t>("ui.handler.menu.credits"),
    row<ui_handler_showroom_t>("ui.handler.showroom"),
    row<ui_handler_menu_notebook_t>("ui.handler.menu.notebook"),
    row<ui_handler_screen_routes_t>("ui.handler.screen.routes"),
    row<ui_handler_screen_trucks_t>("ui.handler.screen.trucks"),
    row<ui_handler_screen_economy_t>("ui.handler.screen.economy"),
    row<ui_handler_screen_competition_t>("ui.handler.screen.competition"),
    row<ui_handler_screen_roadmap_t>("ui.handler.screen.roadmap"),
    row<ui_handler_dialog_driver_t>("ui.handler.dialog.driver"),
    row<ui_handler_dialog_color_t>("ui.handler.dialog.color"),
    row<ui_handler_dialog_gfxtest_t>("ui.handler.dialog.gfxtest"),
    row<ui_window_t>("ui.window"),
    row<ui_comp_historyline_t>("ui.comp.historyline"),
    row<ui_comp_logview_t>("ui.comp.logview"),
    row<ui_comp_text_t>("ui.comp.text"),
    row<ui_comp_button_t>("ui.comp.button"),
    row<ui_group_t>("ui.comp.group"),
    row<ui_comp_common_button_t>("ui.comp.common.button"),
    row<ui_comp_common_text_t>("ui.comp.common.text"),
    row<ui_comp_common_slider_t>("ui.comp.common.slider"),
    row<ui_comp_common_frame_t>("ui.comp.common.frame"),
    row<ui_comp_common_list_t>("ui.comp.common.list"),
    row<ui_comp_common_dropdown_t>("ui.comp.common.dropdown"),
    row<ui_comp_common_inputline_t>("ui.comp.common.inputline"),
    row<ui_comp_gauge_t>("ui.comp.gauge"),
    row<ui_comp_area_map_t>("ui.comp.area_map"),
    row<ui_comp_mirror_t>("ui.comp.mirror"),
    row<ui_comp_make_t>("ui.comp.make"),
    row<ui_comp_menu_model_t>("ui.comp.menu_model"),
    row<ui_comp_truckbutton_t>("ui.comp.truckbutton"),
    row<ui_comp_arrow_t>("ui.comp.arrow"),
    row<ui_comp_progress_t>("ui.comp.progress"),
    row<ui_comp_double_bar_t>("ui.comp.double_bar"),
    row<ui_comp_color_pick_t>("ui.comp.color.pick"),
    row<ui_comp_tooltip_t>("ui.comp.tooltip"),
    row<environment_e>("environment", 1),
    row<env_snow_e>("env.snow", 1),
    row<env_rain_e>("env.rain", 1),
    row<car_smoke_e>("particle.car_smoke", 1),
};

}  // namespace

void register_entity_types()
{
    set_loader_lock(psm_process_lock, psm_process_unlock);
    register_world_types();
    for (const entity_reg_t& record : rows)
        entity_register(&record);
    geometry_pools_create();
    hud_buttons_install(&ui_hud_buttons());
}

void entity_type_destroy(entity_t* object, bool in_place) { destroy_registered(object, in_place); }

const entity_reg_t* entity_type_rows() { return rows; }

const save_game_checks_t& save_game_section_checks()
{
    static const save_game_checks_t checks{{environment_e::check_section, game_ctrl_e::check_section,
                                            traffic_e::check_section, economy_ctrl_e::check_section}};
    return checks;
}

int entity_type_row_count() { return static_cast<int>(sizeof rows / sizeof rows[0]); }

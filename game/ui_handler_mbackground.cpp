#include "game/ui_handler_mbackground.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/ui_find_component.h"
#include "game/menu_shared.h"

void ui_handler_mbackground_t::on_wshow()
{
    menu_music_start();
    if (ui_view_t* version = ui_window_component(window, version_id))
        evalue_set(version, "value", 0, version_text);
    ui_handler_game_base_t::on_wshow();
}

void ui_handler_mbackground_t::on_whide()
{
    menu_music_stop();
    ui_handler_game_base_t::on_whide();
}

void ui_handler_mbackground_t::set_overlay_visible(const bool on)
{
    if (ui_view_t* overlay = ui_window_component(window, overlay_id))
        overlay->show(on);
}

#include "game/ui_handler_mbackground.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/ui_find_component.h"
#include "game/menu_shared.h"

namespace {

// Component `id` of `window`'s tree, or null.
ui_view_t* component(c_item_t* window, const int id)
{
    auto* root = window ? static_cast<ui_view_t*>(window->object) : nullptr;
    c_item_t* item = root ? ui_find_component(root, id, false) : nullptr;
    return item ? static_cast<ui_view_t*>(item->object) : nullptr;
}

}  // namespace

void ui_handler_mbackground_t::on_wshow()
{
    menu_music_start();
    if (ui_view_t* version = component(window, version_id))
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
    if (ui_view_t* overlay = component(window, overlay_id))
        overlay->show(on);
}

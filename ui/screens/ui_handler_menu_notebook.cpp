#include "ui/screens/ui_handler_menu_notebook.h"

#include "engine/bind.h"
#include "engine/cache.h"
#include "engine/evalue.h"
#include "engine/input.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/economy_ctrl.h"
#include "game/game_keys.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_button.h"

namespace {

// Sound tags of the game and of the menus.
constexpr int game_sound_tag = 10;
constexpr int menu_sound_tag = 20;
// Scan code of Escape.
constexpr uint16_t escape_key = 1;
// Id of the caption of the pointer's window, blanked when the notebook closes.
constexpr int pointer_caption_id = 100;

// The page windows (group "notebook") by index, with their scripts.
struct notebook_page_t {
    const char* name;
    const char* script;
};
constexpr notebook_page_t notebook_pages[ui_handler_menu_notebook_t::page_count] = {
    {"routes", "/ui/notebook/routes.esc"},   {"trucks", "/ui/notebook/trucks.esc"},
    {"economy", "/ui/notebook/economy.esc"}, {"competition", "/ui/notebook/competition.esc"},
    {"roadmap", "/ui/notebook/roadmap.esc"},
};

// The trigger code of the first key bound to the notebook impulse; all bits set when none is.
uint32_t notebook_key_code()
{
    const inp_impulse_t* impulse = api::inp_impulse_get(ui_handler_menu_notebook_t::notebook_impulse);
    const bind_t* binding = impulse ? api::inp_trigger_impulsealias(impulse->name, 0, nullptr) : nullptr;
    return static_cast<uint32_t>(api::inp_trigger_ptr2code(binding));
}

}  // namespace

void ui_handler_menu_notebook_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    truck_slot = -1;
    current_page = -1;
    dealer = -1;
    for (int k = 0; k < page_count; ++k)
        pages[k] = menu_window("notebook", notebook_pages[k].name, 0, notebook_pages[k].script);
    close_key = 0;
    close_key_released = 0;
    close_key_repressed = 0;
    world_paused_before = 0;
}

void ui_handler_menu_notebook_t::on_wshow()
{
    game_keys_unbind();
    api::snd_disable_tag(game_sound_tag);
    api::snd_set_current_tag(menu_sound_tag);
    api::snd_enable_tag(menu_sound_tag, 0);
    ui_pshow(0);
    ui_handler_game_base_t::on_wshow();
    if (current_page >= 0) {
        if (pages[current_page])
            ui_wshow(pages[current_page], 0);
    } else {
        auto* root = window ? static_cast<ui_view_t*>(window->object) : nullptr;
        c_item_t* tab = root ? ui_find_component(root, first_tab_id, false) : nullptr;
        if (auto* button = tab ? dynamic_cast<ui_comp_button_t*>(static_cast<ui_view_t*>(tab->object)) : nullptr) {
            click_muted = 1;
            button->click();
            click_muted = 0;
        }
    }
    // The world sleeps while the notebook is open and nobody else may wake it; a world the player had
    // paused is remembered, so that closing the notebook leaves it paused.
    world_paused_before = current_world_paused() ? 1 : 0;
    if (world_paused_before)
        current_world_pause(false, false);
    current_world_pause(true, true);
    current_world_allow_pause(false);
    menu_music_play(music_path);
    close_key = notebook_key_code();
    close_key_released = 0;
    close_key_repressed = 0;
}

void ui_handler_menu_notebook_t::on_whide()
{
    if (c_item_t* pointer = ui_pget(0)) {
        auto* root = static_cast<ui_view_t*>(pointer->object);
        c_item_t* caption = root ? ui_find_component(root, pointer_caption_id, false) : nullptr;
        if (caption)
            evalue_set(static_cast<ui_view_t*>(caption->object), "text", 0, " ");
    }
    ui_handler_t::on_whide();
    api::snd_disable_tag(menu_sound_tag);
    api::snd_set_current_tag(game_sound_tag);
    ui_pshow(-1);
    if (current_page >= 0 && pages[current_page])
        ui_whide(pages[current_page]);
    current_world_allow_pause(true);
    if (world_paused_before) {
        // Back to the player's own pause: the world stays asleep (and silent) but is drawn again.
        current_world_pause(true, false);
    } else {
        current_world_pause(false, false);
        api::snd_enable_tag(game_sound_tag, 0);
    }
    game_bridge_t* bridge = get_game_bridge();
    if (auto* economy = bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr)
        economy->add_money(0, 1);
    menu_music_stop();
    game_keys_bind();
}

void ui_handler_menu_notebook_t::pre_wdraw()
{
    ui_handler_game_base_t::pre_wdraw();
    // Whoever gave the world its permission to pause while the notebook was up (the truck when its
    // loading screen ends) did not know of it: take the pause and the permission as showing does.
    if (!current_world_paused()) {
        current_world_pause(true, true);
        current_world_allow_pause(false);
    }
}

bool ui_handler_menu_notebook_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_pressed && view) {
        if (view->id == close_id)
            close();
        else if (view->id >= first_tab_id && view->id < first_tab_id + page_count)
            show_page(view->id - first_tab_id);
        return false;
    }
    if ((code != ui_action_key_down && code != ui_action_key_up) || !param)
        return false;
    const uint32_t key = static_cast<const ui_key_param_t*>(param)->key;
    if (code == ui_action_key_down) {
        if (key == close_key && close_key_released)
            close_key_repressed = 1;
        return false;
    }
    if (key == escape_key) {
        close();
        return true;
    }
    if (key != close_key)
        return false;
    // The release of the press that opened the notebook is not a request to close it.
    if (!close_key_released) {
        close_key_released = 1;
        return false;
    }
    if (!close_key_repressed)
        return false;
    close();
    return true;
}

void ui_handler_menu_notebook_t::show_page(const int32_t page)
{
    if (page < 0 || page >= page_count || page == current_page)
        return;
    if (current_page >= 0 && pages[current_page])
        ui_whide(pages[current_page]);
    current_page = page;
    // A page opened from outside (a dealer, the contest's end) shows on the tabs too.
    if (auto* tab = dynamic_cast<ui_comp_button_t*>(ui_window_component(window, first_tab_id + page)))
        tab->set_pressed(true);
    if (pages[page])
        ui_wshow(pages[page], 0);
}

void ui_handler_menu_notebook_t::close()
{
    if (window)
        ui_whide(window);
}

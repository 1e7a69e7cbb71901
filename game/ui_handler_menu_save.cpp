#include "game/ui_handler_menu_save.h"

#include "engine/cache.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/save_game_calls.h"
#include "common/ui_find_component.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "game/ui_handler_msgbox.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_editline.h"

namespace {

// The name line of the save menu's window, or null.
ui_editline_t* name_line(c_item_t* window)
{
    return dynamic_cast<ui_editline_t*>(ui_window_component(window, savegame_menu_t::name_id));
}

}  // namespace

void ui_handler_menu_save_t::on_wshow()
{
    pending = 0;
    savegame_menu_t::on_wshow();
}

bool ui_handler_menu_save_t::write_save(const std::string& path)
{
    if (save_game_write_current(path.c_str()))
        return true;
    msgbox_open("@@ui_error@@", "@@ui_save_failed@@", ui_handler_msgbox_t::set_close, 0);
    return false;
}

bool ui_handler_menu_save_t::menu_save_game(const char* name)
{
    const ui_editline_t* line = name_line(window);
    const std::string chosen = name ? std::string(name) : std::string(line ? line->text() : "");
    if (chosen.empty())
        return false;
    if (!savegame_name_valid(chosen.c_str())) {
        msgbox_open("@@ui_error@@", "@@ui_wrong_character@@", ui_handler_msgbox_t::set_close, 0);
        return false;
    }
    const std::string path = save_path(chosen);
    if (path.empty()) {
        msgbox_open("@@ui_error@@", "@@ui_wrong_character@@", ui_handler_msgbox_t::set_close, 0);
        return false;
    }
    const int existing = api::vfs_open(path.c_str(), 0, 0);
    if (existing < 0)
        return write_save(path);
    api::vfs_close(existing);
    msgbox_open("@@ui_warning@@", "@@ui_overwrite@@", ui_handler_msgbox_t::set_yes_no, 0);
    pending_path = path;
    pending = 1;
    deleting = 0;
    return false;
}

void ui_handler_menu_save_t::overwrite_confirmed()
{
    if (write_save(pending_path))
        menu_back(*this);
}

void ui_handler_menu_save_t::save_and_close(const char* name)
{
    if (menu_save_game(name))
        menu_back(*this);
}

bool ui_handler_menu_save_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param) {
        const uint16_t key = static_cast<const ui_key_param_t*>(param)->key;
        if (key == ui_key_escape) {
            menu_back(*this);
            return true;
        }
        if (key == ui_key_enter) {
            save_and_close(nullptr);
            return true;
        }
        return false;
    }
    if (!view || view->id == 0)
        return false;
    if (code == ui_action_item_selected && view->id == list_id && param) {
        if (ui_editline_t* line = name_line(window))
            line->set_text(static_cast<const ui_list_param_t*>(param)->text, false);
        return false;
    }
    if (code == ui_action_item_activated && view->id == list_id && param) {
        save_and_close(static_cast<const ui_list_param_t*>(param)->text);
        return true;
    }
    if (code != ui_action_pressed)
        return false;
    switch (view->id) {
    case action_id:
    case name_id:  // Enter accepted in the name line
        save_and_close(nullptr);
        return true;
    case delete_id:
        menu_delete_save();
        return true;
    case back_id:
        menu_back(*this);
        return true;
    default:
        return false;
    }
}

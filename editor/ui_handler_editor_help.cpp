#include "editor/ui_handler_editor_help.h"

#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"

namespace {

// Key code of Esc, and the help window's close button.
constexpr uint16_t key_escape = 1;
constexpr int close_button_id = 100;

}  // namespace

bool ui_handler_editor_help_t::handle(ui_view_t* view, const int code, void* param)
{
    const bool base = ui_handler_game_base_t::handle(view, code, param);
    const bool escape =
        code == ui_action_key_down && param && static_cast<const ui_key_param_t*>(param)->key == key_escape;
    const bool closed = code == ui_action_pressed && view && view->id == close_button_id;
    if (escape || closed) {
        ui_wremove(window);
        return false;
    }
    return base;
}

void editor_show_help()
{
    c_item_t* help = ui_wget("editorui_help", "help");
    if (!help)
        help = ui_winsert("editorui_help", "help", 0, "/ui/editorhelp.esc", false);
    if (help)
        ui_wshow(help, 0);
}

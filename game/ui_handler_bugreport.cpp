#include "game/ui_handler_bugreport.h"

#include <cmath>
#include <ctime>

#include "engine/evalue.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_window.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/game_keys.h"
#include "ui/components/ui_editline.h"

namespace {

// Whole units of a position, halves to the even neighbour (the default rounding of the C library).
int whole(float value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

void ui_handler_bugreport_t::on_wshow()
{
    game_keys_unbind();
    ui_handler_game_base_t::on_wshow();
    ui_pshow(0);
    // A game the player paused stays paused when the report closes: only the report's own pause ends.
    paused_world = 0;
    if (!current_world_paused()) {
        current_world_pause(true, false);
        paused_world = current_world_paused() ? 1 : 0;
    }
    if (ui_view_t* position = ui_window_component(window, position_id)) {
        char text[128];
        v_snprintf0(text, sizeof text, "Position : < %d %d %d >", whole(position_x), whole(position_y),
                    whole(position_z));
        if (evalue_find(position->get_evalue_root(), "value"))
            evalue_set(position, "value", 0, text);
    }
    if (auto* description = dynamic_cast<ui_editline_t*>(ui_window_component(window, description_id))) {
        description->set_text("", false);
        if (auto* own = window ? static_cast<ui_window_t*>(window->object) : nullptr)
            own->focus(description);
    }
}

void ui_handler_bugreport_t::on_whide()
{
    game_keys_bind();
    ui_pshow(-1);
    ui_handler_t::on_whide();
    if (paused_world)
        current_world_pause(false, false);
}

bool ui_handler_bugreport_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (!view)
        return false;
    if (code == ui_action_pressed && (view->id == send_id || view->id == description_id)) {
        bugreport_write();
        ui_whide(window);
        return true;
    }
    if (code == ui_action_pressed && view->id == cancel_id) {
        ui_whide(window);
        return true;
    }
    if (code == ui_action_key_up && param && view->item == window &&
        static_cast<const ui_key_param_t*>(param)->key == ui_key_escape) {
        ui_whide(window);
        return true;
    }
    return false;
}

bool ui_handler_bugreport_t::bugreport_write()
{
    const int file = api::vfs_open(file_name, vfs_write_only | vfs_at_end | vfs_create, 0x1b6);
    if (file < 0) {
        api::error("BUGREPORT: cannot open '%s' file", file_name);
        return false;
    }
    char date[128] = "";
    const time_t now = time(nullptr);
    tm local{};
    if (localtime_r(&now, &local))
        strftime(date, sizeof date, "%d/%m/%Y  %H:%M", &local);
    const auto* description = dynamic_cast<const ui_editline_t*>(ui_window_component(window, description_id));
    // One report is one line of at most 2047 characters.
    char line[2048];
    const long size = v_snprintf0(line, sizeof line, " %s ; [%s] ;%d;%d;%d\r\n", description ? description->text() : "",
                                  date, whole(position_x), whole(position_y), whole(position_z));
    const bool written = api::vfs_write(file, line, size) == size;
    api::vfs_close(file);
    if (!written)
        api::error("BUGREPORT: cannot write '%s' file", file_name);
    return written;
}

#include "game/ui_handler_hud.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "common/hud_components.h"
#include "game/markup_alpha.h"

void ui_handler_hud_t::show_lines()
{
    const std::string value = std::string(older_line) + "|" + newest_line + "|" + shadow_line;
    if (ui_view_t* lines = ui_window_component(window, main_hud_pager_lines))
        evalue_set(lines, "value", 0, value.substr(0, 4095).c_str());
}

void ui_handler_hud_t::push_message(const char* text)
{
    std::snprintf(older_line, sizeof older_line, "%s", newest_line);
    message_timer = message_hold;
    std::snprintf(newest_line, sizeof newest_line, "<color value=FFFFFFFF>%s", text ? text : "");
    std::snprintf(shadow_line, sizeof shadow_line, "<color value=FF000000>%s", text ? text : "");
    set_markup_alpha(older_alpha, older_line, sizeof older_line, false);
    set_markup_alpha(0xff, newest_line, sizeof newest_line, false);
    set_markup_alpha(0xff, shadow_line, sizeof shadow_line, true);
    show_lines();
}

void ui_handler_hud_t::start_notice()
{
    notice_timer = notice_time;
    if (ui_view_t* notice = ui_window_component(window, main_hud_notice))
        notice->show(true);
}

void ui_handler_hud_t::on_wshow()
{
    push_message("");
    ui_handler_t::on_wshow();
    if (ui_view_t* notice = ui_window_component(window, main_hud_notice))
        notice->show(false);
}

void ui_handler_hud_t::handler()
{
    ui_handler_t::handler();
    if (current_world_paused())
        return;
    const float dt = api::sys_get_lastdelta();
    if (notice_timer > 0.0f) {
        notice_timer -= dt;
        // Ending exactly on 0 ends the notice too, or it would stay shown with nothing left to run.
        if (notice_timer <= 0.0f) {
            notice_timer = 0.0f;
            if (ui_view_t* notice = ui_window_component(window, main_hud_notice))
                notice->show(false);
        } else if (notice_timer < notice_fade) {
            const int alpha = static_cast<int>(std::nearbyint(notice_timer * 0.33333334f * 255.0f));
            char text[4096];
            std::snprintf(text, sizeof text,
                          "<offset vshift=3 hshift=3><align hstyle=center vstyle=center><color value=%02x000000><font "
                          "@@__fnt_big@@ type=2>@@ui_trailer_lost@@ !</font></align><ret><align hstyle=center "
                          "vstyle=center><color value=%02x0000FF><font @@__fnt_big@@>@@ui_trailer_lost@@ "
                          "!</font></align>",
                          alpha, alpha);
            if (ui_view_t* notice = ui_window_component(window, main_hud_notice))
                evalue_set(notice, "text", 0, text);
        }
    }
    if (message_timer < 0.0f) {
        message_timer += dt;
        if (message_timer >= 0.0f)
            message_timer = fade_time;
        return;
    }
    if (message_timer <= 0.0f)
        return;
    if (std::strlen(newest_line) > empty_line_length) {
        push_message("");
        return;
    }
    message_timer -= dt;
    if (message_timer <= 0.0f) {
        message_timer = 0.0f;
        push_message("");
    }
    const int alpha = std::max(0, static_cast<int>(std::nearbyint(message_timer * fade_factor)));
    set_markup_alpha(alpha, older_line, sizeof older_line, false);
    show_lines();
}

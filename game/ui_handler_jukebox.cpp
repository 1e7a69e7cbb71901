#include "game/ui_handler_jukebox.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/game_keys.h"
#include "game/menu_shared.h"
#include "road/game_ctrl.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_slider_base.h"

namespace {

// Puts the slider's knob at `value` of 0 to `length`, without telling anyone.
void set_slider(ui_slider_base_t* slider, const uint32_t value, const uint32_t length)
{
    if (!slider)
        return;
    slider->minimum = 0;
    slider->maximum = static_cast<int32_t>(length);
    slider->position = length ? static_cast<float>(value) / static_cast<float>(length) : 0.0f;
    slider->changed(ui_change_property);
}

}  // namespace

game_ctrl_e* ui_handler_jukebox_t::controller()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<game_ctrl_e*>(bridge->base_ctrl().resolve()) : nullptr;
}

snd_sound_t* ui_handler_jukebox_t::playing(const game_ctrl_e* ctrl) { return ctrl ? ctrl->music().playing() : nullptr; }

void ui_handler_jukebox_t::on_wshow()
{
    game_keys_unbind();
    api::snd_enable_tag(20, 0);
    ui_pshow(0);
    ui_handler_game_base_t::on_wshow();
    if (get_game_bridge() && !current_world_paused()) {
        current_world_pause(true, false);
        paused_by_jukebox = current_world_paused() ? 1 : 0;
    } else {
        paused_by_jukebox = 0;
    }
    jukebox_fill_tracks();
    jukebox_refresh();
}

void ui_handler_jukebox_t::on_whide()
{
    game_keys_bind();
    ui_handler_game_base_t::on_whide();
    api::snd_disable_tag(20);
    ui_pshow(-1);
    if (paused_by_jukebox)
        current_world_pause(false, false);
}

void ui_handler_jukebox_t::jukebox_fill_tracks()
{
    ui_comp_list_t* list = window_list(*this, list_id);
    const game_ctrl_e* ctrl = controller();
    if (!list)
        return;
    list->clear();
    if (!ctrl)
        return;
    uint32_t index = 0;
    for (const std::string& file : ctrl->music().list()) {
        std::string name = file.substr(0, 127);
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        ui_list_item_t item;
        item.pml = name.c_str();
        item.data = index++;
        item.mask = ui_list_pml | ui_list_data;
        list->insert_item(item, static_cast<uint32_t>(list->count()));
    }
}

void ui_handler_jukebox_t::show_time(const int position_sec, const int length_sec)
{
    char text[64];
    std::snprintf(text, sizeof text, "%02d : %02d / %02d : %02d", position_sec / 60, position_sec % 60, length_sec / 60,
                  length_sec % 60);
    if (ui_view_t* time = ui_window_component(window, time_id))
        evalue_set(time, "value", 0, text);
}

void ui_handler_jukebox_t::jukebox_refresh()
{
    game_ctrl_e* ctrl = controller();
    auto* slider = dynamic_cast<ui_slider_base_t*>(ui_window_component(window, position_id));
    if (snd_sound_t* stream = playing(ctrl)) {
        stream_length = api::snd_get_stream_length(stream);
        set_slider(slider, api::snd_get_stream_position(stream), stream_length);
        stream_length_sec = static_cast<uint32_t>(api::snd_get_stream_length_sec(stream));
        show_time(api::snd_get_stream_position_sec(stream), static_cast<int>(stream_length_sec));
    } else {
        set_slider(slider, 0, 0);
        show_time(0, 0);
    }
    if (!ctrl)
        return;
    current_track = static_cast<uint32_t>(ctrl->music().current());
    if (ui_comp_list_t* list = window_list(*this, list_id)) {
        ui_list_item_t key;
        key.mask = ui_list_data;
        key.data = current_track;
        const int index = list->find_item(key, 0, false);
        click_muted = 1;
        if (index >= 0)
            list->select_item(index, true);
        click_muted = 0;
    }
}

void ui_handler_jukebox_t::jukebox_seek(const uint32_t position)
{
    if (snd_sound_t* stream = playing(controller()))
        api::snd_set_stream_position(stream, position);
}

void ui_handler_jukebox_t::jukebox_step(const int step)
{
    game_ctrl_e* ctrl = controller();
    const auto count = ctrl ? static_cast<int64_t>(ctrl->music().list().size()) : 0;
    if (count == 0)
        return;
    const int64_t next = ((static_cast<int64_t>(ctrl->music().current()) + step) % count + count) % count;
    ctrl->music().select(static_cast<int32_t>(next));
    jukebox_refresh();
}

void ui_handler_jukebox_t::handler()
{
    ui_handler_game_base_t::handler();
    game_ctrl_e* ctrl = controller();
    if (snd_sound_t* stream = playing(ctrl)) {
        auto* slider = dynamic_cast<ui_slider_base_t*>(ui_window_component(window, position_id));
        int position_sec = api::snd_get_stream_position_sec(stream);
        if (follow) {
            set_slider(slider, api::snd_get_stream_position(stream), stream_length);
        } else if (slider && stream_length) {
            position_sec = static_cast<int>(static_cast<float>(slider->get_int_value()) /
                                            static_cast<float>(stream_length) * static_cast<float>(stream_length_sec));
        }
        show_time(position_sec, static_cast<int>(stream_length_sec));
    }
    if (ctrl && ctrl->music().update())
        jukebox_refresh();
}

bool ui_handler_jukebox_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_escape) {
        ui_whide(window);
        return true;
    }
    if (!view)
        return false;
    game_ctrl_e* ctrl = controller();
    if (code == ui_action_pressed) {
        switch (view->id) {
        case close_id:
            ui_whide(window);
            break;
        case play_id:
            if (ctrl)
                ctrl->music().select(static_cast<int32_t>(current_track));
            break;
        case stop_id:
            if (ctrl)
                ctrl->music().stop();
            break;
        case previous_id:
            jukebox_step(-1);
            break;
        case next_id:
            jukebox_step(1);
            break;
        case position_id:
            if (auto* slider = dynamic_cast<ui_slider_base_t*>(view))
                jukebox_seek(static_cast<uint32_t>(std::max(slider->get_int_value(), 0)));
            break;
        default:
            break;
        }
        return false;
    }
    if (view->id == position_id && (code == ui_action_grab || code == ui_action_let_go)) {
        follow = code == ui_action_let_go ? 1 : 0;
        return false;
    }
    if (view->id == list_id && param && (code == ui_action_item_selected || code == ui_action_item_activated)) {
        current_track = static_cast<const ui_list_param_t*>(param)->data;
        if (code == ui_action_item_activated && ctrl)
            ctrl->music().select(static_cast<int32_t>(current_track));
    }
    return false;
}

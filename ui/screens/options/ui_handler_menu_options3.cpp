#include "ui/screens/options/ui_handler_menu_options3.h"

#include <cmath>

#include "engine/snd.h"
#include "engine/text.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Key code of Esc.
constexpr int escape_key = 1;

// The mixing rates offered, in list order, with their rows.
constexpr uint32_t mix_rates[] = {44100, 22050, 11025};
constexpr const char* mix_rate_labels[] = {"44100 Hz", "22050 Hz", "11025 Hz"};

// The switch pairs: variable, the button of "on" and the button of "off", and what a change needs.
struct sound_switch_t {
    const char* name;
    int on_id;
    int off_id;
    bool restart;
};
constexpr sound_switch_t sound_switches[] = {
    {"s_music_enabled", ui_handler_menu_options3_t::music_on_id, ui_handler_menu_options3_t::music_off_id, true},
    {"s_sfx_enabled", ui_handler_menu_options3_t::sfx_on_id, ui_handler_menu_options3_t::sfx_off_id, true},
    {"s_reverse_stereo", ui_handler_menu_options3_t::reverse_on_id, ui_handler_menu_options3_t::reverse_off_id, false},
    {"s_3d_emulated", ui_handler_menu_options3_t::emulated_on_id, ui_handler_menu_options3_t::emulated_off_id, true},
};

// The volume sliders and their variables.
struct sound_volume_t {
    const char* name;
    int id;
};
constexpr sound_volume_t sound_volumes[] = {
    {"s_sfx_volume", ui_handler_menu_options3_t::sfx_volume_id},
    {"s_music_volume", ui_handler_menu_options3_t::music_volume_id},
};

// Restarts the sound system or has it apply the new settings.
void sound_changed(const bool restart)
{
    if (restart)
        api::snd_restart();
    else
        api::snd_apply();
}

}  // namespace

void set_sound_cvar_int(const char* name, const int value, const bool restart)
{
    if (set_cvar_int(name, value))
        sound_changed(restart);
}

void set_sound_cvar_float(const char* name, const float value, const bool restart)
{
    if (set_cvar_float(name, value))
        sound_changed(restart);
}

void set_sound_cvar_string(const char* name, const char* text, const bool restart)
{
    if (set_cvar_text(name, text))
        sound_changed(restart);
}

void ui_handler_menu_options3_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    fill_devices();
}

void ui_handler_menu_options3_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    read_cvars();
}

void ui_handler_menu_options3_t::fill_devices()
{
    if (ui_comp_list_t* rates = page_list(*this, mix_rate_list_id)) {
        rates->clear();
        for (size_t i = 0; i < std::size(mix_rates); ++i)
            list_append(*rates, mix_rate_labels[i], nullptr, mix_rates[i]);
    }
    ui_comp_list_t* devices = page_list(*this, device_list_id);
    if (!devices)
        return;
    devices->clear();
    for (int i = 0; i < api::snd_device_count(); ++i)
        if (const snd_device_t* device = api::snd_device_get(i))
            list_append(*devices, device->name(), device->device_string(), 0);
    list_append(*devices, "@@ui_no_sound@@", "", 0);
    // By device string, without regard to case: the no-sound row, whose string is empty, comes first.
    devices->sort_items(list_item_text_compare);
}

void ui_handler_menu_options3_t::read_cvars()
{
    for (const sound_switch_t& setting : sound_switches) {
        int value = 0;
        if (cvar_read_int(setting.name, value))
            page_press(*this, value != 0 ? setting.on_id : setting.off_id);
    }
    int rate = 0;
    if (cvar_read_int("s_mix_rate", rate)) {
        ui_list_item_t key;
        key.data = static_cast<uint32_t>(rate);
        key.mask = ui_list_data;
        page_select_row(*this, mix_rate_list_id, key);
    }
    for (const sound_volume_t& volume : sound_volumes) {
        float value = 0.0f;
        if (cvar_read_float(volume.name, value))
            page_set_slider(*this, volume.id, 0, 100, static_cast<int>(std::lround(value * 100.0f)));
    }
    if (const char* device = cvar_text("s_device")) {
        ui_list_item_t key;
        key.text = device;
        key.mask = ui_list_text;
        page_select_row(*this, device_list_id, key);
    }
}

void ui_handler_menu_options3_t::reset_defaults()
{
    if (const char* text = cvar_default_text("s_device"))
        set_sound_cvar_string("s_device", text, true);
    if (const char* text = cvar_default_text("s_sfx_enabled"))
        set_sound_cvar_int("s_sfx_enabled", v_atoi(text), true);
    if (const char* text = cvar_default_text("s_music_enabled"))
        set_sound_cvar_int("s_music_enabled", v_atoi(text), true);
    if (const char* text = cvar_default_text("s_reverse_stereo"))
        set_sound_cvar_int("s_reverse_stereo", v_atoi(text), false);
    if (const char* text = cvar_default_text("s_sfx_volume"))
        set_sound_cvar_float("s_sfx_volume", v_atof(text), false);
    if (const char* text = cvar_default_text("s_music_volume"))
        set_sound_cvar_float("s_music_volume", v_atof(text), false);
    if (const char* text = cvar_default_text("s_mix_rate"))
        set_sound_cvar_int("s_mix_rate", v_atoi(text), true);
    read_cvars();
}

bool ui_handler_menu_options3_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == escape_key) {
        options_back(*this);
        return true;
    }
    if (code == ui_action_item_selected && view && param) {
        const auto* row = static_cast<const ui_list_param_t*>(param);
        const int id = picked_control_id(view);
        if (id == device_list_id)
            set_sound_cvar_string("s_device", row->text ? row->text : "", true);
        else if (id == mix_rate_list_id)
            set_sound_cvar_int("s_mix_rate", static_cast<int>(row->data), true);
        return false;
    }
    if (code != ui_action_pressed || !view)
        return false;
    const int id = view->id;
    if (id == defaults_id) {
        reset_defaults();
        return true;
    }
    if (id == back_id) {
        options_back(*this);
        return true;
    }
    for (const sound_volume_t& volume : sound_volumes)
        if (id == volume.id)
            set_sound_cvar_float(volume.name, static_cast<float>(page_slider_value(*this, id)) * 0.01f, false);
    for (const sound_switch_t& setting : sound_switches)
        if (id == setting.on_id || id == setting.off_id)
            set_sound_cvar_int(setting.name, id == setting.on_id ? 1 : 0, setting.restart);
    return false;
}

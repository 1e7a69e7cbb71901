#include "ui/screens/options/ui_handler_menu_options1.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/arg.h"
#include "engine/gfx_view.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "common/view_params.h"
#include "common/world_pause.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_comp_menu_model.h"
#include "ui/components/ui_dropbutton_group.h"
#include "ui/components/ui_slider_base.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Key code of Esc.
constexpr int escape_key = 1;
// Room for a device's description (127 characters kept) and a setting's value text.
constexpr int description_size = 128;
constexpr int value_size = 128;
// Smallest mode the resolution list offers.
constexpr int smallest_width = 640;
constexpr int smallest_height = 480;
// The far view distance at view distance 0 and what the whole range adds.
constexpr float nearest_far_distance = 20000.0f;
constexpr float far_distance_range = 30000.0f;
// The filter rows: bilinear, trilinear, and the custom row shown while the device matches neither.
constexpr uint32_t custom_filter_row = 2;
// The 3-D scene of the menu background window, reloaded at a new detail level.
constexpr int menu_scene_id = 120;
// The test dialog and how it is shown (modal).
constexpr unsigned modal_show = 0x20000000;

// The value of a setting, its default, minimum and maximum, as numbers.
double setting_value(const gfx_device_setting& setting)
{
    char text[value_size];
    setting.get_value(text, value_size, 0);
    return v_atof(text);
}
double setting_min(const gfx_device_setting& setting)
{
    char text[value_size];
    setting.get_min(text, value_size);
    return v_atof(text);
}
double setting_max(const gfx_device_setting& setting)
{
    char text[value_size];
    setting.get_max(text, value_size);
    return v_atof(text);
}
void setting_to_default(gfx_device_setting& setting)
{
    char text[value_size];
    setting.get_default(text, value_size);
    setting.set_value(text);
}
int nearest(const double value) { return static_cast<int>(std::lround(value)); }

// The description of a device as the device list shows it.
void describe(const gfx_device_t* device, char (&text)[description_size])
{
    text[0] = '\0';
    if (device) {
        device->describe(text, description_size);
        text[description_size - 1] = '\0';
    }
}

// A row key matching a list row's text exactly.
ui_list_item_t text_key(const char* text)
{
    ui_list_item_t key;
    key.text = text;
    key.mask = ui_list_text;
    return key;
}

// The gfx_mode_t of a choice.
gfx_mode_t mode_of(const video_mode_choice_t& choice)
{
    gfx_mode_t mode{};
    mode.width = choice.width;
    mode.height = choice.height;
    mode.bits = choice.is32 ? 32 : 16;
    mode.refresh = choice.refresh;
    mode.fullscreen = choice.fullscreen ? 1 : 0;
    return mode;
}

// "%dx%dx%dx%d" of a choice: width, height, bits, refresh.
void mode_text(const video_mode_choice_t& choice, char (&text)[64])
{
    std::snprintf(text, sizeof text, "%dx%dx%dx%d", choice.width, choice.height, choice.is32 ? 32 : 16, choice.refresh);
}

void add_fixed_rows(const ui_handler_game_base_t& page, int id, const char* const* labels, int count)
{
    ui_comp_list_t* list = page_list(page, id);
    if (!list)
        return;
    list->clear();
    for (int i = 0; i < count; ++i)
        list_append(*list, labels[i], labels[i], static_cast<uint32_t>(i));
}

}  // namespace

gfx_device_t* ui_handler_menu_options1_t::current_device() const { return api::gfx_device_get(current.device); }

void ui_handler_menu_options1_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    current = video_mode_choice_t{};
    previous = video_mode_choice_t{};
    static const char* const depths[] = {"16bit", "32bit"};
    static const char* const qualities[] = {"@@ui_high@@", "@@ui_medium@@", "@@ui_low@@", "@@ui_verylow@@"};
    static const char* const filters[] = {"@@ui_bilinear_filter@@", "@@ui_trilinear_filter@@"};
    add_fixed_rows(*this, depth_list_id, depths, 2);
    add_fixed_rows(*this, quality_list_id, qualities, 4);
    add_fixed_rows(*this, filter_list_id, filters, 2);
}

void ui_handler_menu_options1_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    read_cvars();
}

void ui_handler_menu_options1_t::read_cvars()
{
    int fullscreen = 0;
    if (cvar_read_int("r_fullscreen", fullscreen))
        current.fullscreen = previous.fullscreen = fullscreen;
    if (const char* name = cvar_text("r_device")) {
        for (int i = 0; i < api::gfx_device_count(); ++i) {
            const gfx_device_t* device = api::gfx_device_get(i);
            if (device && strcasecmp(device->name(), name) == 0) {
                current.device = previous.device = i;
                read_device_settings();
                break;
            }
        }
    }
    if (const char* text = cvar_text("r_mode")) {
        // A value that is not four fields ("WxHxBITSxHZ") is not read: the controls keep their mode.
        arg_t fields;
        if (fields.separate(text, "x") == 4) {
            for (video_mode_choice_t* choice : {&current, &previous}) {
                choice->width = v_atoi(fields[0]);
                choice->height = v_atoi(fields[1]);
                choice->is32 = v_atoi(fields[2]) != 16 ? 1 : 0;
                choice->refresh = v_atoi(fields[3]);
            }
        } else {
            api::warning("[options] r_mode \"%s\" is not WIDTHxHEIGHTxBITSxREFRESH", text);
        }
    }
    float factor = 0.0f;
    if (cvar_read_float("g_view_dist", factor))
        page_set_slider(*this, view_dist_slider_id, 0, 100, nearest(factor * 100.0f));
    if (cvar_read_float("g_traffic_density", factor))
        page_set_slider(*this, traffic_slider_id, 0, 100, nearest(factor * 100.0f));
    int details = 0;
    if (cvar_read_int("g_details", details) && details >= 0 && details <= 2)
        page_press(*this, details_first_id + details);
    fill_devices();
    fill_resolutions();
    fill_refresh_rates();
    select_current_mode();
}

void ui_handler_menu_options1_t::read_device_settings()
{
    gfx_device_t* device = current_device();
    if (!device)
        return;
    const gfx_device_setting& scale = device->scale_setting;
    page_activate(*this, scale_slider_id, !scale.unavailable);
    // The slider runs from the setting's maximum at its low end to its minimum at its high end.
    if (!scale.unavailable)
        page_set_slider(*this, scale_slider_id, nearest(100.0 * setting_max(scale)),
                        nearest(100.0 * setting_min(scale)), nearest(100.0 * setting_value(scale)));
    const gfx_device_setting& level = device->level_setting;
    page_activate(*this, level_slider_id, !level.unavailable);
    if (!level.unavailable)
        page_set_slider(*this, level_slider_id, nearest(setting_min(level)), nearest(setting_max(level)),
                        nearest(setting_value(level)));
    page_press(*this, nearest(setting_value(device->switch_setting)) == 1 ? switch_on_id : switch_off_id);

    const int a = nearest(setting_value(device->filter_setting_1));
    const int b = nearest(setting_value(device->filter_setting_2));
    const int c = nearest(setting_value(device->filter_setting_3));
    int filter_row = static_cast<int>(custom_filter_row);
    if (a == 0 && b == 1 && c == 1)
        filter_row = 0;
    else if (a == 1 && b == 1 && c == 1)
        filter_row = 1;
    ui_comp_list_t* filters = page_list(*this, filter_list_id);
    if (filters && filter_row == static_cast<int>(custom_filter_row)) {
        ui_list_item_t key;
        key.data = custom_filter_row;
        key.mask = ui_list_data;
        if (filters->find_item(key, 0, false) < 0)
            list_append(*filters, "@@ui_custom_filter@@", "@@ui_custom_filter@@", custom_filter_row);
    }
    auto select_row = [this](int id, int row) {
        auto* drop = dynamic_cast<ui_dropbutton_group_t*>(page_view(*this, id));
        if (drop && drop->list && row >= 0 && row < drop->list->count())
            drop->select_item(row);
    };
    select_row(filter_list_id, filter_row);
    select_row(depth_list_id, nearest(setting_value(device->depth_setting)));
    select_row(quality_list_id, nearest(setting_value(device->quality_setting)));
}

void ui_handler_menu_options1_t::fill_devices()
{
    ui_comp_list_t* list = page_list(*this, device_list_id);
    if (!list)
        return;
    list->clear();
    for (int i = 0; i < api::gfx_device_count(); ++i) {
        const gfx_device_t* device = api::gfx_device_get(i);
        if (!device)
            continue;
        char text[description_size];
        describe(device, text);
        list_append(*list, text, text, static_cast<uint32_t>(i));
    }
    list->sort_items(list_item_data_compare);
}

void ui_handler_menu_options1_t::fill_resolutions()
{
    ui_comp_list_t* list = page_list(*this, resolution_list_id);
    if (!list)
        return;
    list->clear();
    // The modes of the chosen device, so the list offers only what that device can switch to.
    gfx_device_t* device = current_device();
    const int bits = current.is32 ? 32 : 16;
    for (int i = 0; i < api::gfx_mode_count(device); ++i) {
        gfx_mode_t mode{};
        if (!api::gfx_mode_get(device, i, &mode) || mode.bits != bits || mode.width < smallest_width ||
            mode.height < smallest_height || (current.refresh > 0 && mode.refresh != current.refresh))
            continue;
        char text[64];
        std::snprintf(text, sizeof text, "%d x %d", mode.width, mode.height);
        if (list->find_item(text_key(text), 0, false) < 0)
            list_append(*list, text, text, static_cast<uint32_t>(i));
    }
    list->sort_items(list_item_data_compare);
}

void ui_handler_menu_options1_t::fill_refresh_rates()
{
    ui_comp_list_t* list = page_list(*this, refresh_list_id);
    if (!list)
        return;
    list->clear();
    gfx_device_t* device = current_device();
    const int bits = current.is32 ? 32 : 16;
    for (int i = 0; i < api::gfx_mode_count(device); ++i) {
        gfx_mode_t mode{};
        if (!api::gfx_mode_get(device, i, &mode) || mode.bits != bits || mode.width != current.width ||
            mode.height != current.height)
            continue;
        char text[32];
        std::snprintf(text, sizeof text, "%d Hz", mode.refresh);
        list_append(*list, text, text, static_cast<uint32_t>(i));
    }
    list->sort_items(list_item_data_compare);
}

void ui_handler_menu_options1_t::select_current_mode()
{
    char device_text[description_size];
    describe(current_device(), device_text);
    page_select_row(*this, device_list_id, text_key(device_text[0] ? device_text : " "));
    // A record the lists do not offer takes the row they fall back to, so that apply switches to what
    // the page shows and never to a mode the device cannot set.
    if (const ui_comp_list_t* devices = page_list(*this, device_list_id); devices && devices->selection >= 0)
        current.device = static_cast<int32_t>(devices->item_data_at(devices->selection));
    gfx_mode_t shown{};
    char size_text[64];
    std::snprintf(size_text, sizeof size_text, "%d x %d", current.width, current.height);
    page_select_row(*this, resolution_list_id, text_key(size_text));
    const ui_comp_list_t* sizes = page_list(*this, resolution_list_id);
    if (sizes && sizes->selection >= 0 && std::strcmp(sizes->item_text_at(sizes->selection), size_text) != 0 &&
        api::gfx_mode_get(current_device(), static_cast<int>(sizes->item_data_at(sizes->selection)), &shown)) {
        current.width = shown.width;
        current.height = shown.height;
        fill_refresh_rates();
    }
    char rate_text[32];
    std::snprintf(rate_text, sizeof rate_text, "%d Hz", current.refresh);
    page_select_row(*this, refresh_list_id, text_key(rate_text));
    const ui_comp_list_t* rates = page_list(*this, refresh_list_id);
    if (rates && rates->selection >= 0 && std::strcmp(rates->item_text_at(rates->selection), rate_text) != 0 &&
        api::gfx_mode_get(current_device(), static_cast<int>(rates->item_data_at(rates->selection)), &shown))
        current.refresh = shown.refresh;
    page_press(*this, current.is32 ? bits32_id : bits16_id);
    page_press(*this, current.fullscreen ? fullscreen_id : windowed_id);
}

bool ui_handler_menu_options1_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == escape_key)
        return pressed(back_id);
    if (code == ui_action_pressed && view)
        return pressed(view->id);
    if (code == ui_action_item_selected && view && param) {
        const auto* row = static_cast<const ui_list_param_t*>(param);
        picked(picked_control_id(view), row->text ? row->text : "", row->data);
    }
    return false;
}

void ui_handler_menu_options1_t::picked(const int id, const char* text, const uint32_t data)
{
    switch (id) {
    case device_list_id:
        current.device = static_cast<int32_t>(data);
        read_device_settings();
        fill_resolutions();
        fill_refresh_rates();
        select_current_mode();
        break;
    case resolution_list_id: {
        int width = 0;
        int height = 0;
        if (std::sscanf(text, "%d x %d", &width, &height) == 2) {
            current.width = width;
            current.height = height;
        }
        fill_refresh_rates();
        select_current_mode();
        break;
    }
    case refresh_list_id:
        current.refresh = v_atoi(text);
        fill_resolutions();
        select_current_mode();
        break;
    case depth_list_id:
        set_depth_setting(static_cast<int>(data));
        break;
    case quality_list_id:
        set_quality_setting(static_cast<int>(data));
        break;
    case filter_list_id:
        set_filter_mode(static_cast<int>(data));
        break;
    default:
        break;
    }
}

bool ui_handler_menu_options1_t::pressed(const int id)
{
    switch (id) {
    case bits16_id:
    case bits32_id:
    case fullscreen_id:
    case windowed_id:
        if (id == bits16_id || id == bits32_id)
            current.is32 = id == bits32_id ? 1 : 0;
        else
            current.fullscreen = id == fullscreen_id ? 1 : 0;
        fill_resolutions();
        fill_refresh_rates();
        select_current_mode();
        return false;
    case switch_on_id:
    case switch_off_id:
        set_switch_setting(id == switch_on_id);
        return false;
    case scale_slider_id:
        set_scale_setting(page_slider_value(*this, id));
        return false;
    case level_slider_id:
        set_level_setting(page_slider_value(*this, id));
        return false;
    case view_dist_slider_id:
        set_view_dist(page_slider_value(*this, id));
        return false;
    case traffic_slider_id:
        set_traffic_density(page_slider_value(*this, id));
        return false;
    case details_first_id:
    case details_first_id + 1:
    case details_first_id + 2:
        set_details(id - details_first_id);
        return false;
    case preset_low_id:
    case preset_medium_id:
    case preset_high_id:
        apply_preset((id - preset_low_id) / (preset_medium_id - preset_low_id));
        return false;
    case apply_id:
        apply_mode();
        return true;
    case back_id:
        options_back(*this);
        return true;
    case defaults_id:
        restore_defaults();
        return false;
    default:
        return false;
    }
}

void ui_handler_menu_options1_t::settings_changed(gfx_device_t* device, const bool flush)
{
    if (flush)
        api::gfx_hw_flush();
    game_forward::write_hw_caps(device);
}

void ui_handler_menu_options1_t::set_scale_setting(const int value)
{
    gfx_device_t* device = current_device();
    if (!device || device->scale_setting.unavailable)
        return;
    char text[value_size];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value) * 0.01);
    device->scale_setting.set_value(text);
    settings_changed(device, false);
}

void ui_handler_menu_options1_t::set_level_setting(const int value)
{
    gfx_device_t* device = current_device();
    if (!device || device->level_setting.unavailable)
        return;
    char text[value_size];
    std::snprintf(text, sizeof text, "%d", value);
    device->level_setting.set_value(text);
    settings_changed(device, true);
}

void ui_handler_menu_options1_t::set_depth_setting(const int value)
{
    set_whole_setting(&gfx_device_t::depth_setting, value);
}

void ui_handler_menu_options1_t::set_quality_setting(const int value)
{
    set_whole_setting(&gfx_device_t::quality_setting, value);
}

void ui_handler_menu_options1_t::set_whole_setting(gfx_device_setting gfx_device_t::*setting, const int value)
{
    gfx_device_t* device = current_device();
    if (!device)
        return;
    char text[value_size];
    std::snprintf(text, sizeof text, "%d", value);
    (device->*setting).set_value(text);
    settings_changed(device, true);
}

void ui_handler_menu_options1_t::set_switch_setting(const bool on)
{
    gfx_device_t* device = current_device();
    if (!device)
        return;
    device->switch_setting.set_value(on ? "1" : "0");
    settings_changed(device, false);
}

void ui_handler_menu_options1_t::set_filter_mode(const int mode)
{
    gfx_device_t* device = current_device();
    if (!device || mode == static_cast<int>(custom_filter_row))
        return;
    device->filter_setting_1.set_value(mode == 1 ? "1" : "0");
    device->filter_setting_2.set_value("1");
    device->filter_setting_3.set_value("1");
    if (ui_comp_list_t* filters = page_list(*this, filter_list_id)) {
        ui_list_item_t key;
        key.data = custom_filter_row;
        key.mask = ui_list_data;
        const int custom = filters->find_item(key, 0, false);
        if (custom >= 0)
            filters->remove_item(custom);
    }
    settings_changed(device, true);
}

void ui_handler_menu_options1_t::set_view_dist(const int value)
{
    if (!api::cvar_get("g_view_dist"))
        return;
    const float factor = static_cast<float>(value) * 0.01f;
    set_cvar_float("g_view_dist", factor);
    gfx_view_t view;
    const float far_distance = factor * far_distance_range + nearest_far_distance;
    set_far_view_distance(far_distance);
    if (get_view_params(&view)) {
        view.far_plane = far_distance;
        set_view_params(&view);
    }
}

void ui_handler_menu_options1_t::set_traffic_density(const int value)
{
    set_cvar_float("g_traffic_density", static_cast<float>(value) * 0.01f);
}

void ui_handler_menu_options1_t::set_details(const int level)
{
    if (!set_cvar_int("g_details", level))
        return;
    game_bridge_t* bridge = get_game_bridge();
    if (bridge && bridge->mode() != game_mode_menu)
        msgbox_open("@@ui_warning@@", "@@ui_after_game_restart@@", 2, 0);
    if (c_item_t* background = bridge ? bridge->find_window("menu_bgr", "background") : nullptr)
        if (auto* scene = dynamic_cast<ui_comp_menu_model_t*>(ui_window_component(background, menu_scene_id)))
            scene->reload_models();
}

void ui_handler_menu_options1_t::apply_preset(const int preset)
{
    const auto* level = dynamic_cast<const ui_slider_base_t*>(page_view(*this, level_slider_id));
    const int lo = level ? level->minimum : 0;
    const int hi = level ? level->maximum : 0;
    struct preset_t {
        int view_dist, traffic, quality, level, details, depth, filter;
    };
    const preset_t presets[] = {
        {0, 50, 3, lo, 0, 0, 0},
        {50, 75, 1, (hi + lo) / 2, 1, 0, 0},
        {100, 100, 0, hi, 2, 1, 1},
    };
    const preset_t& p = presets[preset < 0 ? 0 : preset > 2 ? 2 : preset];
    set_view_dist(p.view_dist);
    set_traffic_density(p.traffic);
    set_quality_setting(p.quality);
    set_level_setting(p.level);
    set_details(p.details);
    set_depth_setting(p.depth);
    set_filter_mode(p.filter);
    read_cvars();
}

void ui_handler_menu_options1_t::restore_defaults()
{
    for (const char* name : {"g_view_dist", "g_traffic_density", "g_details"})
        if (const char* text = cvar_default_text(name))
            set_cvar_text(name, text);
    read_cvars();
    gfx_device_t* device = current_device();
    if (!device)
        return;
    for (gfx_device_setting* setting : {&device->scale_setting, &device->level_setting})
        if (!setting->unavailable)
            setting_to_default(*setting);
    for (gfx_device_setting* setting : {&device->filter_setting_1, &device->filter_setting_2, &device->filter_setting_3,
                                        &device->depth_setting, &device->quality_setting, &device->switch_setting})
        setting_to_default(*setting);
    read_device_settings();
    settings_changed(device, true);
}

void ui_handler_menu_options1_t::write_mode_cvars(const gfx_device_t* device) const
{
    char text[64];
    mode_text(current, text);
    set_cvar_text("r_mode", text);
    set_cvar_int("r_fullscreen", current.fullscreen);
    if (device)
        set_cvar_text("r_device", device->name());
}

void ui_handler_menu_options1_t::switch_mode(gfx_device_t* device)
{
    gfx_mode_t mode = mode_of(current);
    write_mode_cvars(device);
    game_forward::gfx_mode_shutdown();
    set_gfx_mode(device, &mode);
}

void ui_handler_menu_options1_t::apply_mode()
{
    char candidate[64];
    mode_text(current, candidate);
    const char* mode_now = cvar_text("r_mode");
    int fullscreen_now = 0;
    const bool changed = (mode_now && strcasecmp(mode_now, candidate) != 0) ||
                         (cvar_read_int("r_fullscreen", fullscreen_now) && fullscreen_now != current.fullscreen);
    gfx_device_t* device = current_device();
    const char* device_now = cvar_text("r_device");
    const bool same_device = !device || !device_now || strcasecmp(device_now, device->name()) == 0;
    if (same_device && !changed)
        return;
    current_world_allow_pause(false);
    switch_mode(device);
    c_item_t* dialog = menu_window("dialog", "gfx_test", 1, "/ui/dialog/gfxtest.esc");
    if (dialog)
        ui_wshow(dialog, modal_show);
}

void ui_handler_menu_options1_t::keep_mode()
{
    previous = current;
    current_world_allow_pause(true);
    read_cvars();
}

void ui_handler_menu_options1_t::revert_mode()
{
    current = previous;
    switch_mode(current_device());
    fill_resolutions();
    fill_refresh_rates();
    select_current_mode();
    current_world_allow_pause(true);
}

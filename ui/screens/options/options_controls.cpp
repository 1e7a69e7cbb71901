#include "ui/screens/options/options_controls.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>

#include "engine/cvar.h"
#include "engine/evalue.h"
#include "engine/text.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_dropbutton_group.h"
#include "ui/components/ui_handler_game_base.h"
#include "ui/components/ui_slider_base.h"

namespace {

// Room for a formatted number of a console variable.
constexpr size_t number_text_size = 32;

}  // namespace

ui_view_t* page_view(const ui_handler_game_base_t& page, const int id) { return ui_window_component(page.window, id); }

ui_comp_list_t* page_list(const ui_handler_game_base_t& page, const int id)
{
    ui_view_t* view = page_view(page, id);
    if (auto* drop = dynamic_cast<ui_dropbutton_group_t*>(view))
        return drop->list;
    return dynamic_cast<ui_comp_list_t*>(view);
}

int picked_control_id(const ui_view_t* view)
{
    if (!view)
        return -1;
    if (auto* drop = dynamic_cast<const ui_dropbutton_group_t*>(view->parent_group); drop && drop->list == view)
        return drop->id;
    return view->id;
}

void page_press(ui_handler_game_base_t& page, const int id)
{
    auto* button = dynamic_cast<ui_comp_button_t*>(page_view(page, id));
    if (!button)
        return;
    page.click_muted = 1;
    button->set_pressed(true);
    page.click_muted = 0;
}

void page_set_slider(const ui_handler_game_base_t& page, const int id, const int minimum, const int maximum,
                     const int value)
{
    auto* slider = dynamic_cast<ui_slider_base_t*>(page_view(page, id));
    if (!slider)
        return;
    slider->minimum = minimum;
    slider->maximum = maximum;
    const int low = std::min(minimum, maximum);
    const int high = std::max(minimum, maximum);
    slider->set_int_value(std::clamp(value, low, high), false);
}

int page_slider_value(const ui_handler_game_base_t& page, const int id)
{
    const auto* slider = dynamic_cast<const ui_slider_base_t*>(page_view(page, id));
    return slider ? slider->get_int_value() : 0;
}

void page_activate(const ui_handler_game_base_t& page, const int id, const bool on)
{
    if (ui_view_t* view = page_view(page, id))
        view->activate(on);
}

void page_set_text(const ui_handler_game_base_t& page, const int id, const char* text)
{
    if (ui_view_t* view = page_view(page, id))
        evalue_set(view, "value", 0, text);
}

void page_select_row(const ui_handler_game_base_t& page, const int id, const ui_list_item_t& key)
{
    auto* drop = dynamic_cast<ui_dropbutton_group_t*>(page_view(page, id));
    if (!drop || !drop->list || drop->list->count() == 0)
        return;
    int row = drop->list->find_item(key, 0, false);
    if (row < 0)
        row = drop->list->selection >= 0 && drop->list->selection < drop->list->count() ? drop->list->selection : 0;
    drop->select_item(row);
}

void list_append(ui_comp_list_t& list, const char* pml, const char* text, const uint32_t data)
{
    ui_list_item_t item;
    item.pml = pml;
    item.data = data;
    item.mask = ui_list_pml | ui_list_data;
    if (text) {
        item.text = text;
        item.mask |= ui_list_text;
    }
    list.insert_item(item, static_cast<uint32_t>(list.count()));
}

int list_item_data_compare(ui_comp_list_t* list, const int a, const int b)
{
    const uint32_t first = list->item_data_at(a);
    const uint32_t second = list->item_data_at(b);
    return first > second ? 1 : first < second ? -1 : 0;
}

int list_item_text_compare(ui_comp_list_t* list, const int a, const int b)
{
    return strcasecmp(list->item_text_at(a), list->item_text_at(b));
}

const char* cvar_text(const char* name) { return cvar_string_value(api::cvar_get(name)); }

bool cvar_read_int(const char* name, int& out)
{
    const char* text = cvar_text(name);
    if (!text)
        return false;
    out = v_atoi(text);
    return true;
}

bool cvar_read_float(const char* name, float& out)
{
    const char* text = cvar_text(name);
    if (!text)
        return false;
    out = static_cast<float>(v_atof(text));
    return true;
}

bool set_cvar_text(const char* name, const char* text)
{
    cvar_t* variable = api::cvar_get(name);
    if (!variable)
        return false;
    variable->set(text);
    return true;
}

bool set_cvar_int(const char* name, const int value)
{
    char text[number_text_size];
    std::snprintf(text, sizeof text, "%d", value);
    return set_cvar_text(name, text);
}

bool set_cvar_float(const char* name, const float value)
{
    char text[number_text_size];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return set_cvar_text(name, text);
}

const char* cvar_default_text(const char* name) { return cvar_chain_string(api::cvar_get(name)); }

void options_back(ui_handler_game_base_t& page)
{
    menu_back_from("optionsmenu", "optionsbase");
    page.switch_window(nullptr, 0);
}

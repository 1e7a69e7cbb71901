#include "ui/components/ui_comp_list.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <utility>

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_slider_base.h"

namespace {

// A row markup property of the list, "%s" by default, marking the content byte.
constexpr evalue_def_t row_markup(const char* name, evalue_member_fn member, const evalue_def_t* next)
{
    return evalue_member(name, evalue_dstring, sizeof(dstring_t), member, next, "%s",
                         evalue_bind_status<&ui_comp_list_t::content_status>);
}

// A layout property of the list (real), marking the layout byte.
constexpr evalue_def_t layout_real(const char* name, evalue_member_fn member, const evalue_def_t* next,
                                   const char* default_text)
{
    return evalue_member(name, evalue_real, sizeof(float), member, next, default_text,
                         evalue_bind_status<&ui_comp_list_t::layout_status>);
}

// "items" names the four arrays of one table and has no value of its own.
bool items_get(const entity_t*, const evalue_def_t*, int, char* out, size_t size)
{
    return std::snprintf(out, size, "item_pml item_active item_text item_data") < static_cast<int>(size);
}
bool items_set(entity_t*, const evalue_def_t*, int, const char*) { return true; }
bool items_differs(const entity_t*, const evalue_def_t*) { return false; }
bool items_object(entity_t*, const evalue_def_t*) { return true; }
bool items_copy(entity_t*, const entity_t*, const evalue_def_t*) { return true; }
void* items_member(entity_t* object) { return object; }

// The typed elements of an array property.
template <typename value_t> value_t* elements(const evalue_array_t& array) { return static_cast<value_t*>(array.data); }

}  // namespace

// The group's "fitting" declared again with the default false.
const evalue_def_t ui_comp_list_t::evd_fitting =
    evalue_member("fitting", evalue_bool, sizeof(bool), evalue_bind<&ui_group_t::fitting>, &ui_view_t::evd_id, "false",
                  evalue_bind_status<&ui_group_t::group_status>);
const evalue_def_t ui_comp_list_t::evd_multi_column =
    evalue_member("multi_column", evalue_bool, sizeof(bool), evalue_bind<&ui_comp_list_t::multi_column>, &evd_fitting,
                  "false", evalue_bind_status<&ui_comp_list_t::layout_status>);
const evalue_def_t ui_comp_list_t::evd_slider_management =
    evalue_member("slider_management", evalue_bool, sizeof(bool), evalue_bind<&ui_comp_list_t::slider_management>,
                  &evd_multi_column, "false", evalue_bind_status<&ui_comp_list_t::slider_status>);
const evalue_def_t ui_comp_list_t::evd_item_height =
    layout_real("item_height", evalue_bind<&ui_comp_list_t::item_height>, &evd_slider_management, "32.0");
const evalue_def_t ui_comp_list_t::evd_item_width =
    layout_real("item_width", evalue_bind<&ui_comp_list_t::item_width>, &evd_item_height, "32.0");
const evalue_def_t ui_comp_list_t::evd_item_gap =
    layout_real("item_gap", evalue_bind<&ui_comp_list_t::item_gap>, &evd_item_width, "0.0");
const evalue_def_t ui_comp_list_t::evd_n_pml = row_markup("n_pml", evalue_bind<&ui_comp_list_t::n_pml>, &evd_item_gap);
const evalue_def_t ui_comp_list_t::evd_s_pml = row_markup("s_pml", evalue_bind<&ui_comp_list_t::s_pml>, &evd_n_pml);
const evalue_def_t ui_comp_list_t::evd_p_pml = row_markup("p_pml", evalue_bind<&ui_comp_list_t::p_pml>, &evd_s_pml);
const evalue_def_t ui_comp_list_t::evd_d_pml = row_markup("d_pml", evalue_bind<&ui_comp_list_t::d_pml>, &evd_p_pml);
const evalue_def_t ui_comp_list_t::evd_item_pml =
    evalue_array("item_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_list_t::pml_items>, &evd_d_pml,
                 nullptr, evalue_bind_status<&ui_comp_list_t::content_status>);
const evalue_def_t ui_comp_list_t::evd_item_active =
    evalue_array("item_active", evalue_bool, sizeof(bool), evalue_bind<&ui_comp_list_t::active_items>, &evd_item_pml,
                 "true", evalue_bind_status<&ui_comp_list_t::content_status>);
const evalue_def_t ui_comp_list_t::evd_item_text = evalue_array(
    "item_text", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_list_t::text_items>, &evd_item_active);
const evalue_def_t ui_comp_list_t::evd_item_data = evalue_array(
    "item_data", evalue_unsigned, sizeof(uint32_t), evalue_bind<&ui_comp_list_t::data_items>, &evd_item_text, "0");
const evalue_def_t ui_comp_list_t::evd_items = {"items",      0,         0,       0,       false,          items_member,
                                                nullptr,      nullptr,   nullptr, nullptr, &evd_item_data, items_get,
                                                items_set,    nullptr,   nullptr, nullptr, items_differs,  items_object,
                                                items_object, items_copy};

ui_comp_list_t::ui_comp_list_t()
{
    view_flags |= ui_view_list;
    fitting = false;
    d_pml = "%s";
    p_pml = "%s";
    s_pml = "%s";
    n_pml = "%s";
}

const char* ui_comp_list_t::item_pml_at(const int index) const { return elements<dstring_t>(pml_items)[index].c_str(); }
const char* ui_comp_list_t::item_text_at(const int index) const
{
    return elements<dstring_t>(text_items)[index].c_str();
}
uint32_t ui_comp_list_t::item_data_at(const int index) const { return elements<uint32_t>(data_items)[index]; }
bool ui_comp_list_t::item_active_at(const int index) const { return elements<bool>(active_items)[index]; }

void ui_comp_list_t::even_arrays()
{
    for (const evalue_def_t* def : {&evd_item_data, &evd_item_text, &evd_item_active})
        if (static_cast<evalue_array_t*>(def->member(this))->count != count())
            def->realloc(this, def, count());
}

void ui_comp_list_t::handler()
{
    if (evalue_take_changed(this, &evd_slider_management))
        slider_pending = true;
    if (evalue_take_changed(this, &evd_item_gap))
        rebuild_views(true);
    if (evalue_take_changed(this, &evd_item_pml)) {
        even_arrays();
        rebuild_views(count() != built_count);
    }
    if (slider_pending)
        place_slider();
    ui_group_t::handler();
}

void ui_comp_list_t::ui_setup()
{
    ui_group_t::ui_setup();
    even_arrays();
    rebuild_views(true);
    place_slider();
}

void ui_comp_list_t::changed(const unsigned mask)
{
    if (mask & ui_change_property)
        rebuild_views(false);
    if (mask & ui_change_rect) {
        if (row_group)
            row_group->rect = rect;
        rebuild_views(true);
        slider_pending = slider_management;
    }
    if (mask & 16)
        slider_pending = true;
    if (mask & 32)
        if (ui_window_t* own = window())
            for (ui_comp_button_t* row : rows)
                own->layer_change(row, layer);
    ui_group_t::changed(mask);
}

int ui_comp_list_t::destroy(const int phase)
{
    if (phase == 0) {
        rows.clear();
        row_group = nullptr;
        slider = nullptr;
    }
    return ui_group_t::destroy(phase);
}

bool ui_comp_list_t::public_component(const ui_view_t* view) const
{
    if (!view || view == row_group || (row_group && view->parent_group == row_group))
        return false;
    return ui_group_t::public_component(view);
}

ui_comp_button_t* ui_comp_list_t::create_item_view()
{
    c_item_t* item = ui_spawn_ci("ui.comp.button");
    auto* row = item ? dynamic_cast<ui_comp_button_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
    if (row)
        update_item_view(row, "");
    return row;
}

void ui_comp_list_t::update_item_view(ui_comp_button_t* row, const char* pml)
{
    const std::pair<const evalue_def_t*, const dstring_t*> markups[] = {
        {&ui_comp_button_t::evd_n_pml, &n_pml},
        {&ui_comp_button_t::evd_s_pml, &s_pml},
        {&ui_comp_button_t::evd_p_pml, &p_pml},
        {&ui_comp_button_t::evd_d_pml, &d_pml},
    };
    char text[row_markup_size];
    for (const auto& [def, form] : markups) {
        // The form is the script's: its one "%s" takes the markup, anything else is copied as written.
        const char* at = std::strstr(form->c_str(), "%s");
        if (at)
            std::snprintf(text, sizeof text, "%.*s%s%s", static_cast<int>(at - form->c_str()), form->c_str(), pml,
                          at + 2);
        else
            std::snprintf(text, sizeof text, "%s", form->c_str());
        def->set(row, def, 0, text);
    }
}

void ui_comp_list_t::clear()
{
    for (const evalue_def_t* def : {&evd_item_data, &evd_item_text, &evd_item_active, &evd_item_pml})
        def->realloc(this, def, 0);
    selection = -1;
    first_visible = -1;
    for (ui_comp_button_t* row : rows)
        update_item_view(row, "");
    rebuild_views(false);
}

uint32_t ui_comp_list_t::insert_item(const ui_list_item_t& item, uint32_t index)
{
    even_arrays();
    index = std::min(index, static_cast<uint32_t>(count()));
    const int at = static_cast<int>(index);
    for (const evalue_def_t* def : {&evd_item_data, &evd_item_text, &evd_item_active, &evd_item_pml})
        def->insert(this, def, at);
    if (selection >= at)
        ++selection;
    ui_list_item_t fields = item;
    set_item(at, fields);
    return index;
}

uint32_t ui_comp_list_t::insert_item_after(const ui_list_item_t& item, const int index)
{
    // -1 (read as unsigned, past every count) and any index at or past the count append.
    const auto after = static_cast<uint32_t>(index);
    const uint32_t at = after < static_cast<uint32_t>(count()) ? after + 1 : static_cast<uint32_t>(count());
    return insert_item(item, at);
}

bool ui_comp_list_t::get_item(const int index, ui_list_item_t& item) const
{
    if (index < 0 || index >= count())
        return false;
    if (item.mask & ui_list_pml)
        item.pml = item_pml_at(index);
    if (item.mask & ui_list_text)
        item.text = item_text_at(index);
    if (item.mask & ui_list_data)
        item.data = item_data_at(index);
    if (item.mask & ui_list_active)
        item.active = item_active_at(index);
    return true;
}

bool ui_comp_list_t::set_item(const int index, const ui_list_item_t& item)
{
    if (index < 0 || index >= count())
        return false;
    if ((item.mask & ui_list_active) && index == selection)
        selection = -1;
    if (item.mask & ui_list_pml)
        evd_item_pml.set(this, &evd_item_pml, index, item.pml.c_str());
    if (item.mask & ui_list_text)
        evd_item_text.set(this, &evd_item_text, index, item.text.c_str());
    if (item.mask & ui_list_data)
        elements<uint32_t>(data_items)[index] = item.data;
    if (item.mask & ui_list_active)
        evd_item_active.set(this, &evd_item_active, index, item.active ? "true" : "false");
    return true;
}

bool ui_comp_list_t::remove_item(const int index)
{
    if (index < 0 || index >= count())
        return false;
    for (const evalue_def_t* def : {&evd_item_data, &evd_item_text, &evd_item_active, &evd_item_pml})
        def->remove(this, def, index);
    const bool was_selected = selection == index;
    if (selection > index)
        --selection;
    if (was_selected)
        selection = -1;
    if (count() == 0) {
        first_visible = -1;
        rebuild_views(false);
        return true;
    }
    scroll_to(std::clamp(first_visible, 0, count() - 1));
    if (was_selected)
        select_item(std::min(index, count() - 1), true);
    return true;
}

int ui_comp_list_t::compare_text(ui_comp_list_t* list, const int a, const int b)
{
    const char* first = a >= 0 && a < list->count() ? list->item_pml_at(a) : "";
    const char* second = b >= 0 && b < list->count() ? list->item_pml_at(b) : "";
    return strcasecmp(first, second);
}

void ui_comp_list_t::sort_items(compare_fn compare)
{
    if (count() == 0)
        return;
    if (!compare)
        compare = compare_text;
    std::vector<int> order(static_cast<size_t>(count()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    // Move whole items to their new places; the selection follows its item.
    std::vector<ui_list_item_t> items(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        items[i].mask = ui_list_all;
        get_item(order[i], items[i]);
    }
    const int selected = selection;
    for (size_t i = 0; i < order.size(); ++i) {
        elements<dstring_t>(pml_items)[i] = std::move(items[i].pml);
        elements<dstring_t>(text_items)[i] = std::move(items[i].text);
        elements<uint32_t>(data_items)[i] = items[i].data;
        elements<bool>(active_items)[i] = items[i].active;
        if (order[i] == selected)
            selection = static_cast<int>(i);
    }
    content_status |= evalue_changed;
    const int shown = visible_lines * items_per_line;
    if (selection >= 0 && (selection < first_visible || selection >= first_visible + shown))
        scroll_to(selection);
    else
        rebuild_views(false);
}

bool ui_comp_list_t::scroll_to(const int index)
{
    if (index < 0 || index >= count())
        return false;
    const int per_line = std::max(items_per_line, 1);
    const int lines = visible_lines;
    if (count() <= lines * per_line) {
        first_visible = 0;
    } else {
        const int line_start = index / per_line * per_line;
        const int lines_to_end = (count() - line_start + per_line - 1) / per_line;
        first_visible = line_start - (lines - std::min(lines, lines_to_end)) * per_line;
    }
    rebuild_views(false);
    return true;
}

int ui_comp_list_t::find_item(const ui_list_item_t& key, const int start, const bool prefix) const
{
    if (start < 0 || start >= count())
        return -1;
    const auto same_text = [&](const char* text, const dstring_t& wanted) {
        return prefix ? std::strncmp(text, wanted.c_str(), wanted.length()) == 0
                      : std::strcmp(text, wanted.c_str()) == 0;
    };
    for (int i = start; i < count(); ++i) {
        if (key.mask & ui_list_pml) {
            if (same_text(item_pml_at(i), key.pml))
                return i;
        } else if (key.mask & ui_list_active) {
            if (item_active_at(i) == key.active)
                return i;
        } else if (key.mask & ui_list_text) {
            if (same_text(item_text_at(i), key.text))
                return i;
        } else if (key.mask & ui_list_data) {
            if (item_data_at(i) == key.data)
                return i;
        }
    }
    return -1;
}

ui_comp_button_t* ui_comp_list_t::row_of(const int index) const
{
    for (ui_comp_button_t* row : rows)
        if (row->visible && row->id == row_id_base + index)
            return row;
    return nullptr;
}

bool ui_comp_list_t::send_item(const int code, const int index)
{
    if (index < 0 || index >= count())
        return false;
    ui_list_param_t param{item_pml_at(index), item_text_at(index), item_data_at(index), static_cast<uint32_t>(index)};
    return ui_view_t::action(this, code, &param);
}

bool ui_comp_list_t::select_item(const int index, const bool click)
{
    if (index == -1) {
        if (selection >= 0)
            send_item(ui_action_item_unselected, selection);
        selection = -1;
        rebuild_views(false);
        return true;
    }
    if (index < 0 || index >= count()) {
        api::error("[%s] select_item: invalid index", name());
        return false;
    }
    if (evalue_take_changed(this, &evd_item_gap) || !row_group)
        rebuild_views(true);
    const int shown = visible_lines * items_per_line;
    if (first_visible < 0 || index < first_visible || index >= first_visible + shown)
        scroll_to(index);
    ui_comp_button_t* row = row_of(index);
    if (click && row) {
        row->click();
        return true;
    }
    if (click) {
        // A list too small to show a row still selects, as a press on the row would.
        if (selection >= 0)
            send_item(ui_action_item_unselected, selection);
        selection = index;
        send_item(ui_action_item_selected, index);
        return true;
    }
    selection = index;
    if (row)
        row->set_pressed(true);
    return true;
}

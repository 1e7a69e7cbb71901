#include "ui/screens/ui_handler_screen_routes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/cache.h"
#include "engine/evalue.h"
#include "engine/pml.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "engine/ui_window.h"
#include "common/format.h"
#include "common/ui_find_component.h"
#include "game/company_colours.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "ui/components/ui_comp_arrow.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/notebook_texts.h"
#include "ui/screens/notebook_trucks.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Bytes of the overlay's markup buffer.
constexpr size_t overlay_bytes = 4096;
// Arrow states: an order of the pool, a planned order, the current order with its progress.
constexpr uint32_t arrow_pool_state = 1;
constexpr uint32_t arrow_planned_state = 2;
constexpr uint32_t arrow_current_state = 3;
constexpr int arrow_width = 4;
// The pointer button whose press sets a preference (the second one).
constexpr uint32_t preference_button = 4;
// Row colours of the cargo list: a preferred cargo, any other.
constexpr const char* preferred_row_colour = "FFC8F0C8";
constexpr const char* plain_row_colour = "00000000";
// The check mark on a preferred city.
constexpr const char* preference_mark = "<img src=/shaders/ui/check_glow.shd>";
constexpr float preference_mark_size = 32.0f;

ui_view_t* item_view(c_item_t* item) { return item ? static_cast<ui_view_t*>(item->object) : nullptr; }
ui_comp_arrow_t* arrow_of(c_item_t* item) { return dynamic_cast<ui_comp_arrow_t*>(item_view(item)); }

void hide_item(c_item_t* item)
{
    if (ui_view_t* view = item_view(item))
        view->show(false);
}

// A cargo list row's markup: the cargo's name, then its highlight colour.
std::string cargo_row(const economy_ctrl_e& economy, const int32_t cargo, const char* colour)
{
    char name[129] = "";
    cargo_def_string(economy.cargos[static_cast<size_t>(cargo)].name, "name", name, sizeof name);
    return std::string(name) + "|" + colour;
}

// A text key of a city's definition, or "" for an index out of range.
std::string city_text(const economy_ctrl_e& economy, const int32_t city, const char* key)
{
    char text[129] = "";
    if (city >= 0 && city < static_cast<int32_t>(economy.cities.size()))
        city_def_string(economy.cities[static_cast<size_t>(city)].name, key, text, sizeof text);
    return text;
}

// Moves `value` to the front of a driver's three preferences, or takes it out when it is there.
void toggle_preference(int8_t (&preferences)[3], const int8_t value)
{
    for (int p = 0; p < 3; ++p)
        if (preferences[p] == value) {
            for (int q = p; q < 2; ++q)
                preferences[q] = preferences[q + 1];
            preferences[2] = -1;
            return;
        }
    preferences[2] = preferences[1];
    preferences[1] = preferences[0];
    preferences[0] = value;
}

}  // namespace

ui_handler_screen_routes_t::~ui_handler_screen_routes_t() = default;

void ui_handler_screen_routes_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    selected_truck = selected_cargo = selected_city = -1;
    direction = -1;
    arrows.clear();
    overlay = std::make_unique<pml_buffer_t>(overlay_bytes);
    city_marks.clear();
}

void ui_handler_screen_routes_t::on_wdestroy()
{
    ui_handler_game_base_t::on_wdestroy();
    overlay.reset();
    city_marks.clear();
}

void ui_handler_screen_routes_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    notebook_truck_preview(*this, first_slot_id);
    const economy_ctrl_e* economy = notebook_economy();
    if (first_show && economy) {
        create_map_views();
        create_city_buttons(*economy);
        fill_cargo_list(*economy);
        first_show = 0;
    }
    if (direction == -1) {
        direction = 0;
        set_button(from_city_id, true);
    }
    const int32_t slot = notebook_get_truck_slot();
    select_slot(slot < 0 ? 0 : slot);
    if (!economy)
        return;
    refresh_overlay(*economy);
    char text[128];
    format_money(economy->companies[0].money, text, sizeof text, format_default_colour);
    page_set_text(*this, money_id, text);
    std::snprintf(text, sizeof text, "%f", static_cast<double>(economy->companies[0].prestige) * 0.01 * 5.0);
    page_set_text(*this, company_rating_id, text);
}

void ui_handler_screen_routes_t::post_wdraw()
{
    ui_handler_t::post_wdraw();
    if (overlay)
        pml_buffer_flush(*overlay, 0.0f, 0.0f);
}

bool ui_handler_screen_routes_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (!view)
        return false;
    const int id = view->id;
    const bool city_button = id >= first_city_id && id < first_city_id + city_id_count;
    switch (code) {
    case ui_action_enter:
        quick_help(id);
        break;
    case ui_action_leave:
        quick_help(-1);
        break;
    case ui_action_pressed:
        if (city_button)
            select_city(id - first_city_id);
        else if (id >= first_slot_id && id < first_slot_id + company_truck_slots)
            select_slot(id - first_slot_id);
        else if (id == to_city_id || id == from_city_id) {
            direction = id == to_city_id ? 1 : 0;
            if (selected_city >= 0)
                select_city(selected_city);
        } else if (id == hide_id)
            hide_routes();
        break;
    case ui_action_pointer_down:
        if (!param || !(static_cast<const ui_pointer_param_t*>(param)->buttons & preference_button))
            break;
        if (city_button)
            toggle_preferred_city(id - first_city_id);
        else if (id == cargo_list_id) {
            const auto* pointer = static_cast<const ui_list_pointer_param_t*>(param);
            ui_list_item_t item;
            item.mask = ui_list_data;
            auto* list = dynamic_cast<ui_comp_list_t*>(view);
            if (list && list->get_item(static_cast<int>(pointer->index), item))
                toggle_preferred_cargo(static_cast<int32_t>(item.data));
        }
        break;
    case ui_action_pointer_move:
        if (id == map_id && param) {
            const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
            route_tooltip(static_cast<int>(std::lround(pointer->x)), static_cast<int>(std::lround(pointer->y)));
        }
        break;
    case ui_action_item_enter:
        if (id < map_id && param) {
            quick_help(cargo_list_id);
            cargo_tooltip(static_cast<int32_t>(static_cast<const ui_list_param_t*>(param)->data));
        }
        break;
    case ui_action_item_leave:
        if (id < map_id)
            set_tooltip("");
        break;
    case ui_action_item_selected:
        if (id == cargo_list_id && param)
            select_cargo(static_cast<int32_t>(static_cast<const ui_list_param_t*>(param)->data));
        break;
    default:
        break;
    }
    return false;
}

c_item_t* ui_handler_screen_routes_t::spawn_view(const char* type)
{
    c_item_t* item = ui_spawn_ci(type);
    ui_view_t* view = item_view(item);
    auto* root = dynamic_cast<ui_window_t*>(item_view(window));
    if (!view || !root || !ui_init_ci(item) || !root->insert_view(view, ui_window_component(window, anchor_id)))
        return nullptr;
    view->ui_setup();
    view->show(false);
    return item;
}

void ui_handler_screen_routes_t::create_map_views()
{
    for (int s = 0; s < company_truck_slots; ++s) {
        slot_arrows[s] = spawn_view("ui.comp.arrow");
        for (c_item_t*& planned : job_arrows[s])
            planned = spawn_view("ui.comp.arrow");
    }
    for (c_item_t*& mark : pref_marks) {
        mark = spawn_view("ui.comp.text");
        if (ui_view_t* view = item_view(mark)) {
            evalue_set(view, "layer", 0, "2");
            evalue_set(view, "text", 0, preference_mark);
        }
    }
}

void ui_handler_screen_routes_t::create_city_buttons(const economy_ctrl_e& economy)
{
    const ui_view_t* map = page_view(*this, map_id);
    if (!map)
        return;
    const pml_rect_t area = map->rect;
    const int count = std::min(static_cast<int>(economy.cities.size()), city_id_count);
    city_marks.assign(static_cast<size_t>(count) * 2, 0.0f);
    for (int i = 0; i < count; ++i) {
        const char* const city = economy.cities[static_cast<size_t>(i)].name;
        int32_t posx = 0, posy = 0, hoffset = 0;
        city_def_int(city, "posx", posx);
        city_def_int(city, "posy", posy);
        city_def_int(city, "hoffset", hoffset);
        char halign[17] = "", valign[17] = "", name[65] = "";
        city_def_string(city, "halign", halign, sizeof halign);
        city_def_string(city, "valign", valign, sizeof valign);
        city_def_string(city, "name", name, sizeof name);
        const float x = area.left + static_cast<float>(posx) * (area.right - area.left) / (map_picture_width - 1.0f);
        const float y = area.top - static_cast<float>(posy) * (area.top - area.bottom) / (map_picture_height - 1.0f);
        city_marks[static_cast<size_t>(i) * 2] = x - 16.0f;
        city_marks[static_cast<size_t>(i) * 2 + 1] = valign[0] == 't' ? 768.0f - y : 768.0f - (y + 40.0f);
        c_item_t* item = ui_spawn_ci("ui.comp.common.button");
        ui_view_t* button = item_view(item);
        auto* root = dynamic_cast<ui_window_t*>(item_view(window));
        if (!button || !root)
            continue;
        button->rect = pml_rect_t{x - 100.0f, x + 100.0f, y + 16.0f, y - 16.0f};
        char text[128];
        std::snprintf(text, sizeof text, "%d", first_city_id + i);
        evalue_set(button, "id", 0, text);
        evalue_set(button, "look", 0, "city");
        evalue_set(button, "layer", 0, "3");
        std::snprintf(text, sizeof text, "%s|%s|%d|%s", halign, valign, hoffset, name);
        evalue_set(button, "value", 0, text);
        if (ui_init_ci(item) && root->insert_view(button, ui_window_component(window, anchor_id)))
            button->ui_setup();
    }
}

void ui_handler_screen_routes_t::fill_cargo_list(const economy_ctrl_e& economy)
{
    auto* list = dynamic_cast<ui_comp_list_t*>(page_view(*this, cargo_list_id));
    if (!list)
        return;
    list->clear();
    for (int32_t cargo = 0; cargo < economy.cargo_count(); ++cargo)
        if (economy.cargos[static_cast<size_t>(cargo)].flags & cargo_offered)
            list_append(*list, cargo_row(economy, cargo, plain_row_colour).c_str(), nullptr,
                        static_cast<uint32_t>(cargo));
    list->sort_items(nullptr);
}

bool ui_handler_screen_routes_t::city_centre(const int32_t city, int& out_x, int& out_y)
{
    const ui_view_t* button = page_view(*this, first_city_id + city);
    if (city < 0 || city >= city_id_count || !button)
        return false;
    out_x = static_cast<int>((button->rect.left + button->rect.right) / 2.0f);
    out_y = static_cast<int>((button->rect.top + button->rect.bottom) / 2.0f);
    return true;
}

bool ui_handler_screen_routes_t::place_arrow(const economy_ctrl_e& economy, c_item_t* item, const int32_t job,
                                             const uint32_t state, const float fraction)
{
    ui_comp_arrow_t* arrow = arrow_of(item);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!arrow || !city_centre(economy.job_source_city(job), x1, y1) ||
        !city_centre(economy.job_dest_city(job), x2, y2))
        return false;
    arrow->set_state(state);
    arrow->set_points(x1, y1, x2, y2, arrow_width, job, fraction);
    arrow->show(true);
    return true;
}

void ui_handler_screen_routes_t::add_arrow(const economy_ctrl_e& economy, const int k, const int32_t job)
{
    while (static_cast<size_t>(k) >= arrows.size())
        for (int n = 0; n < arrow_pool_step; ++n)
            arrows.push_back(spawn_view("ui.comp.arrow"));
    place_arrow(economy, arrows[static_cast<size_t>(k)], job, arrow_pool_state, 0.0f);
}

void ui_handler_screen_routes_t::hide_arrows(const size_t from)
{
    for (size_t k = from; k < arrows.size(); ++k)
        hide_item(arrows[k]);
}

void ui_handler_screen_routes_t::select_city(const int32_t city)
{
    const economy_ctrl_e* economy = notebook_economy();
    if (auto* list = dynamic_cast<ui_comp_list_t*>(page_view(*this, cargo_list_id)))
        list->select_item(-1, false);
    selected_city = city;
    selected_cargo = -1;
    if (!economy)
        return;
    int k = 0;
    for (int32_t job = 0; job < economy->job_count(); ++job) {
        const int32_t end = direction == 1 ? economy->job_dest_city(job) : economy->job_source_city(job);
        if (end == city)
            add_arrow(*economy, k++, job);
    }
    hide_arrows(static_cast<size_t>(k));
}

void ui_handler_screen_routes_t::select_cargo(const int32_t cargo)
{
    if (selected_city >= 0) {
        set_button(first_city_id + selected_city, false);
        selected_city = -1;
    }
    selected_cargo = cargo;
    const economy_ctrl_e* economy = notebook_economy();
    if (!economy)
        return;
    int k = 0;
    for (int32_t job = 0; job < economy->job_count(); ++job)
        if (economy->jobs[static_cast<size_t>(job)].cargo == cargo)
            add_arrow(*economy, k++, job);
    hide_arrows(static_cast<size_t>(k));
}

void ui_handler_screen_routes_t::hide_routes()
{
    hide_arrows(0);
    set_button(hide_id, false);
    if (selected_city >= 0)
        set_button(first_city_id + selected_city, false);
    selected_city = -1;
    if (auto* list = dynamic_cast<ui_comp_list_t*>(page_view(*this, cargo_list_id)))
        list->select_item(-1, false);
    selected_cargo = -1;
}

void ui_handler_screen_routes_t::select_slot(const int32_t slot)
{
    if (slot < 0 || slot >= company_truck_slots)
        return;
    notebook_set_truck_slot(slot);
    const economy_ctrl_e* economy = notebook_economy();
    selected_truck = economy ? economy->companies[0].trucks[slot] : -1;
    if (economy && selected_truck >= static_cast<int32_t>(economy->trucks.size()))
        selected_truck = -1;
    refresh_driver();
    ui_view_t* face = page_view(*this, face_id);
    const int32_t driver = economy ? selected_driver(*economy) : -1;
    if (driver < 0) {
        if (face)
            evalue_set(face, "text", 0, "");
        page_set_text(*this, salary_id, "@@ui_na@@");
        page_set_text(*this, driver_name_id, "@@ui_na@@");
        page_set_text(*this, rating_id, "0");
        return;
    }
    const char* const name = economy->drivers[static_cast<size_t>(driver)].name;
    char text[160];
    driver_face_markup(name, text, sizeof text);
    if (face)
        evalue_set(face, "text", 0, text);
    if (slot == 0) {
        page_set_text(*this, driver_name_id, economy->companies[0].name);
        page_set_text(*this, salary_id, "@@ui_na@@");
        std::snprintf(text, sizeof text, "%f",
                      static_cast<double>(static_cast<int32_t>(economy->companies[0].prestige)) * 0.01 * 5.0);
    } else {
        if (!driver_def_string(name, "name", text, sizeof text))
            std::snprintf(text, sizeof text, "%s", name);
        page_set_text(*this, driver_name_id, text);
        format_money(economy->drivers[static_cast<size_t>(driver)].salary, text, sizeof text, format_default_colour);
        page_set_text(*this, salary_id, text);
        int32_t prestige = 0;
        driver_def_int(name, "prestige", prestige);
        std::snprintf(text, sizeof text, "%f", static_cast<double>(prestige) * 0.01 * 5.0);
    }
    page_set_text(*this, rating_id, text);
}

int32_t ui_handler_screen_routes_t::selected_driver(const economy_ctrl_e& economy) const
{
    if (selected_truck < 0 || selected_truck >= static_cast<int32_t>(economy.trucks.size()))
        return -1;
    const int32_t owner = economy.trucks[static_cast<size_t>(selected_truck)].owner;
    return owner >= 0 && owner < static_cast<int32_t>(economy.drivers.size()) ? owner : -1;
}

void ui_handler_screen_routes_t::refresh_driver()
{
    for (int s = 0; s < company_truck_slots; ++s) {
        hide_item(slot_arrows[s]);
        for (c_item_t* planned : job_arrows[s])
            hide_item(planned);
    }
    const economy_ctrl_e* economy = notebook_economy();
    const int32_t slot = notebook_get_truck_slot();
    const int32_t driver_index = economy ? selected_driver(*economy) : -1;
    const bool hired = slot > 0 && slot < company_truck_slots && driver_index >= 0;
    if (hired) {
        const driver_t& driver = economy->drivers[static_cast<size_t>(driver_index)];
        const int32_t current = driver.jobs[0];
        if (current >= 0 && current < economy->job_count()) {
            // While loading the progress counts seconds, not the way along the order.
            const float progress = driver.flags & driver_loading ? 0.0f : std::clamp(driver.progress, 0.0f, 1.0f);
            place_arrow(*economy, slot_arrows[slot], current, arrow_current_state, progress);
            char name[129] = "";
            cargo_def_string(
                economy->cargos[static_cast<size_t>(economy->jobs[static_cast<size_t>(current)].cargo)].name, "name",
                name, sizeof name);
            page_set_text(*this, order_cargo_id, name);
            page_set_text(*this, order_source_id,
                          city_text(*economy, economy->job_source_city(current), "name").c_str());
            page_set_text(*this, order_destination_id,
                          city_text(*economy, economy->job_dest_city(current), "name").c_str());
        }
        for (int q = 1; q < driver_job_slots; ++q) {
            const int32_t job = driver.jobs[q];
            if (job >= 0 && job < economy->job_count())
                place_arrow(*economy, job_arrows[slot][q - 1], job, arrow_planned_state, 0.0f);
        }
    }
    if (!hired || driver_index < 0 || economy->drivers[static_cast<size_t>(driver_index)].jobs[0] < 0)
        for (const int id : {order_cargo_id, order_source_id, order_destination_id})
            page_set_text(*this, id, " ");
    auto* list = dynamic_cast<ui_comp_list_t*>(page_view(*this, cargo_list_id));
    const driver_t* driver = driver_index >= 0 ? &economy->drivers[static_cast<size_t>(driver_index)] : nullptr;
    for (int p = 0; p < 3; ++p) {
        ui_view_t* mark = item_view(pref_marks[p]);
        int x = 0, y = 0;
        if (!mark || !driver || !city_centre(driver->pref_cities[p], x, y)) {
            if (mark)
                mark->show(false);
            continue;
        }
        const float half = preference_mark_size / 2.0f;
        mark->rect = pml_rect_t{static_cast<float>(x) - half, static_cast<float>(x) + half,
                                static_cast<float>(y) + half, static_cast<float>(y) - half};
        mark->changed(ui_change_rect);
        mark->show(true);
    }
    if (!list || !economy)
        return;
    for (int row = 0; row < list->count(); ++row) {
        ui_list_item_t item;
        item.mask = ui_list_data;
        if (!list->get_item(row, item))
            continue;
        const int32_t cargo = static_cast<int32_t>(item.data);
        const bool preferred = driver && std::find(std::begin(driver->pref_cargos), std::end(driver->pref_cargos),
                                                   static_cast<int8_t>(cargo)) != std::end(driver->pref_cargos);
        if (cargo < 0 || cargo >= economy->cargo_count())
            continue;
        item.pml = cargo_row(*economy, cargo, preferred ? preferred_row_colour : plain_row_colour).c_str();
        item.mask = ui_list_pml;
        list->set_item(row, item);
    }
}

void ui_handler_screen_routes_t::refresh_overlay(const economy_ctrl_e& economy)
{
    if (!overlay)
        return;
    overlay->reset();
    pml_set_bounds(0.0f, 1024.0f, 768.0f, 0.0f, true);
    pml_reset();
    std::string text;
    char line[256];
    const size_t count = std::min(economy.cities.size(), city_marks.size() / 2);
    for (size_t i = 0; i < count; ++i) {
        const city_t& city = economy.cities[i];
        if (city.master < 0 || city.master >= economy_company_count)
            continue;
        const float x = city_marks[i * 2];
        const float y = city_marks[i * 2 + 1];
        const auto colour = [&](int c) {
            const int32_t index = economy.companies[c].colour;
            return index >= 0 && index < company_colour_count ? company_colours[index] : format_default_colour;
        };
        std::snprintf(line, sizeof line,
                      "<offset hshift=%g vshift=%g><img src=/shaders/ui/flag.shd width=20 height=24 color=%x><ret>",
                      static_cast<double>(x), static_cast<double>(y), colour(city.master));
        text += line;
        for (int c = 0; c < economy_company_count; ++c) {
            const int width = c == city.master             ? 20
                              : city.record_haul_score > 0 ? nearest(static_cast<float>(city.haul_score[c]) /
                                                                     static_cast<float>(city.record_haul_score) * 20.0f)
                                                           : 0;
            std::snprintf(line, sizeof line,
                          "<offset hshift=%g vshift=%g><img src=/shaders/ui/white.shd width=%d height=6 color=%x><ret>",
                          static_cast<double>(x + 24.0f), static_cast<double>(y + 6.0f * static_cast<float>(c)), width,
                          colour(c));
            text += line;
        }
    }
    if (!text.empty() && pml_render(text.c_str()))
        pml_buffer_get(*overlay, true);
}

void ui_handler_screen_routes_t::toggle_preferred_city(const int32_t city)
{
    toggle_preferred(&driver_t::pref_cities, city);
}

void ui_handler_screen_routes_t::toggle_preferred_cargo(const int32_t cargo)
{
    toggle_preferred(&driver_t::pref_cargos, cargo);
}

void ui_handler_screen_routes_t::toggle_preferred(int8_t (driver_t::*preferences)[3], const int32_t value)
{
    economy_ctrl_e* economy = notebook_economy();
    const int32_t driver = economy ? selected_driver(*economy) : -1;
    if (notebook_get_truck_slot() == 0 || driver < 0 || value < 0 || value > INT8_MAX)
        return;
    toggle_preference(economy->drivers[static_cast<size_t>(driver)].*preferences, static_cast<int8_t>(value));
    economy->assign_driver_jobs(driver);
    refresh_driver();
}

void ui_handler_screen_routes_t::quick_help(const int id)
{
    const economy_ctrl_e* economy = notebook_economy();
    const int32_t slot = notebook_get_truck_slot();
    const bool own_truck = slot <= 0 || selected_truck < 0;
    const char* text = " ";
    if (id == first_slot_id)
        text = "@@qh_truck_slot1@@";
    else if (id > first_slot_id && id < first_slot_id + company_truck_slots)
        text = economy && economy->companies[0].trucks[id - first_slot_id] < 0 ? "@@qh_truck_slotx_empty@@"
                                                                               : "@@qh_truck_slotx@@";
    else if (id >= first_city_id && id < first_city_id + city_id_count)
        text = own_truck ? "@@qh_city_button0@@" : "@@qh_city_buttonx@@";
    else if (id == cargo_list_id)
        text = own_truck ? "@@qh_cargo_list0@@" : "@@qh_cargo_listx@@";
    else if (id == to_city_id)
        text = "@@qh_to_the_city@@";
    else if (id == from_city_id)
        text = "@@qh_from_the_city@@";
    else if (id == hide_id)
        text = "@@qh_hide_cargos@@";
    page_set_text(*this, help_id, text);
}

void ui_handler_screen_routes_t::route_tooltip(const int x, const int y)
{
    const economy_ctrl_e* economy = notebook_economy();
    if (!economy)
        return;
    std::string lines;
    const auto add_line = [&](c_item_t* item, const char* colour) {
        const ui_comp_arrow_t* arrow = arrow_of(item);
        if (!arrow || !arrow->visible || !arrow->hit_test(x, y))
            return;
        uint32_t state = 0;
        int32_t job = -1;
        arrow->get_params(state, job);
        if (job < 0 || job >= economy->job_count())
            return;
        char cargo[129] = "";
        const int32_t cargo_index = economy->jobs[static_cast<size_t>(job)].cargo;
        if (cargo_index >= 0 && cargo_index < economy->cargo_count())
            cargo_def_string(economy->cargos[static_cast<size_t>(cargo_index)].name, "name", cargo, sizeof cargo);
        char line[512];
        std::snprintf(line, sizeof line, "<font @@__fnt_sml@@>\\%s%s : %s -> %s</font><br>", colour, cargo,
                      city_text(*economy, economy->job_source_city(job), "name").c_str(),
                      city_text(*economy, economy->job_dest_city(job), "name").c_str());
        if (lines.size() + std::strlen(line) < tooltip_limit)
            lines += line;
    };
    for (c_item_t* arrow : arrows)
        add_line(arrow, "w");
    const int32_t slot = notebook_get_truck_slot();
    if (slot >= 0 && slot < company_truck_slots)
        for (c_item_t* planned : job_arrows[slot])
            add_line(planned, "g");
    set_tooltip(lines.empty() ? "" : "<align>" + lines + "</align>");
}

void ui_handler_screen_routes_t::cargo_tooltip(const int32_t cargo)
{
    const economy_ctrl_e* economy = notebook_economy();
    char name[129] = "@@ui_no_cargo@@";
    if (cargo != -1) {
        name[0] = '\0';
        if (economy && cargo >= 0 && cargo < economy->cargo_count())
            cargo_def_string(economy->cargos[static_cast<size_t>(cargo)].name, "name", name, sizeof name);
    }
    set_tooltip(name[0] ? std::string("<align><font @@__fnt_sml@@>") + name + "</font></align>" : "");
}

void ui_handler_screen_routes_t::set_tooltip(const std::string& markup)
{
    c_item_t* pointer = ui_pget(0);
    ui_view_t* tooltip = item_view(pointer ? ui_find_component(item_view(pointer), tooltip_id, false) : nullptr);
    if (!tooltip)
        return;
    if (markup.empty()) {
        evalue_set(tooltip, "text", 0, "");
        return;
    }
    // The text on a backdrop just larger than it.
    pml_set_bounds(tooltip->rect, true);
    pml_rect_t size;
    pml_get_bounds(markup.c_str(), size);
    char backdrop[160];
    std::snprintf(backdrop, sizeof backdrop, "<img src=/shaders/ui/desktop.shd width=%.1f height=%.1f><ret>",
                  static_cast<double>(size.right - size.left + 2.0f),
                  static_cast<double>(size.top - size.bottom + 4.0f));
    evalue_set(tooltip, "text", 0, (backdrop + markup).c_str());
}

void ui_handler_screen_routes_t::set_button(const int id, const bool pressed)
{
    if (auto* button = dynamic_cast<ui_comp_button_t*>(page_view(*this, id))) {
        click_muted = 1;
        button->set_pressed(pressed);
        click_muted = 0;
    }
}

#include "ui/screens/ui_handler_dialog_driver.h"

#include <cstdio>

#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "game/menu_shared.h"
#include "ui/screens/dialog_keys.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/notebook/ui_handler_screen_trucks.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Whether driver `index` may be chosen in `mode`.
bool eligible(const driver_t& driver, const int32_t index, const int32_t mode, const int32_t excluded,
              const int32_t first_truck_driver)
{
    if ((driver.flags & driver_unknown_bit(0)) || index == excluded)
        return false;
    if (mode == ui_handler_dialog_driver_t::mode_hire)
        return driver.company == -1 && !(driver.flags & driver_is_player);
    return driver.company == 0 && index != first_truck_driver;
}

}  // namespace

void ui_handler_dialog_driver_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    mode = mode_hire;
}

void ui_handler_dialog_driver_t::set_mode(const int32_t new_mode, const int32_t excluded)
{
    mode = new_mode;
    excluded_driver = excluded;
    page_set_text(*this, confirm_id, mode == mode_hire ? "@@ui_hire@@" : "@@ui_swap@@");
}

void ui_handler_dialog_driver_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    ui_comp_list_t* const list = page_list(*this, list_id);
    game_bridge_t* const bridge = get_game_bridge();
    const auto* const economy = bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr;
    if (list && economy)
        fill_list(*economy, mode, excluded_driver, *list);
}

void ui_handler_dialog_driver_t::fill_list(const economy_ctrl_e& economy, const int32_t mode, const int32_t excluded,
                                           ui_comp_list_t& list)
{
    list.clear();
    // The player's own truck (slot 0) keeps its driver; an empty slot 0 excludes nobody.
    const int32_t first_truck = economy.companies[0].trucks[0];
    const int32_t first_truck_driver = first_truck >= 0 && first_truck < static_cast<int32_t>(economy.trucks.size())
                                           ? economy.trucks[static_cast<size_t>(first_truck)].owner
                                           : -1;
    const int32_t reach = nearest(economy.companies[0].prestige);
    for (size_t i = 0; i < economy.drivers.size(); ++i) {
        const driver_t& driver = economy.drivers[i];
        if (!eligible(driver, static_cast<int32_t>(i), mode, excluded, first_truck_driver))
            continue;
        char images[512];
        char name[128];
        int32_t prestige = 0;
        driver_def_string(driver.name, "imgs", images, sizeof images);
        driver_def_string(driver.name, "name", name, sizeof name);
        driver_def_int(driver.name, "prestige", prestige);
        char salary[128];
        format_money(driver.salary, salary, sizeof salary, 0xFFFFFFFFu);
        char label[ui_comp_list_t::row_markup_size];
        std::snprintf(label, sizeof label, "%s|%s|%s|%f", images, name, salary,
                      static_cast<double>(static_cast<float>(prestige) * 0.01f * 5.0f));
        ui_list_item_t item;
        item.pml = label;
        item.text = name;
        item.data = static_cast<uint32_t>(i);
        item.active = reach >= prestige;
        item.mask = ui_list_all;
        list.insert_item(item, static_cast<uint32_t>(list.count()));
    }
    list.sort_items(list_item_text_compare);
}

bool ui_handler_dialog_driver_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_pressed && view && (view->id == confirm_id || view->id == close_id)) {
        if (view->id == confirm_id)
            confirm();
        ui_whide(window);
        return false;
    }
    const int key = dialog_answer_key(code, param);
    if (!key)
        return false;
    if (key == dialog_enter_key)
        confirm();
    ui_whide(window);
    return true;
}

void ui_handler_dialog_driver_t::confirm()
{
    game_bridge_t* const bridge = get_game_bridge();
    auto* const page = dynamic_cast<ui_handler_screen_trucks_t*>(
        bridge ? window_handler(bridge->find_window("notebook", "trucks")) : nullptr);
    const ui_comp_list_t* const list = page_list(*this, list_id);
    if (!page || !list)
        return;
    const int row = list->selection;
    if (row < 0 || row >= list->count())
        return;
    const auto driver = static_cast<int32_t>(list->item_data_at(row));
    if (mode == mode_swap)
        page->confirm_swap(driver, excluded_driver);
    else
        page->confirm_hire(driver);
}

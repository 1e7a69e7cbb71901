#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/ui.h"
#include "engine/vfs.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "ui/components/ui_comp_double_bar.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_comp_make.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/notebook_trucks.h"
#include "ui/screens/notebook/shop_lines.h"
#include "ui/screens/notebook/truck_shop.h"
#include "ui/screens/notebook/ui_handler_screen_trucks.h"
#include "ui/screens/options/options_controls.h"
#include "ui/screens/ui_handler_dialog_color.h"
#include "vehicles/player/car_player.h"

// The parts side of the truck shop: the accessories of the current part group for sale and fitted, a
// part tried on, parts bought and sold, the attribute bars, and the paint through the colour dialog.

namespace {

// The message box's set with one Close button.
constexpr uint32_t msgbox_close_set = 2;
// The part group whose parts can be sold.
constexpr int32_t sellable_group = 4;
// The bars of an attribute set, from its base id, and the key each shows.
constexpr struct {
    int offset;
    const char* key;
} attribute_bars[] = {{10, "power"}, {20, "maint"}, {30, "handling"}, {40, "prestige"}};

// Whether `accessories` holds `name` (ignoring case).
bool carries(const char (*accessories)[32], const char* name)
{
    for (int i = 0; i < truck_accessory_count; ++i)
        if (accessories[i][0] != '\0' && strncasecmp(accessories[i], name, 32) == 0)
            return true;
    return false;
}

// The text of the selected item of `list`, empty for none.
void selected_text(const ui_comp_list_t* list, char (&out)[128])
{
    out[0] = '\0';
    if (list && list->selection >= 0 && list->selection < list->count())
        std::snprintf(out, sizeof out, "%s", list->item_text_at(list->selection));
}

}  // namespace

void ui_handler_screen_trucks_t::select_part_group(const int32_t group)
{
    part_group = group;
    page_activate(*this, sell_part_button, group == sellable_group);
    refill_lists();
}

void ui_handler_screen_trucks_t::refill_lists()
{
    ui_comp_list_t* const for_sale = page_list(*this, parts_list);
    ui_comp_list_t* const fitted = page_list(*this, fitted_list);
    if (for_sale)
        for_sale->clear();
    if (fitted)
        fitted->clear();
    const company_truck_t* const truck = slot_truck();
    if (truck && for_sale && fitted) {
        const truck_make_text_t make(*truck);
        char folder[96];
        std::snprintf(folder, sizeof folder, "/makes/truck/%s/acc", make.text);
        char line[shop_line_size];
        for (const std::string& name : list_folder(folder)) {
            if (name[0] == '.' || strcasecmp(name.c_str(), "shared") == 0 || !is_entry(folder, name, vfs_mode_folder))
                continue;
            if (carries(truck->accessories, name.c_str()) || part_group_of(make.text, name.c_str()) != part_group)
                continue;
            accessory_line(make.text, name.c_str(), is_paint_job(make.text, name.c_str()), line);
            list_append(*for_sale, line, name.c_str(), 0xFFFFFFFFu);
        }
        for_sale->sort_items(list_item_text_compare);
        for (int i = 0; i < truck_accessory_count; ++i) {
            char name[33];
            std::snprintf(name, sizeof name, "%.32s", truck->accessories[i]);
            if (!name[0] || is_paint_job(make.text, name) || part_group_of(make.text, name) != part_group)
                continue;
            accessory_line(make.text, name, false, line);
            list_append(*fitted, line, name, static_cast<uint32_t>(i));
        }
        fitted->sort_items(list_item_text_compare);
    }
    show_view(parts_more, for_sale && for_sale->count() > 6);
    show_view(fitted_more, fitted && fitted->count() >= 3);
    picked_part = -1;
    refresh_attribute_panels();
}

void ui_handler_screen_trucks_t::pick_accessory()
{
    ui_comp_list_t* const for_sale = page_list(*this, parts_list);
    const company_truck_t* const truck = slot_truck();
    if (!for_sale || !truck)
        return;
    const int picked = for_sale->selection;
    char name[128];
    selected_text(for_sale, name);
    const truck_make_text_t make(*truck);
    char copy[truck_accessory_count][32];
    std::memcpy(copy, truck->accessories, sizeof copy);
    if (picked == picked_part) {
        picked_part = -1;
        for_sale->select_item(-1, false);
        show_attributes(make.text, truck->accessories, nullptr, slot_bars);
    } else {
        picked_part = picked;
        truck_shop_t::fit_part(make.text, copy, name);
        show_attributes(make.text, truck->accessories, copy, slot_bars);
    }
    // A picked part is tried on, an unpicked one taken off again.
    show_truck_model(*truck, copy, truck->colour);
    page_activate(*this, buy_button, picked_part != -1);
}

void ui_handler_screen_trucks_t::buy_part()
{
    char name[128];
    selected_text(page_list(*this, parts_list), name);
    api::message("selected acc: %s", name);
    economy_ctrl_e* const books = notebook_economy();
    if (!books || !slot_truck())
        return;
    if (truck_shop_t(*books).buy_part(slot(), name) == truck_shop_t::part_outcome_t::too_dear)
        msgbox_open("@@ui_warning@@", "@@ui_not_enough_money@@", msgbox_close_set, 0);
    after_part_change();
}

void ui_handler_screen_trucks_t::sell_part()
{
    char name[128];
    selected_text(page_list(*this, fitted_list), name);
    economy_ctrl_e* const books = notebook_economy();
    if (!books || !slot_truck())
        return;
    truck_shop_t(*books).sell_part(slot(), name);
    after_part_change();
}

void ui_handler_screen_trucks_t::after_part_change()
{
    show_money();
    refill_lists();
    const company_truck_t* const truck = slot_truck();
    if (!truck)
        return;
    show_truck_model(*truck, truck->accessories, truck->colour);
    rebuild_driven_truck();
    fill_slot_view(truck, slot());
    refresh_attribute_panels();
}

void ui_handler_screen_trucks_t::show_truck_model(const company_truck_t& truck, const char (*accessories)[32],
                                                  const uint32_t colour)
{
    const truck_make_text_t make(truck);
    if (auto* const model = dynamic_cast<ui_comp_make_t*>(page_view(*this, truck_view))) {
        model->build_truck(make.text, accessories, "truck", 0);
        model->set_color(colour);
    }
    const int32_t shown = slot();
    if (shown < 0 || shown >= company_truck_slots)
        return;
    if (auto* const button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, slot_button_first + shown))) {
        button->build_model(make.text, accessories);
        button->set_color(colour);
    }
}

void ui_handler_screen_trucks_t::rebuild_driven_truck()
{
    const company_truck_t* const truck = slot() == 0 ? slot_truck() : nullptr;
    game_bridge_t* const bridge = get_game_bridge();
    if (!truck || !bridge)
        return;
    const held_part_t<car_player_e> driven(bridge->avatar());
    const truck_make_text_t make(*truck);
    if (driven.get())
        driven.get()->rebuild(make.text, truck->accessories, truck_accessory_count, truck->colour, true);
}

void ui_handler_screen_trucks_t::open_paint_dialog()
{
    c_item_t* const window = menu_window("dialog", "color", 0, "/ui/dialog/color.esc");
    auto* const dialog = dynamic_cast<ui_handler_dialog_color_t*>(window_handler(window));
    if (!dialog)
        return;
    dialog->target = ui_handler_dialog_color_t::target_trucks;
    if (const company_truck_t* const truck = slot_truck()) {
        // The truck is shown without its paint job while a colour is chosen.
        const truck_make_text_t make(*truck);
        char copy[truck_accessory_count][32];
        std::memcpy(copy, truck->accessories, sizeof copy);
        const int paint = truck_shop_t::find_part_of_type(make.text, copy, "paint");
        if (paint != -1)
            copy[paint][0] = '\0';
        show_truck_model(*truck, copy, truck->colour);
    }
    ui_wshow(window, 0);
}

uint32_t ui_handler_screen_trucks_t::get_paint_color() const
{
    if (buy_mode)
        return pending.colour;
    const company_truck_t* const truck = slot_truck();
    return truck ? truck->colour : 0;
}

void ui_handler_screen_trucks_t::preview_paint_color(const uint32_t colour)
{
    if (auto* const model = dynamic_cast<ui_comp_make_t*>(page_view(*this, truck_view)))
        model->set_color(colour);
    const int32_t shown = slot();
    if (shown < 0 || shown >= company_truck_slots)
        return;
    if (auto* const button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, slot_button_first + shown)))
        button->set_color(colour);
}

void ui_handler_screen_trucks_t::cancel_paint()
{
    if (const company_truck_t* const truck = slot_truck())
        show_truck_model(*truck, truck->accessories, truck->colour);
}

void ui_handler_screen_trucks_t::apply_paint_color(const uint32_t colour)
{
    if (buy_mode) {
        pending.colour = colour;
        if (auto* const model = dynamic_cast<ui_comp_make_t*>(page_view(*this, truck_view)))
            model->set_color(colour);
        return;
    }
    economy_ctrl_e* const books = notebook_economy();
    if (!books || !truck_shop_t(*books).apply_paint(slot(), colour))
        return;
    const company_truck_t* const truck = slot_truck();
    show_truck_model(*truck, truck->accessories, truck->colour);
    rebuild_driven_truck();
}

void ui_handler_screen_trucks_t::show_attributes(const char* make, const char (*list_a)[32], const char (*list_b)[32],
                                                 const int base)
{
    for (const auto& bar : attribute_bars) {
        int32_t sums[2] = {0, 0};
        const char(*lists[2])[32] = {list_a, list_a ? list_b : nullptr};
        for (int l = 0; l < 2; ++l) {
            for (int i = 0; lists[l] && i < truck_accessory_count; ++i) {
                int32_t value = 0;
                char name[33];
                std::snprintf(name, sizeof name, "%.32s", lists[l][i]);
                if (name[0] && truck_acc_def_int(make, name, bar.key, value))
                    sums[l] += value;
            }
        }
        if (auto* const view = dynamic_cast<ui_comp_double_bar_t*>(page_view(*this, base + bar.offset)))
            view->set_values(static_cast<float>(sums[0]) * 0.01f, static_cast<float>(sums[1]) * 0.01f,
                             std::strcmp(bar.key, "maint") == 0);
    }
}

void ui_handler_screen_trucks_t::refresh_attribute_panels()
{
    const company_truck_t* const truck = slot_truck();
    const bool offer_picked = buy_mode && pending.make[0] != '\0';
    if (truck && (!buy_mode || offer_picked)) {
        const truck_make_text_t make(*truck);
        show_attributes(make.text, truck->accessories, nullptr, slot_bars);
    } else {
        show_attributes("", nullptr, nullptr, slot_bars);
    }
    show_view(offer_bars, offer_picked);
    if (offer_picked) {
        const truck_make_text_t make(pending);
        show_attributes(make.text, pending.accessories, nullptr, offer_bars);
    }
}

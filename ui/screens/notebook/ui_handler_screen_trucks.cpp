#include "ui/screens/notebook/ui_handler_screen_trucks.h"

#include <cstdio>
#include <cstring>

#include "engine/evalue.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/bridge_parts.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "road/base_ctrl.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_comp_make.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/notebook_trucks.h"
#include "ui/screens/notebook/shop_lines.h"
#include "ui/screens/notebook/truck_shop.h"
#include "ui/screens/options/options_controls.h"
#include "ui/screens/ui_handler_dialog_driver.h"
#include "vehicles/player/car_player.h"

namespace {

// Bits of the message box's state word, and its button sets.
constexpr uint32_t msgbox_open_bit = 1;
constexpr uint32_t msgbox_yes_bit = 2;
constexpr uint32_t msgbox_close_set = 2;
constexpr uint32_t msgbox_yes_no_set = 4;
// The window parameter the dialogs are shown with.
constexpr uint32_t dialog_show = 0x20000000;

}  // namespace

int32_t ui_handler_screen_trucks_t::slot() const { return notebook_get_truck_slot(); }

company_truck_t* ui_handler_screen_trucks_t::slot_truck() const
{
    economy_ctrl_e* const books = notebook_economy();
    return books ? truck_shop_t(*books).slot_record(slot()) : nullptr;
}

void ui_handler_screen_trucks_t::on_wcreate()
{
    picked_part = -1;
    loan_pending = 0;
    offered_loan = 0;
    buy_mode = false;
    part_group = -1;
    pending = company_truck_t{};
    pending.owner = -1;
    pending_stock = -1;
    ui_handler_game_base_t::on_wcreate();
}

void ui_handler_screen_trucks_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    notebook_truck_preview(*this, slot_button_first);
    const int32_t selected = notebook_get_truck_slot();
    click_muted_button(slot_button_first + (selected < 0 ? 0 : selected));
    if (part_group == -1) {
        click_muted_button(part_group_first);
        click_muted_button(auto_turn_button);
    }
    show_money();
    show_mode_panels();
    fill_offers();
    refresh_attribute_panels();
    picked_part = -1;
    page_activate(*this, buy_button, false);
    show_view(no_offers, false);
}

void ui_handler_screen_trucks_t::on_whide()
{
    unpress(buy_mode_button);
    buy_mode = false;
    set_caption(buy_mode_button, "@@ui_buy_truck@@");
    pending = company_truck_t{};
    pending.owner = -1;
    pending_stock = -1;
    ui_handler_game_base_t::on_whide();
}

void ui_handler_screen_trucks_t::handler()
{
    if (loan_pending) {
        const uint32_t state = msgbox_get();
        if (!(state & msgbox_open_bit)) {
            const int32_t loan = offered_loan;
            const bool accepted = loan_pending == 1 && (state & msgbox_yes_bit);
            loan_pending = 0;
            offered_loan = 0;
            economy_ctrl_e* const books = notebook_economy();
            if (accepted && books) {
                truck_shop_t(*books).take_loan(loan);
                show_money();
                purchase();
            }
        }
    }
    ui_handler_game_base_t::handler();
}

bool ui_handler_screen_trucks_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (!view)
        return false;
    const int id = view->id;
    if (code == ui_action_enter) {
        quick_help(id);
    } else if (code == ui_action_leave) {
        set_text(help_text, " ");
    } else if (code == ui_action_pressed) {
        if (id >= slot_button_first && id < slot_button_first + company_truck_slots) {
            select_slot(id - slot_button_first);
        } else if (id >= part_group_first && id < part_group_first + part_group_count) {
            select_part_group(id - part_group_first);
        } else if (id == auto_turn_button) {
            auto* const model = dynamic_cast<ui_comp_make_t*>(page_view(*this, truck_view));
            if (model && param)
                model->auto_turn = static_cast<const ui_press_param_t*>(param)->pressed;
        } else if (id == hire_button || id == swap_button) {
            open_driver_dialog(id == hire_button ? ui_handler_dialog_driver_t::mode_hire
                                                 : ui_handler_dialog_driver_t::mode_swap);
        } else if (id == sell_part_button) {
            sell_part();
        } else if (id == buy_button) {
            if (buy_mode)
                purchase();
            else
                buy_part();
        } else if (id == paint_button) {
            open_paint_dialog();
        } else if (id == buy_mode_button) {
            const bool enter = !buy_mode;
            toggle_buy_mode(enter);
            if (buy_mode) {
                page_activate(*this, buy_button, true);
            } else {
                select_slot(slot());
                picked_part = -1;
                page_activate(*this, buy_button, false);
            }
        } else if (id == sell_button) {
            sell_truck();
        }
    } else if (code == ui_action_item_selected && param) {
        if (id == parts_list)
            pick_accessory();
        else if (id == offers_list)
            pick_offer(static_cast<int32_t>(static_cast<const ui_list_param_t*>(param)->data));
    }
    return false;
}

void ui_handler_screen_trucks_t::show_money()
{
    const economy_ctrl_e* const books = notebook_economy();
    if (!books)
        return;
    set_money_text(money_text, books->companies[0].money);
    char rating[32];
    std::snprintf(rating, sizeof rating, "%f", static_cast<double>(books->companies[0].prestige * 0.01f * 5.0f));
    set_text(rating_text, rating);
}

void ui_handler_screen_trucks_t::show_mode_panels()
{
    show_view(parts_panel, !buy_mode);
    show_view(offers_panel, buy_mode);
    if (buy_mode)
        fill_slot_view(pending.make[0] ? &pending : nullptr, slot());
}

void ui_handler_screen_trucks_t::select_slot(const int32_t selected)
{
    const bool others = selected >= 1 && selected < company_truck_slots;
    for (const int id : {sell_button, hire_button, swap_button})
        page_activate(*this, id, others);
    notebook_set_truck_slot(selected);
    const company_truck_t* const truck = buy_mode ? (pending.make[0] ? &pending : nullptr) : slot_truck();
    if (!truck)
        for (const int id : {sell_button, hire_button, swap_button})
            page_activate(*this, id, false);
    fill_slot_view(truck, selected);
    toggle_buy_mode(buy_mode);
}

void ui_handler_screen_trucks_t::fill_slot_view(const company_truck_t* truck, const int32_t shown_slot)
{
    economy_ctrl_e* const books = notebook_economy();
    if (!books)
        return;
    const truck_shop_t shop(*books);
    if (!buy_mode)
        refill_lists();
    show_view(normal_group, !buy_mode);
    show_view(buy_group, buy_mode);
    show_view(paint_button, truck && !buy_mode);
    show_view(value_group, !buy_mode);
    show_view(price_group, buy_mode);
    auto* const model = dynamic_cast<ui_comp_make_t*>(page_view(*this, truck_view));
    if (!truck) {
        set_text(value_text, "@@ui_na@@");
        set_money_text(trade_in_text, truck_shop_t::trade_in(shop.slot_value(shown_slot)));
        set_text(balance_text, "@@ui_na@@");
        set_text(offer_text, "@@ui_na@@");
        if (model)
            model->build_truck("", nullptr, "truck", 0);
        set_text(make_name, " ");
        set_text(driver_image, " ");
        set_text(driver_name, "@@ui_na@@");
        set_text(driver_salary, "@@ui_na@@");
        set_text(driver_rating, "0");
        return;
    }
    const truck_make_text_t make(*truck);
    if (model) {
        model->build_truck(make.text, truck->accessories, "truck", 0);
        model->set_color(truck->colour);
    }
    if (buy_mode) {
        const int32_t price = books->truck_value(*truck);
        const int32_t trade_in = truck_shop_t::trade_in(shop.slot_value(shown_slot));
        set_money_text(price_text, price);
        set_money_text(trade_in_text, trade_in);
        set_money_text(balance_text, trade_in - price);
    } else {
        set_money_text(value_text, books->truck_value(*truck));
    }
    char text[512];
    truck_def_string(make.text, "name", text, sizeof text);
    set_text(make_name, text);
    show_driver(*truck, shown_slot);
    if (buy_mode) {
        truck_def_string(make.text, "desc", text, sizeof text);
        set_text(offer_text, text[0] ? text : " ");
    }
}

void ui_handler_screen_trucks_t::show_driver(const company_truck_t& truck, const int32_t shown_slot)
{
    const economy_ctrl_e* const books = notebook_economy();
    if (!books || truck.owner < 0 || truck.owner >= static_cast<int32_t>(books->drivers.size())) {
        set_text(driver_image, " ");
        set_text(driver_name, "@@ui_na@@");
        set_text(driver_salary, "@@ui_na@@");
        set_text(driver_rating, "0");
        return;
    }
    const driver_t& driver = books->drivers[static_cast<size_t>(truck.owner)];
    char images[512];
    driver_def_string(driver.name, "imgs", images, sizeof images);
    // The portrait is the first of the driver's pictures.
    if (char* const bar = std::strchr(images, '|'))
        *bar = '\0';
    char text[640];
    std::snprintf(text, sizeof text, "<img src=/shaders/ui/icons/driver/%s>", images);
    set_text(driver_image, text);
    driver_def_string(driver.name, "name", text, sizeof text);
    set_text(driver_name, text);
    int32_t source = 0;
    if (shown_slot >= 1) {
        set_money_text(driver_salary, driver.salary);
        driver_def_int(driver.name, "prestige", source);
    } else {
        set_text(driver_salary, "@@ui_na@@");
        source = static_cast<int32_t>(books->companies[0].prestige);
    }
    std::snprintf(text, sizeof text, "%f", static_cast<double>(static_cast<float>(source) * 0.01f * 5.0f));
    set_text(driver_rating, text);
}

void ui_handler_screen_trucks_t::toggle_buy_mode(const bool enter)
{
    const int32_t selected = slot();
    if (!enter) {
        set_caption(buy_mode_button, slot_truck() ? "@@ui_replace_truck@@" : "@@ui_buy_truck@@");
        unpress(buy_mode_button);
        buy_mode = false;
        show_view(no_offers, false);
        show_mode_panels();
        return;
    }
    set_caption(buy_mode_button, "@@ui_cancel@@");
    economy_ctrl_e* const books = notebook_economy();
    const int32_t driver = books ? truck_shop_t(*books).pending_driver(selected) : -1;
    if (driver == -1) {
        msgbox_open("@@ui_warning@@", "@@ui_no_free_driver@@", msgbox_close_set, 0);
        unpress(buy_mode_button);
        buy_mode = false;
        select_slot(selected);
        return;
    }
    pending.owner = driver;
    buy_mode = true;
    const ui_comp_list_t* const offers = page_list(*this, offers_list);
    if (offers && offers->selection >= 0 && offers->selection < offers->count())
        pick_offer(static_cast<int32_t>(offers->item_data_at(offers->selection)));
    show_view(no_offers, !offers || offers->count() == 0);
    show_mode_panels();
}

void ui_handler_screen_trucks_t::fill_offers()
{
    ui_comp_list_t* const offers = page_list(*this, offers_list);
    const economy_ctrl_e* const books = notebook_economy();
    if (!offers || !books)
        return;
    offers->clear();
    for (size_t i = 0; i < books->dealer_stock.size(); ++i) {
        const company_truck_t& offer = books->dealer_stock[i];
        if (offer.owner < 0 || offer.owner >= books->dealer_count() ||
            !(books->dealers[static_cast<size_t>(offer.owner)].flags & 1u))
            continue;
        char line[shop_line_size];
        offer_line(*books, offer, line);
        list_append(*offers, line, nullptr, static_cast<uint32_t>(i));
    }
    offers->sort_items(nullptr);
}

void ui_handler_screen_trucks_t::pick_offer(const int32_t stock)
{
    const economy_ctrl_e* const books = notebook_economy();
    if (!books || stock < 0 || stock >= static_cast<int32_t>(books->dealer_stock.size()))
        return;
    const company_truck_t& offer = books->dealer_stock[static_cast<size_t>(stock)];
    pending.condition = offer.condition;
    std::memcpy(pending.make, offer.make, sizeof pending.make);
    std::memcpy(pending.accessories, offer.accessories, sizeof pending.accessories);
    pending.colour = offer.colour;
    pending.rating = offer.rating;
    pending_stock = stock;
    fill_slot_view(&pending, slot());
    refresh_attribute_panels();
}

void ui_handler_screen_trucks_t::purchase()
{
    economy_ctrl_e* const books = notebook_economy();
    if (!books)
        return;
    const int32_t selected = slot();
    truck_shop_t shop(*books);
    const truck_shop_t::purchase_t result = shop.buy_truck(selected, pending, pending_stock);
    if (result.outcome == truck_shop_t::purchase_outcome_t::loan_offered) {
        loan_pending = 1;
        offered_loan = result.loan;
        char money[128];
        format_money(result.loan, money, sizeof money, 0xFFFFFFFFu);
        char text[256];
        std::snprintf(text, sizeof text, "@@ui_not_enough_money@@<br>@@ui_wanna_loan@@ %s ?", money);
        msgbox_open("@@ui_warning@@", text, msgbox_yes_no_set, 0);
        return;
    }
    if (result.outcome == truck_shop_t::purchase_outcome_t::no_loan) {
        msgbox_open("@@ui_warning@@", "@@ui_not_enough_money@@<br>@@ui_no_loan_available@@", msgbox_close_set, 0);
        return;
    }
    if (result.outcome != truck_shop_t::purchase_outcome_t::bought)
        return;
    const company_truck_t& bought = *shop.slot_record(selected);
    if (selected == 0) {
        // The player drives the new truck away from where the old one stood, repaired and repainted.
        books->open_main_hud(1);
        game_bridge_t* const bridge = get_game_bridge();
        const held_part_t<car_player_e> driven(bridge ? bridge->avatar() : entity_handle_t{});
        if (driven.get()) {
            driven.get()->set_color(bought.colour);
            driven.get()->repair(1.0f);
        }
    }
    auto* const button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, slot_button_first + selected));
    if (button) {
        const truck_make_text_t make(bought);
        button->build_model(make.text, bought.accessories);
        button->set_color(bought.colour);
    }
    unpress(buy_mode_button);
    buy_mode = false;
    select_slot(selected);
    game_bridge_t* const bridge = get_game_bridge();
    const held_part_t<base_ctrl_e> controller(bridge ? bridge->base_ctrl() : entity_handle_t{});
    if (controller.get())
        controller.get()->hide_target();
    show_money();
}

void ui_handler_screen_trucks_t::sell_truck()
{
    economy_ctrl_e* const books = notebook_economy();
    const int32_t selected = slot();
    if (!books || truck_shop_t(*books).sell_truck(selected) < 0)
        return;
    show_money();
    select_slot(selected);
    if (auto* const button = dynamic_cast<ui_comp_truckbutton_t*>(page_view(*this, slot_button_first + selected)))
        button->build_model("", nullptr);
}

void ui_handler_screen_trucks_t::open_driver_dialog(const int32_t mode)
{
    game_bridge_t* const bridge = get_game_bridge();
    c_item_t* const window = menu_window("dialog", "driver", 0, "/ui/dialog/driver.esc");
    auto* const dialog = dynamic_cast<ui_handler_dialog_driver_t*>(window_handler(window));
    if (!bridge || !dialog)
        return;
    const company_truck_t* const truck = slot_truck();
    dialog->set_mode(mode, mode == ui_handler_dialog_driver_t::mode_hire ? -1 : (truck ? truck->owner : -1));
    ui_wshow(window, dialog_show);
}

void ui_handler_screen_trucks_t::confirm_hire(const int32_t driver)
{
    if (driver == -1)
        return;
    if (buy_mode) {
        pending.owner = driver;
        return;
    }
    economy_ctrl_e* const books = notebook_economy();
    if (books && truck_shop_t(*books).hire(slot(), driver))
        select_slot(slot());
}

void ui_handler_screen_trucks_t::confirm_swap(const int32_t driver, const int32_t current)
{
    economy_ctrl_e* const books = notebook_economy();
    if (books && truck_shop_t(*books).swap(driver, current))
        select_slot(slot());
}

void ui_handler_screen_trucks_t::quick_help(const int id)
{
    static constexpr const char* groups[] = {"@@qh_part_group0@@", "@@qh_part_group1@@", "@@qh_part_group2@@",
                                             "@@qh_part_group3@@", "@@qh_part_group4@@"};
    const char* key = " ";
    economy_ctrl_e* const books = notebook_economy();
    if (id == slot_button_first) {
        key = "@@qh_truck_slot1@@";
    } else if (id > slot_button_first && id < slot_button_first + company_truck_slots) {
        const int32_t index = books ? truck_shop_t(*books).slot_truck(id - slot_button_first) : -1;
        key = index == -1 ? "@@qh_truck_slotx_empty@@" : "@@qh_truck_slotx@@";
    } else if (id >= part_group_first && id < part_group_first + part_group_count) {
        key = groups[id - part_group_first];
    } else if (id == hire_button) {
        key = "@@qh_btn_hire@@";
    } else if (id == swap_button) {
        key = "@@qh_btn_swap@@";
    } else if (id == sell_part_button) {
        key = "@@qh_btn_sell_part@@";
    } else if (id == buy_button) {
        key = "@@qh_btn_buy_part@@";
    } else if (id == paint_button) {
        key = "@@qh_btn_color@@";
    } else if (id == buy_mode_button) {
        key = buy_mode       ? "@@qh_btn_buy_truck_cancel@@"
              : slot_truck() ? "@@qh_btn_replace_truck@@"
                             : "@@qh_btn_buy_truck@@";
    } else if (id == sell_button) {
        key = "@@qh_btn_sell_truck@@";
    }
    set_text(help_text, key);
}

void ui_handler_screen_trucks_t::click_muted_button(const int id)
{
    auto* const button = dynamic_cast<ui_comp_button_t*>(page_view(*this, id));
    if (!button)
        return;
    click_muted = 1;
    button->click();
    click_muted = 0;
}

void ui_handler_screen_trucks_t::unpress(const int id)
{
    auto* const button = dynamic_cast<ui_comp_button_t*>(page_view(*this, id));
    if (!button)
        return;
    click_muted = 1;
    button->set_pressed(false);
    click_muted = 0;
}

void ui_handler_screen_trucks_t::show_view(const int id, const bool on)
{
    if (ui_view_t* const view = page_view(*this, id))
        view->show(on);
}

void ui_handler_screen_trucks_t::set_text(const int id, const char* text) { page_set_text(*this, id, text); }

void ui_handler_screen_trucks_t::set_caption(const int id, const char* text)
{
    set_text(id, text);
    if (ui_view_t* const view = page_view(*this, id))
        evalue_set(view, "value2", 0, text);
}

void ui_handler_screen_trucks_t::set_money_text(const int id, const int32_t amount)
{
    char text[128];
    format_money(amount, text, sizeof text, 0xFFFFFFFFu);
    set_text(id, text);
}

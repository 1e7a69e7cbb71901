#include "ui/components/ui_comp_common_list.h"

#include <cstdio>
#include <string>

#include "engine/cache.h"
#include "engine/ui.h"
#include "ui/components/ui_comp_common_button.h"

namespace {

const evalue_text_choice_t* list_looks() { return ui_comp_common_list_t::shared.choices(); }

// A row markup of the list declared again as one the list computes.
constexpr evalue_def_t computed(const evalue_def_t& base, const evalue_def_t* next)
{
    evalue_def_t def = base;
    def.flags = evalue_flag_computed;
    def.next = next;
    return def;
}

// The list's item arrays again, leading to its layout properties rather than to the markups.
constexpr evalue_def_t relinked(const evalue_def_t& base, const evalue_def_t* next)
{
    evalue_def_t def = base;
    def.next = next;
    return def;
}

const evalue_def_t evd_item_pml_again = relinked(ui_comp_list_t::evd_item_pml, &ui_comp_list_t::evd_item_gap);
const evalue_def_t evd_item_active_again = relinked(ui_comp_list_t::evd_item_active, &evd_item_pml_again);
const evalue_def_t evd_item_text_again = relinked(ui_comp_list_t::evd_item_text, &evd_item_active_again);
const evalue_def_t evd_item_data_again = relinked(ui_comp_list_t::evd_item_data, &evd_item_text_again);
const evalue_def_t evd_items_again = relinked(ui_comp_list_t::evd_items, &evd_item_data_again);
const evalue_def_t evd_p_pml_computed = computed(ui_comp_list_t::evd_p_pml, &evd_items_again);
const evalue_def_t evd_d_pml_computed = computed(ui_comp_list_t::evd_d_pml, &evd_p_pml_computed);
const evalue_def_t evd_s_pml_computed = computed(ui_comp_list_t::evd_s_pml, &evd_d_pml_computed);
const evalue_def_t evd_n_pml_computed = computed(ui_comp_list_t::evd_n_pml, &evd_s_pml_computed);

}  // namespace

ui_template_share_t ui_comp_common_list_t::shared{ui_comp_common_list_t::template_path};

const evalue_def_t ui_comp_common_list_t::evd_look =
    evalue_text_choice_member("look", list_looks, evalue_bind<&ui_comp_common_list_t::look>, &evd_n_pml_computed, "0",
                              evalue_bind_status<&ui_comp_common_list_t::look_status>);

ui_comp_common_list_t::ui_comp_common_list_t() = default;

int ui_comp_common_list_t::init(const int phase)
{
    if (const int failed = ui_comp_list_t::init(phase))
        return failed;
    if (phase == 0)
        shared.acquire();
    return 0;
}

int ui_comp_common_list_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_comp_list_t::destroy(phase);
}

void ui_comp_common_list_t::handler()
{
    const bool look_changed = (look_status & evalue_changed) != 0;
    if (look_changed) {
        const std::string text = std::to_string(look);
        for (ui_comp_button_t* row : rows)
            ui_comp_common_button_t::evd_look.set(row, &ui_comp_common_button_t::evd_look, 0, text.c_str());
        rebuild_views(true);
    }
    ui_comp_list_t::handler();
    if (!evalue_take_changed(this, &evd_look) || rows.empty())
        return;
    auto* first = dynamic_cast<ui_comp_common_button_t*>(rows.front());
    if (!first)
        return;
    // The row template's size, once the row has applied it.
    first->build_markup(first->value.c_str(), first->value2.c_str());
    char text[32];
    if (!(first->size.flags & ui_template_size_t::no_width)) {
        std::snprintf(text, sizeof text, "%f", first->rect.right - first->rect.left);
        evd_item_width.set(this, &evd_item_width, 0, text);
    }
    if (!(first->size.flags & ui_template_size_t::no_height)) {
        std::snprintf(text, sizeof text, "%f", first->rect.top - first->rect.bottom);
        evd_item_height.set(this, &evd_item_height, 0, text);
    }
    evalue_take_changed(this, &evd_item_gap);
    rebuild_views(true);
}

ui_comp_button_t* ui_comp_common_list_t::create_item_view()
{
    c_item_t* item = ui_spawn_ci("ui.comp.common.button");
    auto* row = item ? dynamic_cast<ui_comp_common_button_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
    if (row) {
        const std::string text = std::to_string(look);
        ui_comp_common_button_t::evd_look.set(row, &ui_comp_common_button_t::evd_look, 0, text.c_str());
    }
    return row;
}

void ui_comp_common_list_t::update_item_view(ui_comp_button_t* row, const char* pml)
{
    auto* button = dynamic_cast<ui_comp_common_button_t*>(row);
    if (!button) {
        ui_comp_list_t::update_item_view(row, pml);
        return;
    }
    ui_comp_common_button_t::evd_value.set(button, &ui_comp_common_button_t::evd_value, 0, pml);
    ui_comp_common_button_t::evd_value2.set(button, &ui_comp_common_button_t::evd_value2, 0, pml);
}

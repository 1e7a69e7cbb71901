#include "ui/components/ui_comp_common_dropdown.h"

#include <string>

#include "engine/cache.h"
#include "engine/ui.h"
#include "ui/components/ui_comp_common_button.h"
#include "ui/components/ui_computed_chain.h"

namespace {

const evalue_text_choice_t* dropdown_looks() { return ui_comp_common_dropdown_t::shared.choices(); }

const ui_computed_chain_t<6> dropdown_chain{
    &ui_dropbutton_group_t::evd_d_pml, &ui_view_t::evd_id, {"d_pml", "p_pml", "s_pml", "n_pml"}};

// Sets the look of a common button from the drop-down's.
void give_look(ui_comp_common_button_t* button, const int look)
{
    const std::string text = std::to_string(look);
    ui_comp_common_button_t::evd_look.set(button, &ui_comp_common_button_t::evd_look, 0, text.c_str());
}

}  // namespace

ui_template_share_t ui_comp_common_dropdown_t::shared{ui_comp_common_dropdown_t::template_path};

const evalue_def_t ui_comp_common_dropdown_t::evd_look =
    evalue_text_choice_member("look", dropdown_looks, evalue_bind<&ui_comp_common_dropdown_t::look>,
                              dropdown_chain.head(), "0", evalue_bind_status<&ui_comp_common_dropdown_t::look_status>);

int ui_comp_common_dropdown_t::init(const int phase)
{
    if (const int failed = ui_dropbutton_group_t::init(phase))
        return failed;
    if (phase == 0)
        shared.acquire();
    return 0;
}

int ui_comp_common_dropdown_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_dropbutton_group_t::destroy(phase);
}

void ui_comp_common_dropdown_t::handler()
{
    auto* button = dynamic_cast<ui_comp_common_button_t*>(drop_button);
    if ((look_status & evalue_changed) && button)
        give_look(button, look);
    ui_dropbutton_group_t::handler();
    if (!evalue_take_changed(this, &evd_look) || !button)
        return;
    button->build_markup(button->value.c_str(), button->value2.c_str());
    const pml_rect_t before = rect;
    if (!(button->size.flags & ui_template_size_t::no_width))
        rect.right = rect.left + (button->rect.right - button->rect.left);
    if (!(button->size.flags & ui_template_size_t::no_height))
        rect.top = rect.bottom + (button->rect.top - button->rect.bottom);
    if (rect.right != before.right || rect.top != before.top)
        changed(ui_change_rect);
}

ui_comp_button_t* ui_comp_common_dropdown_t::create_item_view()
{
    c_item_t* item = ui_spawn_ci("ui.comp.common.button");
    auto* button = item ? dynamic_cast<ui_comp_common_button_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
    if (!button)
        return nullptr;
    give_look(button, look);
    button->button_type = ui_button_check;
    return button;
}

void ui_comp_common_dropdown_t::update_item_view(ui_comp_button_t* button, const char* text)
{
    auto* common = dynamic_cast<ui_comp_common_button_t*>(button);
    if (!common) {
        ui_dropbutton_group_t::update_item_view(button, text);
        return;
    }
    ui_comp_common_button_t::evd_value.set(common, &ui_comp_common_button_t::evd_value, 0, text);
    ui_comp_common_button_t::evd_value2.set(common, &ui_comp_common_button_t::evd_value2, 0, text);
}

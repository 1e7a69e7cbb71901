#include "ui/components/ui_comp_common_slider.h"

#include <string>

#include "ui/components/ui_computed_chain.h"

namespace {

const evalue_text_choice_t* slider_looks() { return ui_comp_common_slider_t::shared.choices(); }

const ui_computed_chain_t<9> slider_chain{
    &ui_slider_base_t::evd_n_background,
    &ui_view_t::evd_id,
    {"n_background", "d_background", "s_pml", "n_pml", "p_pml", "d_pml", "margin"}};

// The knob in a state's colour, with the built-in picture.
constexpr const char* builtin_knob = "<img src=/shaders/2d/uidefault.shd color=%s><ret><offset hshift=4 vshift=4>X";
constexpr const char* builtin_background =
    "<img src=/shaders/2d/uidefault.shd xscale=repeat yscale=repeat color=30ff0000>";

}  // namespace

ui_template_share_t ui_comp_common_slider_t::shared{ui_comp_common_slider_t::template_path};

const evalue_def_t ui_comp_common_slider_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_common_slider_t::value>,
                  slider_chain.head(), nullptr, evalue_bind_status<&ui_comp_common_slider_t::value_status>);
const evalue_def_t ui_comp_common_slider_t::evd_look =
    evalue_text_choice_member("look", slider_looks, evalue_bind<&ui_comp_common_slider_t::look>, &evd_value, "0",
                              evalue_bind_status<&ui_comp_common_slider_t::look_status>);

int ui_comp_common_slider_t::init(const int phase)
{
    if (const int failed = ui_slider_base_t::init(phase))
        return failed;
    if (phase == 0) {
        shared.acquire();
        apply_template(value.c_str());
    }
    return 0;
}

int ui_comp_common_slider_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_slider_base_t::destroy(phase);
}

void ui_comp_common_slider_t::handler()
{
    const bool look_changed = evalue_take_changed(this, &evd_look);
    if (evalue_take_changed(this, &evd_value) || look_changed)
        apply_template(value.c_str());
    ui_slider_base_t::handler();
}

void ui_comp_common_slider_t::changed(const unsigned mask)
{
    if (mask & ui_change_rect)
        apply_template(value.c_str());
    ui_slider_base_t::changed(mask);
}

void ui_comp_common_slider_t::apply_template(const char* args)
{
    const bool is_vertical = rect.right - rect.left < rect.top - rect.bottom;
    const std::string suffix = is_vertical ? "_vert" : "_horiz";
    const struct {
        const evalue_def_t* def;
        std::string builtin;
    } keys[] = {
        {&evd_n_pml, ui_builtin_format(builtin_knob, "30ffffff")},
        {&evd_s_pml, ui_builtin_format(builtin_knob, "3000ffff")},
        {&evd_p_pml, ui_builtin_format(builtin_knob, "3000ff00")},
        {&evd_d_pml, ui_builtin_format(builtin_knob, "30404040")},
        {&evd_n_background, builtin_background},
        {&evd_d_background, builtin_background},
        {&evd_margin, "0"},
    };
    for (const auto& key : keys) {
        const std::string name = key.def->name + suffix;
        const char* from_template = shared.templates.get(look, name.c_str(), args);
        key.def->set(this, key.def, 0, from_template ? from_template : key.builtin.c_str());
    }
}

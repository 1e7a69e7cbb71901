#include "ui/components/ui_comp_common_text.h"

#include <string>

namespace {

// The markup of a text whose template gives none: a plain panel with the value centred.
constexpr const char* builtin_text =
    "<img src=/shaders/2d/uidefault.shd xscale=repeat yscale=repeat color=30ffffff><ret>"
    "<align hstyle=center vstyle=center>\\y%s</align>";

const evalue_text_choice_t* text_looks() { return ui_comp_common_text_t::shared.choices(); }

}  // namespace

ui_template_share_t ui_comp_common_text_t::shared{ui_comp_common_text_t::template_path};

const evalue_def_t ui_comp_common_text_t::evd_text_computed = [] {
    evalue_def_t def = ui_comp_text_t::evd_text;
    def.flags = evalue_flag_computed;
    def.next = &ui_view_t::evd_id;
    return def;
}();
const evalue_def_t ui_comp_common_text_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_common_text_t::value>,
                  &evd_text_computed, nullptr, evalue_bind_status<&ui_comp_common_text_t::value_status>);
const evalue_def_t ui_comp_common_text_t::evd_look =
    evalue_text_choice_member("look", text_looks, evalue_bind<&ui_comp_common_text_t::look>, &evd_value, "0",
                              evalue_bind_status<&ui_comp_common_text_t::look_status>);

int ui_comp_common_text_t::init(const int phase)
{
    if (const int failed = ui_comp_text_t::init(phase))
        return failed;
    if (phase == 0) {
        shared.acquire();
        apply_template(value.c_str());
    }
    return 0;
}

int ui_comp_common_text_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_comp_text_t::destroy(phase);
}

void ui_comp_common_text_t::handler()
{
    const bool look_changed = evalue_take_changed(this, &evd_look);
    if (evalue_take_changed(this, &evd_value) || look_changed)
        apply_template(value.c_str());
    ui_comp_text_t::handler();
}

void ui_comp_common_text_t::changed(const unsigned mask)
{
    size.fit(*this, mask);
    ui_comp_text_t::changed(mask);
}

void ui_comp_common_text_t::apply_template(const char* args)
{
    const ui_template_t& templates = shared.templates;
    size.apply(templates, look, *this);
    const char* from_template = templates.get(look, "text", args);
    const std::string markup = from_template ? std::string(from_template) : ui_builtin_format(builtin_text, args);
    evd_text.set(this, &evd_text, 0, markup.c_str());
}

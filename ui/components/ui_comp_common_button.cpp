#include "ui/components/ui_comp_common_button.h"

#include <strings.h>

#include <cstdio>
#include <string>

namespace {

// The built-in markup of a state: a plain panel in the state's colour with the text centred.
std::string builtin_markup(const char* color, const char* text)
{
    const std::string form = std::string("<img src=/shaders/2d/uidefault.shd xscale=repeat yscale=repeat color=") +
                             color + "><ret><align hstyle=center vstyle=center>%s</align>";
    return ui_builtin_format(form.c_str(), text);
}

const evalue_text_choice_t* button_looks() { return ui_comp_common_button_t::shared.choices(); }

// A markup property of the button declared again as one the button computes.
constexpr evalue_def_t computed(const evalue_def_t& base, const evalue_def_t* next)
{
    evalue_def_t def = base;
    def.flags = evalue_flag_computed;
    def.next = next;
    return def;
}

const evalue_def_t evd_p_pml_computed = computed(ui_comp_button_t::evd_p_pml, &ui_comp_button_t::evd_button_type);
const evalue_def_t evd_d_pml_computed = computed(ui_comp_button_t::evd_d_pml, &evd_p_pml_computed);
const evalue_def_t evd_s2_pml_computed = computed(ui_comp_button_t::evd_s2_pml, &evd_d_pml_computed);
const evalue_def_t evd_s_pml_computed = computed(ui_comp_button_t::evd_s_pml, &evd_s2_pml_computed);
const evalue_def_t evd_n_pml_computed = computed(ui_comp_button_t::evd_n_pml, &evd_s_pml_computed);

// Names of the button types a template's "type" may give, by `ui_button_type_t`.
constexpr const char* type_names[] = {"normal", "check", "radio", "menu"};

}  // namespace

ui_template_share_t ui_comp_common_button_t::shared{ui_comp_common_button_t::template_path};

const evalue_def_t ui_comp_common_button_t::evd_value2 =
    evalue_member("value2", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_common_button_t::value2>,
                  &evd_n_pml_computed, nullptr, evalue_bind_status<&ui_comp_common_button_t::value_status>);
const evalue_def_t ui_comp_common_button_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_common_button_t::value>, &evd_value2,
                  nullptr, evalue_bind_status<&ui_comp_common_button_t::value_status>);
const evalue_def_t ui_comp_common_button_t::evd_look =
    evalue_text_choice_member("look", button_looks, evalue_bind<&ui_comp_common_button_t::look>, &evd_value, "0",
                              evalue_bind_status<&ui_comp_common_button_t::look_status>);

int ui_comp_common_button_t::init(const int phase)
{
    if (const int failed = ui_comp_button_t::init(phase))
        return failed;
    if (phase == 0) {
        shared.acquire();
        build_markup(value.c_str(), value2.c_str());
    }
    return 0;
}

int ui_comp_common_button_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_comp_button_t::destroy(phase);
}

void ui_comp_common_button_t::handler()
{
    const bool look_changed = evalue_take_changed(this, &evd_look);
    if (evalue_take_changed(this, &evd_value) || look_changed)
        build_markup(value.c_str(), value2.c_str());
    ui_comp_button_t::handler();
}

void ui_comp_common_button_t::changed(const unsigned mask)
{
    size.fit(*this, mask);
    if (mask & (ui_change_rect | ui_change_area)) {
        float inset[4] = {};
        const char* areaoff = shared.templates.get(look, "areaoff", nullptr);
        if (areaoff && std::sscanf(areaoff, "%f %f %f %f", &inset[0], &inset[1], &inset[2], &inset[3]) == 4)
            area = {rect.left + inset[0], rect.right - inset[1], rect.top - inset[2], rect.bottom + inset[3]};
    }
    ui_comp_button_t::changed(mask);
}

void ui_comp_common_button_t::build_markup(const char* value_text, const char* value2_text)
{
    const ui_template_t& templates = shared.templates;
    size.apply(templates, look, *this, templates.has(look, "areaoff") ? ui_change_area : 0u);
    if (const char* type = templates.get(look, "type", nullptr))
        for (int i = 0; i < 4; ++i)
            if (strcasecmp(type, type_names[i]) == 0)
                button_type = i;
    const bool check = button_type == ui_button_check;
    // Property, template key, argument and built-in colour of each markup.
    const struct {
        const evalue_def_t* def;
        const char* arg;
        const char* color;
    } markups[] = {
        {&evd_n_pml, value_text, "30ffffff"},
        {&evd_s_pml, value_text, "3000ffff"},
        {&evd_d_pml, value_text, "30404040"},
        {&evd_s2_pml, value2_text, "3000ffff"},
        {&evd_p_pml, check ? value2_text : value_text, "3000ff00"},
    };
    for (const auto& markup : markups) {
        if (markup.def == &evd_s2_pml && !check)
            continue;
        const char* from_template = templates.get(look, markup.def->name, markup.arg);
        const std::string text = from_template ? std::string(from_template) : builtin_markup(markup.color, markup.arg);
        markup.def->set(this, markup.def, 0, text.c_str());
    }
}

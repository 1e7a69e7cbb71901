#include "ui/components/ui_comp_common_inputline.h"

#include "ui/components/ui_computed_chain.h"

namespace {

const evalue_text_choice_t* inputline_looks() { return ui_comp_common_inputline_t::shared.choices(); }

const ui_computed_chain_t<2> inputline_chain{&ui_editline_t::evd_style, &ui_editline_t::evd_limit, {"style", "cursor"}};

}  // namespace

ui_template_share_t ui_comp_common_inputline_t::shared{ui_comp_common_inputline_t::template_path};

const evalue_def_t ui_comp_common_inputline_t::evd_look = evalue_text_choice_member(
    "look", inputline_looks, evalue_bind<&ui_comp_common_inputline_t::look>, inputline_chain.head(), "0",
    evalue_bind_status<&ui_comp_common_inputline_t::look_status>);

int ui_comp_common_inputline_t::init(const int phase)
{
    if (phase == 0) {
        shared.acquire();
        apply_template();
        for (const evalue_def_t* def : {&evd_limit, &evd_keep_input})
            if (const char* from_template = shared.templates.get(look, def->name, nullptr))
                def->set(this, def, 0, from_template);
    }
    return ui_editline_t::init(phase);
}

int ui_comp_common_inputline_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_editline_t::destroy(phase);
}

void ui_comp_common_inputline_t::handler()
{
    if (evalue_take_changed(this, &evd_look))
        apply_template();
    ui_editline_t::handler();
}

void ui_comp_common_inputline_t::changed(const unsigned mask)
{
    size.fit(*this, mask);
    ui_editline_t::changed(mask);
}

void ui_comp_common_inputline_t::apply_template()
{
    const ui_template_t& templates = shared.templates;
    size.apply(templates, look, *this);
    const char* style_markup = templates.get(look, "style", nullptr);
    evd_style.set(this, &evd_style, 0, style_markup ? style_markup : "%s");
    const char* cursor_markup = templates.get(look, "cursor", nullptr);
    evd_cursor.set(this, &evd_cursor, 0, cursor_markup ? cursor_markup : "_");
}

#include "ui/components/ui_comp_common_frame.h"

#include "engine/text.h"
#include "ui/components/ui_computed_chain.h"

namespace {

const evalue_text_choice_t* frame_looks() { return ui_comp_common_frame_t::shared.choices(); }

const ui_computed_chain_t<9> frame_chain{
    &ui_frame_base_t::evd_color,
    &ui_view_t::evd_id,
    {"corner", "inside", "vline", "hline", "inside_tile", "inside_inset", "tile", "text"}};

// The plain picture every line and corner shows when the template names none.
constexpr const char* builtin_picture = "/shaders/2d/uidefault.shd";

}  // namespace

ui_template_share_t ui_comp_common_frame_t::shared{ui_comp_common_frame_t::template_path};

const evalue_def_t ui_comp_common_frame_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_common_frame_t::value>,
                  frame_chain.head(), nullptr, evalue_bind_status<&ui_comp_common_frame_t::value_status>);
const evalue_def_t ui_comp_common_frame_t::evd_look =
    evalue_text_choice_member("look", frame_looks, evalue_bind<&ui_comp_common_frame_t::look>, &evd_value, "0",
                              evalue_bind_status<&ui_comp_common_frame_t::look_status>);

int ui_comp_common_frame_t::init(const int phase)
{
    if (const int failed = ui_frame_base_t::init(phase))
        return failed;
    if (phase == 0) {
        shared.acquire();
        apply_template(value.c_str());
    }
    return 0;
}

int ui_comp_common_frame_t::destroy(const int phase)
{
    if (phase == 0)
        shared.release();
    return ui_frame_base_t::destroy(phase);
}

void ui_comp_common_frame_t::handler()
{
    const bool look_changed = evalue_take_changed(this, &evd_look);
    if (evalue_take_changed(this, &evd_value) || look_changed)
        apply_template(value.c_str());
    ui_frame_base_t::handler();
}

void ui_comp_common_frame_t::changed(const unsigned mask)
{
    size.fit(*this, mask);
    ui_frame_base_t::changed(mask);
}

void ui_comp_common_frame_t::apply_template(const char* args)
{
    const ui_template_t& templates = shared.templates;
    size.apply(templates, look, *this);
    if (const char* tint = templates.get(look, "color", nullptr)) {
        color = static_cast<uint32_t>(v_atoi(tint));
        changed(ui_change_property);
    }
    const struct {
        const evalue_def_t* def;
        const char* builtin;
    } keys[] = {
        {&evd_corner, builtin_picture}, {&evd_hline, builtin_picture}, {&evd_vline, builtin_picture}, {&evd_inside, ""},
        {&evd_tile, "false"},           {&evd_inside_tile, "false"},   {&evd_inside_inset, "true"},
    };
    for (const auto& key : keys) {
        const char* from_template = templates.get(look, key.def->name, nullptr);
        // A picture name too long for the frame is refused whole and the built-in one shown instead.
        if (!from_template || !key.def->set(this, key.def, 0, from_template))
            key.def->set(this, key.def, 0, key.builtin);
    }
    const char* text_markup = templates.get(look, "text", args);
    evd_text.set(this, &evd_text, 0, text_markup ? text_markup : "");
}

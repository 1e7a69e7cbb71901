#include "ui/components/ui_comp_text.h"

#include "ui/components/ui_markup_view.h"

const evalue_def_t ui_comp_text_t::evd_text =
    evalue_member("text", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_text_t::text>, &ui_view_t::evd_id,
                  nullptr, evalue_bind_status<&ui_comp_text_t::text_status>);

ui_comp_text_t::ui_comp_text_t() { class_flags |= ui_class_markup; }

void ui_comp_text_t::handler()
{
    ui_view_t::handler();
    if (text_status & evalue_changed) {
        text_status &= static_cast<uint8_t>(~evalue_changed);
        changed(ui_change_property);
    }
    if (!ui_markup_view_visible(this, window_item, shown, false))
        return;
    bool rebuilt = false;
    if (!built) {
        // A markup that fails is reported by the markup system; it is not tried again until it changes.
        ui_markup_render(this, text.c_str(), markup);
        built = true;
        rebuilt = true;
        ++renders;
    }
    if ((rebuilt || !shown) && ui_view_invalidate_layer(this, window_item, true))
        shown = true;
}

void ui_comp_text_t::pml_precache() { ui_markup_view_precache(this, window_item, shown, markup); }

void ui_comp_text_t::offset(float dx, float dy, unsigned flags)
{
    ui_markup_view_offset(this, window_item, built, shown, {&markup, 1}, dx, dy, flags);
}

void ui_comp_text_t::notify(int code)
{
    if (code < 0)
        built = false;
    ui_view_t::notify(code);
}

void ui_comp_text_t::changed(unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property))
        built = false;
    ui_view_t::changed(mask);
}

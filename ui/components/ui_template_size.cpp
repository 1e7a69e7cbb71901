#include "ui/components/ui_template_size.h"

#include <cstdlib>

#include "engine/ui_view.h"
#include "ui/components/ui_template.h"

void ui_template_size_t::apply(const ui_template_t& templates, const int look, ui_view_t& view, const unsigned extra)
{
    const char* w = templates.get(look, "width", nullptr);
    width = w ? std::strtof(w, nullptr) : 0.0f;
    const char* h = templates.get(look, "height", nullptr);
    height = h ? std::strtof(h, nullptr) : 0.0f;
    flags = (w ? 0u : no_width) | (h ? 0u : no_height);
    if (w || h)
        view.changed(ui_change_rect | extra);
}

void ui_template_size_t::fit(ui_view_t& view, const unsigned mask) const
{
    if (!(mask & ui_change_rect))
        return;
    if (!(flags & no_width))
        view.rect.right = view.rect.left + width;
    if (!(flags & no_height))
        view.rect.top = view.rect.bottom + height;
}

#include <strings.h>

#include <string>

#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/lcl.h"
#include "engine/log.h"
#include "engine/pml.h"
#include "engine/pml_draw.h"
#include "engine/pml_font.h"
#include "engine/reset.h"
#include "pml_layout.h"

namespace {

// The reference screen, the bounds in force before any pml_set_bounds.
constexpr pml_rect_t reference_screen{0.0f, 1024.0f, 768.0f, 0.0f};

// Render state shared by every caller of the markup.
struct pml_state_t {
    pml_rect_t bounds = reference_screen;
    bool localized = false;
    pml_buffer_t result{pml_result_capacity * pml_item_bytes};
    unsigned colormod = 0xFFFFFFFF;
    std::vector<pml_drawn_t> drawn;
};

pml_state_t state;

void pml_state_reset()
{
    state.bounds = reference_screen;
    state.localized = false;
    state.result.reset();
    state.colormod = 0xFFFFFFFF;
    state.drawn.clear();
}

engine_reset_registrar_t pml_reset_registrar(reset_order_devices + 20, pml_state_reset);

// Translates the "@@key@@" texts of `text` outside its VERBATIM sections.
std::string translate_outside_verbatim(const std::string_view text)
{
    std::string out;
    size_t position = 0;
    while (position < text.size()) {
        size_t open = std::string_view::npos;
        for (size_t i = position; i + 10 <= text.size(); ++i)
            if (strncasecmp(text.data() + i, "<verbatim>", 10) == 0) {
                open = i;
                break;
            }
        if (open == std::string_view::npos) {
            out += lcl_translate_text(text.substr(position));
            break;
        }
        out += lcl_translate_text(text.substr(position, open - position));
        size_t close = text.size();
        for (size_t i = open + 10; i + 11 <= text.size(); ++i)
            if (strncasecmp(text.data() + i, "</verbatim>", 11) == 0) {
                close = i + 11;
                break;
            }
        out.append(text.substr(open, close - open));
        position = close;
    }
    return out;
}

// Lays `text` out in the current bounds; false on bad markup.
bool lay_out(const char* text, std::vector<pml_item_t>& out)
{
    if (!text)
        return true;
    pml_layout_t layout(state.bounds);
    const bool good = state.localized ? layout.run(translate_outside_verbatim(text)) : layout.run(text);
    if (good)
        out = std::move(layout.items());
    return good;
}

// Multiplies two 0xAABBGGRR colours channel by channel.
unsigned modulate(unsigned color, unsigned by)
{
    unsigned out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned a = (color >> shift) & 0xFF;
        const unsigned b = (by >> shift) & 0xFF;
        out |= ((a * b + 127) / 255) << shift;
    }
    return out;
}

void draw_items(const std::vector<pml_item_t>& items, float dx, float dy)
{
    for (const pml_item_t& item : items) {
        if (item.is_hidden())
            continue;
        pml_drawn_t drawn{item, modulate(item.color, state.colormod), gfx_record_frames(), gfx_record_next_order()};
        drawn.item.box.left += dx;
        drawn.item.box.right += dx;
        drawn.item.box.top += dy;
        drawn.item.box.bottom += dy;
        state.drawn.push_back(std::move(drawn));
    }
}

}  // namespace

void pml_init()
{
    pml_state_reset();
    pml_font_find(nullptr);
}

void pml_shutdown()
{
    pml_state_reset();
    pml_font_reset();
}

void pml_localized(bool on) { state.localized = on; }
bool pml_is_localized() { return state.localized; }

void pml_set_bounds(float left, float right, float top, float bottom, bool reference_units)
{
    pml_set_bounds(pml_rect_t{left, right, top, bottom}, reference_units);
}

void pml_set_bounds(const pml_rect_t& bounds, bool reference_units)
{
    state.bounds = bounds;
    if (reference_units)
        return;
    gfx_params_t params{};
    gfx_get_params(&params);
    if (params.width <= 0 || params.height <= 0)
        return;
    const float sx = reference_screen.right / static_cast<float>(params.width);
    const float sy = reference_screen.top / static_cast<float>(params.height);
    state.bounds = pml_rect_t{bounds.left * sx, bounds.right * sx, bounds.top * sy, bounds.bottom * sy};
}

pml_rect_t pml_get_render_bounds() { return state.bounds; }

bool pml_render(const char* text)
{
    std::vector<pml_item_t> items;
    if (!lay_out(text, items))
        return false;
    if (items.size() > state.result.capacity() - state.result.count()) {
        error("<pml_buffer_t> render result full: %zu items do not fit", items.size());
        return false;
    }
    for (const pml_item_t& item : items)
        state.result.push(item);
    return true;
}

bool pml_buffer_get(pml_buffer_t& out, bool append)
{
    if (!append)
        out.reset();
    if (!out.append_from(state.result)) {
        error("<pml_buffer_t> buffer of %zu items cannot take %zu more", out.capacity(), state.result.count());
        return false;
    }
    return true;
}

void pml_reset() { state.result.reset(); }

bool pml_get_bounds(const char* text, pml_rect_t& out)
{
    std::vector<pml_item_t> items;
    out = pml_rect_t{};
    if (!lay_out(text, items))
        return false;
    pml_buffer_t measured(items.size() * pml_item_bytes);
    for (const pml_item_t& item : items)
        measured.push(item);
    return measured.get_bounds(out);
}

void pml_buffer_flush(const pml_buffer_t& buffer, float dx, float dy) { draw_items(buffer.items(), dx, dy); }
void pml_bin_flush(const pml_bin_buffer_t& buffer, float dx, float dy) { draw_items(buffer.items(), dx, dy); }
void pml_colormod(unsigned color) { state.colormod = color; }

const std::vector<pml_drawn_t>& pml_drawn() { return state.drawn; }
void pml_draw_clear() { state.drawn.clear(); }

void pml_draw_truncate(const size_t count)
{
    if (count < state.drawn.size())
        state.drawn.resize(count);
}

void pml_draw_drop_before(const int frame)
{
    std::erase_if(state.drawn, [frame](const pml_drawn_t& drawn) { return drawn.frame < frame; });
}

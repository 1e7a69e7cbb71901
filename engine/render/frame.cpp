#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/gfx_frame.h"
#include "engine/gfx_record.h"
#include "engine/host.h"
#include "engine/log.h"
#include "engine/pml_draw.h"
#include "engine/reset.h"
#include "frame_painter.h"
#include "gl_context.h"
#include "render_state.h"

namespace {

// The screen's state between frames.
struct frame_state_t {
    bool focused = true;
    bool in_frame = false;
    uint32_t screen_colour = 0xff000000;  // what the last colour clear left on the screen
    bool swap_clear_pending = false;
    gfx_recorded_clear_t swap_clear{};
    float time = 0.0f;
    gfx_capture_fn capture = nullptr;
    gfx_activate_fn on_activate = nullptr;
    void* activate_user = nullptr;
    int frames = 0;
    gfx_frame_record_t last;
    int painted_frame = -1;  // the frame the painter last drew (-1 none since the reset)
    int paints = 0;
};

frame_state_t state;

void reset_frame() { state = frame_state_t{}; }

engine_reset_registrar_t frame_reset_registrar(reset_order_devices, reset_frame);

// Without the painter the picture is the colour the screen was last cleared to.
void fill_with_clear_colour(int width, int height, std::vector<uint8_t>& pixels)
{
    const uint8_t rgb[3] = {static_cast<uint8_t>(state.screen_colour >> 16),
                            static_cast<uint8_t>(state.screen_colour >> 8), static_cast<uint8_t>(state.screen_colour)};
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = rgb[0];
        pixels[i + 1] = rgb[1];
        pixels[i + 2] = rgb[2];
    }
}

// Paints the frame being recorded, once a frame; false when there is nothing to paint with.
bool paint_current_frame(int width, int height, std::vector<uint8_t>& pixels)
{
    if (!frame_paint(render_frame(), state.frames, width, height, pixels))
        return false;
    state.painted_frame = state.frames;
    ++state.paints;
    return true;
}

// Appends what graphics frame `frame` drew to the host file `path`, two lines a capture: "frame N: "
// and the characters the markup drew in drawing order (each picture as '#'), then "frame N models: "
// and each distinct model surface drawn, as its shader's path and its colour ("path#aarrggbb").
void append_drawn_text(const std::string& path, const int frame, const gfx_frame_record_t& record,
                       const size_t overlay_from)
{
    std::string line = "frame " + std::to_string(frame) + ": ";
    const std::vector<pml_drawn_t>& items = pml_drawn();
    for (size_t i = 0; i < items.size(); ++i)
        if (i >= overlay_from || items[i].frame == frame)
            line += items[i].item.id == pml_item_image ? '#' : static_cast<char>(items[i].item.id);
    std::set<std::string> surfaces;
    for (const gfx_recorded_model_t& model : record.models) {
        char colour[16];
        const uint32_t first = model.geometry.colours.empty() ? 0u : model.geometry.colours[0];
        std::snprintf(colour, sizeof colour, "#%08x", first);
        surfaces.insert(std::string(model.shader_path) + colour);
    }
    std::string models = "frame " + std::to_string(frame) + " models:";
    for (const std::string& surface : surfaces)
        models += " " + surface;
    std::ofstream out(path, std::ios::app);
    out << line << '\n' << models << '\n';
    if (!out)
        error("gfx_try_capture: cannot append the drawn text to %s", path.c_str());
}

void clear(uint32_t flags, uint32_t colour)
{
    render_frame().clears.push_back({flags, colour, gfx_record_next_order()});
    if (flags & gfx_clear_colour)
        state.screen_colour = colour;
}

}  // namespace

ENGINE_API bool gfx_is_active() { return state.focused && gfx_record_mode() != nullptr; }

ENGINE_API void gfx_activate_callback(gfx_activate_fn callback, void* user)
{
    state.on_activate = callback;
    state.activate_user = user;
}

ENGINE_API void gfx_begin_frame()
{
    if (state.in_frame) {
        error("gfx_begin_frame: a frame is already open");
        return;
    }
    state.in_frame = true;
    if (state.swap_clear_pending) {
        state.swap_clear_pending = false;
        clear(state.swap_clear.flags, state.swap_clear.colour);
    }
}

ENGINE_API void gfx_end_frame()
{
    if (!state.in_frame) {
        error("gfx_end_frame: no frame is open");
        return;
    }
    state.in_frame = false;
}

ENGINE_API void gfx_clear1(uint32_t flags, uint32_t colour) { clear(flags, colour); }

ENGINE_API void gfx_swap_clear(uint32_t flags, uint32_t colour)
{
    state.swap_clear_pending = true;
    state.swap_clear = {flags, colour, 0};
}

ENGINE_API void gfx_swapbuffers()
{
    // Drawing every frame (--draw) keeps the painter busy; otherwise only captured frames are painted.
    if (host_settings().draw && state.painted_frame != state.frames) {
        int width = 0;
        int height = 0;
        render_screen_size(width, height);
        std::vector<uint8_t> pixels;
        paint_current_frame(width, height, pixels);
    }
    render_end_of_frame(state.last);
    ++state.frames;
}

ENGINE_API void gfx_set_time(float seconds) { state.time = seconds; }
ENGINE_API float gfx_get_time() { return state.time; }

ENGINE_API void gfx_screen_capture(gfx_capture_fn callback) { state.capture = callback; }

namespace {

// Serves a pending capture with the frame being drawn painted, or with the frame shown last and the
// markup items from `overlay_from` on over it.
bool capture(const bool shown_frame, const size_t overlay_from)
{
    if (!state.capture)
        return false;
    const gfx_capture_fn callback = state.capture;
    state.capture = nullptr;
    int width = 0;
    int height = 0;
    render_screen_size(width, height);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) {
        error("gfx_try_capture: the screen size %dx%d cannot be captured", width, height);
        return false;
    }
    const gfx_frame_record_t& record = shown_frame ? state.last : render_frame();
    const int frame = shown_frame ? state.frames - 1 : state.frames;
    std::vector<uint8_t> pixels;
    bool painted = false;
    if (shown_frame) {
        painted = frame_paint(record, frame, width, height, pixels, overlay_from);
        state.paints += painted ? 1 : 0;
    } else {
        painted = paint_current_frame(width, height, pixels);
    }
    if (!painted)
        fill_with_clear_colour(width, height, pixels);
    ++render_frame().captures;
    callback(static_cast<uint16_t>(width), static_cast<uint16_t>(height), pixels.data());
    if (!host_settings().drawn_text.empty())
        append_drawn_text(host_settings().drawn_text, frame, record, overlay_from);
    return true;
}

}  // namespace

ENGINE_API bool gfx_try_capture() { return capture(false, SIZE_MAX); }

bool gfx_try_capture_over_shown_frame(const size_t overlay_from)
{
    // Before the first frame is shown there is only the frame being drawn.
    return state.frames == 0 ? capture(false, SIZE_MAX) : capture(true, overlay_from);
}

void gfx_record_set_focus(bool focused)
{
    if (state.focused == focused)
        return;
    state.focused = focused;
    if (state.on_activate)
        state.on_activate(focused ? 1 : 0, state.activate_user);
}

const gfx_frame_record_t& gfx_record_last() { return state.last; }
int gfx_record_frames() { return state.frames; }

int gfx_record_paints() { return state.paints; }
bool gfx_record_capture_pending() { return state.capture != nullptr; }
bool gfx_record_can_paint() { return gl_context_ready(); }
void gfx_record_forbid_painting(bool forbidden) { gl_context_forbid(forbidden); }

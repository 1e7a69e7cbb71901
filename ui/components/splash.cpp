#include "ui/components/splash.h"

#include <algorithm>

#include "engine/cache.h"
#include "engine/reset.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "ui/components/ui_comp_progress.h"

namespace {

// Sound tags: the game's sounds, and the sounds allowed while loading.
constexpr int sound_tag_game = 10;
constexpr int sound_tag_loading = 20;
// Ids of the loading screen's text and progress bar.
constexpr int text_id = 100;
constexpr int progress_id = 110;

// The splash state: the window (one reference kept), the stages expected and the current one.
struct splash_state_t {
    c_item_t* window = nullptr;
    int total_steps = 1;
    float step_factor = 1.0f;
    int current_step = -1;
};
splash_state_t splash;

// Forgets the window without touching it: the UI is reset after the processes.
engine_reset_registrar_t splash_reset(reset_order_processes + 11, [] { splash = splash_state_t{}; });

// The open splash window, dropping the handle when the UI removed the window behind our back.
c_item_t* live_window()
{
    if (splash.window && !splash.window->object) {
        api::ci_dec_refs(splash.window);
        splash.window = nullptr;
    }
    return splash.window;
}

// Draws one frame of the UI alone, the splash over everything.
void draw_frame()
{
    api::gfx_begin_frame();
    ui_process();
    api::gfx_end_frame();
    api::gfx_swap_clear(0xffffffffu, 0);
    api::gfx_swapbuffers();
}

// Runs `use` on the public component `id` of the splash window while it is locked; false when the
// window has no such component.
template <typename use_t> bool with_component(c_item_t* window, const int id, const use_t& use)
{
    auto* root = static_cast<ui_view_t*>(c_item_lock(window));
    if (!root)
        return false;
    c_item_t* found = ui_find_component(root, id, true);
    auto* view = static_cast<ui_view_t*>(c_item_lock(found));
    if (view) {
        use(view);
        c_item_release(found);
    }
    c_item_release(window);
    return view != nullptr;
}

// Sets property `name` of component `id` to `text`. A component without that property is left alone:
// a plain picture may stand in for the text or the bar.
void set_component(c_item_t* window, const int id, const char* name, const char* text)
{
    with_component(window, id, [&](ui_view_t* view) {
        if (evalue_find(view->get_evalue_root(), name))
            evalue_set(view, name, 0, text);
    });
}

// Sets the progress bar to `fraction`, capped to 0 .. 1. A bar of another kind (a picture a screen
// fills itself) is given the fraction through its "value" property when it has one.
void set_progress(c_item_t* window, const float fraction)
{
    const float filled = std::clamp(fraction, 0.0f, 1.0f);
    with_component(window, progress_id, [&](ui_view_t* view) {
        if (auto* const bar = dynamic_cast<ui_comp_progress_t*>(view)) {
            bar->set_progress(filled);
            return;
        }
        if (!evalue_find(view->get_evalue_root(), "value"))
            return;
        char text[32];
        v_snprintf0(text, sizeof text, "%g", filled);
        evalue_set(view, "value", 0, text);
    });
}

// The bar's fraction at the start of the current stage.
float stage_start() { return static_cast<float>(splash.current_step) * splash.step_factor; }

// The splash window as the module's loading screen.
class splash_screen_t : public loading_screen_t {
public:
    splash_screen_t() { loading_screen_install(this); }
    void open(int total_steps) override { splash_show(total_steps); }
    void refresh(const char* text) override;
    void progress(int done, int total) override;
    void close() override;
};
splash_screen_t splash_screen;

}  // namespace

void splash_show(const int total_steps)
{
    api::snd_disable_tag(sound_tag_game);
    api::snd_set_current_tag(sound_tag_loading);
    api::snd_enable_tag(sound_tag_loading, 0);
    // A caller that does not know its stages passes 0: the bar then fills at the first one.
    splash.total_steps = std::max(total_steps, 1);
    splash.step_factor = 1.0f / static_cast<float>(splash.total_steps);
    splash.current_step = -1;
    if (live_window())
        return;
    c_item_t* window = ui_winsert("splash", "start", 0, "/ui/splash.esc", true);
    if (!window) {
        api::error("[splash] cannot open the splash window");
        return;
    }
    api::ci_inc_refs(window);
    splash.window = window;
    ui_set_splash(window);
    loading_screen_refresh("@@ui_starting@@");
}

void splash_hide()
{
    api::snd_disable_tag(sound_tag_loading);
    api::snd_set_current_tag(sound_tag_game);
    api::snd_enable_tag(sound_tag_game, 0);
    c_item_t* window = live_window();
    if (!window)
        return;
    ui_set_splash(nullptr);
    ui_wremove(window);
    api::ci_dec_refs(window);
    splash.window = nullptr;
}

void splash_screen_t::refresh(const char* text)
{
    c_item_t* window = live_window();
    if (!window)
        return;
    set_component(window, text_id, "text", text ? text : "");
    // The stages are counted by the bar: a screen without one stays at its start.
    if (with_component(window, progress_id, [](ui_view_t*) {})) {
        ++splash.current_step;
        set_progress(window, stage_start());
    }
    draw_frame();
}

void splash_screen_t::progress(const int done, const int total)
{
    c_item_t* window = live_window();
    if (!window)
        return;
    const float within = total > 0 ? static_cast<float>(done) * splash.step_factor / static_cast<float>(total) : 0.0f;
    set_progress(window, stage_start() + within);
    draw_frame();
}

void splash_screen_t::close()
{
    if (live_window())
        splash_hide();
}

c_item_t* splash_window() { return live_window(); }

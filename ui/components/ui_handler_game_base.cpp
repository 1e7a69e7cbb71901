#include "ui/components/ui_handler_game_base.h"

#include <algorithm>

#include "engine/cache.h"
#include "engine/evalue.h"
#include "engine/pml.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/ui_find_component.h"
#include "ui/components/ui_click_sound.h"

namespace {

// The text that blanks the quick-help line.
constexpr const char* blank_help = " ";
// Full opacity, and the colour modulation that draws unchanged.
constexpr float opaque = 255.0f;
constexpr unsigned full_colour = 0xFFFFFFFFu;

// Whether `view` is still part of the tree under `group` (components may be removed while their
// help text waits for the next frame).
bool tree_holds(const ui_view_t* group, const ui_view_t* view)
{
    if (group == view)
        return true;
    if (!group->is_group())
        return false;
    const auto& children = static_cast<const ui_group_t*>(group)->children;
    return std::any_of(children.begin(), children.end(),
                       [view](const ui_view_t* child) { return tree_holds(child, view); });
}

}  // namespace

ui_handler_game_base_t::~ui_handler_game_base_t() { hold_fade_target(nullptr); }

void ui_handler_game_base_t::handler()
{
    ui_handler_t::handler();
    if (!help_view || help_shown)
        return;
    bool still_there = false;
    with_view(window, [&](ui_view_t& own) { still_there = tree_holds(&own, help_view); });
    if (!still_there) {
        help_view = nullptr;
        return;
    }
    // Copied first: writing the line may touch the component whose text it is.
    const dstring_t text(help_view->tooltip.c_str());
    set_quick_help(text.c_str());
    help_shown = 1;
}

bool ui_handler_game_base_t::handle(ui_view_t* view, const int code, void* param)
{
    (void)param;
    bool visible = false;
    with_view(window, [&](ui_view_t& own) { visible = own.is_visible(); });
    if (!visible)
        return false;
    switch (code) {
    case ui_action_enter:
        if (view && !view->tooltip.is_empty()) {
            help_view = view;
            help_shown = 0;
        }
        break;
    case ui_action_leave:
        if (view && view == help_view) {
            help_view = nullptr;
            help_shown = 0;
            set_quick_help(blank_help);
        }
        break;
    case ui_action_pressed:
    case ui_action_item_selected:
        if (!click_muted)
            ui_click_sound_play();
        break;
    default:
        break;
    }
    return false;
}

void ui_handler_game_base_t::on_wcreate()
{
    ui_handler_t::on_wcreate();
    ui_click_sound_acquire(click_sound_path);
    set_quick_help(blank_help);
}

void ui_handler_game_base_t::on_wdestroy()
{
    ui_click_sound_release();
    hold_fade_target(nullptr);
    ui_handler_t::on_wdestroy();
}

void ui_handler_game_base_t::on_wshow()
{
    ui_handler_t::on_wshow();
    show_flag = 0;
}

void ui_handler_game_base_t::set_quick_help(const char* text)
{
    if (!text)
        return;
    with_view(window, [&](ui_view_t& own) {
        // The window hands out only a line it makes public.
        c_item_t* line = ui_find_component(&own, quick_help_id, true);
        with_view(line, [&](ui_view_t& view) {
            const evalue_def_t* value = evalue_find(view.get_evalue_root(), "value");
            if (value && value->set)
                value->set(&view, value, 0, text);
        });
    });
}

void ui_handler_game_base_t::switch_window(c_item_t* target, const uint32_t param)
{
    if (!fade_enabled) {
        ui_whide(window);
        if (target)
            ui_wshow(target, param);
        return;
    }
    hold_fade_target(target);
    fade_show_param = param;
    if (target != window) {
        fade_state = -1;
        fade_alpha = opaque;
    } else {
        fade_state = 1;
        fade_alpha = 0.0f;
    }
}

void ui_handler_game_base_t::show_window(c_item_t* target, const uint32_t param)
{
    if (fade_enabled && fade_state == 0) {
        fade_state = 1;
        fade_alpha = 0.0f;
    }
    if (target)
        ui_wshow(target, param);
}

void ui_handler_game_base_t::pre_wdraw()
{
    pre_draw();
    if (fade_state == 0)
        return;
    fading = 1;
    const float step = fade_rate * api::sys_get_lastdelta();
    if (fade_state < 0) {
        fade_alpha -= step;
        if (fade_alpha < 0.0f) {
            fade_alpha = opaque;
            fade_state = 0;
            fading = 0;
            finish_fade_out();
        }
    } else {
        fade_alpha += step;
        if (fade_alpha > opaque) {
            fade_alpha = opaque;
            fade_state = 0;
            fading = 0;
        }
    }
    draw_faded();
}

void ui_handler_game_base_t::hold_fade_target(c_item_t* target)
{
    if (target == fade_target)
        return;
    if (target)
        api::ci_inc_refs(target);
    if (fade_target)
        api::ci_dec_refs(fade_target);
    fade_target = target;
}

void ui_handler_game_base_t::finish_fade_out()
{
    c_item_t* const target = fade_target;
    if (target) {
        // The target window's handler shows it (fading in when it fades); a window without a handler
        // stays hidden.
        with_view(target, [&](ui_view_t& view) {
            const auto* const shown = dynamic_cast<const ui_window_t*>(&view);
            c_item_t* const item = shown ? shown->handler_item : nullptr;
            auto* const handler = static_cast<ui_handler_t*>(c_item_lock(item));
            if (!handler)
                return;
            if (auto* const game = dynamic_cast<ui_handler_game_base_t*>(handler))
                game->show_window(target, fade_show_param);
            else
                ui_wshow(target, fade_show_param);
            c_item_release(item);
        });
    }
    ui_whide(window);
}

void ui_handler_game_base_t::draw_faded()
{
    with_view(window, [&](ui_view_t& own) {
        own.notify(ui_notify_rebuild);
        pml_colormod(static_cast<unsigned>(fade_alpha) << 24 | 0xFFFFFFu);
        own.handler();
        pml_colormod(full_colour);
    });
}

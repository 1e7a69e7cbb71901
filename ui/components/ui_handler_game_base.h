#pragma once
#include <cstdint>

#include "engine/ui_handler.h"

struct c_item_t;
class ui_view_t;

// The common base of the game's window handlers: fades from one window to the next, shows the help
// text of the component under the pointer on the window's quick-help line (component 999), and plays
// the shared click sound on presses and list selections. It is never created by itself; every derived
// handler adds `get_type_name` answering its registered type name.
class ui_handler_game_base_t : public ui_handler_t {
public:
    // Opacity units per second of a fade: a whole fade (255 units) takes half a second.
    static constexpr float fade_rate = 510.0f;
    // Id of the component that holds a window's quick-help line.
    static constexpr int quick_help_id = 999;
    // The sound every handler's window shares for presses.
    static constexpr const char* click_sound_path = "/sounds/ui/click.ogg";

    ui_handler_game_base_t() = default;
    ~ui_handler_game_base_t() override;

    // Per frame: writes a pending help text to the quick-help line, once.
    void handler() override;
    // Tracks the component under the pointer for the quick help and clicks on presses (2) and
    // selections (22) while the window is visible; always false, so every action still goes on.
    bool handle(ui_view_t* view, int code, void* param) override;
    // Takes a use of the shared click sound (loading it for the first window) and blanks the help line.
    void on_wcreate() override;
    // Gives the use of the click sound back (freeing it with the last window) and any held fade target.
    void on_wdestroy() override;
    // Clears `show_flag` every time the window is shown.
    void on_wshow() override;
    // Steps a running fade and draws the window at the fade's opacity.
    void pre_wdraw() override;

    // Writes `text` to the window's quick-help line (its "value"); " " blanks it. Windows without a
    // line they make public are left alone, as is a null text.
    virtual void set_quick_help(const char* text);

    // Leaves this handler's window for `target` (another window, this window itself, or null for none),
    // which is shown with `param`. With fading on, the own window fades out and the target is shown
    // (fading in) when it has gone, or the own window fades in when it is the target; otherwise the own
    // window is hidden and the target shown at once.
    void switch_window(c_item_t* target, uint32_t param);
    // Shows `target` with `param`, starting a fade-in when fading is on and no fade is running. Called
    // on the handler of the window being shown.
    void show_window(c_item_t* target, uint32_t param);

    uint32_t fade_enabled = 1;        // non-zero: window changes fade; derived handlers may clear it
    int32_t fade_state = 0;           // 0 idle, -1 fading out, +1 fading in
    c_item_t* fade_target = nullptr;  // window shown when the fade-out ends (a reference is held)
    uint32_t fade_show_param = 0;     // its show parameter
    float fade_alpha = 0.0f;          // current opacity, 0 to 255
    uint32_t click_muted = 0;         // non-zero: presses play no click
    ui_view_t* help_view = nullptr;   // component whose help text is pending or shown
    uint8_t help_shown = 0;           // 1 once the pending help text is on the help line
    uint8_t show_flag = 0;            // cleared on every show; set and read by derived handlers
    uint8_t fading = 0;               // 1 while a fade step runs

private:
    // Holds `target` as the fade target (with a reference), giving back the one held before.
    void hold_fade_target(c_item_t* target);
    // Ends a fade-out: the target's handler shows it, then the own window is hidden.
    void finish_fade_out();
    // Draws the window once at the current opacity.
    void draw_faded();
};

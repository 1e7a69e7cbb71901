#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

// The capture prompt of the controls page ("ui.handler.options.informer", window "informer" of group
// "options_dlg", "/ui/options/minformer.esc"). In key mode it waits for the next key, mouse button,
// joystick button or hat direction and records its trigger code (Esc: -1, delete the binding); in axis
// mode it records the first joystick axis moved far enough and the direction of the move (Esc: axis
// 16, none). It takes every UI event while shown and hides itself once it has its answer.
class ui_handler_options_informer_t : public ui_handler_game_base_t {
public:
    // Id of the text component that shows the prompt and receives the captured events.
    static constexpr int prompt_id = 1;
    // The axis answer of a cancelled axis prompt.
    static constexpr int32_t no_axis = 16;

    const char* get_default_name() const override { return "ui.handler.options.informer"; }
    virtual const char* get_type_name() const { return "ui.handler.options.informer"; }

    // Axis mode, per frame: takes the baseline once the input moves, then captures the first axis moved
    // by more than half its range.
    void handler() override;
    // Key mode: the trigger code of a key (8), mouse button (13), joystick button (10) or hat direction
    // (11); axis mode: Esc cancels.
    bool handle(ui_view_t* view, int code, void* param) override;
    // Starts taking every UI event for the prompt text.
    void on_wshow() override;

    // Prepares a key capture / an axis capture of joystick "i_joystick1"; the results are reset.
    void prompt_key();
    void prompt_axis();
    // The captured trigger code; -1 after Esc (delete) or while nothing is captured.
    int32_t get_trigger() const { return trigger; }
    // The captured axis (16 after Esc, -1 while nothing is captured); its direction into `direction_out`.
    int32_t get_axis(int32_t* direction_out) const;

    uint8_t mode = 0;            // 0 key capture, 1 axis capture
    uint8_t baseline_taken = 0;  // axis mode: the baseline follows a first move
    int32_t axis = -1;
    int32_t joystick = -1;
    int32_t direction = 1;  // 1 up, -1 down from a low rest, 0 down from a high rest
    int32_t trigger = -1;
    float baseline[16] = {};

private:
    // Stops capturing, keeps the answer already stored and hides the prompt.
    void finish();
    // The joystick's 16 axis values into `out`; false without the joystick.
    bool read_axes(float* out) const;
};

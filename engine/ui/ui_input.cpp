#include <cstring>
#include <vector>

#include "engine/gfx_view.h"
#include "engine/input.h"
#include "engine/input_queue.h"
#include "engine/reset.h"
#include "engine/ui.h"
#include "../input/key_names.h"

namespace {

// The last pointer position handed to the UI (window pixels); -1 before the first.
int last_x = -1;
int last_y = -1;

engine_reset_registrar_t input_reset_registrar(reset_order_devices + 60, [] { last_x = last_y = -1; });

bool held(uint32_t code)
{
    const inp_trigger_t* trigger = inp_trigger(code);
    return trigger && trigger->value != 0.0f;
}

// The modifier keys and the bit each one sets.
struct modifier_key_t {
    uint32_t code;
    uint8_t bit;
};
constexpr modifier_key_t modifier_keys[] = {{0x2A, ui_mod_shift}, {0x36, ui_mod_shift},    {0x1D, ui_mod_ctrl},
                                            {0x9D, ui_mod_ctrl},  {0x38, ui_mod_left_alt}, {0xB8, ui_mod_right_alt}};
constexpr size_t modifier_key_count = sizeof modifier_keys / sizeof modifier_keys[0];

// Which modifier keys are down, followed through the changes of one frame: keys typed in a burst with
// Shift pressed and released between them each get the modifiers in force when they went down.
class modifier_state_t {
public:
    // The state before the frame's changes: what is held now, with the changes undone.
    explicit modifier_state_t(const std::vector<inp_change_t>& changes)
    {
        for (size_t i = 0; i < modifier_key_count; ++i)
            down_[i] = held(modifier_keys[i].code);
        for (auto change = changes.rbegin(); change != changes.rend(); ++change)
            set(change->code, !change->down);
    }
    void apply(const inp_change_t& change) { set(change.code, change.down); }
    uint8_t modifiers() const
    {
        uint8_t bits = 0;
        for (size_t i = 0; i < modifier_key_count; ++i)
            if (down_[i])
                bits |= modifier_keys[i].bit;
        return bits;
    }

private:
    void set(uint32_t code, bool down)
    {
        for (size_t i = 0; i < modifier_key_count; ++i)
            if (modifier_keys[i].code == code)
                down_[i] = down;
    }
    bool down_[modifier_key_count] = {};
};

// The pointer in reference units (y up) from window pixels (y down).
void to_reference(int x, int y, float& out_x, float& out_y)
{
    gfx_params_t params{};
    gfx_get_params(&params);
    const float width = params.width > 0 ? static_cast<float>(params.width) : 1024.0f;
    const float height = params.height > 0 ? static_cast<float>(params.height) : 768.0f;
    out_x = static_cast<float>(x) * 1024.0f / width;
    out_y = 768.0f - static_cast<float>(y) * 768.0f / height;
}

}  // namespace

void ui_dispatch_input_frame()
{
    inp_cursor_t cursor{};
    const bool has_cursor = inp_cursor_info(&cursor);
    float x = ui_pointer_x();
    float y = ui_pointer_y();
    if (has_cursor)
        to_reference(cursor.x, cursor.y, x, y);
    if (has_cursor && (cursor.x != last_x || cursor.y != last_y)) {
        last_x = cursor.x;
        last_y = cursor.y;
        ui_event_t move;
        move.type = ui_event_move;
        move.buttons = cursor.buttons;
        move.x = x;
        move.y = y;
        ui_dispatch_event(&move);
    }
    const std::vector<inp_change_t>& changes = inp_frame_changes();
    modifier_state_t held_modifiers(changes);
    for (const inp_change_t& change : changes) {
        held_modifiers.apply(change);
        const uint8_t modifiers = held_modifiers.modifiers();
        ui_event_t event;
        event.down = change.down ? 1 : 0;
        event.modifiers = modifiers;
        event.x = x;
        event.y = y;
        if (change.code <= inp_code_key_last) {
            event.type = ui_event_key;
            event.scan = static_cast<uint16_t>(change.code);
            // A key that ran a bound command (the console's own key, say) types nothing.
            if (!change.ran_command)
                event.character = static_cast<unsigned char>(key_character(change.code, modifiers & ui_mod_shift));
        } else if (change.code >= inp_code_mouse_first && change.code < inp_code_mouse_first + inp_code_mouse_count) {
            event.type = ui_event_pointer;
            event.buttons = 1u << (change.code - inp_code_mouse_first);
        } else if (change.code >= inp_code_joy_button_first &&
                   change.code < inp_code_joy_button_first + inp_code_joy_button_count) {
            event.type = ui_event_joy_button;
            event.buttons = 1u << (change.code - inp_code_joy_button_first);
        } else if (change.code >= inp_code_pov_first && change.code < inp_code_pov_first + inp_code_pov_count) {
            event.type = ui_event_pov;
            for (uint32_t flag = 0; flag < inp_code_pov_count; ++flag)
                if (held(inp_code_pov_first + flag))
                    event.pov |= 1u << (8 * flag);
        } else {
            continue;
        }
        ui_dispatch_event(&event);
    }
}

#pragma once
#include "ui/components/ui_handler_game_base.h"

// The sound page of the options ("ui.handler.menu.options3", window "options3" of group "menu",
// "/ui/options/moptions3.esc"): the sound device and mixing rate, the music and effects volumes, and the
// music, effects, reversed-stereo and 3-D switches. Each control writes its "s_" console variable at once
// and then restarts the sound system or has it apply the new value.
class ui_handler_menu_options3_t : public ui_handler_game_base_t {
public:
    // Component ids of the page's script.
    enum control_id_t : int {
        device_list_id = 100,
        mix_rate_list_id = 110,
        music_volume_id = 120,
        sfx_volume_id = 130,
        reverse_on_id = 140,
        reverse_off_id = 145,
        music_off_id = 150,
        music_on_id = 155,
        sfx_off_id = 160,
        sfx_on_id = 165,
        emulated_on_id = 170,
        emulated_off_id = 175,
        defaults_id = 1000,
        back_id = 1001,
    };

    const char* get_default_name() const override { return "ui.handler.menu.options3"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.options3"; }

    // Fills the two drop-downs once.
    void on_wcreate() override;
    // Reads every control from the variables.
    void on_wshow() override;
    // Controls (2), Esc (8) and drop-down picks (22); true for Defaults, Back and Esc.
    bool handle(ui_view_t* view, int code, void* param) override;

    // The mixing rates and the sound devices (with the no-sound row) into their drop-downs.
    void fill_devices();
    // Sets the controls from the variables.
    void read_cvars();
    // Puts every setting but the 3-D emulation back to its default.
    void reset_defaults();
};

// Sets a sound variable ("%d", "%g" or the text) and then restarts the sound system (`restart`) or has
// it apply the value; nothing at all when the variable does not exist.
void set_sound_cvar_int(const char* name, int value, bool restart);
void set_sound_cvar_float(const char* name, float value, bool restart);
void set_sound_cvar_string(const char* name, const char* text, bool restart);

#pragma once
#include <cstdint>

#include "engine/gfx_device.h"
#include "ui/components/ui_handler_game_base.h"

// A video mode as the graphics page offers it: what its controls show, and what a revert goes back to.
struct video_mode_choice_t {
    int32_t width = 640;
    int32_t height = 480;
    int32_t is32 = 0;        // 0: 16 bits per pixel, else 32
    int32_t refresh = 0;     // Hz, 0 the device's default rate
    int32_t fullscreen = 0;  // 0 windowed, 1 fullscreen
    int32_t device = 0;      // index of the graphics device
};

// The graphics page of the options ("ui.handler.menu.options1", window "options1" of group "menu",
// "/ui/options/moptions1.esc"): the graphics device, resolution, refresh rate, depth and fullscreen of
// the video mode, the device's adjustable settings, the detail level, traffic density and view distance,
// three presets and the defaults. A new mode is switched on by the apply button, and the test dialog
// "gfx_test" then keeps it or goes back to the previous one.
class ui_handler_menu_options1_t : public ui_handler_game_base_t {
public:
    // Component ids of the page's script.
    enum control_id_t : int {
        device_list_id = 10,
        resolution_list_id = 30,
        refresh_list_id = 32,
        bits16_id = 40,
        bits32_id = 41,
        fullscreen_id = 50,
        windowed_id = 51,
        switch_on_id = 60,
        switch_off_id = 61,
        scale_slider_id = 70,
        depth_list_id = 80,
        quality_list_id = 90,
        filter_list_id = 100,
        level_slider_id = 110,
        view_dist_slider_id = 120,
        details_first_id = 130,
        traffic_slider_id = 140,
        preset_low_id = 150,
        preset_medium_id = 160,
        preset_high_id = 170,
        apply_id = 1000,
        back_id = 1001,
        defaults_id = 1100,
    };

    const char* get_default_name() const override { return "ui.handler.menu.options1"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.options1"; }

    // Puts both mode records at 640 x 480, 16 bits, and fills the fixed lists.
    void on_wcreate() override;
    // Reads the settings again.
    void on_wshow() override;
    // Controls (2), Esc (8) and list picks (22); true for apply, back and Esc.
    bool handle(ui_view_t* view, int code, void* param) override;

    // The test dialog's answers: the new mode stays, or the previous one comes back.
    void keep_mode();
    void revert_mode();

    // Reads the console variables and the device into the controls (also after a preset or defaults).
    void read_cvars();
    // Switches to the mode of the controls and opens the test dialog; nothing when nothing changed.
    void apply_mode();
    // The game settings: view distance and traffic density 0 to 100, detail level 0 to 2.
    void set_view_dist(int value);
    void set_traffic_density(int value);
    void set_details(int level);
    // Preset 0 low, 1 medium, 2 high.
    void apply_preset(int preset);
    // The game settings' and the device's defaults.
    void restore_defaults();

    // The device's settings (each does nothing without a device).
    void set_scale_setting(int value);
    void set_level_setting(int value);
    void set_depth_setting(int value);
    void set_quality_setting(int value);
    void set_switch_setting(bool on);
    void set_filter_mode(int mode);

    video_mode_choice_t current;   // what the controls show and apply switches to
    video_mode_choice_t previous;  // the mode last accepted, which a revert returns to

private:
    // The device of the current record, or null.
    gfx_device_t* current_device() const;
    // Shows the device's settings on the sliders, buttons and drop-downs.
    void read_device_settings();
    // Fills the device, resolution and refresh lists from the current device.
    void fill_devices();
    void fill_resolutions();
    void fill_refresh_rates();
    // Selects the rows of the current record (the record takes a row the lists fall back to).
    void select_current_mode();
    // Writes "r_mode", "r_fullscreen" and (with a device) "r_device" from the current record.
    void write_mode_cvars(const gfx_device_t* device) const;
    // Switches the game to the current record's mode.
    void switch_mode(gfx_device_t* device);
    // A setter's common end: the device's hardware copies flushed (when asked) and "hw_caps.def" written.
    static void settings_changed(gfx_device_t* device, bool flush);
    // Writes a whole number into one of the current device's settings and flushes the hardware.
    void set_whole_setting(gfx_device_setting gfx_device_t::*setting, int value);
    // Reacts to a pick of a row of list `id`.
    void picked(int id, const char* text, uint32_t data);
    // Reacts to control `id`; true when the event is consumed.
    bool pressed(int id);
};

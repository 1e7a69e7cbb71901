#pragma once
#include <cstdint>

#include "common/position_report.h"
#include "ui/components/ui_handler_game_base.h"

// The bug report dialog ("ui.handler.system.bugreport"): shown over a game with the player's position,
// it pauses the game and appends the typed description, the date and the position as one line to
// "bugs.txt".
class ui_handler_bugreport_t : public ui_handler_game_base_t, public position_report_t {
public:
    // Ids of the dialog's components.
    static constexpr int position_id = 100;
    static constexpr int description_id = 110;
    static constexpr int cancel_id = 120;
    static constexpr int send_id = 130;
    // The file the reports are appended to.
    static constexpr const char* file_name = "bugs.txt";

    const char* get_default_name() const override { return "ui.handler.system.bugreport"; }
    virtual const char* get_type_name() const { return "ui.handler.system.bugreport"; }

    void on_wshow() override;
    void on_whide() override;
    bool handle(ui_view_t* view, int code, void* param) override;

    // Takes the position the game controller reports before it shows the dialog.
    void set_report_position(float x, float y, float z) override
    {
        position_x = x;
        position_y = y;
        position_z = z;
    }

    // Appends the report line to "bugs.txt"; false (reported) when the file cannot be opened or written.
    bool bugreport_write();

    // The world position reported, written by whoever opens the dialog.
    float position_x = 0.0f;
    float position_y = 0.0f;
    float position_z = 0.0f;
    // Showing the report paused the world (so closing it resumes the world).
    uint8_t paused_world = 0;
};

#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

class game_ctrl_e;

// The jukebox ("ui.handler.jukebox", "/ui/jukebox.esc"): a music player over the game controller's
// tracks: choose, play, stop, previous and next, and seek in the playing track with its position and
// length shown. It pauses a running game while shown and takes the in-game keys away.
class ui_handler_jukebox_t : public ui_handler_game_base_t {
public:
    // Ids of the window's components.
    static constexpr int close_id = 10;
    static constexpr int play_id = 30;
    static constexpr int stop_id = 31;
    static constexpr int previous_id = 32;
    static constexpr int next_id = 33;
    static constexpr int position_id = 40;
    static constexpr int time_id = 41;
    static constexpr int list_id = 50;

    const char* get_default_name() const override { return "ui.handler.jukebox"; }
    virtual const char* get_type_name() const { return "ui.handler.jukebox"; }

    // Pauses a running game, takes the keys away and lists the tracks.
    void on_wshow() override;
    // Gives the keys back and resumes the game when the jukebox paused it.
    void on_whide() override;
    // Per frame: the shown position follows the track (or the dragged slider); a new track refreshes.
    void handler() override;
    // The buttons, the slider's grab and release, Escape, and the list's selection and activation.
    bool handle(ui_view_t* view, int code, void* param) override;

    // Lists the controller's tracks by file name without its extension.
    void jukebox_fill_tracks();
    // The slider, the time text and the selection from the playing track.
    void jukebox_refresh();
    // Moves the playing track to `position` (milliseconds); nothing when none plays.
    void jukebox_seek(uint32_t position);
    // Plays the track `step` (-1 or +1) away from the current one, wrapping; nothing without tracks.
    void jukebox_step(int step);

    uint32_t current_track = 0;
    uint32_t stream_length = 0;
    uint32_t stream_length_sec = 0;
    uint8_t follow = 1;
    uint8_t paused_by_jukebox = 1;

protected:
    // The game controller of the current world, or null.
    static game_ctrl_e* controller();

private:
    // Writes "MM : SS / MM : SS" to the time text.
    void show_time(int position_sec, int length_sec);
    // The track playing, or null when the music is off or none plays.
    static struct snd_sound_t* playing(const game_ctrl_e* ctrl);
};

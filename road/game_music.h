#pragma once
#include <cstdint>
#include <string>
#include <vector>

class game_ctrl_e;
struct snd_sound_t;

// The player's own music of a game world: the tracks found under "/music/", the one playing and where
// the list stands. The jukebox window and the game controller's frame drive it; a name that cannot be
// played is told to the player through the truck's pager.
class game_music_t {
public:
    explicit game_music_t(const game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    game_music_t(const game_music_t&) = delete;
    game_music_t& operator=(const game_music_t&) = delete;
    ~game_music_t();

    // Lists "/music/" (".ogg" and ".wav", sorted by name ignoring case).
    void build_list();
    // Starts the next track when the music is on and none plays; true when it started one.
    bool update();
    // Plays the track at list position `index`; a negative index stops the track.
    void select(int32_t index);
    // Plays "/music/NAME"; null or "" stops the track.
    void play_track(const char* name);
    // Stops the music and turns it off.
    void stop();
    // Deletes the track and empties the list (the world goes).
    void clear();

    const std::vector<std::string>& list() const { return list_; }
    // The playing track's sound while the music is on, else null.
    snd_sound_t* playing() const { return on_ ? track_ : nullptr; }
    snd_sound_t* track() const { return track_; }
    bool on() const { return on_ != 0; }
    // The list position of the current track, -1 none.
    int32_t current() const { return current_; }

private:
    // Stops and deletes the track, if any.
    void release_track();

    const game_ctrl_e& ctrl_;
    std::vector<std::string> list_;
    snd_sound_t* track_ = nullptr;
    uint8_t on_ = 0;
    int32_t current_ = 0;
};

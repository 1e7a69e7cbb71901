#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/snd.h"
#include "engine/vfs.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "road/game_ctrl.h"

namespace {

// The folder the player's music is read from.
constexpr const char* music_folder = "/music/";
// Longest name a track list entry keeps, and longest path (terminator excluded) a track plays from.
constexpr size_t music_name_limit = 55;
constexpr size_t music_path_limit = 63;

// True when `name` ends in "ogg" or "wav" (any case).
bool has_music_extension(const std::string& name, const size_t tail)
{
    if (name.size() < tail)
        return false;
    const char* end = name.c_str() + name.size() - tail;
    return tail == 3 ? !strcasecmp(end, "ogg") || !strcasecmp(end, "wav")
                     : !strcasecmp(end, ".ogg") || !strcasecmp(end, ".wav");
}

}  // namespace

void game_ctrl_e::build_music_list()
{
    music_list_.clear();
    const int folder = api::vfs_open(music_folder, 0, 0666);
    if (folder < 0)
        return;
    char chunk[256];
    for (;;) {
        std::memset(chunk, 0, sizeof chunk);
        const long got = api::vfs_read(folder, chunk, sizeof chunk - 1);
        if (got <= 0)
            break;
        for (const char* name = chunk; name < chunk + got && *name; name += std::strlen(name) + 1) {
            const std::string path = std::string(music_folder) + name;
            vfs_stat_t stat{};
            if (path.size() > 199 || api::vfs_stat(path.c_str(), &stat) != 0 ||
                (stat.mode & vfs_mode_type_mask) != vfs_mode_file)
                continue;
            const std::string entry(name);
            if (has_music_extension(entry, 3))
                music_list_.push_back(entry.substr(0, music_name_limit));
        }
    }
    api::vfs_close(folder);
    std::stable_sort(music_list_.begin(), music_list_.end(),
                     [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
}

bool game_ctrl_e::music_update()
{
    if (!music_on)
        return false;
    if (music_track_ && api::snd_playing(music_track_))
        return false;
    // With no track to play the music stays silent rather than choosing among nothing.
    if (music_list_.empty())
        return false;
    music_current =
        static_cast<int32_t>((static_cast<int64_t>(music_current) + 1) % static_cast<int64_t>(music_list_.size()));
    if (music_current < 0)
        music_current = 0;
    music_select(music_current);
    return true;
}

void game_ctrl_e::music_select(const int32_t index)
{
    if (index < 0) {
        music_play_track(nullptr);
        return;
    }
    if (static_cast<size_t>(index) >= music_list_.size())
        return;
    music_play_track(music_list_[static_cast<size_t>(index)].c_str());
    music_current = index;
}

void game_ctrl_e::music_play_track(const char* name)
{
    if (music_track_) {
        if (api::snd_playing(music_track_))
            api::snd_stop(music_track_);
        api::snd_delete(music_track_);
        music_track_ = nullptr;
    }
    if (!name || !name[0]) {
        music_current = -1;
        return;
    }
    music_on = 1;
    const std::string path = std::string(music_folder) + name;
    if (path.size() <= music_path_limit && has_music_extension(path, 4)) {
        music_track_ = api::snd_new(path.c_str(), 10, 10);
        if (music_track_)
            api::snd_play(music_track_);
        return;
    }
    const held_part_t<pager_owner_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->pager_message("@@ui_wrong_track@@", 0);
}

void game_ctrl_e::music_stop()
{
    if (!music_on)
        return;
    if (music_track_) {
        if (api::snd_playing(music_track_))
            api::snd_stop(music_track_);
        api::snd_delete(music_track_);
        music_track_ = nullptr;
    }
    music_on = 0;
}

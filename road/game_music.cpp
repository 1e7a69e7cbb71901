#include "road/game_music.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/check.h"
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

game_music_t::~game_music_t() { release_track(); }

void game_music_t::build_list()
{
    list_.clear();
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
                list_.push_back(entry.substr(0, music_name_limit));
        }
    }
    api::vfs_close(folder);
    std::stable_sort(list_.begin(), list_.end(),
                     [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
}

bool game_music_t::update()
{
    if (!on_)
        return false;
    if (track_ && api::snd_playing(track_))
        return false;
    // With no track to play the music stays silent rather than choosing among nothing.
    if (list_.empty())
        return false;
    current_ = static_cast<int32_t>((static_cast<int64_t>(current_) + 1) % static_cast<int64_t>(list_.size()));
    if (current_ < 0)
        current_ = 0;
    kv_assert(static_cast<size_t>(current_) < list_.size());
    select(current_);
    return true;
}

void game_music_t::select(const int32_t index)
{
    if (index < 0) {
        play_track(nullptr);
        return;
    }
    if (static_cast<size_t>(index) >= list_.size())
        return;
    play_track(list_[static_cast<size_t>(index)].c_str());
    current_ = index;
}

void game_music_t::release_track()
{
    if (!track_)
        return;
    if (api::snd_playing(track_))
        api::snd_stop(track_);
    api::snd_delete(track_);
    track_ = nullptr;
}

void game_music_t::play_track(const char* name)
{
    release_track();
    if (!name || !name[0]) {
        current_ = -1;
        return;
    }
    on_ = 1;
    const std::string path = std::string(music_folder) + name;
    if (path.size() <= music_path_limit && has_music_extension(path, 4)) {
        track_ = api::snd_new(path.c_str(), 10, 10);
        if (track_)
            api::snd_play(track_);
        return;
    }
    const held_part_t<pager_owner_t> truck(ctrl_.bridge ? ctrl_.bridge->avatar() : entity_handle_t{});
    if (truck.get())
        truck.get()->pager_message("@@ui_wrong_track@@", 0);
}

void game_music_t::stop()
{
    if (!on_)
        return;
    release_track();
    on_ = 0;
}

void game_music_t::clear()
{
    release_track();
    list_.clear();
}

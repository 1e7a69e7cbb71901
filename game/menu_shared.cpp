#include "game/menu_shared.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "engine/cache.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/save_game_calls.h"
#include "common/ui_find_component.h"
#include "game/menu_files.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_handler_game_base.h"

namespace {

// The music of the menus, and the sound it plays as while one plays.
constexpr const char* menu_music_path = "/music/Faster than Wind.ogg";
snd_sound_t* menu_music = nullptr;

// The folder of the saved games and the longest path of one examined in it.
constexpr const char* saves_folder = "/saves";
constexpr size_t save_path_limit = 63;
// Longest line of the save list.
constexpr size_t save_line_limit = 255;
// Day names of the week, from Monday.
constexpr const char* day_names[] = {"@@ui_mon@@", "@@ui_tue@@", "@@ui_wed@@", "@@ui_thu@@",
                                     "@@ui_fri@@", "@@ui_sat@@", "@@ui_sun@@"};

// The view behind a kept item, or null.
ui_view_t* item_view(c_item_t* item) { return item ? static_cast<ui_view_t*>(item->object) : nullptr; }

// The line of one save: its name, then the game time of its trailer, or the file's time without one.
std::string save_line(const std::string& name, const std::string& path, const long long file_time)
{
    char line[save_line_limit + 1];
    int32_t week = 0;
    float clock = 0.0f;
    if (get_game_bridge() && save_game_read_timestamp(path.c_str(), &week, &clock)) {
        const long minutes = std::lround(clock) / 60;
        std::snprintf(line, sizeof line, "%s<ALIGN hstyle=right>%s   %02ld : %02ld @@ui_week@@ %d  ", name.c_str(),
                      day_names[(minutes / 1440) % 7], (minutes / 60) % 24, minutes % 60, week + 1);
    } else {
        const std::time_t when = static_cast<std::time_t>(file_time);
        std::string date = std::ctime(&when);
        if (!date.empty() && date.back() == '\n')
            date.pop_back();
        std::snprintf(line, sizeof line, "%s<ALIGN hstyle=right>%s  ", name.c_str(), date.c_str());
    }
    return line;
}

}  // namespace

c_item_t* menu_window(const char* group, const char* name, const unsigned number, const char* script)
{
    game_bridge_t* bridge = get_game_bridge();
    if (!bridge)
        return nullptr;
    if (c_item_t* found = bridge->find_window(group, name))
        return found;
    // Built hidden: whoever asked for it shows it (a switch fades it in).
    c_item_t* window = ui_winsert(group, name, number, script, false);
    bridge->adopt_window(window);
    return window;
}

void menu_open(ui_handler_game_base_t& from, const char* group, const char* name, const unsigned number,
               const char* script)
{
    c_item_t* target = menu_window(group, name, number, script);
    from.show_flag = 1;
    from.switch_window(target, 0);
}

void menu_back(ui_handler_game_base_t& from)
{
    const game_bridge_t* bridge = get_game_bridge();
    const int32_t mode = bridge ? bridge->mode() : 0;
    if (mode == game_mode_menu) {
        menu_open(from, "menu", "main", 0, "/ui/mmain.esc");
    } else if (mode == game_mode_game || mode == game_mode_preview) {
        menu_open(from, "menu", "game", 1, "/ui/mgame.esc");
    } else {
        from.show_flag = 1;
        from.switch_window(nullptr, 0);
    }
}

ui_handler_game_base_t* window_handler(c_item_t* window)
{
    auto* view = dynamic_cast<ui_window_t*>(item_view(window));
    if (!view || !view->handler_item)
        return nullptr;
    return dynamic_cast<ui_handler_game_base_t*>(static_cast<entity_t*>(view->handler_item->object));
}

void menu_back_from(const char* group, const char* name)
{
    game_bridge_t* bridge = get_game_bridge();
    if (ui_handler_game_base_t* handler = bridge ? window_handler(bridge->find_window(group, name)) : nullptr)
        menu_back(*handler);
}

void menu_music_start() { menu_music_play(menu_music_path); }

void menu_music_play(const char* path)
{
    menu_music_stop();
    menu_music = api::snd_new(path, 14, 20);
    if (menu_music)
        api::snd_play(menu_music);
}

void menu_music_stop()
{
    if (!menu_music)
        return;
    if (api::snd_playing(menu_music))
        api::snd_stop(menu_music);
    api::snd_delete(menu_music);
    menu_music = nullptr;
}

bool menu_music_playing() { return menu_music && api::snd_playing(menu_music); }

ui_comp_list_t* window_list(ui_handler_game_base_t& handler, const int id)
{
    return dynamic_cast<ui_comp_list_t*>(ui_window_component(handler.window, id));
}

int savegame_list_compare(ui_comp_list_t* list, const int a, const int b)
{
    const uint32_t first = list->item_data_at(a);
    const uint32_t second = list->item_data_at(b);
    return first > second ? -1 : first < second ? 1 : 0;
}

bool savegame_name_valid(const char* name)
{
    for (const char* at = name; at && *at; ++at) {
        const char c = *at;
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
                             c == '-' || c == '_';
        if (!allowed)
            return false;
    }
    return true;
}

void savegame_list_fill(ui_handler_game_base_t& handler, const int list_id)
{
    ui_comp_list_t* list = window_list(handler, list_id);
    if (!list)
        return;
    list->clear();
    for (const std::string& file : folder_files(saves_folder, save_path_limit)) {
        const size_t dot = file.find(".sav");
        if (dot == std::string::npos || dot + 4 != file.size())
            continue;
        const std::string name = file.substr(0, dot);
        const std::string path = std::string(saves_folder) + "/" + file;
        vfs_stat_t stat{};
        api::vfs_stat(path.c_str(), &stat);
        ui_list_item_t item;
        item.pml = save_line(name, path, stat.time).c_str();
        item.text = name.c_str();
        item.data = static_cast<uint32_t>(stat.time);
        item.mask = ui_list_pml | ui_list_text | ui_list_data;
        list->insert_item(item, static_cast<uint32_t>(list->count()));
    }
    list->sort_items(savegame_list_compare);
}

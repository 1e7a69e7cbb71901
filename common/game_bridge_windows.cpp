// The window list of the game bridge: windows a world opens, removed with the world.
#include <algorithm>
#include <strings.h>

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"

namespace {

// The window behind a kept item, or null once the UI has removed it.
const ui_window_t* window_object(const c_item_t* item)
{
    return item && (item->class_flags & 0x400) ? static_cast<const ui_window_t*>(item->object) : nullptr;
}

bool names_match(const char* wanted, const dstring_t& actual)
{
    return !wanted || strcasecmp(wanted, actual.c_str()) == 0;
}

// Removes a kept window unless the UI already has, then gives back the bridge's use (the item may go
// with it, so it is given back last).
void release_window(c_item_t* item)
{
    if (window_object(item))
        ui_wremove(item);
    api::ci_dec_refs(item);
}

}  // namespace

c_item_t* game_bridge_t::find_window(const char* group, const char* name) const
{
    for (c_item_t* item : windows_) {
        const ui_window_t* window = window_object(item);
        if (window && names_match(group, window->group_name) && names_match(name, window->window_name))
            return item;
    }
    return nullptr;
}

void game_bridge_t::adopt_window(c_item_t* window)
{
    if (!window)
        return;
    api::ci_inc_refs(window);
    windows_.push_back(window);
}

c_item_t* game_bridge_t::insert_window(const char* group, const char* name, unsigned flags, const char* script)
{
    if (c_item_t* found = find_window(group, name))
        return found;
    c_item_t* window = ui_winsert(group, name, flags, script, true);
    adopt_window(window);
    return window;
}

bool game_bridge_t::remove_window(c_item_t* window)
{
    const auto kept = std::find(windows_.begin(), windows_.end(), window);
    if (!window || kept == windows_.end()) {
        api::error("<game_bridge_t> removing window not inserted using bridge");
        return false;
    }
    windows_.erase(kept);
    hidden_.erase(std::remove(hidden_.begin(), hidden_.end(), window), hidden_.end());
    release_window(window);
    return true;
}

void game_bridge_t::hide_windows()
{
    hidden_.clear();
    for (c_item_t* item : windows_) {
        const ui_window_t* window = window_object(item);
        if (window && window->is_visible()) {
            hidden_.push_back(item);
            ui_whide(item);
        }
    }
}

void game_bridge_t::show_windows()
{
    for (c_item_t* item : hidden_)
        ui_wshow(item, 0);
    hidden_.clear();
}

void game_bridge_t::remove_windows()
{
    hidden_.clear();
    while (!windows_.empty()) {
        c_item_t* window = windows_.front();
        windows_.erase(windows_.begin());
        release_window(window);
    }
}

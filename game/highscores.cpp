#include "game/highscores.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/cipher.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/random.h"
#include "engine/text.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_context.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "ui/components/ui_comp_list.h"

namespace {

// A value of object `object` of the definition file `path`, or empty.
std::string def_value(const std::string& path, const char* object, const char* key)
{
    const std::unique_ptr<def_pool_t> pool = def_pool_t::load(path.c_str());
    const def_obj_t* found = pool ? pool->find(object) : nullptr;
    const char* value = found ? found->get_value(key) : nullptr;
    return value ? value : "";
}

// Writes `pool` to `path` and enciphers it; false (reported) when it cannot be written.
bool write_table(const def_pool_t& pool, const std::string& path)
{
    api::vfs_mkdir("/highscores", 0x1ff);
    const int file = api::vfs_open(path.c_str(), 0x301, 0x1b6);
    if (file < 0) {
        api::error("cannot open %s", path.c_str());
        return false;
    }
    const bool written = pool.write_to(file);
    api::vfs_close(file);
    return written && cipher_file(path.c_str(), cipher_key_gen(highscore_key_seed));
}

// The scenario's time limit, 1000 seconds without one.
float scenario_time_limit(const std::string& scenario)
{
    const std::string limit = def_value("/defs/scenarios/" + scenario, "scenario", "time_limit");
    return limit.empty() ? 1000.0f : static_cast<float>(v_atof(limit.c_str()));
}

// Ten rivals seeded from the city's key, named after the economy's drivers.
std::vector<highscore_entry_t> rivals(const std::string& key, const economy_ctrl_e* economy, const float limit)
{
    randomizer_t random(v_strhash(key.c_str()));
    const float base = limit * 1.2f;
    const float spread = base * 0.17f;
    const size_t drivers = economy ? economy->drivers.size() : 0;
    std::vector<highscore_entry_t> entries;
    for (int i = 0; i < highscore_rows; ++i) {
        std::string name;
        if (drivers > 0) {
            const auto index = static_cast<size_t>(std::nearbyint(random.rand() * static_cast<float>(drivers - 1)));
            char text[64] = "";
            driver_def_string(economy->drivers[std::min(index, drivers - 1)].name, "name", text, sizeof text);
            name = text;
        } else {
            random.rand();
        }
        entries.push_back({name, base - random.rand() * spread});
    }
    return entries;
}

}  // namespace

std::vector<highscore_entry_t> highscore_rows_read(const def_obj_t& city)
{
    std::vector<highscore_entry_t> entries;
    for (int i = 0; i < highscore_rows; ++i) {
        const std::string index = std::to_string(i);
        const char* name = city.get_value(("name" + index).c_str());
        const float time = city.get_real(("time" + index).c_str(), 0.0f);
        entries.push_back({name ? name : "", std::isfinite(time) && time >= 0.0f ? std::min(time, highscore_time_limit)
                                                                                 : highscore_time_limit});
    }
    return entries;
}

std::string highscore_city_key(const char* city)
{
    std::string key = city ? city : "";
    for (char& c : key)
        c = c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

void gameover_highscores(ui_comp_list_t& list, const economy_ctrl_e* economy, const bool won, const float player_time,
                         const char* player_name)
{
    list.clear();
    const def_obj_t* context = game_context_get();
    const char* scenario_value = context ? context->get_value("scenario_def") : nullptr;
    if (!scenario_value || !scenario_value[0])
        return;
    const std::string scenario = scenario_value;
    const std::string path = "/highscores/" + scenario;
    std::unique_ptr<def_pool_t> pool = def_pool_t::load(path.c_str());
    bool dirty = false;
    if (!pool) {
        // A new table with an object for every city of the scenario's location.
        pool = std::make_unique<def_pool_t>(path);
        const std::string location = def_value("/defs/scenarios/" + scenario, "scenario", "location");
        for (size_t start = 0; start < location.size();) {
            const size_t end = std::min(location.find(';', start), location.size());
            const std::string word = location.substr(start, end - start);
            char name[64] = "";
            if (!word.empty() && city_def_string(word.c_str(), "name", name, sizeof name) && name[0])
                pool->add_object(pool->new_object(highscore_city_key(name).c_str()));
            start = end + 1;
        }
        dirty = true;
    }
    // The headquarters city may be missing from the table (a location of "any"): it gets its object.
    const char* headquarters = context->get_value("headq_name");
    const std::string key = highscore_city_key(headquarters);
    def_obj_t* city = pool->find(key.c_str());
    if (!city) {
        city = pool->new_object(key.c_str());
        pool->add_object(city);
        dirty = true;
    }
    const float limit = scenario_time_limit(scenario);
    std::vector<highscore_entry_t> entries;
    const char* first = city->get_value("name0");
    if (!first || !first[0]) {
        entries = rivals(key, economy, limit);
        dirty = true;
    } else {
        entries = highscore_rows_read(*city);
    }
    int player_row = -1;
    if (won) {
        const auto place = std::find_if(entries.begin(), entries.end(),
                                        [&](const highscore_entry_t& entry) { return entry.time >= player_time; });
        if (place != entries.end()) {
            player_row = static_cast<int>(place - entries.begin());
            entries.insert(place, {player_name ? player_name : "", player_time});
            entries.pop_back();
            dirty = true;
        }
    }
    for (int i = 0; i < highscore_rows; ++i) {
        const std::string index = std::to_string(i);
        city->set_value(("name" + index).c_str(), entries[static_cast<size_t>(i)].name.c_str());
        char time_text[32];
        std::snprintf(time_text, sizeof time_text, "%g", static_cast<double>(entries[static_cast<size_t>(i)].time));
        city->set_value(("time" + index).c_str(), time_text);
        char formatted[64];
        format_game_time(entries[static_cast<size_t>(i)].time, formatted, sizeof formatted, 0xFFFFFFFF);
        char row[256];
        std::snprintf(row, sizeof row, "<color value=%s>#%02d|%s|%s", i == player_row ? "FF00FFFF" : "FFFFFFFF", i + 1,
                      entries[static_cast<size_t>(i)].name.c_str(), formatted);
        ui_list_item_t item;
        item.pml = row;
        item.text = time_text;
        item.mask = ui_list_pml | ui_list_text;
        list.insert_item(item, static_cast<uint32_t>(list.count()));
    }
    if (dirty)
        write_table(*pool, path);
    list.sort_items([](ui_comp_list_t* rows, int a, int b) {
        const double first_time = v_atof(rows->item_text_at(a));
        const double second_time = v_atof(rows->item_text_at(b));
        return first_time < second_time ? -1 : first_time > second_time ? 1 : 0;
    });
}

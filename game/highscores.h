#pragma once
#include <string>
#include <vector>

class def_obj_t;
class economy_ctrl_e;
class ui_comp_list_t;

// The high-score table of a scenario ("/highscores/<scenario file>"): an enciphered definition file
// with one object per headquarters city (its name in lower case, blanks as '_'), holding ten entries
// "name0".."name9" and "time0".."time9" (game seconds, best first).

// Rows of a table.
constexpr int highscore_rows = 10;
// The seed of the table files' key.
constexpr unsigned highscore_key_seed = 0x4b415652u;

// Longest time a table keeps, in game seconds: ten years of weeks.
constexpr float highscore_time_limit = 604800.0f * 520.0f;

// One row of a table.
struct highscore_entry_t {
    std::string name;
    float time;
};

// The ten rows a city's object holds, as the file stores them; a time that is no number, below 0 or
// past highscore_time_limit is taken as the limit (the slowest), so an edited file cannot upset the
// order of the rows.
std::vector<highscore_entry_t> highscore_rows_read(const def_obj_t& city);

// The object name of a city: lower case, blanks as '_'.
std::string highscore_city_key(const char* city);
// Fills `list` with the table of the context's scenario and headquarters city, first making the file
// and its rivals where they are missing; a won game (`won`, with `player_time` game seconds and the
// player's company name) enters the table at its place and the file is written again. Nothing without
// a context or a scenario. `economy` (may be null) names the rivals after its drivers.
void gameover_highscores(ui_comp_list_t& list, const economy_ctrl_e* economy, bool won, float player_time,
                         const char* player_name);

#pragma once
#include <string>

class economy_ctrl_e;
class ui_comp_list_t;

// The high-score table of a scenario ("/highscores/<scenario file>"): an enciphered definition file
// with one object per headquarters city (its name in lower case, blanks as '_'), holding ten entries
// "name0".."name9" and "time0".."time9" (game seconds, best first).

// Rows of a table.
constexpr int highscore_rows = 10;
// The seed of the table files' key.
constexpr unsigned highscore_key_seed = 0x4b415652u;

// The object name of a city: lower case, blanks as '_'.
std::string highscore_city_key(const char* city);
// Fills `list` with the table of the context's scenario and headquarters city, first making the file
// and its rivals where they are missing; a won game (`won`, with `player_time` game seconds and the
// player's company name) enters the table at its place and the file is written again. Nothing without
// a context or a scenario. `economy` (may be null) names the rivals after its drivers.
void gameover_highscores(ui_comp_list_t& list, const economy_ctrl_e* economy, bool won, float player_time,
                         const char* player_name);

// The CB radio of the player's truck: the six-line menu, the lines said by the player and the AI
// truck drivers, their replies and the timeouts.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/def_obj.h"
#include "engine/input.h"
#include "engine/snd.h"
#include "common/engine_api.h"
#include "common/impulses.h"
#include "common/hud_components.h"
#include "vehicles/player/car_player.h"
#include "vehicles/body/make_files.h"
#include "vehicles/links/player_links.h"

namespace {

// Kinds of lines (`cb_voices_load`'s kind 0 items).
enum line_t : int32_t { weather_ask = 0, traffic_ask = 2, generic_reply = 4, generic_comment = 5, crazy_reply = 6 };
// Kinds of questions and answers.
enum topic_t : int32_t { topic_weather = 0, topic_traffic = 1, topic_comment = 2, answer_reply = 2, answer_cops = 3 };

constexpr float card_seconds = 20.0f;
constexpr float conversation_seconds = 20.0f;
// How long a line without sound is taken to last.
constexpr float silent_line_seconds = 2.5f;

const char* const menu_nobody_asked =
    "<color value=FFFFFFFF>1. @@vom_weather_ask@@<br><color value=FF808080>2. @@vom_weather_answ@@<br><color "
    "value=FFFFFFFF>3. @@vom_traffic_ask@@<br><color value=FF808080>4. @@vom_traffic_answ@@<br><color "
    "value=FF808080>5. @@vom_generic_reply@@<br><color value=FFFFFFFF>6. @@vom_generic_comment@@";
const char* const menu_ai_asked =
    "<color value=FF808080>1. @@vom_weather_ask@@<br><color value=FFFFFFFF>2. @@vom_weather_answ@@<br><color "
    "value=FF808080>3. @@vom_traffic_ask@@<br><color value=FFFFFFFF>4. @@vom_traffic_answ@@<br><color "
    "value=FFFFFFFF>5. @@vom_generic_reply@@<br><color value=FF808080>6. @@vom_generic_comment@@";
const char* const menu_weather =
    "<color value=FFFFFFFF>1. @@vom_weather_nice@@<br>2. @@vom_weather_rain_l@@<br>3. @@vom_weather_rain_h@@<br>4. "
    "@@vom_weather_snow@@<br>";
const char* const menu_traffic =
    "<color value=FFFFFFFF>1. @@vom_traffic_good@@<br>2. @@vom_traffic_light@@<br>3. @@vom_traffic_heavy@@<br>4. "
    "@@vom_traffic_cops@@<br>";

// A random index from 0 to `top`, the ends half as likely as the others.
int32_t pick(int32_t top) { return static_cast<int32_t>(std::lround(api::sys_rand() * static_cast<float>(top))); }

// One choice flag shared by the module: a menu line was spoken and the menu closes once keys are up.
uint8_t choice_made = 0;

}  // namespace

void car_player_e::cb_menu()
{
    hud_text(truck_hud_cb_menu_text, menu_nobody_asked);
    for (int i = 0; i < 7; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "vo_%d", i + 1);
        if (inp_impulse_t* const record = api::inp_impulse_get(impulse_cb_first + i))
            std::snprintf(record->name, sizeof record->name, "%s", name);
        const char key[2] = {static_cast<char>('1' + i), '\0'};
        api::bind_add_imp(key, name, 2, 0);
    }
}

void car_player_e::release_cb_sound()
{
    if (cb_sound)
        api::snd_delete(cb_sound);
    cb_sound = nullptr;
}

void car_player_e::cb_voices_load(int32_t speaker, int32_t kind, int32_t item)
{
    char name[64] = "";
    int32_t voice = 0;
    {
        const held_part_t<player_economy_t> economy(economy_link);
        if (!economy.get() || !economy.get()->cb_speaker(speaker, name, speaker == -1 ? 32 : 33, voice))
            std::snprintf(name, sizeof name, "%s", speaker == -1 ? "" : "?");
    }
    cb_card_timer = card_seconds;
    const bool player = speaker == -1;
    char file[64] = "";
    if (kind == 0) {
        switch (item) {
        case weather_ask:
            std::snprintf(file, sizeof file, "weather_ask_%d.def", pick(4));
            break;
        case traffic_ask:
            std::snprintf(file, sizeof file, "traffic_ask_%d.def", pick(1));
            break;
        case generic_reply:
            std::snprintf(file, sizeof file, "gen_reply_%d.def", pick(5));
            break;
        case generic_comment:
            std::snprintf(file, sizeof file, "gen_comment_%d.def", pick(9));
            break;
        case crazy_reply:
            std::snprintf(file, sizeof file, "crazy_reply_%d.def", pick(3));
            break;
        default:
            return;
        }
        if (item == weather_ask || item == traffic_ask) {
            cb_question = item == weather_ask ? topic_weather : topic_traffic;
            cb_partner = speaker;
            cb_question_timer = 0.0f;
        } else if (item == generic_comment && player) {
            cb_question = topic_comment;
            cb_partner = -1;
            cb_question_timer = 0.0f;
        } else if (item == generic_reply && player) {
            cb_answer = answer_reply;
            cb_answer_timer = 0.0f;
            cb_partner = -1;
        }
    } else if (kind == 1 && item >= 0 && item <= 3) {
        static const char* const sets[] = {"nice_", "lrain_", "hrain_", "snow_"};
        std::snprintf(file, sizeof file, "weather_answ_%s%d.def", sets[item], pick(2));
        cb_weather_class = item == 0 ? 0 : (item == 3 ? 2 : 1);
        if (player) {
            cb_answer = topic_weather;
            cb_answer_timer = 0.0f;
        }
    } else if (kind == 2 && item >= 0 && item <= 3) {
        static const char* const sets[] = {"good_", "light_", "heavy_", "cop_"};
        std::snprintf(file, sizeof file, "traffic_answ_%s%d.def", sets[item],
                      pick(item == 0 ? 5 : (item == 3 ? 2 : 3)));
        if (player) {
            cb_answer = item == 3 ? answer_cops : topic_traffic;
            cb_answer_timer = 0.0f;
        }
    } else {
        return;
    }
    say_line(voice, name, file);
}

void car_player_e::say_line(int32_t voice, const char* speaker_name, const char* file)
{
    char path[128];
    std::snprintf(path, sizeof path, "/defs/voices/%s", file);
    const make_def_t voice_def(path, "voice");
    const def_obj_t* const object = voice_def.object;
    if (!object) {
        api::error("Unable to load def %s", path);
        return;
    }
    char key[24];
    std::snprintf(key, sizeof key, "voice%d", voice);
    const char* const value = object->get_value(key);
    char sound_name[128];
    std::snprintf(sound_name, sizeof sound_name, "%s", value ? value : "");
    const char* const text = object->get_value("text");
    char line[256];
    std::snprintf(line, sizeof line, "%s: %s", speaker_name, text ? text : "");
    pager_message(line, 0);
    if (sound_name[0]) {
        release_cb_sound();
        cb_sound = api::snd_new(sound_name, 8, 10);
        if (cb_sound)
            api::snd_play(cb_sound);
    }
}

bool car_player_e::cb_line_finished(float timer) const
{
    if (cb_sound)
        return !api::snd_playing(cb_sound);
    return timer >= silent_line_seconds;
}

void car_player_e::cb_update(float dt)
{
    int32_t ai_driver = -1, traffic_level = 0;
    {
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get()) {
            ai_driver = traffic.get()->ai_truck_driver();
            traffic_level = traffic.get()->level();
        }
    }
    bool skip_answer = false;
    if (cb_question != -1 && cb_partner == -1) {
        cb_question_timer += dt;
        if (!cb_line_finished(cb_question_timer)) {
            skip_answer = !cb_sound;
        } else if (ai_driver >= 0) {
            show_driver_panel(true, ai_driver);
            if (cb_question == topic_weather)
                cb_voices_load(ai_driver, 1, snow_level() != 0 ? 3 : rain_level());
            else if (cb_question == topic_traffic)
                cb_voices_load(ai_driver, 2, traffic_level);
            else if (api::sys_rand() < 0.5f)
                cb_voices_load(ai_driver, 0, generic_comment);
            cb_question = -1;
        }
        if (cb_question_timer > conversation_seconds)
            cb_question = -1;
    }
    if (!skip_answer && cb_answer != -1) {
        cb_answer_timer += dt;
        if (cb_line_finished(cb_answer_timer) && ai_driver >= 0) {
            show_driver_panel(true, ai_driver);
            if (cb_answer == answer_cops)
                cb_voices_load(ai_driver, 0, generic_reply);
            else if (cb_partner != -1 && cb_answer == cb_ai_question)
                cb_voices_load(ai_driver, 0, generic_reply);
            else if (cb_partner != -1 && cb_ai_question == topic_comment)
                cb_voices_load(ai_driver, 0, generic_comment);
            else if (cb_partner != -1)
                cb_voices_load(ai_driver, 0, crazy_reply);
            cb_answer = -1;
        }
        if (cb_answer_timer > conversation_seconds)
            cb_answer = -1;
    }
    if (cb_card_timer > 0.0f) {
        cb_card_timer -= dt;
        if (cb_card_timer <= 0.0f) {
            cb_card_timer = 0.0f;
            show_driver_panel(false, -1);
        }
    }
    if (cb_state == -1)
        return;
    const bool ai_asked = cb_question != -1 && cb_partner != -1;
    bool any_key = false;
    if (debounce > 0.2f) {
        for (int c = 0; c < 6; ++c) {
            if (api::inp_impulse_value(impulse_cb_first + c, 2) == 0.0f)
                continue;
            any_key = true;
            // The grey lines of the main menu wait for an AI driver's question.
            if (cb_state == 0 && !ai_asked && (c == 1 || c == 3 || c == 4))
                break;
            debounce = 0.0f;
            if (cb_state == 0 && c == 1)
                cb_state = 1;
            else if (cb_state == 0 && c == 3)
                cb_state = 2;
            else {
                cb_voices_load(-1, cb_state, c);
                choice_made = 1;
            }
            break;
        }
        if (choice_made && !any_key) {
            hud_show(truck_hud_cb_menu, false);
            cb_state = cb_drawn = -1;
            choice_made = 0;
            return;
        }
    }
    if (cb_state != cb_drawn) {
        const char* text = cb_state == 1   ? menu_weather
                           : cb_state == 2 ? menu_traffic
                                           : (ai_asked ? menu_ai_asked : menu_nobody_asked);
        hud_text(truck_hud_cb_menu_text, text);
        cb_drawn = cb_state;
    }
}

void car_player_e::cb_call_in(int32_t driver)
{
    if (api::sys_rand() > 0.6f)
        return;
    show_driver_panel(true, driver);
    const int32_t k = pick(2);
    cb_question = k;
    cb_ai_question = k;
    cb_partner = driver;
    cb_question_timer = 0.0f;
    cb_voices_load(driver, 0, k == 0 ? weather_ask : (k == 1 ? traffic_ask : generic_comment));
}

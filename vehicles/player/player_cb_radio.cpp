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
#include "vehicles/player/player_cb_radio.h"
#include "vehicles/body/make_files.h"
#include "vehicles/links/player_links.h"

namespace {

// Kinds of lines (`say`'s kind 0 items).
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

}  // namespace

void player_cb_radio_t::bind_keys()
{
    truck_.hud_text(truck_hud_cb_menu_text, menu_nobody_asked);
    for (int i = 0; i < 7; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "vo_%d", i + 1);
        if (inp_impulse_t* const record = api::inp_impulse_get(impulse_cb_first + i))
            std::snprintf(record->name, sizeof record->name, "%s", name);
        const char key[2] = {static_cast<char>('1' + i), '\0'};
        api::bind_add_imp(key, name, 2, 0);
    }
}

void player_cb_radio_t::release_sound()
{
    if (sound_)
        api::snd_delete(sound_);
    sound_ = nullptr;
}

void player_cb_radio_t::say(int32_t speaker, int32_t kind, int32_t item)
{
    char name[64] = "";
    int32_t voice = 0;
    {
        const held_part_t<player_economy_t> economy(truck_.economy_link);
        if (!economy.get() || !economy.get()->cb_speaker(speaker, name, speaker == -1 ? 32 : 33, voice))
            std::snprintf(name, sizeof name, "%s", speaker == -1 ? "" : "?");
    }
    card_timer_ = card_seconds;
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
            question_ = item == weather_ask ? topic_weather : topic_traffic;
            partner_ = speaker;
            question_timer_ = 0.0f;
        } else if (item == generic_comment && player) {
            question_ = topic_comment;
            partner_ = -1;
            question_timer_ = 0.0f;
        } else if (item == generic_reply && player) {
            answer_ = answer_reply;
            answer_timer_ = 0.0f;
            partner_ = -1;
        }
    } else if (kind == 1 && item >= 0 && item <= 3) {
        static const char* const sets[] = {"nice_", "lrain_", "hrain_", "snow_"};
        std::snprintf(file, sizeof file, "weather_answ_%s%d.def", sets[item], pick(2));
        if (player) {
            answer_ = topic_weather;
            answer_timer_ = 0.0f;
        }
    } else if (kind == 2 && item >= 0 && item <= 3) {
        static const char* const sets[] = {"good_", "light_", "heavy_", "cop_"};
        std::snprintf(file, sizeof file, "traffic_answ_%s%d.def", sets[item],
                      pick(item == 0 ? 5 : (item == 3 ? 2 : 3)));
        if (player) {
            answer_ = item == 3 ? answer_cops : topic_traffic;
            answer_timer_ = 0.0f;
        }
    } else {
        return;
    }
    say_line(voice, name, file);
}

void player_cb_radio_t::say_line(int32_t voice, const char* speaker_name, const char* file)
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
    truck_.pager_message(line, 0);
    if (sound_name[0]) {
        release_sound();
        sound_ = api::snd_new(sound_name, 8, 10);
        if (sound_)
            api::snd_play(sound_);
    }
}

bool player_cb_radio_t::line_finished(float timer) const
{
    if (sound_)
        return !api::snd_playing(sound_);
    return timer >= silent_line_seconds;
}

void player_cb_radio_t::update(float dt)
{
    int32_t ai_driver = -1, traffic_level = 0;
    {
        const held_part_t<player_traffic_t> traffic(truck_.traffic_link);
        if (traffic.get()) {
            ai_driver = traffic.get()->ai_truck_driver();
            traffic_level = traffic.get()->level();
        }
    }
    bool skip_answer = false;
    if (question_ != -1 && partner_ == -1) {
        question_timer_ += dt;
        if (!line_finished(question_timer_)) {
            skip_answer = !sound_;
        } else if (ai_driver >= 0) {
            truck_.show_driver_panel(true, ai_driver);
            if (question_ == topic_weather)
                say(ai_driver, 1, truck_.snow_level() != 0 ? 3 : truck_.rain_level());
            else if (question_ == topic_traffic)
                say(ai_driver, 2, traffic_level);
            else if (api::sys_rand() < 0.5f)
                say(ai_driver, 0, generic_comment);
            question_ = -1;
        }
        if (question_timer_ > conversation_seconds)
            question_ = -1;
    }
    if (!skip_answer && answer_ != -1) {
        answer_timer_ += dt;
        if (line_finished(answer_timer_) && ai_driver >= 0) {
            truck_.show_driver_panel(true, ai_driver);
            if (answer_ == answer_cops)
                say(ai_driver, 0, generic_reply);
            else if (partner_ != -1 && answer_ == ai_question_)
                say(ai_driver, 0, generic_reply);
            else if (partner_ != -1 && ai_question_ == topic_comment)
                say(ai_driver, 0, generic_comment);
            else if (partner_ != -1)
                say(ai_driver, 0, crazy_reply);
            answer_ = -1;
        }
        if (answer_timer_ > conversation_seconds)
            answer_ = -1;
    }
    if (card_timer_ > 0.0f) {
        card_timer_ -= dt;
        if (card_timer_ <= 0.0f) {
            card_timer_ = 0.0f;
            truck_.show_driver_panel(false, -1);
        }
    }
    if (state_ == -1)
        return;
    const bool ai_asked = question_ != -1 && partner_ != -1;
    bool any_key = false;
    if (truck_.input().switch_timer() > 0.2f) {
        for (int c = 0; c < 6; ++c) {
            if (api::inp_impulse_value(impulse_cb_first + c, 2) == 0.0f)
                continue;
            any_key = true;
            // The grey lines of the main menu wait for an AI driver's question.
            if (state_ == 0 && !ai_asked && (c == 1 || c == 3 || c == 4))
                break;
            truck_.input().set_switch_timer(0.0f);
            if (state_ == 0 && c == 1)
                state_ = 1;
            else if (state_ == 0 && c == 3)
                state_ = 2;
            else {
                say(-1, state_, c);
                choice_made_ = 1;
            }
            break;
        }
        if (choice_made_ && !any_key) {
            truck_.hud_show(truck_hud_cb_menu, false);
            state_ = drawn_ = -1;
            choice_made_ = 0;
            return;
        }
    }
    if (state_ != drawn_) {
        const char* text = state_ == 1   ? menu_weather
                           : state_ == 2 ? menu_traffic
                                         : (ai_asked ? menu_ai_asked : menu_nobody_asked);
        truck_.hud_text(truck_hud_cb_menu_text, text);
        drawn_ = state_;
    }
}

void player_cb_radio_t::call_in(int32_t driver)
{
    if (api::sys_rand() > 0.6f)
        return;
    ask(driver, pick(2));
}

void player_cb_radio_t::ask(int32_t driver, int32_t topic)
{
    truck_.show_driver_panel(true, driver);
    question_ = topic;
    ai_question_ = topic;
    partner_ = driver;
    question_timer_ = 0.0f;
    say(driver, 0, topic == topic_weather ? weather_ask : (topic == topic_traffic ? traffic_ask : generic_comment));
}

void player_cb_radio_t::toggle_menu()
{
    state_ = state_ == -1 ? 0 : -1;
    if (state_ == -1)
        drawn_ = -1;
    truck_.hud_show(truck_hud_cb_menu, state_ != -1);
}

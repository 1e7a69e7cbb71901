#pragma once
#include <cstdint>

class car_player_e;
struct snd_sound_t;

// The CB radio of the player's truck: the six-line menu the number keys answer, the lines the player
// and the economy's drivers say, the drivers' replies and the timeouts. The conversation is its own; it
// speaks through the truck's HUD, pager and driver panel.
class player_cb_radio_t {
public:
    explicit player_cb_radio_t(car_player_e& truck) : truck_(truck) {}
    player_cb_radio_t(const player_cb_radio_t&) = delete;
    player_cb_radio_t& operator=(const player_cb_radio_t&) = delete;

    // Binds the number keys to the radio's impulses and writes the main menu.
    void bind_keys();
    // One frame: the replies that are due, the driver panel's timeout and the open menu's keys.
    void update(float dt);
    // Says a line. `speaker` -1 is the player, else an economy driver; `kind` 0 a question, comment or
    // reply (item: the kind of line), 1 a weather answer, 2 a traffic answer (item 0 to 3).
    void say(int32_t speaker, int32_t kind, int32_t item);
    // An economy driver's truck came near: six times in ten he calls in about a topic of his choosing.
    void call_in(int32_t driver);
    // `driver` asks about `topic` (0 the weather, 1 the traffic, 2 a comment).
    void ask(int32_t driver, int32_t topic);
    // The radio key: opens the menu, or closes it.
    void toggle_menu();
    // The menu shown: -1 none, 0 the main menu, 1 the weather answers, 2 the traffic answers.
    int32_t menu() const { return state_; }
    bool menu_open() const { return state_ != -1; }
    // Stops and frees the line being said.
    void release_sound();

    // Where the conversation stands: the open question's topic and the player's answer's (-1 none),
    // and the driver who asked (-1 the player).
    int32_t question() const { return question_; }
    int32_t answer() const { return answer_; }
    int32_t partner() const { return partner_; }

private:
    // Says the line of voice file `file` with `voice`, on the pager as "speaker: text".
    void say_line(int32_t voice, const char* speaker_name, const char* file);
    // The last line has finished (or, without a sound, `timer` reached 2.5 s).
    bool line_finished(float timer) const;

    car_player_e& truck_;
    // The menu shown (as menu() tells) and the one last drawn.
    int32_t state_ = -1;
    int32_t drawn_ = -1;
    int32_t question_ = -1;
    int32_t answer_ = -1;
    // The topic the driver last asked about himself.
    int32_t ai_question_ = 0;
    int32_t partner_ = -1;
    float question_timer_ = 0.0f, answer_timer_ = 0.0f;
    // Seconds the driver panel stays up.
    float card_timer_ = 0.0f;
    snd_sound_t* sound_ = nullptr;
    // A menu line was spoken: the menu closes once the keys are up.
    uint8_t choice_made_ = 0;
};

#pragma once
#include <cstdint>

#include "vehicles/body/car_truck.h"
#include "vehicles/links/player_links.h"

class game_bridge_t;
struct snd_sound_t;

// The police truck, registered as "actors.ai": a truck of the "police" make with a siren. The traffic
// puts it into the world (and into the bridge's police slot) either as a post watching the road, which
// starts a pursuit for an offence it sees once the player drives away, or straight on a pursuit for an
// offence reported to the traffic. A pursuit follows the player truck's position history, closes in
// and either stops the player for a ticket or gives up; then the truck leaves the world.
class car_police_e : public car_truck_e, public player_police_t {
public:
    // The contact tag of a police post: running into it is an offence.
    // Offence of driving too fast past a police post, and the speed above which it counts.
    static constexpr int32_t offence_speeding = 130;
    static constexpr float speed_limit_mph = 65.0f;
    // Squared distances: a post watches within 100 m and shows the radar within 300 m; a pursuit reaches
    // a history entry within 7 m, chases the player directly within about 35 m and stops the player
    // within 25 m.
    static constexpr float watch_distance = 1e8f;
    static constexpr float radar_distance = 9e8f;
    static constexpr float entry_reach = 490000.0f;
    static constexpr float chase_distance = 1.25e7f;
    static constexpr float catch_distance = 6.25e6f;
    // Radar interval per square centimetre of distance, and its bounds in seconds.
    static constexpr float radar_rate = 4.4444444e-9f;
    static constexpr float radar_shortest = 0.4f;
    static constexpr float radar_longest = 5.0f;
    // A post leaves once the player is this much farther (squared) than when it was placed; a pursuit
    // ends once the player is this much farther than when it began.
    static constexpr float post_leave_factor = 1.1f;
    static constexpr float escape_factor = 5.0f;
    // A pursuit this many seconds behind its history entry, with the player beyond the watch distance,
    // jumps onto the entry.
    static constexpr float lag_seconds = 10.0f;
    // Largest steering angle, and the pedals of a pursuit and of a stop.
    static constexpr float steering_limit = 30.0f;
    static constexpr float pursuit_throttle = 1.2f;
    static constexpr float stop_brake = 2.0f;

    static const level_list_t police_init_list;

    car_police_e();
    ~car_police_e() override;

    const char* get_default_name() const override { return "police"; }
    virtual const char* get_type_name() const { return "actors.ai"; }
    const level_list_t* get_init_list() const override { return &police_init_list; }
    // Phase 12: the engine runs and the player's truck is taken from the bridge.
    int init(int phase) override;
    // Phase 0: the siren sound.
    int destroy(int phase) override;
    // The first frame builds the truck; then the post's watch or the pursuit.
    void handler() override;
    // Sweeps the siren lamps' beams, then draws the truck.
    void draw() override;

    // Builds the "police" make with its fixed accessories and makes the siren sound.
    bool build_police();
    // An offence seen by a post (a post that must see ignores one behind it): the pursuit begins once
    // the player drives away.
    void note_offence(int32_t code, int32_t car);
    // Starts a pursuit for `code` towards history entry `history_index` (-1: put the truck onto the
    // entry three after the player's newest, the oldest but two); without `keep_distance` the distance
    // the pursuit gives up at is taken from now.
    void begin_pursuit(int32_t code, int32_t history_index, bool keep_distance, int32_t car);
    // One frame of the pursuit.
    void pursue();
    // Makes the truck a post at `position`, turned by `rotation`, watching the player.
    void set_pose(const vec3_t& position, const quat_t& rotation, bool must_see);
    // player_police_t: where the ticket scene looks from, and the end of the ticket scene.
    vec3_t police_position() const override { return get_position(); }
    void request_remove() override { remove_request = true; }
    // Leaves the world: the radar off, the bridge's police slot given back, the block destroyed.
    void remove();
    // Advances the siren angle by `seconds` and turns the beams of both siren lamps: beam i points
    // along +z turned about the vertical axis by 50 i degrees plus the angle (1.1 times the angle for
    // even beams), so the beams sweep at two slightly different speeds.
    void turn_siren_lamps(float seconds);

    // --- Fields ---
    // The world's bridge: found at init unless given before.
    game_bridge_t* bridge = nullptr;
    // The player's truck, from the bridge at init.
    entity_handle_t player;
    bool pursuit_on = false;
    // The truck drives straight at the player instead of along the history.
    bool direct_chase = false;
    int32_t history_index = 0;
    // Seconds since the last history entry was reached.
    float pursuit_timer = 0.0f;
    snd_sound_t* siren_sound = nullptr;
    // The cabin model's parts that carry the siren beams, and the beams' sweep in degrees (0..360).
    int32_t siren_parts[2] = {6, 7};
    float siren_angle = 0.0f;
    int32_t offence_code = 0;
    // Squared distance to the player when the post was placed or the pursuit began.
    float give_up_distance = 0.0f;
    bool standing = false;
    bool must_see = false;
    bool pursuit_pending = false;
    bool distance_growing = false;
    float last_distance = 0.0f;
    // The traffic car of the offence, -1 for none; handed to the ticket with the code.
    int32_t offence_car = -1;
    bool removed = false;
    bool remove_request = false;
    // Built in the first frame: a block's entities join the world's physics after their init phases.
    bool built = false;
    // The place given before the truck was built, applied once it is.
    bool pose_pending = false;
    vec3_t pending_position;
    quat_t pending_rotation;

private:
    // Puts the truck at a place now, or after its build.
    void place(const vec3_t& position, const quat_t& rotation);
    // Where the truck is, or is to be put once it is built.
    vec3_t where() const;
    // Squared distance to the player's truck, and its position; false without a player.
    bool player_distance(float& out_distance, vec3_t* out_position = nullptr) const;
    // The player's history entry `index`.
    bool history_entry(int32_t index, vec3_t& out_position, quat_t& out_rotation) const;
    // The truck's forward axis in the world.
    vec3_t forward() const { return vector_to_world({0.0f, 0.0f, -1.0f}); }
    // The traffic's pending offence ends.
    void cancel_traffic_offence() const;
    // A pager line on the player's truck, without sound.
    void page(const char* text) const;
};

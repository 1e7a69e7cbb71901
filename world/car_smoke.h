#pragma once
#include <cstdint>

#include "engine/random.h"
#include "engine/vec.h"
#include "world/particle.h"

// Vehicle smoke, registered as "particle.car_smoke": the trucks and the traffic own emitters, place
// them and switch their emission on and off. Each puff fades in from its initial energy, shows one
// frame at full strength, fades out and is killed; after emission stops the emitter keeps updating and
// drawing its puffs for three seconds.
class car_smoke_e : public particle_e {
public:
    // Seconds an emitter keeps running after its emission stopped.
    static constexpr float linger_seconds = 3.0f;

    car_smoke_e();

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "particle.car_smoke"; }
    void handler() override;
    // Phase 0: the pool, then the drift direction as a unit vector.
    int init(int phase) override;
    void draw() override;

    // Switches the emission; a change restarts the accumulator and the time since the change.
    void set_emitting(bool on);
    // Puts the emitter at a world position.
    void set_position(const vec3_t& where) { position = where; }
    bool emitting() const { return emitting_; }
    float accumulator() const { return accumulator_; }

    float smoke_rate = 0.4f;
    float random = 1.0f;
    float initial_energy = -255.0f;
    uint32_t initial_color = 0x4F4F4F;
    float initial_scale = 3.0f;
    float scale_speed = 0.1f;
    float fade_in_speed = 150.0f;
    float fade_out_speed = 90.0f;
    float smoke_speed = 0.2f;
    vec3_t smoke_jitt{15.0f, 7.0f, 17.0f};
    vec3_t smoke_dir{90.0f, 0.0f, 0.0f};

private:
    // Spawns `count` puffs at the emitter.
    void emit(int count);
    // Moves, grows and fades every active puff; kills the spent ones.
    void age_puffs(float dt);

    randomizer_t randomizer_;
    bool emitting_ = false;
    float accumulator_ = 0.0f;
    float since_change_ = 10.0f;
    vec3_t drift_;
};

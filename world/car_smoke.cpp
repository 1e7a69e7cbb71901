#include "world/car_smoke.h"

#include <algorithm>
#include <cmath>

#include "engine/entity_proc.h"
#include "engine/evalue.h"
#include "engine/geometry.h"
#include "common/engine_api.h"

namespace {

// White with alpha `alpha`, limited to 255.
uint32_t white_with_alpha(float alpha)
{
    const long a = std::clamp(std::lround(alpha), 0L, 255L);
    return static_cast<uint32_t>(a) << 24 | 0xFFFFFFu;
}

constexpr evalue_def_t smoke_dir_def =
    evalue_member("smoke_dir", evalue_point, sizeof(vec3_t), evalue_bind<&car_smoke_e::smoke_dir>, nullptr, "90 0 0");
constexpr evalue_def_t smoke_jitt_def = evalue_member("smoke_jitt", evalue_point, sizeof(vec3_t),
                                                      evalue_bind<&car_smoke_e::smoke_jitt>, &smoke_dir_def, "15 7 17");
constexpr evalue_def_t smoke_speed_def = evalue_member("smoke_speed", evalue_real, sizeof(float),
                                                       evalue_bind<&car_smoke_e::smoke_speed>, &smoke_jitt_def, "0.2");
constexpr evalue_def_t fade_out_def = evalue_member(
    "fade_out_speed", evalue_real, sizeof(float), evalue_bind<&car_smoke_e::fade_out_speed>, &smoke_speed_def, "90.0");
constexpr evalue_def_t fade_in_def = evalue_member("fade_in_speed", evalue_real, sizeof(float),
                                                   evalue_bind<&car_smoke_e::fade_in_speed>, &fade_out_def, "150.0");
constexpr evalue_def_t scale_speed_def = evalue_member("scale_speed", evalue_real, sizeof(float),
                                                       evalue_bind<&car_smoke_e::scale_speed>, &fade_in_def, "0.1");
constexpr evalue_def_t initial_scale_def = evalue_member(
    "initial_scale", evalue_real, sizeof(float), evalue_bind<&car_smoke_e::initial_scale>, &scale_speed_def, "3.0");
constexpr evalue_def_t initial_color_def =
    evalue_member("initial_color", evalue_hex, sizeof(uint32_t), evalue_bind<&car_smoke_e::initial_color>,
                  &initial_scale_def, "0x4F4F4F");
constexpr evalue_def_t initial_energy_def =
    evalue_member("initial_energy", evalue_real, sizeof(float), evalue_bind<&car_smoke_e::initial_energy>,
                  &initial_color_def, "-255.0");
constexpr evalue_def_t random_def =
    evalue_member("random", evalue_real, sizeof(float), evalue_bind<&car_smoke_e::random>, &initial_energy_def, "1.0");
constexpr evalue_def_t smoke_rate_def =
    evalue_member("smoke_rate", evalue_real, sizeof(float), evalue_bind<&car_smoke_e::smoke_rate>, &random_def, "0.4");

}  // namespace

car_smoke_e::car_smoke_e() = default;

const evalue_def_t* car_smoke_e::get_evalue_root() const
{
    // The smoke's values, then the particle's (reached through any instance).
    static const evalue_def_t root = [this] {
        static evalue_def_t tail = smoke_dir_def;
        tail.next = particle_e::get_evalue_root();
        static evalue_def_t chain[10] = {smoke_rate_def,    random_def,      initial_energy_def, initial_color_def,
                                         initial_scale_def, scale_speed_def, fade_in_def,        fade_out_def,
                                         smoke_speed_def,   smoke_jitt_def};
        for (int i = 0; i < 9; ++i)
            chain[i].next = &chain[i + 1];
        chain[9].next = &tail;
        return chain[0];
    }();
    return &root;
}

int car_smoke_e::init(int phase)
{
    if (const int failed = particle_e::init(phase))
        return failed;
    if (phase == 0) {
        accumulator_ = 0.0f;
        drift_ = ypr_2_cartes(smoke_dir);
        if (!(smoke_rate > 0.0f))
            api::warning("%s: smoke_rate %g is not above 0; the emitter makes no puffs", name(),
                         static_cast<double>(smoke_rate));
    }
    return 0;
}

void car_smoke_e::set_emitting(bool on)
{
    if (on == emitting_)
        return;
    accumulator_ = 0.0f;
    emitting_ = on;
    since_change_ = 0.0f;
}

void car_smoke_e::emit(int count)
{
    for (int i = 0; i < count; ++i) {
        accumulator_ -= smoke_rate;
        particle_node_t* const node = spawn();
        if (!node)
            continue;
        gfx_sprite_t& puff = *node->sprite;
        const float r1 = randomizer_.rand() * random;
        const float r2 = randomizer_.rand() * random;
        puff.scale = initial_scale;
        puff.position[0] = position.x + (2.0f * r1 - 1.0f) * smoke_jitt.x;
        puff.position[1] = position.y + (2.0f * (r1 + r2) - 1.0f) * smoke_jitt.y;
        puff.position[2] = position.z + (2.0f * r2 - 1.0f) * smoke_jitt.z;
        puff.rotation = api::sys_rand() * 360.0f;
        puff.uv0[0] = puff.uv0[1] = 0.0f;
        puff.uv1[0] = puff.uv1[1] = 1.0f;
        node->energy = initial_energy;
        puff.colour = initial_color;
    }
}

void car_smoke_e::age_puffs(float dt)
{
    particle_node_t* node = active_head();
    while (node) {
        particle_node_t* const next = node->next;
        if (node->energy == 0.0f) {
            kill(node);
            node = next;
            continue;
        }
        gfx_sprite_t& puff = *node->sprite;
        const float drift = dt * smoke_speed * 100.0f;
        puff.position[0] += drift_.x * drift;
        puff.position[1] += drift_.y * drift;
        puff.position[2] += drift_.z * drift;
        puff.scale += dt * scale_speed;
        if (node->energy <= 0.0f) {
            node->energy += dt * fade_in_speed;
            if (node->energy < 0.0f)
                puff.colour = white_with_alpha((node->energy / 255.0f + 1.0f) * 255.0f);
            else
                node->energy = 255.0f;
        } else {
            node->energy = std::max(node->energy - dt * fade_out_speed, 0.0f);
            puff.colour = white_with_alpha(node->energy / 255.0f * 255.0f);
        }
        node = next;
    }
}

void car_smoke_e::handler()
{
    if (!emitting_ && since_change_ > linger_seconds)
        return;
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    since_change_ += dt;
    entity_t::handler();
    accumulator_ += dt;
    // A rate that is not above 0 would ask for endless puffs: such an emitter makes none.
    int count = 0;
    if (smoke_rate > 0.0f && accumulator_ > smoke_rate)
        count = static_cast<int>(accumulator_ / smoke_rate);
    if (emitting_)
        emit(count);
    age_puffs(dt);
}

void car_smoke_e::draw()
{
    if (!emitting_ && since_change_ > linger_seconds)
        return;
    particle_e::draw();
}

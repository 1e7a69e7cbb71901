#include "world/particle.h"

#include <cstring>

#include "engine/cache.h"
#include "engine/evalue.h"
#include "common/engine_api.h"

namespace {

constexpr const char* missing_shader = "/shaders/specials/notfound.shd";

constexpr evalue_def_t bitmap_def =
    evalue_member("bitmap", evalue_text, particle_e::bitmap_capacity, evalue_bind<&particle_e::bitmap>, nullptr, "");
constexpr evalue_def_t x_scale_def =
    evalue_member("x_scale", evalue_real, sizeof(float), evalue_bind<&particle_e::x_scale>, &bitmap_def, "0.2");
constexpr evalue_def_t y_scale_def =
    evalue_member("y_scale", evalue_real, sizeof(float), evalue_bind<&particle_e::y_scale>, &x_scale_def, "0.2");
constexpr evalue_def_t max_particles_def = evalue_member("max_particles", evalue_int, sizeof(int32_t),
                                                         evalue_bind<&particle_e::max_particles>, &y_scale_def, "100");

}  // namespace

particle_e::particle_e() { entity_flags |= 0x400000u; }

particle_e::~particle_e()
{
    if (shader_)
        api::ci_dec_refs(shader_);
}

const evalue_def_t* particle_e::get_evalue_root() const
{
    // The chain goes on with the object's values, reached through any instance.
    static const evalue_def_t root = [this] {
        static evalue_def_t tail = bitmap_def;
        tail.next = object_e::get_evalue_root();
        static evalue_def_t x = x_scale_def;
        x.next = &tail;
        static evalue_def_t y = y_scale_def;
        y.next = &x;
        evalue_def_t def = max_particles_def;
        def.next = &y;
        return def;
    }();
    return &root;
}

int particle_e::init(int phase)
{
    if (const int failed = object_e::init(phase))
        return failed;
    if (phase != 0)
        return 0;
    if (max_particles > 0 && nodes_.empty()) {
        nodes_.resize(static_cast<size_t>(max_particles));
        records_.resize(static_cast<size_t>(max_particles));
        for (size_t i = 0; i < nodes_.size(); ++i) {
            nodes_[i].previous = i > 0 ? &nodes_[i - 1] : nullptr;
            nodes_[i].next = i + 1 < nodes_.size() ? &nodes_[i + 1] : nullptr;
        }
        free_ = &nodes_[0];
    } else if (max_particles < 0) {
        api::warning("%s: max_particles %d is below 0; the emitter draws nothing", name(), max_particles);
    }
    if (!shader_)
        shader_ = api::mm_precache(bitmap[0] ? bitmap : missing_shader);
    return 0;
}

int particle_e::destroy(int phase)
{
    if (phase == 0) {
        nodes_.clear();
        nodes_.shrink_to_fit();
        records_.clear();
        records_.shrink_to_fit();
        active_ = free_ = nullptr;
        active_count_ = 0;
        if (shader_)
            api::ci_dec_refs(shader_);
        shader_ = nullptr;
    }
    return entity_t::destroy(phase);
}

particle_node_t* particle_e::spawn()
{
    particle_node_t* const node = free_;
    if (!node)
        return nullptr;
    free_ = node->next;
    if (free_)
        free_->previous = nullptr;
    node->previous = nullptr;
    node->next = active_;
    if (active_)
        active_->previous = node;
    active_ = node;
    node->sprite = &records_[static_cast<size_t>(active_count_)];
    node->sprite->link = node;
    ++active_count_;
    return node;
}

void particle_e::kill(particle_node_t* node)
{
    if (!node || active_count_ <= 0)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else
        active_ = node->next;
    if (node->next)
        node->next->previous = node->previous;
    node->previous = nullptr;
    node->next = free_;
    if (free_)
        free_->previous = node;
    free_ = node;
    --active_count_;
    gfx_sprite_t* const last = &records_[static_cast<size_t>(active_count_)];
    if (node->sprite != last) {
        *node->sprite = *last;
        static_cast<particle_node_t*>(node->sprite->link)->sprite = node->sprite;
    }
    node->sprite = nullptr;
}

void particle_e::draw()
{
    if (!shader_ || active_count_ == 0)
        return;
    api::gfx_push();
    api::gfx_identity();
    api::gfx_sprite(shader_->object, &position.x, sprite_size, active_count_, records_.data(), x_scale, y_scale, 0,
                    -1.0f);
    api::gfx_pop();
}

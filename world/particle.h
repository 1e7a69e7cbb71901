#pragma once
#include <cstdint>
#include <vector>

#include "engine/gfx_render.h"
#include "common/object_e.h"

struct c_item_t;

// One particle of a pool: its sprite record, the owner's energy word and its list links.
struct particle_node_t {
    gfx_sprite_t* sprite = nullptr;
    float energy = 0.0f;
    particle_node_t* next = nullptr;
    particle_node_t* previous = nullptr;
};

// A small sprite-particle entity: a fixed pool of particles drawn as camera-facing sprites, with a free
// list and an active list so that spawning and killing allocate nothing. The active sprite records
// stay contiguous so one gfx_sprite call draws them all.
class particle_e : public object_e {
public:
    static constexpr int bitmap_capacity = 64;

    particle_e();
    ~particle_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "particle"; }
    // Phase 0: allocates the pool (when max_particles is not 0) and precaches the shader.
    int init(int phase) override;
    // Phase 0: frees the pool and gives back the shader.
    int destroy(int phase) override;
    void draw() override;
    const level_list_t* get_init_list() const override { return &entity_t::init_list; }
    const level_list_t* get_destroy_list() const override { return &entity_t::destroy_list; }

    // Takes a free node to the head of the active list with the next sprite record; null when none.
    particle_node_t* spawn();
    // Gives a node back to the free list and moves the last active record into its slot.
    void kill(particle_node_t* node);

    int32_t active_count() const { return active_count_; }
    particle_node_t* active_head() const { return active_; }
    particle_node_t* free_head() const { return free_; }
    const gfx_sprite_t* sprites() const { return records_.data(); }

    int32_t max_particles = 100;
    float y_scale = 0.2f;
    float x_scale = 0.2f;
    char bitmap[bitmap_capacity] = "";

protected:
    // The size handed to gfx_sprite.
    float sprite_size = 255.0f;

private:
    c_item_t* shader_ = nullptr;
    std::vector<particle_node_t> nodes_;
    std::vector<gfx_sprite_t> records_;
    particle_node_t* active_ = nullptr;
    particle_node_t* free_ = nullptr;
    int32_t active_count_ = 0;
};

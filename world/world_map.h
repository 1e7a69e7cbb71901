#pragma once
#include <cstdint>
#include <vector>

#include "engine/evalue.h"
#include "common/object_e.h"
#include "world/world_map_files.h"

struct c_item_t;
class map_e;
class r_packet_t;

// Base of the static world and the sky: a directory of world map files ("path").
class world_e : public object_e {
public:
    world_e();

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "world"; }

    // The map directory.
    char path[64] = "";
};

// The static scenery of a map, registered as "world.map": it keeps the directory's chunks resident on
// demand (a chunk unused for 10 s is let go), draws what the visibility tree shows, and owns the
// static collision geometry `map_e` it hands to the physics process.
class world_map_e : public world_e {
public:
    // Seconds a chunk may stay unused, and between two eviction passes.
    static constexpr float idle_seconds = 10.0f;
    // Seconds without a new chunk mapping before the collision trees are maintained.
    static constexpr float maintain_delay = 2.0f;

    world_map_e() = default;
    ~world_map_e() override;

    const char* get_default_name() const override { return "world.map"; }
    const level_list_t* get_init_list() const override;
    // Phase -10 loads the index, the visibility tree and the collision; -1 (and the process shut down)
    // when the map's files cannot be read.
    int init(int phase) override;
    // Hands every shader of the texture list to the renderer before the map loads.
    void precache() override;
    int destroy(int phase) override;
    // Evicts idle chunks and maintains the collision.
    void handler() override;
    void draw() override;

    // Keeps chunk `chunk` resident; its geometry, or null when its files cannot be loaded. A chunk
    // refused once is reported once and not tried again: the world is drawn without it.
    geometry_chunk_t* map_chunk(uint32_t chunk);
    void unmap_chunk(uint32_t chunk);
    // The mesh behind a global mesh number (its chunk mapped as needed), or null.
    map_mesh_t* global_mesh(uint32_t global);
    // Draws what can be seen this frame.
    void visit();

    const map_index_t& mesh_index() const { return index_; }
    map_e* collision() const { return collision_; }
    bool chunk_mapped(uint32_t chunk) const { return chunk < chunks_.size() && chunks_[chunk].mapped; }
    uint32_t frame() const { return frame_; }
    // Meshes queued for drawing since the world was made.
    uint32_t meshes_drawn() const { return meshes_drawn_; }
    int resident_files() const { return resident_files_; }
    // Whether the texture list was refused; then no chunk is tried again (the refusal was reported).
    bool texture_list_refused() const { return texture_list_refused_; }
    void refuse_texture_list() { texture_list_refused_ = true; }

    // Eviction settings.
    bool eviction = true;
    float eviction_interval = idle_seconds;
    float max_idle = idle_seconds;

protected:
    // Reads "mesh.dat"; false (reported) when it cannot.
    bool load_index();
    // Queues mesh `index` of mapped chunk `chunk` for drawing.
    void draw_mesh(uint32_t chunk, uint32_t index, const map_mesh_t& mesh);
    // Whether the entity keeps chunks mapped forever (the sky).
    virtual bool keeps_chunks() const { return false; }

private:
    // One chunk's resident files.
    struct chunk_t {
        float last_used = 0.0f;
        c_item_t* geometry = nullptr;
        c_item_t* lightmap = nullptr;
        bool mapped = false;
        // Its files were refused: reported once and not read again.
        bool refused = false;
        // One vertex and one index packet per mesh.
        std::vector<r_packet_t*> vertex_packets;
        std::vector<r_packet_t*> index_packets;
    };

    void visit_sphere_tree(const std::vector<sphere_node_t>& nodes, int32_t node);
    // Draws one global mesh once per frame when it can be seen.
    void visit_mesh(uint32_t global);
    // Stamps a mesh with this frame and draws it when it can be seen.
    void draw_if_visible(uint32_t chunk, uint32_t index, map_mesh_t& mesh);
    // The process clock in seconds.
    float clock() const;
    void free_all();

    map_index_t index_;
    std::vector<chunk_t> chunks_;
    c_item_t* vtree_ = nullptr;
    map_e* collision_ = nullptr;
    uint32_t frame_ = 0;
    uint32_t meshes_drawn_ = 0;
    float countdown_ = idle_seconds;
    float last_mapping_ = -1.0f;
    int resident_files_ = 0;
    bool texture_list_refused_ = false;
};

// The sky dome, registered as "world.sky": a world map drawn round the camera, never evicted and
// without collision.
class world_sky_e : public world_map_e {
public:
    // Not drawn with the world's entities: the world process draws it with the background.
    world_sky_e() { type_flags &= ~2u; }
    const char* get_default_name() const override { return "world.sky"; }
    // Phase -10 reads the index only and registers the sky with the world process.
    int init(int phase) override;
    // Phase 0 hands the registration back first.
    int destroy(int phase) override;
    // The sky is never evicted and has no collision to maintain.
    void handler() override;
    // Draws round the camera.
    void draw() override;

protected:
    bool keeps_chunks() const override { return true; }
};

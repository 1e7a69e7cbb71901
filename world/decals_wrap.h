#pragma once
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/evalue.h"
#include "world/decal_clip.h"
#include "world/decal_generic.h"

struct c_item_t;
struct gfx_shader_t;

// One placed wrap decal: the geometry it lies on (one decal use of it held), its points relative to
// the geometry's position as triangle fans joined into one indexed list, and its bounding sphere.
struct wrap_instance_t {
    cd_geo_t* geometry = nullptr;
    vec3_t origin;
    float radius = 0.0f;
    bool keep = false;
    std::vector<vec3_t> positions;
    std::vector<float> texcoords;
    std::vector<uint32_t> colours;
    std::vector<uint16_t> indices;
};

// Decals cut out of the triangles of the geometry they are shot at, so they follow its shape;
// registered as "decals.wrap".
class decals_wrap_e : public decal_generic_e {
public:
    // Most points one instance can hold: its indices are 16-bit.
    static constexpr int32_t max_point_count = 65536;

    decals_wrap_e() = default;
    ~decals_wrap_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "decals.wrap"; }
    // Phase 0 sizes the instance blocks and precaches the shader.
    int init(int phase) override;
    // The last phase gives back the shader and every instance's geometry.
    int destroy(int phase) override;
    void draw() override;

    bool place(const decal_hit_t& hit, const decal_params_t* params, bool keep) override;
    bool remove_oldest(int count) override;
    void clear() override;

    // Recomputes the bytes one instance block takes from "max_points".
    void update_block_size();
    // A new empty instance at the end of the list.
    wrap_instance_t& new_instance();

    const std::deque<wrap_instance_t>& instances() const { return instances_; }
    int points_in_use() const { return points_in_use_; }
    int block_size() const { return block_size_; }

    // Properties.
    char shader[64] = "";
    evalue_array_t color{};
    float x_scale = 1.0f;
    float y_scale = 1.0f;
    float alpha = 1.0f;
    float angle = 0.0f;
    int32_t max_points = 72;
    int32_t wrap_type = 1;

protected:
    // Half width, half height and half depth of a placement.
    struct half_sizes_t {
        float width;
        float height;
        float depth;
    };
    // The half sizes for `params`; with `depth_from_size` the depth is always the larger half size.
    half_sizes_t half_sizes(const decal_params_t* params, bool depth_from_size) const;
    // Appends a clipped polygon (fan) to `instance` with texture coordinates; false when it does not fit.
    bool append_polygon(wrap_instance_t& instance, const std::vector<decal_corner_t>& polygon, const half_sizes_t& half,
                        const decal_params_t* params);
    // Finishes an instance: empty ones are dropped (false); others take the geometry and the keep flag.
    bool finish_instance(cd_geo_t* geometry, bool keep);
    // Draws every visible instance, the view's depth offset raised by `depth_raise`; `world_position`
    // puts the packet at the sphere's centre instead of translating to the geometry.
    void draw_instances(float depth_raise, bool world_position);
    // The packed colour (red in byte 0) of every point.
    uint32_t packed_colour() const;

private:
    // Drops an instance's points and its geometry use.
    void release_instance(wrap_instance_t& instance);

    std::deque<wrap_instance_t> instances_;
    int points_in_use_ = 0;
    int block_size_ = 0;
    c_item_t* shader_item_ = nullptr;
    const gfx_shader_t* shader_handle_ = nullptr;
};

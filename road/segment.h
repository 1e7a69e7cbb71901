#pragma once
#include <cstdint>
#include <vector>

#include "engine/random.h"
#include "engine/vec.h"
#include "physics/cd_bounds.h"
#include "road/seg_instances.h"
#include "road/terrain_profile.h"

class base_ctrl_e;
class r_packet_t;
struct gfx_shader_t;
struct map_edge_t;
struct map_node_t;
struct road_section_t;

// Bytes of the pool block each piece of a built edge fills.
constexpr int32_t segment_block_bytes = 65536;
// Instances and placed items a slot keeps at most.
constexpr int32_t segment_max_instances = 512;
constexpr int32_t segment_max_placed = 32;
// Lane-arrow ids a slot keeps: three at the start, three at the end.
constexpr int32_t segment_arrow_ids = 6;

// One packet pair of a built edge: a layer of one piece, with its arrays carved from the piece's block.
struct segment_layer_t {
    int32_t vertex_count = 0;
    vec3_t* positions = nullptr;
    vec3_t* normals = nullptr;
    float* uvs = nullptr;
    int32_t index_count = 0;
    uint16_t* indices = nullptr;
    // Bounding sphere: the builder's, else the one around the layer's vertices once the build is done; a
    // radius of 1 or less (a layer without vertices) draws the packet whenever its piece is in view.
    vec3_t centre;
    float radius = 0.0f;
    const gfx_shader_t* shader = nullptr;
    // Drawn with the environment's colour on every vertex instead of lit by the world's lights.
    bool coloured = false;
    r_packet_t* index_packet = nullptr;
    r_packet_t* vertex_packet = nullptr;
};

// One piece of a built edge: its pool block and its bounds on five axes.
struct segment_piece_t {
    void* block = nullptr;
    cd_bounds_t bounds;
};

// Hands out consecutive arrays from one piece block.
class segment_carver_t {
public:
    explicit segment_carver_t(void* block) : cursor_(static_cast<char*>(block)) {}
    // Gives `layer` its arrays for its vertex and index counts.
    void carve(segment_layer_t& layer);

private:
    template <typename T> T* take(size_t count);
    char* cursor_;
};

// A render slot: everything built for one edge near the camera (its geometry in pieces and layers,
// packets and bounds) until the slot is freed or handed to another edge.
class segment_t {
public:
    segment_t();
    ~segment_t();
    segment_t(const segment_t&) = delete;
    segment_t& operator=(const segment_t&) = delete;

    // Builds `edge` (one of `controller`'s) into this slot by its kind; a preview build (the editor's)
    // neither stores the edge in the slot nor tells the controller. True when the builder built.
    bool build(base_ctrl_e& controller, map_edge_t& edge, bool preview);
    // Gives back the slot's blocks and packets and, for a held edge, tells the controller; the edge
    // index stays.
    void free(base_ctrl_e& controller);
    // free, then the slot holds no edge.
    void release(base_ctrl_e& controller);
    // Queues every layer of every piece that overlaps `box` (all pieces when null) for drawing; layers
    // without the colour element are lit by `lights` (the world's light list, or null).
    void draw(const cd_bounds_t* box, const void* lights) const;
    // Shows or hides the slot and every instance and placed item its build put in the segment server.
    void set_visible(bool visible);

    // Keeps an instance the build placed (null is ignored); false (and the instance is taken back by
    // the caller) when the slot already keeps segment_max_instances.
    bool keep_instance(model_instance_node_t* instance);
    bool keep_instance(lamp_instance_node_t* instance);
    bool keep_instance(light_instance_node_t* instance);
    // Keeps a sign board the build placed; false when the slot already keeps segment_max_placed.
    bool keep_placed(board_instance_node_t* board);
    // Instances and placed items the slot keeps.
    int32_t instance_count() const { return static_cast<int32_t>(models_.size() + lamps_.size() + lights_.size()); }
    int32_t placed_count() const { return static_cast<int32_t>(placed_.size()); }
    const std::vector<model_instance_node_t*>& model_instances() const { return models_; }
    const std::vector<lamp_instance_node_t*>& lamp_instances() const { return lamps_; }
    const std::vector<light_instance_node_t*>& light_instances() const { return lights_; }
    const std::vector<board_instance_node_t*>& placed_items() const { return placed_; }

    // Places the sign boards of `edge`'s run of sign records (from its sign index on, while they belong
    // to the edge) on its curve between `start` and `end` with these tangents.
    void place_sign(base_ctrl_e& controller, map_edge_t& edge, const map_node_t& start, const vec3_t& start_tangent,
                    const map_node_t& end, const vec3_t& end_tangent);
    // The builders of each edge kind, for this slot.
    bool build_road(base_ctrl_e& controller, map_edge_t& edge);
    bool build_road_variant(base_ctrl_e& controller, map_edge_t& edge);
    bool build_city_road(base_ctrl_e& controller, map_edge_t& edge, bool preview);
    bool build_prefab(base_ctrl_e& controller, map_edge_t& edge, bool preview);

    // The layer of piece `piece` and layer `layer`.
    segment_layer_t& layer_at(int32_t piece, int32_t layer) { return layers_[piece * layer_count + layer]; }
    const segment_layer_t& layer_at(int32_t piece, int32_t layer) const { return layers_[piece * layer_count + layer]; }
    const segment_piece_t& piece_at(int32_t piece) const { return pieces_[piece]; }

    // Rows along the edge, pieces, layers per piece.
    int32_t subdivision_count = 0;
    int32_t piece_count = 0;
    int32_t layer_count = 0;
    // The edge held, -1 free.
    int32_t edge_index = -1;
    // Midpoint of the edge's start and end nodes.
    vec3_t centre;
    uint8_t visible = 0;
    // Cross-section heights and falloff of the terrain beside a Road edge.
    terrain_profile_t terrain;
    // Grid points of the terrain strips of side 0 (first) and 1 (second), (width + 1) per row, and their
    // count (0: no grid); in the segment server's scratch, valid while a build runs.
    vec3_t* grid_positions[2] = {};
    vec3_t* grid_normals[2] = {};
    size_t grid_points[2] = {};
    int32_t arrow_ids[segment_arrow_ids] = {-1, -1, -1, -1, -1, -1};
    // Seeded with the edge index at every build that is not a preview: a rebuild places the same.
    randomizer_t randomizer;

    // Tables of the current build: `pieces` pieces of `layers` layers, each piece with its block.
    // False (reported) when memory runs out; what was taken is given back by free.
    bool allocate(base_ctrl_e& controller, int32_t pieces, int32_t layers);
    // Gives `layer` of `piece` its packets and shader; a coloured layer's vertex packet carries the
    // environment's colour element.
    void set_up_layer(int32_t piece, int32_t layer, const gfx_shader_t* shader, bool coloured = false);
    // Widens the bounds of piece `piece` over `point`.
    void widen(int32_t piece, const vec3_t& point) { pieces_[piece].bounds.add_point(point.x, point.y, point.z); }

    // The city-block record the build acquired on each side (0 first, 1 second), -1 none.
    int32_t city_blocks[2] = {-1, -1};

private:
    // Gives every layer built without a bounding sphere the one around its vertices, so that the draw
    // skips the layers outside the view (a mirror's draw most of all).
    void bound_layers();
    // A City Road's city blocks, street lights and the lane arrows before a Cross at either end.
    void place_city_road_objects(base_ctrl_e& controller, map_edge_t& edge, int32_t edge_index);
    // Gives the instances and the placed items (each then announced to the controller) back to the
    // segment server.
    void remove_instances(base_ctrl_e& controller);
    // Releases the city blocks the build acquired and removes its lane arrows, rewriting the arrow id of
    // the slot whose quad took the place of a removed one.
    void release_city_parts(base_ctrl_e& controller);

    std::vector<segment_piece_t> pieces_;
    std::vector<model_instance_node_t*> models_;
    std::vector<lamp_instance_node_t*> lamps_;
    std::vector<light_instance_node_t*> lights_;
    std::vector<board_instance_node_t*> placed_;
    std::vector<segment_layer_t> layers_;
    // True while a build holds tables.
    bool built_ = false;
};

// The shading factor the builders multiply a normal by at a placed point: darker and lighter patches
// of the terrain noise, so that long roads do not look uniform.
float segment_shading(const vec3_t& point);

// The start and end node of `edge` in `controller`, null when the edge names a node it does not hold.
const map_node_t* segment_node(const base_ctrl_e& controller, int32_t node);

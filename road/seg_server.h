#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/axial.h"
#include "engine/gfx_render.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "road/loose_instance.h"
#include "road/map_array.h"
#include "road/map_cityblock.h"
#include "road/map_freeitem.h"
#include "road/prefab.h"
#include "road/road_def.h"
#include "road/scenery_def.h"
#include "road/seg_fallback_array.h"
#include "road/seg_instances.h"
#include "road/seg_records.h"
#include "road/seg_scratch.h"

class cd_geo_t;
class def_obj_t;
class physproc_t;
class road_network_t;
struct contact_owner_t;
struct psm_info_t;
struct c_item_t;

// The three prefab tables, by the kind of edge they are placed on.
enum seg_prefab_table_t { seg_forks = 0, seg_crosses = 1, seg_prefabs = 2, seg_prefab_tables = 3 };
class seg_block_plan_t;

// A vegetation model and the instances of it placed beside the built roads.
struct veg_model_t {
    psm_t* model = nullptr;
    std::unique_ptr<vdatalist_t<model_instance_t>> instances = std::make_unique<vdatalist_t<model_instance_t>>();
};

// The object whose lights the server's static models are drawn with (the map controller's).
class seg_light_source_t {
public:
    virtual ~seg_light_source_t() = default;
    // The engine's light list for a static model drawn now.
    virtual const void* static_model_lights() = 0;
};

// The engine light callback of the server's models: `server` is the seg_server_t that registered it;
// answers its light source's lights, null when it has none.
const void* seg_server_light_callback(psm_t* model, void* server);

// Number of random rotations the server keeps for varying the heading of repeated instances, and
// the seed they are drawn from (the same every load, so every run places the same rotations).
constexpr int32_t seg_rotation_count = 64;
constexpr uint32_t seg_rotation_seed = 666666;
// Shaders of each step of a terrain-to-terrain blend entry ("tt%d"): steps 1 to 14 of 16.
constexpr int32_t seg_blend_steps = 14;
// Kinds of painted lane arrow: left, straight, straight and right, right.
constexpr int32_t seg_arrow_kinds = 4;
// Largest count a definition file may give one table.
constexpr int32_t seg_max_table_count = 65536;

// The asset store of the road network: every definition the road builders need, loaded once per map
// controller into flat tables addressed by index, which the road network's records refer to. All
// tables live in one block the load sizes in advance. Each shader array keeps at index -1 the
// fallback shader.
class seg_server_t {
public:
    // An empty server: every count zero, no block, lighting colours and marker frame preset.
    seg_server_t();
    // Gives back whatever is still loaded.
    ~seg_server_t();
    seg_server_t(const seg_server_t&) = delete;
    seg_server_t& operator=(const seg_server_t&) = delete;

    // Loads every definition from "/defs/seg_server/road_segs.def" and the files beside it, the
    // traders and the cities. Answers the memory the server holds in bytes (also reported in kB); 0,
    // with every table empty, when road_segs.def or its counts cannot be used or memory runs out. A
    // server already loaded is left as it is.
    int load();
    // Gives back every handle and frees the block; the server is empty again and may be loaded anew.
    void unload();
    // True while the block is held.
    bool loaded() const { return block_ != nullptr; }

    // The index in the terrain shader table of the shader drawn where road surface `road_shader` meets
    // terrain `terrain`: its transition shader when there is one, else the terrain's own. Indices out
    // of range answer -1, the fallback.
    int32_t terrain_trans_shader(int32_t road_shader, int32_t terrain) const;
    // The index in the terrain shader table of step `step` (0 to 15) of the blend from terrain `from`
    // to terrain `to`: `from` at step 0, `to` at step 15, a blend shader between when one matches,
    // else `from`. Indices out of range answer -1, the fallback.
    int32_t terrain_blend_shader(int32_t from, int32_t to, int32_t step) const;

    // Index of the first city whose rectangle holds `point` in x and z (edges included), -1 when none.
    int32_t find_city_at(const vec3_t& point) const;

    // Counts the city files under "/defs/cities" (`counting`), or fills the city table sized by the
    // count from them, in directory order, and the place names with the cities' names. Answers the
    // number of cities.
    int32_t read_cities(bool counting);
    // Counts the trader files under "/defs/traders" (names beginning with "!" are not traders), or
    // fills the trader table, each trader at its "id". Answers the number of trader files.
    int32_t read_traders(bool counting);

    // Reads a road definition from its "road%d" text (model path; lanes): imports the model's render
    // pieces and collision piece. Answers the bytes the definition holds, 0 (reported) when its model
    // cannot be used, leaving the name and lanes only.
    size_t read_road_def(road_def_t& def, const char* text);
    // The same for a city-road definition ("city_road%d"): pieces "road0", "road1" and "coll".
    size_t read_city_road_def(city_road_def_t& def, const char* text);
    // Fills the profiles table from "profile_name%d" and "profile_height%d" of road_segs.def.
    void read_profiles(const def_obj_t& road_segs);
    // Loads the vegetation models and fills the looks from road_segs.def; a look naming more than four
    // models is reported and scatters nothing.
    void read_vegetation(const def_obj_t& road_segs);
    // Reads road_props.def, or with `counting` only sizes its table; answers its "road_count".
    int32_t read_road_props(bool counting);
    // Reads railings.def and aux_models.def with their shader arrays; answer the bytes their pieces hold.
    // With `counting` they only size their tables (and answer 0).
    size_t read_railings(bool counting);
    size_t read_aux_models(bool counting);

    // Table sizes. The terrain shader table holds, in order, the terrain shaders, the road-to-terrain
    // transition shaders and the blend shaders (14 per "tt" entry).
    int32_t road_shader_count = 0;
    int32_t sidewalk_count = 0;
    int32_t terrain_shader_count = 0;
    int32_t trans_shader_count = 0;
    int32_t blend_shader_count = 0;
    int32_t trader_count = 0;
    int32_t city_count = 0;

    // Shader arrays; index -1 of each is the fallback.
    seg_shader_t* road_shaders = nullptr;
    seg_shader_t* sidewalk_shaders = nullptr;
    seg_shader_t* terrain_shaders = nullptr;
    // For road shader i and terrain j, entry i * terrain_shader_count + j: the transition shader's index
    // within the transition group, or -1.
    int32_t* trans_table = nullptr;
    // For terrains a, b and blend step k (1 to 14), entry (a * terrain_shader_count + b) * 14 + k - 1:
    // the blend shader's index within the blend group, or -1.
    int32_t* blend_table = nullptr;
    // Traders by id and cities in directory order.
    seg_trader_t* traders = nullptr;
    city_area_t* cities = nullptr;
    // Headings about the vertical axis that repeated instances pick from.
    quat_t* rotations = nullptr;
    // The lane-arrow packets, by kind.
    seg_arrow_packet_t* arrow_packets = nullptr;

    // Road and city-road definitions, road profiles and road properties.
    std::vector<road_def_t> road_defs;
    std::vector<city_road_def_t> city_road_defs;
    std::vector<road_profile_t> profiles;
    std::vector<road_prop_t> road_props;
    // Railings and the models laid along roads, with their shader arrays (index -1 the fallback).
    std::vector<railing_def_t> railings;
    seg_fallback_array_t<seg_flagged_shader_t> railing_shaders;
    std::vector<aux_model_t> aux_models;
    seg_fallback_array_t<seg_flagged_shader_t> aux_shaders;
    // Vegetation models (with the instances placed of each) and looks.
    std::vector<veg_model_t> veg_models;
    std::vector<veg_look_t> veg_looks;
    // The fork, cross and prefab tables, the prefab looks and shaders (index -1 the fallback), the
    // traffic-light models and the shaders of their red, yellow and green states.
    std::vector<prefab_t> prefab_table[seg_prefab_tables];
    std::vector<prefab_look_t> prefab_looks;
    seg_fallback_array_t<seg_flagged_shader_t> prefab_shaders;
    std::vector<tr_lights_model_t> tr_lights;
    seg_shader_t tr_light_states[tr_lights_lamps];
    // City-block buildings, shader pairs, looks and street lamps.
    std::vector<cityblock_model_t> cityblock_models;
    std::vector<seg_shader_pair_t> cityblock_shaders;
    std::vector<cityblock_look_t> cityblock_looks;
    std::vector<cityblock_lamp_t> cityblock_lamps;
    // Free-item models, shader pairs and looks.
    std::vector<freeitem_model_t> freeitem_models;
    std::vector<seg_shader_pair_t> freeitem_shaders;
    std::vector<freeitem_look_t> freeitem_looks;
    // Sign models, sign boards and sign texts.
    std::vector<sign_model_t> sign_models;
    std::vector<sign_board_def_t> sign_boards;
    std::vector<sign_text_t> sign_texts;
    // Sky shaders.
    std::vector<seg_shader_t> sky_shaders;
    // Terrain brushes and the store of their cells.
    std::vector<brush_t> brushes;
    std::vector<int32_t> brush_cells;
    // The direction boards' arrow and road background shaders, and the headquarters models.
    seg_shader_t board_arrows[3];
    seg_shader_t board_backgrounds[2];
    psm_t* hq_models[3] = {};
    // The loose instances of the built segments, which the game controller's box pool lends boxes
    // to (filled by the segment builds).
    std::vector<loose_instance_t*> loose_instances;

    // The scratch block the road builds share (the terrain grids beside a road).
    seg_scratch_t scratch;

    // --- Prefabs, run-time instances and lighting ----------------------------------------------

    // Reads the prefab model file at `path` and the definition beside it into `prefab`. Answers the
    // bytes the prefab holds; 0 (reported) when the file cannot be opened or is refused, the name then
    // kept only when the file was opened.
    size_t read_prefab_model(prefab_t& prefab, const char* path);
    // Reads the prefab definition beside the model file `path` (its extension replaced by "def"),
    // object named after the file: lanes, node slots, signs, stations and no-weather boxes.
    void read_prefab_def(prefab_t& prefab, const char* path);
    // Reads prefabs.def: with `counting` only sizes the tables; otherwise the fork, cross and prefab
    // models, looks, shaders (fallback at -1), traffic-light models and lamp state shaders. Answers the
    // bytes of the prefabs.
    size_t read_prefabs(bool counting);

    // Reports (naming the map `path`) every edge, sign, city block and free item of `network` whose
    // definition this server does not hold; the builders leave those out. Answers how many there are.
    int32_t check_map_indices(const road_network_t& network, const char* path) const;

    // The scenery readers: with `counting` they only size their tables from the file's counts.
    // cityblocks.def: building models (with their widths), shader pairs, looks and street lamps.
    void read_cityblocks(bool counting);
    // freeitems.def: free-item models (animated, sounding, with collision and dry boxes), shader
    // pairs and looks.
    void read_freeitems(bool counting);
    // signs.def: sign models, sign boards and sign texts; answers the bytes of their records.
    size_t read_signs(bool counting);
    // skies.def: the sky shaders.
    void read_skies(bool counting);
    // brushes.def: mode 0 counts the brushes, 1 reads their names and sizes and gives them their
    // cells, 2 reads the cells from each brush file (a missing file is reported; the brush stays empty).
    void read_brushes(int mode);
    // misc.def: the direction boards' arrow and background shaders and the headquarters models; then,
    // whether it could be read or not, the board windows of the two stacks.
    void read_misc();
    // Advances every animated free-item model by `dt` seconds.
    void animate(float dt);

    // The buildings of city block `block` (its record `record`): built on first use, shared by count.
    city_block_instance_t* acquire_city_block(int32_t block, map_cityblock_t& record);
    // One user fewer of the block's buildings; the last frees them and clears the record's handle.
    void release_city_block(map_cityblock_t& record);
    // Lines the sides of the block's outline with buildings of its look, chosen by its seed.
    void build_city_blocks(city_block_instance_t& built, const map_cityblock_t& record);
    // The built city blocks; a record's handle is its slot + 1.
    std::vector<std::unique_ptr<city_block_instance_t>> city_blocks;
    // Gives the built city blocks collision meshes in `physics` (owned by `owner`) from now on, the
    // blocks already built included; null takes every block's mesh out again (before the physics goes).
    void set_physics(physproc_t* physics, contact_owner_t* owner);
    physproc_t* physics() const { return physics_; }
    // Draws the built city blocks of `blocks`: each ground polygon, then its buildings stretched along
    // their sides, with the day or the `night` shaders of their look.
    void draw_lights(const map_array_t<map_cityblock_t>& blocks, bool night);

    // The shader a prefab part with look slot `slot` is drawn with under prefab look `look`: the prefab
    // shader the look names for that slot, or the fallback (index -1) when the slot is -1 (a part shader
    // no look slot matches), or the look, slot or shader does not exist.
    const seg_flagged_shader_t& prefab_part_shader(int32_t look, int32_t slot) const;

    // Sets, for every model the server keeps, the engine light callback (seg_server_light_callback)
    // and keeps `source`, whose lights the callback answers from then on.
    void set_light_source(seg_light_source_t* source);
    // Forgets the light source (the controller's destroy, before the server is unloaded): the models'
    // callbacks answer none from then on.
    void clear_light_source() { light_source_ = nullptr; }
    seg_light_source_t* light_source() const { return light_source_; }

    // Places an instance of vegetation model `model` at `position`, lit by `normal`, turned by
    // rotation `rotation` (0 to 63). Null (reported) for a model or rotation the server does not hold.
    model_instance_node_t* add_model_instance(int32_t model, const vec3_t& position, const vec3_t& normal,
                                              int32_t rotation);
    void remove_model_instance(model_instance_node_t* instance);
    // Places a sign board of sign definition `definition` with its boards' windows taken from the
    // board stacks (an exhausted stack is reported and leaves the board empty). Null (reported) for a
    // definition the server does not hold.
    board_instance_node_t* add_board_instance(int32_t definition);
    // Takes a board instance away, its windows back on their stacks.
    void remove_board_instance(board_instance_node_t* instance);
    // Places the traffic-light model `model` (null, reported, when the server does not hold it);
    // `bit0` and `bit1` are its flag bits.
    lamp_instance_node_t* add_lamp(const vec3_t& position, const quat_t& rotation, bool bit0, int32_t model, bool bit1);
    void remove_lamp(lamp_instance_node_t* lamp);
    // Places a street light of city-block lamp `lamp` (null, reported, when the server does not hold it).
    light_instance_node_t* add_light(const vec3_t& position, const quat_t& rotation, int32_t lamp);
    void remove_light(light_instance_node_t* light);
    // Shows a moving free item of model `model` and look `look`, its sound started when it has one.
    mover_instance_node_t* add_mover_instance(int32_t model, int32_t look);
    // Takes a mover away, its sound stopped.
    void remove_sound_instance(mover_instance_node_t* mover);
    // A mover of a map item: made as add_mover_instance does and kept under the handle the item's
    // instance word holds; 0 when it could not be made (reported).
    uint32_t add_mover(int32_t model, int32_t look);
    // The mover behind `handle`, null for 0 or a handle that names none.
    mover_instance_t* mover_of(uint32_t handle);
    // Puts the mover behind `handle` at `position`, turned by `rotation`, its sound moved with it.
    void place_mover(uint32_t handle, const vec3_t& position, const quat_t& rotation);
    // Takes the mover behind `handle` away (its sound stopped); a handle that names none changes nothing.
    void remove_mover(uint32_t handle);
    // Adds a painted lane-arrow quad of kind `kind` (its two triangles in `vertices`) owned by `owner`.
    // Answers (kind << 24) + the quad's first vertex, or -1 (reported) for a kind out of range or a
    // full table.
    int32_t add_lane_arrow(const vec3_t vertices[seg_arrow_quad_vertices], int32_t kind, int32_t owner);
    // Removes the quad `handle`; the last quad of its kind takes its place. Answers the owner of the
    // quad that moved (so it can update its handle), -1 when none moved or the handle names no quad.
    int32_t remove_lane_arrow(int32_t handle);
    // Stores the sun direction and colours and relights every model instance.
    void set_lighting(const vec3_t& sun, const vec3_t& diffuse, const vec3_t& ambient);
    // The lit colour (0xAABBGGRR, alpha 0xFF) of a model with `normal` under the current lighting.
    uint32_t lit_colour(const vec3_t& normal) const;
    // Sets the traffic-light lamp words from a one-hot mask (16 to 128 the first pair, 1 to 8 the
    // second); any other mask leaves all off.
    void set_lamp_state(uint8_t mask);
    // Shows the target marker at `position`, turned by quarter turn `rotation` (0 to 3), with
    // headquarters model `model` and colour `colour` (both clamped to what exists).
    void show_target(const vec3_t& position, int32_t rotation, int32_t model, int32_t colour);
    void hide_target() { target.shown = false; }
    // Empties the shown free items, the sign boards, the lamps and the movers (on a map change).
    void reset_instances();
    // Every index above `removed` stored in `list` is decreased by one.
    static void renumber_after_remove(std::vector<int32_t>& list, int32_t removed);

    // Draws one flare at `point` seen from `camera` (both in the frame of the object being drawn):
    // faded from 15000 to 25000 units, none beyond; a directional one (a traffic-light lamp) only
    // towards the object's +z side. Answers whether it was drawn.
    bool draw_flare(const vec3_t& point, const vec3_t& camera, const gfx_shader_t* shader, bool directional);
    // Draws the instances for this frame: static models, sign boards, traffic lights, street lights
    // (with their flares and light pools at `night`), movers, the target marker and the lane arrows.
    void draw_objects(bool night);
    // Draws the shown free items of `items` with their looks' day or `night` shaders.
    void draw_free_items(const map_array_t<map_freeitem_t>& items, bool night);
    // Draws the parts of free-item model `model` with the shaders of look `look` (the whole model in
    // white when the look does not fit it), in the current world frame.
    void draw_free_item_parts(int32_t model, int32_t look, bool night);
    // Whether part `part` of a free-item model is drawn (all but its collision part "zcoll").
    static bool freeitem_part_drawn(const psm_info_t& info, int32_t part);
    // The geometry street lights' pools are laid on (the world's static collision), null none: a
    // light comes near without a pool then and gets one once there is ground.
    cd_geo_t* pool_ground = nullptr;
    // Builds the pool of `light` on the pool ground around `centre`.
    void build_light_pool(light_instance_t& light, const vec3_t& centre);
    // Draws the pool of `light` with `shader`, faded from 15000 to 25000 units by the squared
    // distance `distance_sq` from the camera.
    void draw_light_pool(const light_instance_t& light, const gfx_shader_t* shader, float distance_sq);

    // Shows free item `index` of `items`: listed, its shown byte set, its sound moved there and started.
    void show_free_item(map_array_t<map_freeitem_t>& items, int32_t index);
    // Hides it: its sound stopped, its shown byte cleared, off the list.
    void hide_free_item(map_array_t<map_freeitem_t>& items, int32_t index);
    // Each frame before the tree walk: a shown item whose bounds left `query` is no longer drawn; it
    // stays listed while its sound is within 35000 units of the camera, else it leaves the list and
    // its sound stops.
    void update_sounds(map_array_t<map_freeitem_t>& items, const cd_bounds_t& query);
    // The place names a node's name index and the sign boards name: the cities' names, in the order
    // of the city table.
    std::vector<place_name_t> place_names;
    // The free items shown or still sounding, by index.
    std::vector<int32_t> shown_freeitems;

    // Board windows free for sign boards: left (board 0) and right (boards 1 and 2).
    std::vector<c_item_t*> board_stacks[2];
    // The run-time instances the segment builds place.
    vdatalist_t<board_instance_t> boards;
    vdatalist_t<lamp_instance_t> lamps;
    vdatalist_t<light_instance_t> lights;
    vdatalist_t<mover_instance_t> movers;
    // The movers kept for map items, by handle less one (null where a slot is free).
    std::vector<mover_instance_node_t*> mover_handles;
    // Owner of each lane-arrow quad, by kind.
    std::vector<int32_t> arrow_owners[seg_arrow_kinds];
    // Lighting of the static models: sun direction, diffuse and ambient colour.
    vec3_t sun_direction{0.0f, 1.0f, 0.0f};
    vec3_t diffuse{1.0f, 1.0f, 1.0f};
    vec3_t ambient{0.0f, 0.0f, 0.0f};
    // Which lamp (0 red, 1 yellow, 2 green) of each direction's two light points is lit.
    int32_t lamp_state[4] = {};
    // The target marker over the player's headquarters.
    target_marker_t target;
    // The sprite record flares are drawn with: the whole of the flare's picture.
    gfx_sprite_t flare_sprite{{0.0f, 0.0f, 0.0f}, 0u, 1.0f, 0.0f, {0.0f, 0.0f}, {1.0f, 1.0f}, nullptr};

    // Colours the static models are lit with: full, the middle and the dark tone.
    vec3_t light_colours[3];
    // Frame and flags of the target marker.
    axial_t target_frame;
    uint32_t target_flags = 0;

private:
    // Reads every city-road and road definition named in road_segs.def; answers their bytes.
    size_t read_road_defs(const def_obj_t& road_segs);
    // Reads and checks the table counts of road_segs.def; false (reported) when one is unusable.
    bool read_counts(const def_obj_t& road_segs);
    // The counting pass: every reader sizes its tables from its file, in a fixed order, each followed by
    // one step of the loading screen.
    void count_tables();
    // Reserves every table and the fixed part in `plan`, keeping their offsets.
    void plan_tables(seg_block_plan_t& plan);
    // Points every table at its offset in the allocated block.
    void point_tables();
    // Builds the 64 rotations from the fixed seed.
    void build_rotations();
    // Takes the four lane-arrow shaders and readies their packets.
    void set_up_arrow_packets();
    // Takes the road, sidewalk, terrain, transition and blend shaders named in road_segs.def, sets
    // the fallback entries and builds the transition and blend tables.
    void load_shaders(const def_obj_t& road_segs);
    // Gives back every shader handle the tables hold.
    void give_back_shaders();
    // The ambient sound of a free item's model, null none.
    snd_sound_t* freeitem_sound(const map_freeitem_t& item) const;
    // Whether free-item look `look` names one shader for each drawn part of free-item model `model`;
    // reported when it does not (the parts are then drawn white).
    bool check_freeitem_look(int32_t model, int32_t look) const;
    // Draws a sign board: its model with its sign's shaders, its arrows, road backgrounds and windows.
    void draw_board(const board_instance_t& board);
    // Gives back the scenery's models, sounds, shaders and board windows and empties its tables.
    void unload_scenery();
    // Sets every count and table pointer back to empty.
    void clear_tables();

    // Builds and inserts the collision mesh of `built` (a world with physics only).
    void insert_block_collision(city_block_instance_t& built);
    // Takes `built`'s collision mesh out of the physics and frees it.
    void remove_block_collision(city_block_instance_t& built);

    // The object the static models are lit for, null none.
    seg_light_source_t* light_source_ = nullptr;
    // The physics the city blocks collide in and the owner record of their meshes, null none.
    physproc_t* physics_ = nullptr;
    contact_owner_t* collision_owner_ = nullptr;
    // The one block holding every table, and the memory total the last load reported.
    void* block_ = nullptr;
    int memory_total_ = 0;
    // Offsets of the tables in the block, filled by plan_tables.
    struct layout_t {
        size_t road_shaders, sidewalk_shaders, terrain_shaders, trans_table, blend_table;
        size_t traders, cities, rotations, arrow_packets, arrow_positions, arrow_texture_coords;
    } layout_{};
};

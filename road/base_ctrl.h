#pragma once
#include <cstdint>
#include <memory>

#include "engine/bmem.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "engine/vptrlist.h"
#include "common/object_e.h"
#include "road/aux_segment.h"
#include "road/block_pool.h"
#include "road/mover.h"
#include "road/road_network.h"
#include "road/seg_server.h"
#include "road/segment.h"
#include "road/sign_destination.h"
#include "road/slot_lru.h"

struct cd_bvnode_t;
class cd_geo_t;
class road_geo_t;
class world_services_t;

// The lists of active misc items a map controller keeps, by the types they hold.
enum base_ctrl_list_t {
    base_ctrl_sky_swaps = 0,   // type 1
    base_ctrl_stations = 1,    // types 2 to 5 and 10
    base_ctrl_cut_planes = 2,  // type 6
    base_ctrl_movers = 3,      // type 7: moved every frame
    base_ctrl_no_weather = 4,  // type 11
    base_ctrl_list_count = 5,
};

// Base of the map controllers (the game's and the editor's): the entity that owns the road network of
// one loaded map, reads and writes its map file, holds the terrain noise while it lives, and moves the
// active movers every frame.
class base_ctrl_e : public object_e, public road_network_t, public seg_light_source_t {
public:
    // The phases a map controller adds: -10 (arrays), 0 (noise), 10; and the destroy phases 0 and 10.
    static const level_list_t base_ctrl_init_list;
    static const level_list_t base_ctrl_destroy_list;

    base_ctrl_e();
    ~base_ctrl_e() override;

    const char* get_default_name() const override { return "base_ctrl_e"; }
    const level_list_t* get_init_list() const override { return &base_ctrl_init_list; }
    const level_list_t* get_destroy_list() const override { return &base_ctrl_destroy_list; }
    // Phase -10 allocates the node arrays and binds the lists to their pool; phase 0 takes a use of
    // the terrain noise and loads the segment server, when the derived controller made one. Non-zero
    // when memory runs out.
    int init(int phase) override;
    // Phase 0 unloads the segment server, frees the road network, empties the lists and gives the noise
    // back; phase 10 deletes the segment server.
    int destroy(int phase) override;
    // Moves the active movers and the animated free-item models by the frame time of the controller's
    // process.
    void handler() override;

    // Reads the map file at `path`: the whole map, or with `offset` an import placed at that offset
    // beside the records already held. Answers the bytes read, or -1 (reported; nothing changes).
    virtual int32_t load_map(const char* path, const vec3_t* offset);
    // Writes the road network to `path`, keeping the previous file as "PATH.bak". Answers the bytes
    // written (where the editor appends its own data), or -1.
    virtual int32_t save_map(const char* path);
    // Where a game on this map starts: the stored start position, turned by nothing.
    virtual void get_start_pos(vec3_t& out_position, quat_t& out_rotation);
    // The camera position that the game controller's draw keeps up to date.
    virtual void get_camera_pos(vec3_t& out_position);
    // Puts the misc item `record` (one of this controller's) into the active movers, to be moved from
    // the next frame on; its instance is made anew. An item already active is left as it is.
    virtual void activate_miscitem(map_miscitem_t& record);
    // The geometry of edge `edge` was built into a render slot, or its slot was freed.
    virtual void on_segment_built(int32_t edge);
    virtual void on_segment_freed(int32_t edge);
    // Edge `edge` came into reach of the camera, or went out of it.
    virtual void on_edge_built(int32_t edge);
    virtual void on_edge_freed(int32_t edge);
    // The prefab placed on a Fork, Cross or Prefab edge (its definition within the fork, cross or
    // prefab table); null for other kinds or a definition the segment server does not hold.
    // `out_variant`, when given, tells whether a variant replaces the edge's own prefab.
    virtual const prefab_t* get_prefab_def(map_edge_t& edge, bool* out_variant);
    // A segment build placed sign board `board`, or is taking it away: the base form drops the board's
    // link to another object (and its attached bit), which only a derived controller sets.
    virtual void on_instance_placed(board_instance_t& board);
    virtual void on_instance_removed(board_instance_t& board);
    // The headquarters item `record` came into range: the game controller shows its target marker
    // (the base form shows nothing); and the marker's item left the range again.
    virtual void show_target(map_miscitem_t& record);
    virtual void hide_target();
    // A mover moved to `pose` this frame; the controllers that show movers place its instance there.
    virtual void on_mover_moved(map_miscitem_t& record, const mover_pose_t& pose);

    // The road edge that holds a ray hit on `geometry`'s item `item`; -1 here, where the controller keeps
    // no road collision of its own.
    virtual int32_t edge_of_contact(const cd_geo_t* geometry, uint32_t item) const;
    // The road network's collision geometry in the world's physics; null here.
    virtual road_geo_t* get_road_geo();
    // The ground below `point` (within the reach of a ground test) in `out_point`; false when there is
    // none or the controller has no ground to test, as here.
    virtual bool find_ground(const vec3_t& point, vec3_t& out_point);

    // The editor's hooks on an edge's signs and city blocks; a controller that edits nothing answers -1
    // and changes nothing. Adds a sign record to `edge`: its index, or -1.
    virtual int32_t add_edge_signs(int32_t edge);
    // Removes sign `index` of `edge`.
    virtual void remove_signs(int32_t edge, int32_t index);
    // Gives side `side` of City Road `edge` a city block: its index, or -1.
    virtual int32_t add_city_block(int32_t edge, int32_t side);
    // Removes the city block on side `side` of City Road `edge`.
    virtual void remove_city_block(int32_t edge, int32_t side);

    // The lights of the world the controller lives in, which the segment server's models are drawn
    // with; null when its process keeps none.
    const void* static_model_lights() override;

    // The lane geometry of a City Road or Road edge; null for other kinds (or null) and for a
    // definition the segment server does not hold.
    const road_lanes_t* get_road_def(const map_edge_t* edge) const;

    // The name index of the place a sign's second board shows: the node beyond the next junction from
    // `edge` (through its start node when `backwards`), -1 when none (see sign_destination).
    int32_t find_sign_destination(const int32_t edge, const bool backwards) const
    {
        return sign_destination(*this, edge, backwards);
    }

    // Makes the sign board of sign record `sign` on edge `edge` at `position` and `rotation`: board 0
    // names place `text`, board 1 the place beyond the next junction, each board with its compass label,
    // symbols and arrow. Null (reported) when the segment server does not hold its definition.
    board_instance_node_t* build_sign_visual(const vec3_t& position, const quat_t& rotation, int32_t edge,
                                             const map_sign_t& sign, int32_t text);
    // Makes a sign board of `sign`'s definition at `position` and `rotation` whose boards name places
    // `texts` (-1 none) with the sign's compass labels, symbols and arrows. Null (reported) when the
    // segment server does not hold its definition.
    board_instance_node_t* build_board_visual(const vec3_t& position, const quat_t& rotation, const map_sign_t& sign,
                                              const int32_t (&texts)[board_instance_boards]);
    // The place name `index` names, "  " when there is none.
    const char* place_name(int32_t index) const;

    // Advances every active mover by `dt` seconds and puts its moving model (made on first use from
    // its model and look words) where it went.
    void update_movers(float dt);
    // Takes the moving model of mover `item` away; it is made anew when the mover is next moved.
    void drop_mover(map_miscitem_t& item);
    // Takes every active misc item off its list (movers lose their instances, the target marker goes):
    // they come back with the next streaming. For a change that renumbers the misc items.
    void switch_off_all_miscitems();
    // Empties the road network and the active lists before another map is read.
    void release_segments();

    // Rebuilds the item tree over the map's edges, aux edges, free items and misc items (after a load).
    void build_item_tree();
    // The item tree's root, null while no map is loaded.
    const cd_bvnode_t* item_tree() const { return item_tree_; }
    // Streams the edges inside `box` into render slots and draws the shown slots: called by the
    // derived controller's draw with a box around the camera.
    void draw_roads(const cd_bounds_t& box);
    // The walk of the item tree below `node` for `box`: shows the edges already built, builds the
    // ones that came into range into slots. True when an item overlapped the box.
    bool update_visible_segments(const cd_bvnode_t* node, const cd_bounds_t& box);
    // Render slot `slot` (0 .. segment_slot_count - 1), null outside.
    segment_t* segment_slot(int32_t slot);
    // Aux render slot `slot` (0 .. aux_segment_slot_count - 1), null outside.
    aux_segment_t* aux_segment_slot(int32_t slot);
    // Gives back every render slot's geometry; the slots hold no edges afterwards.
    void release_render_slots();
    // True when the point (x, z) lies on the cut side of an active cut plane.
    bool is_cut(float x, float z);

    // An active list (see base_ctrl_list_t): indices of misc items.
    vptrlist_t<int32_t>& active_list(const base_ctrl_list_t list) { return lists_[list]; }

    // Before init phase -10 of the base: asks for the derived controller's render slots and makes its
    // segment server if it has none; false (reported) when there is no memory for it.
    bool prepare_segment_server(int32_t segments, int32_t aux_segments);

    // Render slots the derived controller asked for: segment slots and aux segment slots.
    int32_t segment_slot_count = 0;
    int32_t aux_segment_slot_count = 0;
    // Set by the game controller at night.
    int32_t night = 0;
    // The camera position, filled at each draw by the game controller.
    vec3_t camera_position{};
    // The definitions the road network's records refer to: made by the derived controller at init
    // phase -10 (with new), owned and deleted by this controller.
    seg_server_t* seg_server = nullptr;
    // Blocks of built road pieces: render and edge collision pieces, and free items' collision.
    block_pool_t segment_blocks{65536};
    block_pool_t freeitem_blocks{4096};

private:
    // The process static_model_lights last cast, and what it answered.
    const entity_proc_t* services_process_ = nullptr;
    const world_services_t* services_ = nullptr;

    // Makes the render slots the derived controller asked for.
    bool make_render_slots();
    // Builds edge `index` into a slot when it has none, or shows its slot again.
    void stream_edge(int32_t index);
    // Builds aux edge `index` into an aux slot when it has none, or shows its slot again.
    void stream_aux_edge(int32_t index);
    // Shows free item `index` in range, or hides it when it stands on the cut side of a cut plane.
    void stream_freeitem(int32_t index);
    // Puts misc item `index` that came into range into the active list of its type (a mover through
    // activate_miscitem; a headquarters shows its target marker instead). An active item stays as it is.
    void switch_on_miscitem(int32_t index);
    // Takes every active misc item whose bounds left `box` off its list, and hides the target marker
    // when its item left.
    void switch_off_miscitems(const cd_bounds_t& box);
    // Frees the item tree.
    void free_item_tree();

    std::unique_ptr<segment_t[]> segments_;
    slot_lru_t segment_lru_;
    std::unique_ptr<aux_segment_t[]> aux_segments_;
    slot_lru_t aux_lru_;
    cd_bvnode_t* item_tree_ = nullptr;
    // The headquarters item whose target marker is shown, -1 none.
    int32_t target_item_ = -1;
    void* item_tree_block_ = nullptr;
    // Pool of the lists' nodes (declared first so that it outlives them).
    bmem_manager list_pool_;
    vptrlist_t<int32_t> lists_[base_ctrl_list_count];
    bool noise_held_ = false;
};

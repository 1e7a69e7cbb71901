#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/pml.h"
#include "engine/vec.h"
#include "road/aux_segment.h"
#include "road/base_ctrl.h"
#include "road/segment.h"
#include "editor/edit_defaults.h"
#include "editor/edit_modes.h"

class editor_camera_e;
struct gfx_shader_t;
struct r_light_t;

// Render slots the editor streams its map into.
constexpr int32_t edit_ctrl_segment_slots = 128;
constexpr int32_t edit_ctrl_aux_segment_slots = 128;
// The magic that opens the editor trailer behind a map's data.
constexpr char editor_trailer_magic[] = "3d1t0rh34d3r";
constexpr int32_t editor_trailer_magic_size = 12;
// Bytes of the editor trailer: magic, camera position and zoom.
constexpr int32_t editor_trailer_size = 28;
// Vertices per side of the background map's grid.
constexpr int32_t background_grid = 9;

class edit_ctrl_e;
// Runs property dialog `type` (edit_dialog_t) on `record` for `ctrl`: the dialog's result.
using prop_dialog_runner_t = int32_t (*)(edit_ctrl_e& ctrl, void* record, int32_t type, uint32_t extra);

// Where the pointer is and what it holds (cleared on every mode and sub-mode change).
struct edit_pointer_t {
    // The point under the pointer, or the position of the object it snapped to.
    vec3_t ground;
    // edit_pick_t of the picked object, the record it is (node, aux node, sign, free item or misc
    // item) and, for a misc item, its picked point (0 to 3); -1 none.
    int32_t picked_type = edit_pick_none;
    int32_t picked_item = -1;
    int32_t picked_point = -1;
    // The record held by a press (being moved, raised, turned), or the node the next edge begins at;
    // -1 none. While the start position is placed it is 1.
    int32_t held = -1;
    // 0 idle, 1 an edge has its first node.
    int32_t create_state = 0;
    // Button 4 held: the view follows the pointer; pointer and camera at the press.
    bool view_drag = false;
    float drag_x = 0.0f;
    float drag_y = 0.0f;
    vec3_t drag_camera;
    // Normalised pointer x and y at the last move.
    float last_x = 0.0f;
    float last_y = 0.0f;
};

// The ground cell beside a Road edge that the brush found under the pointer: its edge (-1 none), row,
// column (above 0 on the road's first side, below 0 on its second) and corners.
struct edit_stamp_cell_t {
    bool found = false;
    int32_t edge = -1;
    int32_t row = 0;
    int32_t column = 0;
    vec3_t quad[4];
};
// A stamp's cell as the search met it, drawn while `drawn` is set.
struct edit_stamp_outline_t {
    bool drawn = false;
    vec3_t quad[4];
};

// The object the height keys change: its kind (edit_pick_t), record and misc point; -1 none.
struct edit_height_target_t {
    int32_t index = -1;
    int32_t kind = edit_pick_none;
    int32_t point = -1;
};

// The map editor's controller, registered as "editor.ctrl": the map controller of the editor world.
// On top of the road network it keeps the edit mode and sub-mode, the pointer state, the default
// records of new items, the two cameras, a light, the background map and the HUD, runs the commands
// new, load, save, quit and preview, and prints map statistics for "g_info".
class edit_ctrl_e : public base_ctrl_e {
public:
    edit_ctrl_e();
    ~edit_ctrl_e() override;

    const char* get_default_name() const override { return "edit_ctrl"; }
    // The registered type name.
    virtual const char* get_type_name() const { return "editor.ctrl"; }
    // Phase -10: slots, segment server, background map, registration in the bridge; phase 0: the
    // marker shader, the cameras; phase 10: the HUD, modes, the bridge's map, the light, "/edit.ini",
    // "g_info".
    int init(int phase) override;
    // Phase 0: "/edit.ini", the cameras, the editor's slots, the light and "g_info" go.
    int destroy(int phase) override;
    // The background, the city under the camera, the network in view, the guides and the pins.
    void draw() override;
    // The shown item (a headquarters in range) becomes the current item.
    void show_target(map_miscitem_t& record) override;
    // The target marker goes, and with it the current item.
    void hide_target() override;

    // Mode and sub-mode (edit_mode_t, edit_sub_mode_t): shown in the HUD; each clears the pick.
    void set_mode(int32_t value);
    void set_sub_mode(int32_t value);
    // 0 no camera, 1 the top camera, 2 the free camera; the current camera becomes the world's avatar.
    void set_view_mode(int32_t view);
    // The current camera, null when none.
    editor_camera_e* current_camera() const;
    // A camera registers itself at its init phase 10 (a use of it is held until destroy).
    void register_camera(editor_camera_e& camera);

    // The commands. new and quit save a modified map first and stop when that save fails or is
    // cancelled.
    void new_map();
    // Loads "/maps/NAME" (NAME from the open dialog when null) into an emptied map; false when
    // cancelled or the map cannot be read (the map is then empty).
    bool load(const char* name);
    // Saves to "/maps/NAME" (the current map's name, else the save dialog's, when null): the pre-save
    // passes, the map, the AI data (and with `with_checks` the route table and the dock check), the
    // trailer. False when cancelled or the map was not written (the map stays marked modified).
    bool save(const char* name, bool with_checks);
    void quit();
    void preview();
    // The map statistics of "g_info".
    void print_map_info();
    // The background map's grid from "g_bsizex", "g_bsizey", "g_boffx" and "g_boffy".
    void load_background_map();
    // Shows the next report of "bugs.txt" and moves the top camera over it.
    void read_bug_list();
    // Shows `text` on the HUD's quick-help line, when there is a HUD.
    void quick_help(const char* text);

    // Settings file and trailer (edit_ctrl_files.cpp).
    void read_ini();
    void write_ini();
    bool write_trailer(const char* path, int32_t map_size);
    bool read_trailer(const char* path, int32_t map_size);

    // The editor's use of the AI data writers: the prefab of a dock edge from the segment server.
    void save_ai_data(const char* map_path);
    void check_routes(const char* map_path);
    void check_docks_traders();

    // Pre-save passes (edit_ctrl_presave.cpp).
    void prepare_save();
    void number_edge_data();
    void prepare_misc_items();
    void clean_free_item_flags();
    // Gives every node reachable from `node` through edges that are not a Cross its road name.
    void spread_node_value(int32_t node);

    // Pointer editing (edit_ctrl_pointer.cpp): the HUD's pointer area calls these.
    void on_button_down(uint32_t button, uint8_t modifiers);
    void on_pointer_move(float x, float y, vec3_t& out_point);
    void on_button_up(uint32_t button);
    // Raises (dy > 0) or lowers the height target by dy.
    void step_height(int32_t dy);
    // The pick of the top camera at normalised (x, y): true on a hit (see edit_ctrl_pick.cpp).
    bool pick(float x, float y, int32_t except);

    // Road-network edit operations (edit_ctrl_edges.cpp, edit_ctrl_nodes.cpp).
    bool can_begin_edge(int32_t node);
    bool can_end_edge(int32_t node);
    bool can_begin_aux_edge(int32_t node);
    bool can_end_aux_edge(int32_t node);
    // A new edge of the current sub-mode's kind from node `from` to `to` (-1 for a prefab placed at
    // `from`); its index, or -1.
    int32_t create_edge(int32_t from, int32_t to);
    int32_t create_aux_edge(int32_t from, int32_t to);
    void rebuild_edge(int32_t edge);
    void rebuild_aux_edge(int32_t edge);
    void remove_edge(int32_t edge);
    void remove_aux_edge(int32_t edge);
    // Joins node `dropped` into `target`; the edge that moved to the kept node in `out_edge`. False
    // when both begin an edge or one has no free side.
    bool join_nodes(int32_t dropped, int32_t target, int32_t* out_edge);
    void split_node();
    void split_aux_node();
    void move_node(int32_t node, const vec3_t& point);
    float raise_node(int32_t node, float dy);
    float raise_aux_node(int32_t node, float dy);
    void update_roads_at_node(int32_t node);
    void update_prefabs_at_node(int32_t node);
    // Numbers the terrain noise rows of the chain of Roads through `node`: each Road goes on from the
    // row where the Road before it ends.
    void number_noise_from(int32_t node);
    void update_aux_chain(int32_t node);
    int32_t find_node_at(const vec3_t& point, int32_t except) const;
    int32_t edge_starting_at(int32_t node) const;
    int32_t aux_edge_starting_at(int32_t node) const;
    // The default edge of `edge`'s kind, or of the current sub-mode when null; null for sub-modes 5-7.
    map_edge_t* get_default_edge(const map_edge_t* edge);
    // Places the prefab of edge `edge` (the current default when -1) with its origin at `origin`; a new
    // prefab's nodes are written into `nodes`.
    void place_prefab(int32_t origin, int32_t (&nodes)[4], int32_t edge);
    vec3_t prefab_node_direction(const map_edge_t& edge, int32_t slot);
    // A node between a junction and a road takes the junction's arm direction (turned to the side the
    // junction is on), so that the road leaves the arm straight.
    void align_to_prefab(int32_t node);
    float compute_curve_length(const map_node_t& start, const map_node_t& end) const;
    // Signs (edit_ctrl_signs.cpp). The signs of an edge stand in one run of the sign array from its
    // first sign. Adds a sign at the end of `edge`'s run: its index, -1 when none could be added.
    int32_t add_edge_signs(int32_t edge) override;
    // Removes sign `index` of `edge`, lowering every sign number above it.
    void remove_signs(int32_t edge, int32_t index) override;
    // Removes the sign records of `edge`, lowering the sign references above them.
    void remove_edge_signs(int32_t edge);
    // Reports every edge whose first sign does not name it.
    void check_sign_runs();
    // Removes the city block on side `side` of City Road `edge` (edit_ctrl_city_blocks.cpp): every road
    // that names it lets it go, and the block numbers above it, in the roads and in the render slots
    // that built them, move down with their records.
    void remove_city_block(int32_t edge, int32_t side) override;
    // Adds a city block on side `side` of City Road `edge` and builds its outline (the block already
    // there when the side has one): its index, or -1 (nothing added) when no block can be built there.
    int32_t add_city_block(int32_t edge, int32_t side) override;
    // Gives the block on side `side` of `edge` its four corners from the City Roads around it, which
    // all take the block on the side facing it (giving up another block they had there). False, with
    // nothing changed, when the roads around it make no quadrilateral (edit_ctrl_city_block_build.cpp).
    bool build_city_block(int32_t edge, int32_t side);

    // Property dialogs: runs the dialog of `type` (edit_dialog_t) on `record` with `extra` through
    // prop_dialog_runner; 0 cancel, 1 OK, 2 "Use as defaults", -1 when no dialog can be shown.
    int32_t open_prop_dialog(void* record, int32_t type, uint32_t extra);
    // Runs the modal property dialogs (tests put answering ones in its place); null: none can be shown.
    static prop_dialog_runner_t prop_dialog_runner;
    // The defaults dialog of the next edge of the current sub-mode's kind (none for sub-modes 5-7).
    void edit_properties();
    // Asks for an edge index and puts the current camera over that edge's start node.
    void find_edge();
    // In "New Item" mode with a junction sub-mode, steps the default edge's definition forwards
    // (down) or backwards (up) over the segment server's definitions of that kind.
    void cycle_look_down();
    void cycle_look_up();
    // The HUD text that names the road edge leaving the picked node while the pointer stays on it.
    void update_hover_text();
    // Imports a map of the prefab folder, chosen in the file dialog, with its origin at `point`.
    void import_map(const vec3_t& point);
    // The height of the start node of the nearest built road to (x, z), + 200; 0 with none built.
    float height_near(float x, float z) const;

    // Free items (edit_ctrl_free_items.cpp). A new item from the dialog at `point`, which takes the
    // remembered height.
    void create_free_item(vec3_t& point);
    // Moves item `index` to `point`; with `rebuild` its volume is measured again from its model and
    // the item tree rebuilt.
    void place_free_item(int32_t index, const vec3_t& point, bool rebuild);
    float raise_free_item(int32_t index, float delta);
    void turn_free_item(int32_t index, float a, float b, float c);
    // Removes item `index`, lowering the shown items' numbers above it.
    void remove_free_item(int32_t index);
    void free_item_properties(int32_t index);

    // Misc items (edit_ctrl_misc_items.cpp). A new item of the dialog's type at `point`.
    void create_misc_item(const vec3_t& point);
    // Moves point `k` of item `index` (point 0 for the single-point kinds) to `point`; with `settle`
    // a ground kind takes the ground's height there and the item tree is rebuilt.
    void move_misc_item_point(int32_t index, int32_t k, const vec3_t& point, bool settle);
    // Raises waypoint `k` of a mover or the point of a headquarters by `delta`: the new height; other
    // kinds are left alone and answer their point's height.
    float raise_misc_item(int32_t index, int32_t k, float delta);
    // Removes item `index`: the shown lists are emptied and every stored item number above it lowered.
    void remove_misc_item(int32_t index);
    void misc_item_properties(int32_t index, int32_t point);

    // Property dialogs (edit_ctrl_properties.cpp): each runs the dialog of its record and, when it was
    // applied, rebuilds what depends on the record and marks the map modified.
    void node_properties(int32_t node);
    void aux_node_properties(int32_t node);
    void edge_properties(int32_t edge);
    void aux_edge_properties(int32_t edge);
    // The signs dialog of sign `sign`'s edge with that sign chosen.
    void sign_properties(int32_t sign);
    // The "Select Stamp" dialog on the stamp the brush places.
    void select_stamp();
    // Stamps (edit_ctrl_stamps.cpp). Finds the ground cell of a built Road edge under the pointer.
    void find_stamp_cell();
    // The cell of Road `edge` under the pointer; the cells of the edge's stamps are kept for drawing.
    bool find_cell_on_road(int32_t edge, int32_t& out_row, int32_t& out_column);
    // Whether the pointer's ground point lies in the ground-plane quad `quad` (edges included).
    bool point_in_ground_quad(const vec3_t (&quad)[4]) const;
    // Places the brush's stamp on the found cell, or with `remove` removes the stamp there; false
    // (told why when placing) when nothing changed: a stamp too close to another on the same side, the
    // side's own ground shader, or a group of four full.
    bool check_stamps(bool remove);
    // After a property change of a modified map: rebuilds every road edge held in a render slot, with
    // its bounds. The map stays marked modified.
    void rebuild_road_slots();

    // Start-position marker, objects and pins (edit_ctrl_pins.cpp).
    void build_start_marker();
    void draw_objects();
    void draw_pins();
    void flush_pins();

    // Edit state.
    int32_t mode = edit_mode_none;
    int32_t sub_mode = edit_sub_road;
    int32_t view_mode = edit_view_none;
    // Set by every edit; cleared by a successful save.
    bool modified = false;
    // "/maps/NAME" of the map being edited, empty for a new map.
    char map_path[128] = "";
    edit_defaults_t defaults;
    edit_pointer_t pointer;
    edit_height_target_t height_target;
    // Heights given to the next node, aux node and item created.
    int32_t node_height = 0;
    int32_t aux_node_height = 0;
    int32_t item_height = 0;
    // What the free-item dialog starts from: definition, look, rotation and flags.
    map_freeitem_t free_item_defaults{};
    // The stamp the brush places: definition and shader.
    int32_t stamp_definition = 0;
    int32_t stamp_shader = 0;
    // The brush's cell under the pointer and the stamps of its road.
    edit_stamp_cell_t stamp_cell;
    edit_stamp_outline_t stamp_outlines[map_stamp_group_size];
    // The misc item the segment server's target marker shows, -1 none.
    int32_t current_item = -1;
    // The HUD text names the edge under the pointer.
    bool hover_text_shown = false;
    // Reports of "bugs.txt" shown so far.
    int32_t bugs_shown = 0;
    bool background_visible = false;

private:
    // A press in "New Item" mode: by sub-mode, a node and an edge, an aux edge or a prefab.
    void create_at_pointer();
    // Phases of init.
    int init_early();
    void init_cameras();
    void init_late();
    // Saves a modified map first; false when that save failed or was cancelled.
    bool save_if_modified();
    // Drops the built city blocks, the sounds and the whole road network.
    void empty_map();
    // Draw parts (edit_ctrl_draw.cpp, edit_ctrl_background.cpp).
    void draw_background();
    bool view_volume(cd_bounds_t& out_box) const;
    void draw_city_outline();
    void draw_create_guides();
    // In "New Item" mode with a junction sub-mode and no edge begun, the default junction built at the
    // ground point and its outline; the build is kept while the point and the default stay.
    void draw_create_preview();
    void release_preview();
    void draw_misc_shapes();
    // In stamp mode, the cell under the pointer and the cells of its road's stamps.
    void draw_stamp_cells();
    // Lowers every held or picked node index above `removed` (the node itself becomes -1).
    void renumber_held_nodes(int32_t removed);
    void renumber_held_aux_nodes(int32_t removed);
    // Links a new edge to its nodes (see edit_ctrl_edges.cpp).
    void link_edge(int32_t edge, int32_t given_node);
    void apply_edge_defaults(map_edge_t& edge, const map_edge_t& source);
    // Builds `edge` into the editor's own slot and takes the bounds from that build.
    void build_bounds(map_edge_t& edge);
    // Moves the sign numbers of the boards the segment server placed, from sign `from` on, by `delta`.
    void shift_placed_signs(int32_t from, int32_t delta);
    // The walk of a city block's outline from City Road `first` through the crossings at one of its
    // ends (the end node, or the start node when `backward`), appending each City Road met and whether
    // it is run against its direction; true when it came round to a road already listed.
    bool walk_city_block(int32_t first, int32_t side, bool backward, std::vector<int32_t>& edges_out,
                         std::vector<int32_t>& reversed_out);
    // The node of Cross `cross` by which a walk that came in at `node` leaves it on `side`; -1 none.
    int32_t city_block_cross_exit(int32_t cross, int32_t node, int32_t side);
    // Deletes node record `node`, lowering every node number above it in the edges.
    void delete_node(int32_t node);
    void delete_aux_node(int32_t node);

    entity_handle_t top_camera_;
    entity_handle_t free_camera_;
    bool registered_ = false;
    bool command_registered_ = false;
    c_item_t* hud_ = nullptr;
    r_light_t* light_ = nullptr;
    // The editor's own render slots for edges that have none.
    segment_t own_segment_;
    // The junction previewed at the pointer: its slot, the edge it was built from and its place.
    segment_t preview_segment_;
    map_edge_t preview_edge_{};
    vec3_t preview_at_;
    bool preview_built_ = false;
    aux_segment_t own_aux_segment_;
    const gfx_shader_t* start_shader_ = nullptr;
    const gfx_shader_t* background_shader_ = nullptr;
    std::unique_ptr<pml_buffer_t> pins_;
    // The start-position marker: a box of 8 vertices and 36 indices.
    vec3_t marker_vertices_[8];
    // The background map's grid: positions, texture coordinates and 384 indices.
    float background_positions_[background_grid * background_grid * 3] = {};
    float background_texcoords_[background_grid * background_grid * 2] = {};
    uint16_t background_indices_[384] = {};
};

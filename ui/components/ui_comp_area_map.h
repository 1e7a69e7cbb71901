#pragma once
#include <cstdint>
#include <vector>

#include "engine/entity.h"
#include "engine/pml.h"
#include "engine/ui_view.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/cd_bounds.h"
#include "road/ctrl_parts.h"

struct c_item_t;
class base_ctrl_e;
class area_map_economy_t;
struct map_edge_t;
struct prefab_t;

// Kinds of a map marker; the first eight name their icon in that order.
enum area_map_marker_kind_t : int32_t {
    area_marker_interstate_sign = 0,
    area_marker_road_sign = 1,
    area_marker_gas = 2,
    area_marker_service = 3,
    area_marker_delivery = 4,
    area_marker_hazard = 5,
    area_marker_dealer = 6,
    area_marker_weigh = 7,
    area_marker_trader = 8,
};

// A place the map shows an icon or a road name at; `index` is the road name of a road sign and the
// trader of a trader marker.
struct area_map_marker_t {
    vec3_t position;
    int32_t kind = 0;
    int32_t index = -1;
};

// Bits of `ui_comp_area_map_t::label_mask`.
enum area_map_label_t : uint32_t {
    area_label_cities = 1u << 0,
    area_label_road_signs = 1u << 1,
    area_label_dealers = 1u << 2,
    area_label_gas = 1u << 3,
    area_label_service = 1u << 4,
    area_label_weigh = 1u << 5,
};

// Vertices and indices one geometry chunk of the map holds.
constexpr int32_t area_map_chunk_capacity = 2461;

// Flat road quads drawn as one indexed packet: positions, texture coordinates, one colour a vertex.
struct area_map_chunk_t {
    std::vector<float> positions;
    std::vector<float> texcoords;
    std::vector<uint32_t> colours;
    std::vector<uint16_t> indices;
    int32_t vertex_count() const { return static_cast<int32_t>(colours.size()); }
    int32_t index_count() const { return static_cast<int32_t>(indices.size()); }
};

// The road map ("ui.comp.area_map"): the road network seen from straight above, as flat quads built
// from the map controller's edges inside a region, with markers for stations, dealers, traders, hazards
// and road names, city names with their pins, the pin of the player's delivery point and a GPS arrow at
// the player's truck. The game map window follows the truck with it; the notebook shows the whole map.
class ui_comp_area_map_t : public ui_view_t, public ctrl_map_view_t {
public:
    static const level_list_t area_map_init_list;
    static const level_list_t area_map_destroy_list;

    ui_comp_area_map_t();

    const char* get_default_name() const override { return "ui.comp.area_map"; }
    const level_list_t* get_init_list() const override { return &area_map_init_list; }
    const level_list_t* get_destroy_list() const override { return &area_map_destroy_list; }
    // Phase 0: the shaders and the view's size; destroy gives the shaders back and empties the map.
    int init(int phase) override;
    int destroy(int phase) override;
    // Roads, then icons and labels, then the GPS arrow, while the view is visible: draw_map with the
    // world's base controller, economy and player's truck.
    void draw() override;
    // The same with the parts given (any may be null), the truck at `truck` turned by `turn`.
    void draw_map(const base_ctrl_e* ctrl, const ctrl_economy_t* names, const area_map_economy_t* economy,
                  const vec3_t& truck, const quat_t& turn);

    // Rebuilds roads and markers from the edges of the world's base controller inside `region`.
    void build(const cd_bounds_t& region);
    // The same from `ctrl`, the economy's parts (either may be null) answering dealers and traders.
    void build_from(base_ctrl_e& ctrl, const area_map_economy_t* economy);
    // The game map's follow flag, city view and camera height.
    void set_map_view(uint8_t shown, uint8_t city, float zoom) override;
    void build_map(const cd_bounds_t& region) override { build(region); }
    // Which labels and icons show and the colour of city names; the labels are rebuilt.
    void set_label_filter(uint32_t mask, uint32_t colour);

    const std::vector<area_map_chunk_t>& chunks() const { return chunks_; }
    const std::vector<area_map_marker_t>& markers() const { return markers_; }
    const pml_buffer_t& icon_items() const { return icon_items_; }
    const pml_buffer_t& label_texts() const { return label_texts_; }
    // The camera's place above the map for the truck at `truck` (the map origin when not following).
    vec3_t camera_position(const vec3_t& truck) const;

    uint32_t label_mask = area_label_cities | area_label_road_signs | area_label_gas | area_label_service;
    uint32_t label_colour = 0xff10dc00u;
    uint8_t dirty = 1;
    uint8_t follow = 1;
    float camera_height = 0.0f;
    uint8_t city_mode = 1;

private:
    void add_road(base_ctrl_e& ctrl, int32_t edge_index, const area_map_economy_t* economy);
    // The markers of an edge's prefab service points (outside the city view).
    void add_service_markers(const prefab_t& prefab, const map_edge_t& edge, const vec3_t& first,
                             const area_map_economy_t* economy);
    // Appends one quad from `start` to `end`, spread by `start_side` and `end_side`.
    void add_quad(const vec3_t& start, const vec3_t& end, const vec3_t& start_side, const vec3_t& end_side,
                  uint32_t colour);
    // Refills the icons and labels through the current camera and view.
    void rebuild_labels(const base_ctrl_e* ctrl, const ctrl_economy_t* names, const area_map_economy_t* economy);
    // Projects `point` to the view: x from its left edge, y from its top edge downwards, reference units;
    // false when it falls outside the view.
    bool project(const vec3_t& point, float& out_x, float& out_y) const;
    // An icon of `width` by `height` centred on (x, y) of the view.
    void add_icon(const char* shader, float x, float y, float width, float height);
    void add_city_labels(const base_ctrl_e& ctrl, const ctrl_economy_t* names);
    void add_marker_labels(const base_ctrl_e* ctrl, const area_map_economy_t* economy);
    void draw_arrow(const vec3_t& truck, const quat_t& turn);

    std::vector<area_map_chunk_t> chunks_;
    std::vector<area_map_marker_t> markers_;
    pml_buffer_t icon_items_;
    pml_buffer_t label_texts_;
    c_item_t* road_shader_ = nullptr;
    c_item_t* city_road_shader_ = nullptr;
    c_item_t* arrow_shader_ = nullptr;
    float view_width_ = 0.0f;
    float view_height_ = 0.0f;
    // The view's rectangle in reference units when the labels were laid out.
    pml_rect_t label_rect_;
};

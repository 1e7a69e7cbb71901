#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/matrix.h"
#include "engine/pml.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"

namespace {

constexpr const char* icon_selected = "/shaders/editor/ico_node_sel.shd";
constexpr const char* icon_begins = "/shaders/editor/ico_node_in.shd";
constexpr const char* icon_node = "/shaders/editor/ico_node_all.shd";
constexpr const char* icon_sign = "/shaders/editor/ico_node_sign.shd";
constexpr const char* icon_height = "/shaders/editor/ico_height_sel.shd";
// Half the side of a pin in reference units.
constexpr float pin_half = 6.0f;
// The top camera's zoom from which the pins are not drawn.
constexpr float pins_zoom_limit = 0.5f;

// Texture coordinates of the start marker's eight vertices.
constexpr float marker_texcoords[16] = {0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 0, 0, 0};
// Its twelve triangles.
constexpr uint16_t marker_indices[36] = {3, 0, 2, 2, 0, 1, 0, 4, 1, 1, 4, 5, 4, 7, 5, 5, 7, 6,
                                         2, 6, 3, 3, 6, 7, 1, 5, 2, 2, 5, 6, 3, 7, 0, 0, 7, 4};

// Places pins over points: each pin passes its icon's shader when it differs from the last one
// passed (the first always does), so the buffer switches shaders only when the icon changes.
class pin_writer_t {
public:
    pin_writer_t(pml_buffer_t& buffer, const mat4_t& projection) : buffer_(buffer), projection_(projection)
    {
        ui_get_reference_mode(&width_, &height_);
    }

    // A pin with `icon` at `point`; false when the buffer is full.
    bool add(const char* icon, const vec3_t& point)
    {
        pml_item_t* const pin = buffer_.insert(icon == last_ ? nullptr : icon);
        if (!pin) {
            last_ = nullptr;
            return false;
        }
        last_ = icon;
        const vec3_t p = mult_point_matrix(projection_, point);
        const float sx = (p.x + 1.0f) * static_cast<float>(width_) * 0.5f;
        const float sy = (p.y + 1.0f) * static_cast<float>(height_) * 0.5f;
        pin->box = pml_rect_t{sx - pin_half, sx + pin_half, sy + pin_half, sy - pin_half};
        return true;
    }
    // A node or aux-node pin: reported when it does not fit.
    void add_node(const char* icon, const vec3_t& point)
    {
        if (!add(icon, point))
            api::warning("ui_pins buffer overflow");
    }
    // The projected depth of `point`.
    float depth(const vec3_t& point) const { return mult_point_matrix(projection_, point).z; }

private:
    pml_buffer_t& buffer_;
    const mat4_t& projection_;
    const char* last_ = nullptr;
    int width_ = 1024;
    int height_ = 768;
};

}  // namespace

void edit_ctrl_e::build_start_marker()
{
    const vec3_t& p = start_position;
    const float xs[8] = {-128, 128, 128, -128, -128, 128, 128, -128};
    const float zs[8] = {128, 128, -128, -128, 128, 128, -128, -128};
    for (int i = 0; i < 8; ++i)
        marker_vertices_[i] = vec3_t(p.x + xs[i], p.y + (i < 4 ? 0.0f : 256.0f), p.z + zs[i]);
}

void edit_ctrl_e::draw_objects()
{
    gfx_data_t marker;
    marker.flags = 41 | gfx_data_world;
    marker.primitive = gfx_triangle_list;
    marker.shader = start_shader_;
    marker.vertex_count = 8;
    marker.index_count = 36;
    marker.positions = &marker_vertices_[0].x;
    marker.texcoords = marker_texcoords;
    marker.indices = marker_indices;
    api::gfx_cache_data(&marker);
    if (!seg_server)
        return;
    seg_server->draw_objects(false);
    seg_server->draw_lights(cityblocks, false);
    seg_server->draw_free_items(freeitems, false);
}

void edit_ctrl_e::draw_pins()
{
    if (!pins_)
        return;
    pins_->reset();
    editor_camera_e* const camera = current_camera();
    if (!camera)
        return;
    const mat4_t projection = camera->view_projection();
    pin_writer_t pins(*pins_, projection);
    if (view_mode == edit_view_top) {
        for (int32_t s = 0; s < segment_slot_count; ++s) {
            const segment_t* const slot = segment_slot(s);
            if (!slot || !edges.valid(slot->edge_index))
                continue;
            const map_edge_t& edge = edges[slot->edge_index];
            for (const int32_t n : edge.nodes) {
                if (!nodes.valid(n))
                    continue;
                const map_node_t& node = nodes[n];
                // Each node once: from the edge on its forward link, or from any edge when a side is free.
                if (!(node.links[1] == -1 || node.links[0] == -1 || node.links[1] == slot->edge_index))
                    continue;
                if (!api::gfx_sphere_visible(&node.position.x, 0.0f))
                    continue;
                const bool selected = pointer.picked_type == edit_pick_node && pointer.picked_item == n;
                pins.add_node(selected ? icon_selected : (node.flags & 1u) ? icon_begins : icon_node, node.position);
            }
        }
        for (int32_t s = 0; s < aux_segment_slot_count; ++s) {
            const aux_segment_t* const slot = aux_segment_slot(s);
            if (!slot || !aux_edges.valid(slot->aux_edge))
                continue;
            for (const int32_t n : aux_edges[slot->aux_edge].nodes) {
                if (!aux_nodes.valid(n))
                    continue;
                const map_aux_node_t& node = aux_nodes[n];
                const bool selected = pointer.picked_type == edit_pick_aux_node && pointer.picked_item == n;
                pins.add_node(selected ? icon_selected : (node.flags & 1u) ? icon_begins : icon_node, node.position);
            }
        }
        if (seg_server)
            for (const int32_t index : seg_server->shown_freeitems)
                if (freeitems.valid(index))
                    pins.add(icon_node, freeitems[index].position);
        if (pointer.picked_type >= edit_pick_sign)
            pins.add(icon_selected, pointer.ground);
        for (const base_ctrl_list_t list :
             {base_ctrl_sky_swaps, base_ctrl_cut_planes, base_ctrl_movers, base_ctrl_stations, base_ctrl_no_weather})
            for (const int32_t index : active_list(list)) {
                if (!miscitems.valid(index))
                    continue;
                const map_miscitem_t& item = miscitems[index];
                const int32_t points = list == base_ctrl_movers ? static_cast<int32_t>(item.flags & 3u) + 1
                                       : list == base_ctrl_sky_swaps || list == base_ctrl_cut_planes ? 2
                                                                                                     : 1;
                for (int32_t p = 0; p < points; ++p)
                    pins.add(icon_node, item.points[p]);
            }
        if (seg_server && seg_server->target.shown)
            pins.add(icon_node, seg_server->target.position);
    }
    vec3_t target;
    bool has_target = false;
    if (height_target.kind == edit_pick_node && nodes.valid(height_target.index)) {
        target = nodes[height_target.index].position;
        has_target = true;
    } else if (height_target.kind == edit_pick_aux_node && aux_nodes.valid(height_target.index)) {
        target = aux_nodes[height_target.index].position;
        has_target = true;
    } else if (height_target.kind == edit_pick_free_item && freeitems.valid(height_target.index)) {
        target = freeitems[height_target.index].position;
        has_target = true;
    } else if (height_target.kind == edit_pick_misc_point && miscitems.valid(height_target.index) &&
               height_target.point >= 0 && height_target.point < 4) {
        target = miscitems[height_target.index].points[height_target.point];
        has_target = true;
    }
    if (has_target && pins.depth(target) < 1.0f)
        pins.add(icon_height, target);
}

void edit_ctrl_e::flush_pins()
{
    editor_camera_e* const camera = current_camera();
    if (!pins_ || !camera)
        return;
    // Only the top camera has a zoom: zoomed far out its pins would cover the map.
    if (view_mode == edit_view_top && camera->zoom_field() >= pins_zoom_limit)
        return;
    pml_buffer_flush(*pins_, 0.0f, 0.0f);
}

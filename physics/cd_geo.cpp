#include "physics/cd_geo.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/log.h"
#include "physics/phys_body.h"
#include "physics/tri_tests.h"

cd_geo_t::cd_geo_t() { pose.update_matrices(); }

cd_geo_t::~cd_geo_t()
{
    if (body)
        body->clear_geom();
    body = nullptr;
}

cd_bvnode_t* cd_geo_t::get_tree_in_box(uint32_t* handle, const vec3_t&, const vec3_t&) { return get_tree(handle); }

cd_polyhedron_t* cd_geo_t::get_polyhedron() { return nullptr; }

int cd_geo_t::segment_test(const vec3_t& start, const vec3_t& vector, uint32_t id, float* fraction, uint32_t)
{
    cd_item_t item;
    item.id = id;
    item.request = cd_item_t::request_vertices;
    get_item(item, 1);
    if (item.vertex_count != 3 || !item.vertex[0] || !item.vertex[1] || !item.vertex[2])
        return 0;
    return cd_triangle_segment_test(*item.vertex[0], *item.vertex[1], *item.vertex[2], start, vector, fraction) ? 1 : 0;
}

bool cd_geo_t::pri_collide(const cd_query_context_t&, const cd_item_t&, cd_geo_t**, uint32_t*)
{
    report("pri_collide NOT IMPLEMENTED!");
    return false;
}

void cd_geo_t::refit_node(cd_bvnode_t* node)
{
    if (node) {
        refit_tree(node);
        return;
    }
    uint32_t handle = 0;
    cd_bvnode_t* const root = get_tree(&handle);
    if (root)
        refit_tree(root);
    release_tree(handle);
}

void cd_geo_t::refit_tree(cd_bvnode_t* root)
{
    // Parents come before their children in `order`, so walking it backwards refits children first.
    std::vector<cd_bvnode_t*> order;
    std::vector<cd_bvnode_t*> pending{root};
    while (!pending.empty()) {
        cd_bvnode_t* const node = pending.back();
        pending.pop_back();
        order.push_back(node);
        if (!node->leaf()) {
            pending.push_back(node->first);
            pending.push_back(node->second);
        }
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        cd_bvnode_t* const node = *it;
        if (node->leaf()) {
            node->bounds.set_empty();
            const uint16_t count = node->count();
            for (uint16_t i = 0; i < count; ++i) {
                cd_item_t item;
                item.id = node->ids()[i];
                item.request = cd_item_t::request_bounds;
                get_item(item, 1);
                node->bounds.add_bounds(item.bounds);
            }
        } else {
            node->bounds = node->first->bounds;
            node->bounds.add_bounds(node->second->bounds);
        }
    }
}

void cd_geo_t::set_position(const vec3_t& position)
{
    if (!body) {
        pose.position = position;
        frame_dirty = 1;
        return;
    }
    if (body->current)
        body->current->position = position;
    body->next.position = position;
    if (body->geometry)
        body->geometry->frame_dirty = 1;
}

void cd_geo_t::set_orientation(const quat_t& orientation)
{
    if (!body) {
        pose.orientation = orientation;
        pose.update_matrices();
        frame_dirty = 1;
        return;
    }
    if (body->current) {
        body->current->orientation = orientation;
        body->current->update_matrices();
    }
    body->next.orientation = orientation;
    body->next.update_matrices();
    if (body->geometry)
        body->geometry->frame_dirty = 1;
}

void cd_geo_t::update_axial()
{
    frame.identity();
    frame.translate(pose.position);
}

void cd_geo_t::set_name(const char* name) { snprintf(name_, sizeof name_, "%s", name ? name : ""); }

void cd_geo_t::report(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    report_text(0, "", format, args);
    va_end(args);
}

void cd_geo_t::report_error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    report_text(1, "\\r*** ERROR *** ", format, args);
    va_end(args);
}

void cd_geo_t::report_text(int level, const char* marker, const char* format, va_list args)
{
    char text[cd_report_capacity];
    int used =
        level ? snprintf(text, sizeof text, "<%s> %s ", name_, marker) : snprintf(text, sizeof text, "<%s> ", name_);
    if (used < 0)
        used = 0;
    if (static_cast<size_t>(used) < sizeof text - 1)
        vsnprintf(text + used, sizeof text - static_cast<size_t>(used), format, args);
    if (level)
        error("%s", text);
    else
        message("%s", text);
}

void cd_geo_t::derive_bounds(const cd_bvnode_t& root, cd_bvnode_t& bounds, cd_sphere_t& sphere)
{
    bounds.first = root.first;
    bounds.second = root.second;
    bounds.bounds = root.bounds;
    vec3_t half;
    for (int axis = 0; axis < 3; ++axis) {
        sphere.centre[axis] = (root.bounds.minimum[axis] + root.bounds.maximum[axis]) * 0.5f;
        half[axis] = root.bounds.maximum[axis] - sphere.centre[axis];
    }
    sphere.radius = half.length() + 1.0f;
}

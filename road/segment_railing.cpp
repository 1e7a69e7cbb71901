#include "road/segment_railing.h"

#include "road/base_ctrl.h"
#include "road/segment.h"

namespace {

// True when `neighbour` (an edge index) carries railing `railing` on side `side` too.
bool continues(const base_ctrl_e& controller, const int32_t neighbour, const int side, const int32_t railing)
{
    return controller.edges.valid(neighbour) && controller.edges[neighbour].sides[side].railing == railing;
}

}  // namespace

edge_railing_t segment_edge_railing(base_ctrl_e& controller, const map_edge_t& edge, const int side)
{
    edge_railing_t out;
    const int32_t railing = edge.sides[side].railing;
    const seg_server_t* server = controller.seg_server;
    if (!server || railing < 0 || static_cast<size_t>(railing) >= server->railings.size())
        return out;
    const railing_def_t& def = server->railings[static_cast<size_t>(railing)];
    if (def.render[railing_middle].vertex_count() == 0)
        return out;
    out.def = &def;
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    out.begin = def.render[railing_begin].vertex_count() > 0 &&
                !(start && continues(controller, start->links[0], side, railing));
    out.end =
        def.render[railing_end].vertex_count() > 0 && !(end && continues(controller, end->links[1], side, railing));
    return out;
}

vec3_t railing_point(const vec3_t& model, const float t, const vec3_t p[2], const vec3_t s[2], const float base,
                     const int side)
{
    const float lateral = side == 1 ? base + model.x : base - model.x;
    const vec3_t a = p[0] - s[0] * lateral + vec3_t(0.0f, model.y, 0.0f);
    const vec3_t b = p[1] - s[1] * lateral + vec3_t(0.0f, model.y, 0.0f);
    return a + (b - a) * t;
}

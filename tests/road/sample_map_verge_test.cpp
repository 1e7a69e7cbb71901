#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "../frame/sample_game_fixture.h"
#include "common/game_bridge.h"
#include "engine/command_line.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "road/game_ctrl.h"
#include "road/segment_terrain.h"

namespace {

// The game on the sample data, started as "kavrenta -map mainland" starts it: its roads' collision and
// the world's ground in one physics.
class sample_map_verge_test : public sample_game_test_t {
protected:
    // The height of the first thing a ray straight down at (x, z) meets, from 50 m over `y`; false when
    // it meets nothing within 50 m under `y`.
    static bool height_under(physproc_t& physics, const float x, const float y, const float z, float& out)
    {
        const phys_contact_t* const hit =
            physics.ray_cast({x, y + 5000.0f, z}, {x, y - 5000.0f, z}, nullptr, nullptr, 0, 0);
        if (!hit)
            return false;
        out = hit->position.y;
        return true;
    }
};

// Beside an open road the verge's skirt leads out to the world's ground: a truck that left the road
// comes back over its outer edge, which must not stand as a step above the ground beyond it.
TEST_F(sample_map_verge_test, every_open_roads_skirt_ends_on_the_worlds_ground)
{
    cdl_set({"kavrenta", "-map", "mainland"});
    game_process_t* const game = game_process_t::create_and_start();
    ASSERT_NE(game->world(), nullptr);
    auto* const world = dynamic_cast<world_process_t*>(game->world());
    ASSERT_NE(world, nullptr);
    auto* const ctrl = dynamic_cast<game_ctrl_e*>(get_game_bridge()->base_ctrl().resolve());
    ASSERT_NE(ctrl, nullptr);
    physproc_t& physics = world->physics();

    // The world's ground lies 30 cm under the roads it follows; a truck's wheels climb that much from
    // the ground back onto a verge.
    constexpr float most_step = 40.0f;
    float worst = 0.0f;
    int checked = 0;
    for (int32_t e = 0; e < ctrl->edges.count; ++e) {
        const map_edge_t& edge = ctrl->edges[e];
        if (edge.kind != map_edge_road)
            continue;
        const road_section_t& surface = ctrl->seg_server->road_defs[static_cast<size_t>(edge.definition)].collision;
        const road_curve_t curve(ctrl->nodes[edge.nodes[0]], ctrl->nodes[edge.nodes[1]], edge.length);
        const int steps = static_cast<int>(edge.length / 1000.0f);
        for (int i = 1; i < steps; ++i) {
            vec3_t point, tangent, s;
            curve.at(static_cast<float>(i) / static_cast<float>(steps), point, tangent, s);
            // The skirt's outer edge lies 1300 beyond the road's edge on either side.
            for (const float edge_offset : {-surface.left_xy[0] + 1300.0f, -surface.right_xy[0] - 1300.0f}) {
                const float out = edge_offset > 0.0f ? 1.0f : -1.0f;
                const vec3_t inside = point + s * (edge_offset - out * 20.0f);
                const vec3_t beyond = point + s * (edge_offset + out * 20.0f);
                float skirt = 0.0f;
                float ground = 0.0f;
                // Step the physics' queries as a truck there would.
                ASSERT_TRUE(height_under(physics, inside.x, point.y, inside.z, skirt)) << "edge " << e;
                ASSERT_TRUE(height_under(physics, beyond.x, point.y, beyond.z, ground)) << "edge " << e;
                ++checked;
                worst = std::max(worst, skirt - ground);
                EXPECT_LE(skirt - ground, most_step) << "edge " << e << " at " << inside.x << " " << inside.z;
            }
        }
    }
    std::printf("%d places, the highest step %.0f cm\n", checked, static_cast<double>(worst));
    EXPECT_GT(checked, 1000);
}

}  // namespace

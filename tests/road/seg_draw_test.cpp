#include <algorithm>
#include <vector>

#include "engine/cache.h"
#include "engine/gfx_record.h"
#include "engine/psm.h"
#include "engine/psm_record.h"
#include "common/engine_api.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

class seg_draw_test : public seg_test_t {
protected:
    seg_server_t server;
};

TEST_F(seg_draw_test, flares_fade_with_distance_and_lamps_shine_only_forwards)
{
    // A street light's flare at 20000 units is drawn at (6.25e8 - 4e8) * 2.5e-9 of full brightness.
    EXPECT_TRUE(server.draw_flare({}, {20000.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_EQ(server.flare_sprite.colour, 0xFF000000u + 143u * 0x010101u);
    EXPECT_FALSE(server.draw_flare({}, {25001.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_TRUE(server.draw_flare({}, {100.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_EQ(server.flare_sprite.colour, 0xFFFFFFFFu);
    // A lamp placed 100 units behind the camera faces it with its +z side; turned about, it does not.
    const float ahead[3] = {0.0f, 0.0f, -100.0f};
    api::gfx_push();
    api::gfx_translate(ahead);
    EXPECT_TRUE(server.draw_flare({}, {0.0f, 0.0f, 100.0f}, nullptr, true));
    quat_t about;
    about.set({0.0f, 1.0f, 0.0f}, 180.0f);
    const float turn[4] = {about.x, about.y, about.z, about.w};
    api::gfx_qrotate(turn);
    EXPECT_FALSE(server.draw_flare({}, {0.0f, 0.0f, 100.0f}, nullptr, true));
    api::gfx_pop();
}

}  // namespace

namespace {

// A light source whose lights are an empty light list, known by its address.
class marker_lights_t : public seg_light_source_t {
public:
    const void* static_model_lights() override { return &list; }
    const std::vector<c_item_t*> list;
};

class seg_draw_objects_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        write_sample_road_segs();
        write_data_file("models/lights.psm", R"(psm 1
bone red0 { matrix 1 0 0 0  0 1 0 430  0 0 1 32  0 0 0 1 }
bone yellow0 { matrix 1 0 0 0  0 1 0 390  0 0 1 32  0 0 0 1 }
bone green0 { matrix 1 0 0 0  0 1 0 350  0 0 1 32  0 0 0 1 }
part head { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }
)");
        write_data_file("defs/seg_server/prefabs.def", R"(prefabs {
    tr_lights_count = 1
    tr_lights0 = "pole;/models/lights.psm"
    tr_lights_red = /shaders/lights/red.shd
    tr_lights_yellow = /shaders/lights/yellow.shd
    tr_lights_green = /shaders/lights/green.shd
})");
        ASSERT_GT(server.load(), 0);
    }
    void TearDown() override
    {
        server.unload();
        seg_test_t::TearDown();
    }

    seg_counted_shaders_t shaders;
    seg_server_t server;
};

TEST_F(seg_draw_objects_test, lamps_flare_in_their_state_and_the_lights_come_from_the_source_while_set)
{
    ASSERT_EQ(server.tr_lights.size(), 1u);
    ASSERT_EQ(server.tr_lights[0].group_count, 1);
    // A traffic light 1000 ahead of the camera, facing it; its first pair shows green.
    quat_t none;
    none.set({0.0f, 1.0f, 0.0f}, 0.0f);
    server.add_lamp({0.0f, 0.0f, -1000.0f}, none, false, 0, false);
    server.set_lamp_state(128);
    marker_lights_t lights;
    server.set_light_source(&lights);
    const std::vector<vec3_t> quad(6, vec3_t(1.0f, 0.0f, 1.0f));
    server.add_lane_arrow(quad.data(), 1, 7);
    server.draw_objects(false);
    const gfx_frame_record_t& frame = gfx_record_current();
    ASSERT_EQ(frame.sprites.size(), 1u);
    EXPECT_EQ(frame.sprites[0].shader_path, "/shaders/lights/green.shd");
    // The flare shows its whole picture, not the colour of one corner.
    ASSERT_EQ(frame.sprites[0].sprites.size(), 1u);
    EXPECT_EQ(frame.sprites[0].sprites[0].uv1[0], 1.0f);
    EXPECT_EQ(frame.sprites[0].sprites[0].uv1[1], 1.0f);
    EXPECT_EQ(seg_server_light_callback(server.tr_lights[0].model, &server), &lights.list);
    ASSERT_EQ(frame.data.size(), 1u);
    EXPECT_EQ(frame.data[0].shader_path, "/shaders/signs/arrow_s.shd");
    // Cleared, the source is no longer asked.
    server.clear_light_source();
    EXPECT_EQ(seg_server_light_callback(server.tr_lights[0].model, &server), nullptr);
}

// A vegetation instance is drawn in its lit colour and only that: the world's light is not applied to it
// again, while the traffic lights' models take it.
TEST_F(seg_draw_objects_test, vegetation_is_shaded_once_by_its_lit_colour)
{
    ASSERT_TRUE(server.veg_models.empty());
    server.veg_models.resize(1);
    server.veg_models[0].model = api::psm_alloc("/models/lights.psm", 0, 0, 16);
    ASSERT_NE(server.veg_models[0].model, nullptr);
    marker_lights_t lights;
    server.set_light_source(&lights);
    server.set_lighting({0.0f, -1.0f, 0.0f}, {0.5f, 0.5f, 0.5f}, {0.2f, 0.2f, 0.2f});
    model_instance_node_t* const tree = server.add_model_instance(0, {}, {0.0f, 1.0f, 0.0f}, 0);
    ASSERT_NE(tree, nullptr);
    tree->value().visible = 1;
    server.draw_objects(true);
    const psm_t* const model = server.veg_models[0].model;
    const auto drawn = std::find_if(psm_draw_records().begin(), psm_draw_records().end(),
                                    [model](const psm_draw_record_t& record) { return record.model == model; });
    ASSERT_NE(drawn, psm_draw_records().end());
    EXPECT_EQ(drawn->colour, 0xFF333333u);
    EXPECT_EQ(drawn->lights, nullptr);
    EXPECT_EQ(seg_server_light_callback(server.tr_lights[0].model, &server), &lights.list);
    server.clear_light_source();
}

}  // namespace

#include <string>

#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

// A model of one box part 700 long along z, with a light bone and the dry-box corners.
constexpr const char* box_model = R"(psm 1
bone light0 { matrix 1 0 0 1  0 1 0 2  0 0 1 3  0 0 0 1 }
bone noweather00 { }
bone noweather10 { matrix 1 0 0 5  0 1 0 5  0 0 1 5  0 0 0 1 }
part body { positions { 0 0 -200 1 0 500 0 1 0 } indices { 0 1 2 } }
part zcoll { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }
)";

class scenery_read_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        write_data_file("models/box.psm", box_model);
        write_data_file("anims/lift.psa", "psa 1\nframes 2\nlength 1.0\n");
    }
    void TearDown() override
    {
        server.unload();
        seg_test_t::TearDown();
    }

    seg_counted_shaders_t shaders;
    seg_server_t server;
};

TEST_F(scenery_read_test, free_items_are_static_animated_or_sounding_by_their_list)
{
    write_data_file("defs/seg_server/freeitems.def", R"(freeitems {
    model_count = 3
    model0 = "still;/models/box.psm;-"
    model1 = "lift;/models/box.psm;/anims/lift.psa"
    model2 = "hum;/models/box.psm;-;/sounds/hum.ogg"
    shader_count = 1
    shader0 = /shaders/a.shd
    look_count = 2
    look0 = "pair;0;2"
    look1 = "many;0;1;2;0;1;7"
})");
    server.read_freeitems(false);
    ASSERT_EQ(server.freeitem_models.size(), 3u);
    EXPECT_EQ(server.freeitem_models[0].animation, -1);
    EXPECT_GE(server.freeitem_models[1].animation, 0);
    EXPECT_EQ(server.freeitem_models[0].sound, nullptr);
    EXPECT_EQ(server.freeitem_models[2].collision.index_count(), 3);
    EXPECT_EQ(server.freeitem_models[0].noweather[1], vec3_t(5.0f, 5.0f, 5.0f));
    // One shader serves as both of its pair.
    EXPECT_EQ(server.freeitem_shaders[0].first.shader, server.freeitem_shaders[0].second.shader);
    EXPECT_EQ(server.freeitem_looks[0].model_count, 2);
    EXPECT_EQ(server.freeitem_looks[0].models[1], 2);
    // A look of more than four models keeps four; a model index past the table is refused.
    EXPECT_EQ(server.freeitem_looks[1].model_count, 4);
    EXPECT_FALSE(engine_log_matching("only the first 4 are used").empty());
}

TEST_F(scenery_read_test, city_blocks_check_their_kinds_and_take_widths_and_lights_from_the_models)
{
    write_data_file("defs/seg_server/cityblocks.def", R"(cityblocks {
    model_count = 1
    model0 = /models/box.psm
    shader_count = 1
    shader0 = /shaders/walls.shd
    model_look0 = "0;0;0;0;0;0;0;0;0;0"
    model_look1 = "3;5"
    look_count = 3
    look0 = "town;2;0;0.5;1;0.5"
    look1 = "crowded;17"
    look2 = "short;2;0;1.0"
    lamp_count = 1
    lamp0 = /models/box.psm
})");
    server.read_cityblocks(false);
    EXPECT_EQ(server.cityblock_models[0].width, 700);
    const cityblock_look_t& town = server.cityblock_looks[0];
    ASSERT_EQ(town.kind_count, 2);
    EXPECT_EQ(town.kinds[0].shaders[7], 0);
    EXPECT_EQ(engine_log_matching("City building model has more than 8 parts !!!").size(), 1u);
    EXPECT_EQ(town.kinds[1].model, -1);
    EXPECT_EQ(town.kinds[1].shaders[0], -1);
    EXPECT_EQ(server.cityblock_looks[1].kind_count, 0);
    EXPECT_EQ(server.cityblock_looks[2].kind_count, 0);
    EXPECT_EQ(server.cityblock_lamps[0].light_count, 1);
    EXPECT_EQ(server.cityblock_lamps[0].lights[0], vec3_t(1.0f, 2.0f, 3.0f));
}

TEST_F(scenery_read_test, signs_keep_to_three_boards_and_brushes_without_a_file_stay_empty)
{
    write_data_file("defs/seg_server/signs.def", R"(signs {
    sign_model_count = 1
    sign_model0 = "5;1;/models/box.psm"
    sign_count = 1
    sign0 = "lost;4;plain"
    sign_shaderplain = /shaders/plain.shd
})");
    write_data_file("defs/seg_server/brushes.def",
                    "brushes {\n brush_count = 1\n brush0 = \"gone;/brushes/gone.brs\"\n}");
    server.read_signs(false);
    EXPECT_EQ(server.sign_models[0].board_count, 3);
    EXPECT_EQ(server.sign_models[0].flag, 1);
    EXPECT_EQ(server.sign_boards[0].model, -1);
    EXPECT_NE(server.sign_boards[0].shaders[0].shader, nullptr);
    server.read_brushes(0);
    server.read_brushes(1);
    server.read_brushes(2);
    ASSERT_EQ(server.brushes.size(), 1u);
    EXPECT_EQ(server.brushes[0].width, 0);
    EXPECT_EQ(engine_log_matching("its file /brushes/gone.brs cannot be read").size(), 1u);
}

}  // namespace

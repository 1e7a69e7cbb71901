#include <string>
#include <vector>

#include "engine/cache.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

// A part of a test model: positions (x y z ...), texture coordinates (u v ...) and indices.
struct model_part_t {
    std::string name;
    std::vector<float> positions;
    std::vector<float> uvs;
    std::vector<int> indices = {0, 1, 2};
};

// The text of a model file holding `parts`.
std::string model_text(const std::vector<model_part_t>& parts)
{
    std::string text = "psm 1\n";
    for (const model_part_t& part : parts) {
        text += "part " + part.name + " {\n positions {";
        for (const float value : part.positions)
            text += " " + std::to_string(value);
        text += " }\n";
        if (!part.uvs.empty()) {
            text += " uvs {";
            for (const float value : part.uvs)
                text += " " + std::to_string(value);
            text += " }\n";
        }
        text += " indices {";
        for (const int index : part.indices)
            text += " " + std::to_string(index);
        text += " }\n}\n";
    }
    return text;
}

// A road piece 600 long: left and right edge at its start and end, and a middle vertex. The start
// vertices share x and y with the end vertices and their u, so they weld to them.
model_part_t road_section(const std::string& name)
{
    return {name,
            {-300, 0, 0, -300, 0, 600, 300, 0, 0, 300, 0, 600, 12.5f, -12.5f, 300},
            {0, 0, 0, 1, 1, 0, 1, 1, 0.5f, 0.5f},
            {0, 1, 2, 2, 1, 3, 0, 2, 4}};
}

class road_defs_test : public seg_test_t {
protected:
    // Writes the model `parts` as /models/road.psm and reads it as road definition 0.
    size_t read_road(const std::vector<model_part_t>& parts, road_def_t& out)
    {
        write_data_file("models/road.psm", model_text(parts));
        return server.read_road_def(out, "/models/road.psm;2;1;150;350");
    }

    seg_counted_shaders_t shaders;
    seg_server_t server;
};

TEST_F(road_defs_test, a_road_section_is_rounded_placed_along_its_length_and_welded_to_the_next)
{
    road_def_t def;
    ASSERT_GT(read_road({road_section("road")}, def), 0u);
    EXPECT_STREQ(def.name, "/models/road.psm");
    EXPECT_EQ(def.lanes.lanes[0], 2);
    EXPECT_EQ(def.lanes.lanes[1], 1);
    EXPECT_EQ(def.lanes.first_lane_offset, 150);
    EXPECT_EQ(def.lanes.lane_width, 350);
    ASSERT_EQ(def.part_count, 1);
    const road_section_t& piece = def.parts[0];
    EXPECT_EQ(piece.positions[4], vec3_t(13.0f, -12.0f, 300.0f));
    EXPECT_FLOAT_EQ(piece.length, 600.0f);
    EXPECT_EQ(piece.t, (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f, 0.5f}));
    // Start vertices point at the end vertex they weld to; a welded end vertex takes a running number.
    EXPECT_EQ(piece.partner, (std::vector<int32_t>{1, 0, 3, 1, 4}));
    EXPECT_EQ(piece.repeat_vertex_count, 3);
    EXPECT_EQ(piece.corners[road_left_near], 0);
    EXPECT_EQ(piece.corners[road_left_far], 1);
    EXPECT_EQ(piece.corners[road_right_near], 2);
    EXPECT_EQ(piece.corners[road_right_far], 3);
    // One part serves as the collision piece too, with its per-triangle words.
    EXPECT_EQ(def.collision.vertex_count(), 5);
    EXPECT_EQ(def.collision.triangle_words.size(), 3u);
}

TEST_F(road_defs_test, t_snaps_to_the_ends_within_a_thousandth)
{
    model_part_t part = road_section("road");
    part.positions[2] = 0.0004f;    // vertex 0 at z 0.0004
    part.positions[5] = 599.9997f;  // vertex 1 just short of 600
    road_def_t def;
    ASSERT_GT(read_road({part}, def), 0u);
    EXPECT_EQ(def.parts[0].t[0], 0.0f);
    EXPECT_EQ(def.parts[0].t[1], 1.0f);
}

TEST_F(road_defs_test, the_model_part_count_chooses_the_road_and_collision_parts)
{
    struct case_t {
        std::vector<std::string> parts;
        int32_t road_parts;
        // Vertex count of the collision piece tells which part it came from (the "coll" part has 4).
        int32_t collision_vertices;
    };
    const case_t cases[] = {
        {{"coll", "surface"}, 1, 4},
        {{"surface", "coll"}, 1, 4},
        {{"road0", "road1", "coll"}, 2, 4},
        {{"road", "center", "trans", "coll"}, 3, 4},
    };
    for (const case_t& test : cases) {
        std::vector<model_part_t> parts;
        for (const std::string& name : test.parts) {
            model_part_t part = road_section(name);
            if (name == "coll") {
                part.positions.resize(12);
                part.uvs.resize(8);
                part.indices = {0, 1, 2};
            }
            parts.push_back(part);
        }
        road_def_t def;
        ASSERT_GT(read_road(parts, def), 0u) << test.parts[0];
        EXPECT_EQ(def.part_count, test.road_parts) << test.parts[0];
        EXPECT_EQ(def.collision.vertex_count(), test.collision_vertices) << test.parts[0];
        for (int32_t i = 0; i < def.part_count; ++i)
            EXPECT_EQ(def.parts[i].vertex_count(), 5) << test.parts[0] << " part " << i;
    }
}

TEST_F(road_defs_test, unusable_road_models_keep_the_name_and_lanes_and_nothing_else)
{
    model_part_t flat = road_section("road");
    for (size_t i = 2; i < flat.positions.size(); i += 3)
        flat.positions[i] = 7.0f;
    struct case_t {
        const char* what;
        std::vector<model_part_t> parts;
        const char* message;
    };
    const case_t cases[] = {
        {"no length",
         {flat},
         "Road model /models/road.psm: part \"road\" has no length along z; the model is not used"},
        {"five parts",
         {road_section("a"), road_section("b"), road_section("c"), road_section("d"), road_section("e")},
         "Road model /models/road.psm has 5 parts, not 1 to 4; it is not used"},
        {"no coll",
         {road_section("a"), road_section("b")},
         "Road model /models/road.psm has two parts but none is \"coll\"; the model is not used"},
        {"missing road1",
         {road_section("road0"), road_section("trans"), road_section("coll")},
         "Road model /models/road.psm has no part \"road1\"; the model is not used"},
    };
    for (const case_t& test : cases) {
        road_def_t def;
        EXPECT_EQ(read_road(test.parts, def), 0u) << test.what;
        EXPECT_TRUE(engine_log_has(test.message)) << test.what;
        EXPECT_STREQ(def.name, "/models/road.psm") << test.what;
        EXPECT_EQ(def.lanes.lane_width, 350) << test.what;
        EXPECT_EQ(def.part_count, 0) << test.what;
        EXPECT_TRUE(def.parts[0].positions.empty()) << test.what;
    }
    road_def_t missing;
    EXPECT_EQ(server.read_road_def(missing, "/models/none.psm;1;1;0;300"), 0u);
    EXPECT_STREQ(missing.name, "/models/none.psm");
}

TEST_F(road_defs_test, road_segs_loads_roads_profiles_vegetation_railings_and_aux_models)
{
    write_data_file("models/road.psm", model_text({road_section("road")}));
    write_data_file("models/city.psm",
                    model_text({road_section("road0"), road_section("road1"), road_section("coll")}));
    write_data_file("models/tree.psm", model_text({road_section("trunk"), road_section("crown")}));
    write_road_segs(R"(road_segs {
    road_count = 1
    road0 = "/models/road.psm;1;1;175;350"
    city_road_count = 1
    city_road0 = "/models/city.psm;1;1;150;300"
    profile_count = 2
    profile_name0 = hill
    profile_height0 = "10;20"
    profile_name1 = flat
    veg_model_count = 1
    veg_model0 = /models/tree.psm
    veg_shader0 = "/shaders/veg/bark.shd;/shaders/veg/leaves.shd"
    veg_look_count = 2
    veg_look_name0 = forest
    veg_look_data0 = "2;3;450.5;0;0"
    veg_look_name1 = jungle
    veg_look_data1 = "0;1;100;0;0;0;0;0"
})");
    write_data_file("defs/seg_server/railings.def", R"(railings {
    railing_count = 1
    railing_model0 = /models/road.psm
    railing_begin0 = /models/road.psm
    railing_end0 = /models/road.psm
    railing_shader_count = 2
    railing_shader0 = /shaders/rail/steel.shd
    railing_shader1 = "/shaders/rail/wood.shd;blend"
})");
    write_data_file("defs/seg_server/aux_models.def", R"(aux_models {
    model_count = 1
    model0 = /models/road.psm
    shader_count = 1
    shader0 = /shaders/aux/lines.shd
})");
    write_data_file("defs/seg_server/road_props.def", R"(roads {
    road_count = 2
    road { name = highway traffic = 2.5 }
    road { name = lane traffic = 0.25 }
})");
    const int bytes = server.load();
    ASSERT_TRUE(server.loaded());
    ASSERT_EQ(server.road_defs.size(), 1u);
    EXPECT_EQ(server.road_defs[0].lanes.first_lane_offset, 175);
    EXPECT_EQ(server.road_defs[0].part_count, 1);
    ASSERT_EQ(server.city_road_defs.size(), 1u);
    EXPECT_EQ(server.city_road_defs[0].part_count, 2);
    EXPECT_TRUE(server.city_road_defs[0].parts[0].partner.empty());
    EXPECT_EQ(server.city_road_defs[0].parts[1].normals.size(), 5u);
    EXPECT_GT(static_cast<size_t>(bytes), server.road_defs[0].bytes + server.city_road_defs[0].bytes);

    ASSERT_EQ(server.profiles.size(), 2u);
    EXPECT_STREQ(server.profiles[0].name, "hill");
    EXPECT_EQ(server.profiles[0].heights[0], 10.0f);
    for (int k = 1; k < road_profile_heights; ++k)
        EXPECT_EQ(server.profiles[0].heights[k], 20.0f) << k;
    for (int k = 0; k < road_profile_heights; ++k)
        EXPECT_EQ(server.profiles[1].heights[k], 0.0f) << k;

    ASSERT_EQ(server.veg_models.size(), 1u);
    EXPECT_NE(server.veg_models[0].model, nullptr);
    const veg_look_t& forest = server.veg_looks[0];
    EXPECT_EQ(forest.first_column, 2);
    EXPECT_EQ(forest.column_count, 3);
    EXPECT_FLOAT_EQ(forest.spacing, 450.5f);
    EXPECT_EQ(forest.models[1], 0);
    EXPECT_EQ(forest.models[2], -1);
    EXPECT_EQ(server.veg_looks[1].column_count, 0);
    EXPECT_TRUE(engine_log_has("Vegetation look 1 (jungle) names 5 models, more than 4; it scatters nothing"));

    ASSERT_EQ(server.railings.size(), 1u);
    EXPECT_FLOAT_EQ(server.railings[0].max_v, 1.0f);
    EXPECT_EQ(server.railings[0].render[railing_end].vertex_count(), 5);
    ASSERT_EQ(server.railing_shaders.count(), 2);
    EXPECT_EQ(server.railing_shaders[-1].flag, 1);
    EXPECT_EQ(server.railing_shaders[0].flag, 1);
    EXPECT_EQ(server.railing_shaders[1].flag, 0);
    EXPECT_EQ(seg_counted_shaders_t::refs("/shaders/rail/wood.shd"), 1);
    ASSERT_EQ(server.aux_models.size(), 1u);
    EXPECT_EQ(server.aux_models[0].part.repeat_vertex_count, 3);

    ASSERT_EQ(server.road_props.size(), 2u);
    EXPECT_STREQ(server.road_props[1].name, "lane");
    EXPECT_FLOAT_EQ(server.road_props[0].traffic, 2.5f);

    server.unload();
    EXPECT_TRUE(server.road_defs.empty());
    EXPECT_EQ(seg_counted_shaders_t::refs("/shaders/rail/wood.shd"), 0);
    EXPECT_EQ(seg_counted_shaders_t::refs(seg_fallback_shader_path), 0);
}

}  // namespace

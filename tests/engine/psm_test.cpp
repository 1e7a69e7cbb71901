#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/gfx_frame.h"
#include "engine/gfx_record.h"
#include "engine/library.h"
#include "engine/log.h"
#include "engine/psm.h"
#include "engine/psm_file.h"
#include "engine/psm_record.h"
#include "engine_testing/engine_test.h"

namespace {

// A small truck cab: a root bone, a wheel bone below it, a needle bone, a lit body part, a collision
// part with per-triangle words, and a lamp part with a direction list that hangs on the needle.
const char* const cab_model = R"(psm 1
// skeleton, parents first
bone root {
    matrix 1 0 0 0
           0 1 0 10
           0 0 1 0
           0 0 0 1
}
bone wheel0 { parent root  matrix 1 0 0 5  0 1 0 -4  0 0 1 2  0 0 0 1 }
bone needle { parent root }
part body {
    shader "/shaders/cab.shd"
    positions { 0 0 0   4 0 0   0 2 0   4 2 -6 }
    normals   { 0 0 1   0 0 1   0 0 1   0 0 1 }
    uvs       { 0 0  1 0  0 1  1 1 }
    indices   { 0 1 2  1 3 2 }
}
part coll {
    positions { -1 0 0  1 0 0  0 0 1 }
    indices { 0 1 2 }
    words { 7 }
}
part "lamp" {
    bone needle
    positions { 1 0 0 }
    directions { 0 0 1  0 0 -1 }
}
)";

const char* const one_second = "psa 1\nframes 31\nlength 1.0\n";

class psm_test : public engine_test_t {
protected:
    psm_t* load_cab()
    {
        write_data_file("models/cab.psm", cab_model);
        return psm_alloc("/models/cab.psm", 0, 0, 16);
    }

    // A cab with the one-second animation added; its index in `anim`.
    psm_t* load_animated_cab(int& anim)
    {
        write_data_file("models/one.psa", one_second);
        psm_t* const model = load_cab();
        anim = model ? psm_anim_add_file(psm_get_info(model), "/models/one.psa", nullptr) : -1;
        return model;
    }
};

void expect_point(const vec3_t& got, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(got.x, x);
    EXPECT_FLOAT_EQ(got.y, y);
    EXPECT_FLOAT_EQ(got.z, z);
}

TEST_F(psm_test, model_answers_part_look_ups_and_exposes_its_part_data)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(psm_get_num_parts_item(model), 3);
    EXPECT_EQ(psm_part_find(model, "body"), 0);
    EXPECT_EQ(psm_part_find(model, "coll"), 1);
    EXPECT_EQ(psm_part_find(model, "lamp"), 2);
    EXPECT_EQ(psm_part_find(model, "zcoll"), -1);

    const psm_info_t* const info = psm_get_info(model);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->path, "/models/cab.psm");
    const psm_part_t& body = info->parts[0];
    EXPECT_STREQ(body.name, "body");
    EXPECT_STREQ(body.shader, "/shaders/cab.shd");
    EXPECT_EQ(body.bone, -1);
    ASSERT_EQ(body.vertex_count, 4);
    expect_point(body.positions[3], 4, 2, -6);
    ASSERT_NE(body.normals, nullptr);
    expect_point(body.normals[1], 0, 0, 1);
    ASSERT_NE(body.uvs, nullptr);
    EXPECT_FLOAT_EQ(body.uvs[2], 1.0f);  // u of vertex 1
    ASSERT_EQ(body.index_count, 6);
    EXPECT_EQ(std::vector<uint16_t>(body.indices, body.indices + 6), (std::vector<uint16_t>{0, 1, 2, 1, 3, 2}));
    EXPECT_EQ(body.triangle_words, nullptr);
    EXPECT_EQ(body.direction_count, 0);
    // Box 0..4, 0..2, -6..0: centre (2, 1, -3); the farthest corner is sqrt(4 + 1 + 9) away.
    expect_point(body.bsphere_centre, 2, 1, -3);
    EXPECT_FLOAT_EQ(body.bsphere_radius, std::sqrt(14.0f));

    const psm_part_t& coll = info->parts[1];
    EXPECT_STREQ(coll.shader, "");
    EXPECT_EQ(coll.normals, nullptr);
    EXPECT_EQ(coll.uvs, nullptr);
    ASSERT_NE(coll.triangle_words, nullptr);
    EXPECT_EQ(coll.triangle_words[0], 7);

    const psm_part_t& lamp = info->parts[2];
    EXPECT_EQ(lamp.bone, 2);
    ASSERT_EQ(lamp.direction_count, 2);
    expect_point(lamp.directions[1], 0, 0, -1);

    vec4_t sphere;
    ASSERT_TRUE(psm_get_part_bsphere(model, 1, &sphere));
    EXPECT_FLOAT_EQ(sphere.w, std::sqrt(1.25f));  // centre (0, 0, 0.5); (-1, 0, 0) is farthest
    EXPECT_FALSE(psm_get_part_bsphere(model, 3, &sphere));
    psm_free(model);
}

TEST_F(psm_test, bones_are_found_by_name_and_posed_by_their_offsets)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(psm_bone_find_global(model, "root"), 0);
    const int wheel = psm_bone_find_global(model, "wheel0");
    EXPECT_EQ(wheel, 1);
    EXPECT_EQ(psm_bone_find_global(model, "wheel1"), -1);

    // The wheel sits at the root's (0, 10, 0) plus its own (5, -4, 2).
    mat4_t frame;
    ASSERT_TRUE(psm_bone_get_matrix(model, wheel, &frame));
    expect_point(mult_zero_matrix(frame), 5, 6, 2);
    mat4_t inverse;
    ASSERT_TRUE(psm_bone_comp_inv_matrix(model, wheel, &inverse));
    expect_point(mult_point_matrix_fast(inverse, {5, 6, 2}), 0, 0, 0);

    // An offset on the root carries the wheel with it and stays until set again.
    const vec3_t lift{0, 3, 0};
    ASSERT_TRUE(psm_bone_set_ext_pos(model, 0, &lift));
    ASSERT_TRUE(psm_bone_get_matrix(model, wheel, &frame));
    expect_point(mult_zero_matrix(frame), 5, 9, 2);

    // A part on a turned bone follows it: the needle turns a quarter about y, so (1, 0, 0) in its
    // frame goes to (0, 0, -1); the root's offset moves it too.
    quat_t quarter;
    quarter.set({0, 1, 0}, 90.0f);
    ASSERT_TRUE(psm_bone_set_ext_rot(model, psm_bone_find_global(model, "needle"), &quarter));
    int count = 0;
    const vec3_t* const lamp = psm_update_gdata(model, psm_part_find(model, "lamp"), &count);
    ASSERT_NE(lamp, nullptr);
    ASSERT_EQ(count, 1);
    EXPECT_NEAR(lamp[0].x, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(lamp[0].y, 3.0f);
    EXPECT_FLOAT_EQ(lamp[0].z, -1.0f);
    // A part without a bone keeps its file positions.
    const vec3_t* const body = psm_update_gdata(model, 0, &count);
    ASSERT_EQ(count, 4);
    expect_point(body[3], 4, 2, -6);

    EXPECT_FALSE(psm_bone_get_matrix(model, 3, &frame));
    EXPECT_EQ(frame, mat4_t::identity());
    EXPECT_FALSE(psm_bone_set_ext_pos(model, -1, &lift));
    EXPECT_EQ(psm_update_gdata(model, 9, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(engine_log_matching("no bone 3 in /models/cab.psm").size(), 1u);
    psm_free(model);
}

TEST_F(psm_test, draw_records_visible_parts_with_their_shaders_and_lights)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    psm_part_set_visible(model, 1, false);
    EXPECT_FALSE(psm_part_get_visible(model, 1));
    ASSERT_TRUE(psm_set_shader(model, 2, "/shaders/lamp_on.shd"));
    static std::vector<c_item_t*> light_list;
    psm_set_light_callback(
        model, [](psm_t*, void* object) -> const void* { return object; }, &light_list);

    psm_clear_draw_records();
    psm_draw(model, 1, 0xFF102030u);
    const auto& drawn = psm_draw_records();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].part_name, "body");
    EXPECT_EQ(drawn[0].shader_path, "/shaders/cab.shd");
    EXPECT_EQ(drawn[0].colour, 0xFF102030u);
    EXPECT_EQ(drawn[0].flags, 1u);
    EXPECT_EQ(drawn[0].lights, &light_list);
    EXPECT_EQ(drawn[1].part_name, "lamp");
    EXPECT_EQ(drawn[1].shader_path, "/shaders/lamp_on.shd");

    // One part on request, hidden or not, with the caller's shader handle.
    static const int sign_shader = 0;
    psm_draw_part(model, 1, &sign_shader, 0, 0xFFFFFFFFu);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[2].part, 1);
    EXPECT_EQ(drawn[2].shader, &sign_shader);
    EXPECT_EQ(drawn[2].shader_path, "");

    EXPECT_FALSE(psm_set_shader(model, 3, "/shaders/none.shd"));
    psm_draw_part(model, 3, nullptr, 0, 0);
    EXPECT_EQ(drawn.size(), 3u);

    // Every part drawn that has triangles (not the lamp's points) is queued to the renderer with them,
    // in the colour asked for.
    const auto& models = gfx_record_current().models;
    ASSERT_EQ(models.size(), 2u);
    const psm_part_t* const body = psm_get_info(model)->parts;
    EXPECT_EQ(models[0].geometry.vertex_count(), body[0].vertex_count);
    EXPECT_EQ(models[0].geometry.indices.size(), static_cast<size_t>(body[0].index_count));
    EXPECT_EQ(models[0].geometry.colours,
              std::vector<uint32_t>(static_cast<size_t>(body[0].vertex_count), 0xFF102030u));
    psm_free(model);
}

TEST_F(psm_test, draw_records_keep_only_the_frame_being_drawn_and_the_last_one_shown)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    for (int frame = 0; frame < 20; ++frame) {
        psm_draw_part(model, 0, nullptr, 0, 0);
        gfx_swapbuffers();
    }
    psm_draw_part(model, 0, nullptr, 0, 0);
    const auto& drawn = psm_draw_records();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn.front().frame, 19);
    EXPECT_EQ(drawn.back().frame, 20);
    psm_free(model);
}

TEST_F(psm_test, model_data_is_shared_by_path_and_counted)
{
    psm_t* const first = load_cab();
    psm_t* const second = psm_alloc("/models/cab.psm", 0, 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    psm_info_t* const info = psm_get_info(first);
    EXPECT_EQ(psm_get_info(second), info);
    EXPECT_EQ(psm_alloc_info("/models/cab.psm"), info);
    // Instances keep their own state.
    psm_part_set_visible(first, 0, false);
    EXPECT_TRUE(psm_part_get_visible(second, 0));

    psm_free(first);
    psm_info_release(info);
    EXPECT_EQ(psm_part_find(second, "body"), 0);  // the data lives while a use remains
    psm_free(second);
    log_clear_capture();
    psm_info_release(info);  // gone now: refused, not freed twice
    EXPECT_EQ(engine_log_matching("psm_info_release: not a model").size(), 1u);
    psm_free(nullptr);
}

TEST_F(psm_test, missing_model_gives_null_and_a_message)
{
    EXPECT_EQ(psm_alloc("/models/none.psm", 0, 0, 16), nullptr);
    EXPECT_TRUE(engine_log_has("psm: cannot load model /models/none.psm"));
    EXPECT_EQ(psm_alloc_info(nullptr), nullptr);
    EXPECT_EQ(psm_alloc(nullptr, 0, 0, 0), nullptr);
}

TEST_F(psm_test, calls_on_a_freed_or_foreign_instance_are_refused)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    psm_free(model);
    EXPECT_EQ(psm_part_find(model, "body"), -1);
    EXPECT_EQ(psm_get_info(model), nullptr);
    psm_draw(model, 1, 0);
    EXPECT_TRUE(psm_draw_records().empty());
    int not_a_model = 0;
    EXPECT_EQ(psm_get_num_parts_item(reinterpret_cast<psm_t*>(&not_a_model)), 0);
    EXPECT_EQ(engine_log_matching("not a model instance").size(), 4u);
}

TEST_F(psm_test, module_binds_the_library_by_name_through_dll_register)
{
    dll_t* const library = dll_register("lib/psm");
    ASSERT_NE(library, nullptr);
    const HMODULE handle = dll_handle(library);
    ASSERT_NE(handle, nullptr);
    using alloc_t = psm_t* (*)(const char*, int, int, unsigned);
    using find_t = int (*)(const psm_t*, const char*);
    const auto alloc = reinterpret_cast<alloc_t>(GetProcAddress(handle, "psm_alloc"));
    const auto part_find = reinterpret_cast<find_t>(GetProcAddress(handle, "psm_part_find"));
    ASSERT_NE(alloc, nullptr);
    ASSERT_NE(part_find, nullptr);
    write_data_file("models/cab.psm", cab_model);
    psm_t* const model = alloc("/models/cab.psm", 0, 0, 16);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(part_find(model, "lamp"), 2);
    for (const char* name : {"psm_free", "psm_get_info", "psm_draw", "psm_adesc_get_rtime", "psm_anim_add_file"})
        EXPECT_NE(GetProcAddress(handle, name), nullptr) << name;
    psm_free(model);
}

TEST_F(psm_test, engine_reset_frees_every_model_and_record)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    psm_draw(model, 1, 0);
    engine_reset();
    EXPECT_TRUE(psm_draw_records().empty());
    EXPECT_EQ(psm_get_info(model), nullptr);
}

// Each text is one fault; each must give null and a message naming the file and line.
TEST_F(psm_test, bad_model_texts_give_null_and_a_located_message)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "bad.psm:1: expected \"psm\" at the start"},
        {"model 1", "bad.psm:1: expected \"psm\" at the start"},
        {"psm 2", "bad.psm:1: unsupported version 2 (expected 1)"},
        {"psm 1\npart a {\n positions { 0 0 0 1 }\n}", "bad.psm:3: positions need three numbers each (4 given)"},
        {"psm 1\npart a { positions { 0 0 0 } indices { 0 0 1 } }",
         "bad.psm:2: part \"a\": index 1 beyond its 1 vertices"},
        {"psm 1\npart a { positions { 0 0 0 } indices { 0 0 } }",
         "bad.psm:2: part \"a\": 2 indices is not whole triangles"},
        {"psm 1\npart a { positions { 0 0 0 } indices { 0 0 0 } words { 1 2 } }",
         "bad.psm:2: part \"a\": 2 words for 1 triangles"},
        {"psm 1\npart a { positions { 0 0 0  1 1 1 } normals { 0 1 0 } }",
         "bad.psm:2: part \"a\": 1 normals for 2 vertices"},
        {"psm 1\npart a { positions { 0 0 0 } uvs { 0 } }", "bad.psm:2: part \"a\": 1 uv numbers for 1 vertices"},
        {"psm 1\npart a { indices { 70000 } }", "bad.psm:2: indices 70000 is outside 0 to 65535"},
        {"psm 1\npart a { indices { 1.5 } }", "bad.psm:2: indices \"1.5\" is no whole number"},
        {"psm 1\npart a { positions { 0 0 1e39 } }", "bad.psm:2: positions 1e39 is beyond the float range"},
        {"psm 1\npart a { positions { 0 0 x } }", "bad.psm:2: positions \"x\" is no number"},
        {"psm 1\npart a { bone b }", "bad.psm:2: unknown bone \"b\" (bones are declared before use)"},
        {"psm 1\nbone b { parent b }", "bad.psm:2: unknown bone \"b\" (bones are declared before use)"},
        {"psm 1\nbone b { }\nbone b { }", "bad.psm:3: bone \"b\" declared twice"},
        {"psm 1\npart a { }\npart a { }", "bad.psm:3: part \"a\" declared twice"},
        {"psm 1\nbone b { matrix 1 0 0 }", "bad.psm:2: a bone matrix \"}\" is no number"},
        {"psm 1\npart a { positions { } positions { } }", "bad.psm:2: section given twice, found \"positions\""},
        {"psm 1\npart a { colour { } }", "bad.psm:2: expected shader, bone, positions, normals, uvs, "
                                         "indices, words or directions, found \"colour\""},
        {"psm 1\npart a { positions { 0 0 0 }\n", "bad.psm:3: expected a part section or '}', found \"\""},
        {"psm 1\nmesh a { }", "bad.psm:2: expected \"bone\" or \"part\", found \"mesh\""},
    };
    for (const auto& c : cases) {
        log_clear_capture();
        EXPECT_EQ(psm_info_parse(c.text, "bad.psm"), nullptr) << c.text;
        EXPECT_TRUE(engine_log_has(c.message)) << c.text << "\n wanted: " << c.message
                                               << "\n got: " << (log_captured().empty() ? "" : log_captured()[0].text);
    }
}

TEST_F(psm_test, a_part_with_more_vertices_than_u16_indices_reach_is_refused)
{
    std::string text = "psm 1\npart big { positions {";
    for (int i = 0; i <= 65536; ++i)
        text += " 0 0 0";
    text += " } }";
    EXPECT_EQ(psm_info_parse(text, "big.psm"), nullptr);
    EXPECT_EQ(engine_log_matching("big.psm:2: more than 196608 numbers in positions").size(), 1u);
}

TEST_F(psm_test, animations_are_read_with_frames_and_length)
{
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    psm_info_t* const info = psm_get_info(model);
    write_data_file("models/walk.psa", "psa 1\n// walking\nlength 2.5\nframes 76\n");
    int index = -5;
    EXPECT_EQ(psm_anim_add_file(info, "/models/walk.psa", &index), 0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(psm_anim_get_frames(info, 0), 76);
    EXPECT_FLOAT_EQ(psm_anim_get_length(info, 0), 2.5f);
    EXPECT_EQ(psm_anim_add_file(info, "/models/walk.psa", nullptr), 0);  // already there

    EXPECT_EQ(psm_anim_add_file(info, "/models/run.psa", &index), -1);
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(engine_log_has("psm: cannot add animation /models/run.psa to /models/cab.psm"));
    EXPECT_EQ(psm_anim_get_frames(info, 1), 0);
    EXPECT_EQ(psm_anim_get_length(info, -1), 0.0f);
    psm_free(model);
}

TEST_F(psm_test, bad_animation_texts_give_false_and_a_located_message)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"psm 1", "bad.psa:1: expected \"psa\" at the start"},
        {"psa 1\nframes 10", "bad.psa:2: an animation needs \"frames\" and \"length\""},
        {"psa 1\nframes 0\nlength 1", "bad.psa:2: frames 0 is outside 1 to 1048576"},
        {"psa 1\nframes 2\nlength 0", "bad.psa:3: length must be above 0 seconds"},
        {"psa 1\nframes 2\nlength 1e-50", "bad.psa:3: length must be above 0 seconds"},
        {"psa 1\nframes 2 frames 3",
         "bad.psa:2: expected \"frames\", \"length\" (once each) or \"bone\", found \"frames\""},
        {"psa 1\nframes 3\nlength 1\nbone b { 0 0 0 1 }",
         "bad.psa:4: bone b: keys are groups of five numbers (frame, axis x y z, degrees)"},
        {"psa 1\nframes 3\nlength 1\nbone b { 1 0 0 1 5  1 0 0 1 6 }", "bad.psa:4: bone b: key frames must rise"},
        {"psa 1\nframes 3\nlength 1\nbone b { 0 0 0 1 5 }\nbone b { 0 0 0 1 5 }", "bad.psa:5: bone b has two tracks"},
        {"psa 1\nframes 3\nlength 1\nbone b { 0 0 0 1 5  2.5 0 0 1 5 }",
         "bad.psa:4: bone b: key frames lie outside 0 .. 2"},
        {"psa 1\nframes 3\nlength 1\nbone b { -1 0 0 1 5 }", "bad.psa:4: bone b: key frames lie outside 0 .. 2"},
        {"psa 1\nframes 2\nlength \"1\"", "bad.psa:3: length \"1\" is no number"},
    };
    for (const auto& c : cases) {
        log_clear_capture();
        int frames = -1;
        EXPECT_FALSE(psm_anim_parse(c.text, "bad.psa", &frames, nullptr)) << c.text;
        EXPECT_EQ(frames, -1);
        EXPECT_TRUE(engine_log_has(c.message)) << c.text << "\n wanted: " << c.message;
    }
}

// The angle in degrees by which the needle's x axis is turned about z.
float needle_turn(psm_t* model)
{
    mat4_t frame;
    EXPECT_TRUE(psm_bone_get_matrix(model, psm_bone_find_global(model, "needle"), &frame));
    const vec3_t x = mult_point_matrix_fast(frame, {1, 0, 0}) - mult_zero_matrix(frame);
    return std::atan2(x.y, x.x) * 180.0f / 3.14159265f;
}

TEST_F(psm_test, descriptors_pose_the_bones_their_animations_turn_by_weight_and_priority)
{
    // The needle turns from 0 to 90 degrees about z over frames 0 to 20 and stays there to frame 30.
    write_data_file("models/sweep.psa", "psa 1\nframes 31\nlength 1.0\nbone needle { 0 0 0 1 0  20 0 0 1 90 }\n"
                                        "bone tail { 0 0 0 1 0 }\n");
    write_data_file("models/back.psa", "psa 1\nframes 2\nlength 1.0\nbone needle { 0 0 0 1 -30  1 0 0 1 -30 }\n");
    psm_t* const model = load_cab();
    ASSERT_NE(model, nullptr);
    // A track of a bone the model has not is reported and poses nothing.
    const int sweep = psm_anim_add_file(psm_get_info(model), "/models/sweep.psa", nullptr);
    EXPECT_TRUE(engine_log_has("psm: animation /models/sweep.psa turns bone tail, which /models/cab.psm has not"));
    const int back = psm_anim_add_file(psm_get_info(model), "/models/back.psa", nullptr);
    EXPECT_NEAR(needle_turn(model), 0.0f, 1e-4f);

    const int a = psm_adesc_create(model, sweep, 0, 0, 5);
    EXPECT_NEAR(needle_turn(model), 0.0f, 1e-4f);
    psm_adesc_add_time(model, a, 1.0f / 3.0f);  // frame 10: half way between the keys
    EXPECT_NEAR(needle_turn(model), 45.0f, 1e-3f);
    psm_adesc_add_time(model, a, 0.5f);  // past the last key: its turn holds
    EXPECT_NEAR(needle_turn(model), 90.0f, 1e-3f);
    psm_adesc_set_cur_weight(model, a, 0.5f);
    EXPECT_NEAR(needle_turn(model), 45.0f, 1e-3f);

    // A descriptor of a lower priority is overruled by the higher one of full weight, whatever their
    // order of creation; at half weight the higher one turns half way from the lower one's pose.
    psm_adesc_set_cur_weight(model, a, 1.0f);
    const int b = psm_adesc_create(model, back, 0, 0, 1);
    EXPECT_NEAR(needle_turn(model), 90.0f, 1e-3f);
    psm_adesc_set_cur_weight(model, a, 0.5f);
    EXPECT_NEAR(needle_turn(model), 30.0f, 1e-3f);
    psm_adesc_remove(model, a);
    EXPECT_NEAR(needle_turn(model), -30.0f, 1e-3f);
    psm_adesc_remove(model, b);
    EXPECT_NEAR(needle_turn(model), 0.0f, 1e-4f);
    psm_free(model);
}

TEST_F(psm_test, two_one_second_animations_advanced_one_and_a_half_seconds_leave_exactly_half_a_second)
{
    int anim = -1;
    psm_t* const model = load_animated_cab(anim);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(anim, 0);
    const int first = psm_adesc_create(model, anim, 0, 0x23, 0);
    ASSERT_NE(first, 0);
    psm_adesc_set_stop_frame(model, first, -1);
    EXPECT_FALSE(psm_adesc_add_time(model, first, 1.5f));
    EXPECT_EQ(psm_adesc_get_rtime(model, first), 0.5f);
    EXPECT_TRUE(psm_adesc_stopped(model, first));
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, first), 30.0f);

    const int second = psm_adesc_create(model, anim, 0, 0x23, 0);
    ASSERT_NE(second, first);
    EXPECT_TRUE(psm_adesc_add_time(model, second, psm_adesc_get_rtime(model, first)));
    EXPECT_EQ(psm_adesc_get_rtime(model, second), 0.0f);
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, second), 15.0f);
    EXPECT_FALSE(psm_adesc_add_time(model, second, 0.75f));
    EXPECT_EQ(psm_adesc_get_rtime(model, second), 0.25f);
    // A stopped descriptor uses none of a further step.
    EXPECT_FALSE(psm_adesc_add_time(model, second, 0.125f));
    EXPECT_EQ(psm_adesc_get_rtime(model, second), 0.125f);
    psm_free(model);
}

TEST_F(psm_test, descriptors_stop_at_their_stop_frame_loop_and_freeze)
{
    int anim = -1;
    psm_t* const model = load_animated_cab(anim);
    ASSERT_NE(model, nullptr);

    // Frame 15 of 31 frames over 1 s is at 0.5 s.
    const int stopping = psm_adesc_create(model, anim, 0, 0, 0);
    psm_adesc_set_stop_frame(model, stopping, 15);
    EXPECT_TRUE(psm_adesc_add_time(model, stopping, 0.25f));
    EXPECT_FALSE(psm_adesc_add_time(model, stopping, 0.5f));
    EXPECT_EQ(psm_adesc_get_rtime(model, stopping), 0.25f);

    // Looping wraps at the length and never stops.
    const int looping = psm_adesc_create(model, anim, 0, 0, -1);
    psm_adesc_loop_forever(model, looping);
    EXPECT_TRUE(psm_adesc_add_time(model, looping, 2.25f));
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, looping), 7.5f);

    // Freezing on the last frame: reset to it and unstop; the pose stays, the time does not move on.
    psm_adesc_reset_anim(model, stopping, 30);
    psm_adesc_unstop(model, stopping);
    EXPECT_FALSE(psm_adesc_stopped(model, stopping));
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, stopping), 30.0f);

    psm_adesc_set_cur_weight(model, looping, 0.25f);
    psm_adesc_set_wspeeds(model, looping, 2.0f, -2.0f);
    EXPECT_EQ(psm_adesc_get_cur_weight(model, looping), 0.25f);
    EXPECT_EQ(psm_adesc_get_wspeed(model, looping, 1), -2.0f);

    psm_adesc_remove(model, stopping);
    EXPECT_FALSE(psm_adesc_add_time(model, stopping, 0.1f));
    EXPECT_EQ(engine_log_matching("no animation descriptor").size(), 1u);
    psm_adesc_set_stop_frame(model, looping, 31);
    EXPECT_TRUE(engine_log_has("psm_adesc_set_stop_frame: no frame 31 in an animation of 31 frames"));
    EXPECT_EQ(psm_adesc_create(model, 4, 0, 0, 0), 0);
    psm_free(model);
}

TEST_F(psm_test, model_time_advances_every_descriptor_unless_the_model_is_static)
{
    int anim = -1;
    psm_t* const model = load_animated_cab(anim);
    ASSERT_NE(model, nullptr);
    const int a = psm_adesc_create(model, anim, 0, 0, 0);
    const int b = psm_adesc_create(model, anim, 15, 0, 0);
    psm_add_time(model, 0.25f);
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, a), 7.5f);
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, b), 22.5f);
    psm_set_static(model);
    psm_add_time(model, 0.25f);
    EXPECT_FLOAT_EQ(psm_adesc_get_nw_frame(model, a), 7.5f);
    psm_free(model);
}

}  // namespace

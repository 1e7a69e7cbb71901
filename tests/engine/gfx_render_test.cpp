#include <vector>

#include "engine/cache.h"
#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "engine_testing/engine_test.h"

namespace {

// A two-triangle quad owned by a test "slot", read by the renderer through a declaration.
struct quad_slot_t {
    float positions[12] = {0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1};
    float normals[12] = {0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0};
    float texcoords[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
};

quad_slot_t& slot(void* owner) { return *static_cast<quad_slot_t*>(owner); }

const r_packet_decl_t vertex_declaration = {
    "segment_vpd_vertex",
    [](void*, int) { return 4; },
    [](void* owner, int) -> const float* { return slot(owner).positions; },
    [](void* owner, int) -> const float* { return slot(owner).normals; },
    [](void* owner, int) -> const float* { return slot(owner).texcoords; },
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

const r_packet_decl_t index_declaration = {
    "segment_ipd",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    [](void*, int) { return 6; },
    [](void* owner, int) -> const uint16_t* { return slot(owner).indices; },
};

using gfx_render_test = engine_test_t;

TEST_F(gfx_render_test, a_queued_prototype_is_read_back_with_its_vertices_and_indices)
{
    quad_slot_t quad;
    r_packet_t* vertices = gfx_alloc_packet(&vertex_declaration, &quad, 0);
    r_packet_t* indices = gfx_alloc_packet(&index_declaration, &quad, 0);
    const gfx_shader_t* shader = gfx_shader_precache("/shaders/road/asphalt.shd");
    ASSERT_NE(shader, nullptr);

    gfx_begin_frame();
    r_proto_t* proto = gfx_alloc_proto(1);
    proto->set_vertex_packet(0, vertices);
    proto->set_index_packet(indices);
    proto->set_shader(shader);
    proto->flags = 0;
    gfx_queue_proto(proto);
    if (proto->dec_refs() == 0)
        gfx_free_proto(proto);
    // The queue still holds the prototype until the flush.
    EXPECT_EQ(proto->refs(), 1);

    const auto& queued = gfx_record_current().protos;
    ASSERT_EQ(queued.size(), 1u);
    const gfx_recorded_proto_t& record = queued[0];
    EXPECT_EQ(record.vertex_declaration, "segment_vpd_vertex");
    EXPECT_EQ(record.index_declaration, "segment_ipd");
    EXPECT_EQ(record.shader_path, "/shaders/road/asphalt.shd");
    EXPECT_EQ(record.geometry.vertex_count(), 4);
    EXPECT_EQ(record.geometry.positions, std::vector<float>(quad.positions, quad.positions + 12));
    EXPECT_EQ(record.geometry.texcoords, std::vector<float>(quad.texcoords, quad.texcoords + 8));
    EXPECT_TRUE(record.geometry.colours.empty());
    EXPECT_EQ(record.geometry.indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));

    gfx_path_flush();  // frees the prototype: its last use was the queue's
    gfx_end_frame();
    gfx_swapbuffers();
    EXPECT_EQ(gfx_record_last().protos.size(), 1u);
    EXPECT_TRUE(gfx_record_current().protos.empty());

    gfx_free_packet(vertices);
    gfx_free_packet(indices);
}

TEST_F(gfx_render_test, a_prototype_refuses_a_vertex_packet_beyond_its_count)
{
    r_proto_t* proto = gfx_alloc_proto(1);
    quad_slot_t quad;
    r_packet_t* packet = gfx_alloc_packet(&vertex_declaration, &quad, 0);
    proto->set_vertex_packet(1, packet);
    EXPECT_EQ(proto->vertex_packet(1), nullptr);
    EXPECT_TRUE(engine_log_has("r_proto_t: vertex packet 1 out of range (1)"));
    gfx_free_proto(proto);
    gfx_free_packet(packet);
}

TEST_F(gfx_render_test, immediate_data_copies_the_arrays_its_flags_name)
{
    // The start-marker layout: positions, texture coordinates and indices (flags 41).
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const float texcoords[6] = {0, 0, 1, 0, 0, 1};
    const uint32_t colours[3] = {1, 2, 3};
    const uint16_t indices[3] = {2, 1, 0};
    gfx_data_t data;
    data.flags = gfx_data_positions | gfx_data_texcoords | gfx_data_indices;
    ASSERT_EQ(data.flags, 41u);
    data.vertex_count = 3;
    data.index_count = 3;
    data.positions = positions;
    data.texcoords = texcoords;
    data.colours = colours;  // not named by the flags: not read
    data.indices = indices;
    const float offset[3] = {0, 50, 0};
    gfx_push();
    gfx_translate(offset);
    gfx_cache_data(&data);
    gfx_pop();

    const auto& recorded = gfx_record_current().data;
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].geometry.vertex_count(), 3);
    EXPECT_EQ(recorded[0].geometry.texcoords.size(), 6u);
    EXPECT_TRUE(recorded[0].geometry.colours.empty());
    EXPECT_EQ(recorded[0].geometry.indices, (std::vector<uint16_t>{2, 1, 0}));
    EXPECT_FLOAT_EQ(recorded[0].world[7], 50.0f);

    data.vertex_count = -1;
    gfx_cache_data(&data);
    EXPECT_EQ(gfx_record_current().data.size(), 1u);
    EXPECT_TRUE(engine_log_has("gfx_cache_data: negative count (-1 vertices, 3 indices)"));
}

TEST_F(gfx_render_test, each_frame_records_exactly_its_own_arrays_when_earlier_frames_gave_their_room)
{
    // Frames of different shapes in turn: a record that takes over the arrays of an earlier, larger one
    // holds its own values only, and an array its flags do not name stays empty.
    const std::vector<float> big_positions(3 * 300, 7.0f);
    const std::vector<float> big_normals(3 * 300, 1.0f);
    const std::vector<uint16_t> big_indices(600, 9);
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const uint16_t indices[3] = {2, 1, 0};
    for (int frame = 0; frame < 6; ++frame) {
        gfx_data_t data;
        const bool big = frame % 2 == 0;
        data.flags = gfx_data_positions | gfx_data_indices | (big ? gfx_data_normals : 0u);
        data.vertex_count = big ? 300 : 3;
        data.index_count = big ? 600 : 3;
        data.positions = big ? big_positions.data() : positions;
        data.normals = big_normals.data();
        data.indices = big ? big_indices.data() : indices;
        for (int copy = 0; copy < 3; ++copy)
            gfx_cache_data(&data);
        gfx_swapbuffers();
        const auto& recorded = gfx_record_last().data;
        ASSERT_EQ(recorded.size(), 3u) << "frame " << frame;
        for (const gfx_recorded_data_t& record : recorded) {
            if (big) {
                EXPECT_EQ(record.geometry.positions, big_positions) << "frame " << frame;
                EXPECT_EQ(record.geometry.normals, big_normals) << "frame " << frame;
                EXPECT_EQ(record.geometry.indices, big_indices) << "frame " << frame;
            } else {
                EXPECT_EQ(record.geometry.positions, std::vector<float>(positions, positions + 9)) << "frame " << frame;
                EXPECT_TRUE(record.geometry.normals.empty()) << "frame " << frame;
                EXPECT_EQ(record.geometry.indices, (std::vector<uint16_t>{2, 1, 0})) << "frame " << frame;
            }
        }
    }
}

TEST_F(gfx_render_test, sprites_and_lines_are_recorded_where_they_were_drawn)
{
    gfx_sprite_t flare{{0, 0, 0}, 0xffffffff, 0.35f, 0.0f, {0, 0}, {1, 1}, nullptr};
    const float at[3] = {1, 2, 3};
    const gfx_shader_t* shader = gfx_shader_precache("/shaders/flare.shd");
    gfx_sprite(shader, at, 50.0f, 1, &flare, 1.2f, 1.2f, 0, -1.0f);

    const float offset[3] = {100, 0, 0};
    gfx_translate(offset);
    const float from[3] = {0, 0, 0};
    const float to[3] = {0, 10, 0};
    gfx_line_plain(0xff0000ff, from, to);

    const gfx_frame_record_t& frame = gfx_record_current();
    ASSERT_EQ(frame.sprites.size(), 1u);
    EXPECT_EQ(frame.sprites[0].shader_path, "/shaders/flare.shd");
    EXPECT_FLOAT_EQ(frame.sprites[0].size, 50.0f);
    EXPECT_FLOAT_EQ(frame.sprites[0].sprites[0].scale, 0.35f);
    ASSERT_EQ(frame.lines.size(), 1u);
    EXPECT_FLOAT_EQ(frame.lines[0].from[0], 100.0f);
    EXPECT_FLOAT_EQ(frame.lines[0].to[1], 10.0f);
}

TEST_F(gfx_render_test, the_vert_path_and_its_pools_exist_and_other_paths_do_not)
{
    gfx_path_t* path = gfx_path_get("vert");
    ASSERT_NE(path, nullptr);
    gfx_path_select(path);
    EXPECT_EQ(gfx_path_get_current(), 1);
    EXPECT_EQ(gfx_path_get("glow"), nullptr);
    EXPECT_TRUE(engine_log_has("gfx_path_get: no render path \"glow\""));

    uint32_t state[5] = {};
    gfx_pool_queue_t queue{0, state, 0};
    gfx_pool_t* hashed = gfx_path_pool_insert(path, gfx_common_hash_sort);
    gfx_pool_t* prioritised = gfx_path_pool_insert(path, gfx_priority_sort);
    gfx_pool_queue_insert(hashed, &queue);
    EXPECT_EQ(gfx_record_pool_count(), 2);
    gfx_path_pool_remove(hashed);
    gfx_path_pool_remove(prioritised);
    EXPECT_EQ(gfx_record_pool_count(), 0);
}

TEST_F(gfx_render_test, the_not_found_shader_always_resolves)
{
    const gfx_shader_t* fallback = gfx_shader_precache("/specials/notfound.shd");
    ASSERT_NE(fallback, nullptr);
    EXPECT_STREQ(fallback->path, "/specials/notfound.shd");
    EXPECT_EQ(gfx_shader_precache("/specials/notfound.shd"), fallback);
}

TEST_F(gfx_render_test, a_cached_shader_is_the_renderers_record_and_comes_back_after_a_purge)
{
    c_item_t* const item = mm_precache("shaders/ui/White.SHD");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->object, gfx_shader_precache("/shaders/ui/White.SHD"));
    EXPECT_EQ(mm_precache("/shaders/ui/White.SHD"), item);
    EXPECT_EQ(item->refs, 2);
    mm_mem_free_all(-1);
    EXPECT_EQ(item->object, nullptr);
    c_item_t* const again = mm_precache("/shaders/ui/White.SHD");
    EXPECT_EQ(again, item);
    EXPECT_EQ(item->object, gfx_shader_precache("/shaders/ui/White.SHD"));
    for (int i = 0; i < 3; ++i)
        ci_dec_refs(item);
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(gfx_render_test, the_gl_device_needs_no_texel_offset)
{
    float du = -1.0f;
    float dv = -1.0f;
    gfx_texel_offset(&du, &dv);
    EXPECT_EQ(du, 0.0f);
    EXPECT_EQ(dv, 0.0f);
    gfx_texel_offset(nullptr, nullptr);
}

}  // namespace

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "engine/host.h"
#include "engine/matrix.h"
#include "engine_testing/golden_image.h"
#include "gfx_screen_fixture.h"

namespace {

golden_picture_t captured;

void keep_capture(uint16_t width, uint16_t height, const uint8_t* pixels)
{
    captured.width = width;
    captured.height = height;
    captured.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
}

// The colour of a pixel of the capture, as 0xRRGGBB.
uint32_t pixel(int x, int y)
{
    const uint8_t* p = &captured.rgb[(static_cast<size_t>(y) * static_cast<size_t>(captured.width) + x) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

// A road of 7 m by 60 m on the ground, its texture repeating every 7 m along it, and the ground
// under it, given to the renderer as packets the way the road network's owner does.
struct road_owner_t {
    float positions[8][3] = {{-350, 0, 0},     {350, 0, 0},     {-350, 0, -6000},   {350, 0, -6000},
                             {-4000, -1, 500}, {4000, -1, 500}, {-4000, -1, -9000}, {4000, -1, -9000}};
    float normals[8][3] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}};
    float texcoords[8][2] = {{0, 0}, {1, 0}, {0, 6000.0f / 700.0f}, {1, 6000.0f / 700.0f}, {0, 0}, {0, 0},
                             {0, 0}, {0, 0}};
    uint32_t colours[8] = {0xffffffff, 0xffffffff, 0xffffffff, 0xffffffff,
                           0xff3c7a32, 0xff3c7a32, 0xff2c5a26, 0xff2c5a26};
    uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
};

// Element 0 is the road, element 1 the ground (four vertices each).
const r_packet_decl_t vertex_decl{
    "test_vpd_vertex",
    [](void*, int) { return 4; },
    [](void* o, int e) -> const float* { return static_cast<road_owner_t*>(o)->positions[e * 4]; },
    [](void* o, int e) -> const float* { return static_cast<road_owner_t*>(o)->normals[e * 4]; },
    [](void* o, int e) -> const float* { return static_cast<road_owner_t*>(o)->texcoords[e * 4]; },
    [](void* o, int e) -> const uint32_t* { return &static_cast<road_owner_t*>(o)->colours[e * 4]; },
    nullptr,
    nullptr,
    nullptr};
const r_packet_decl_t index_decl{
    "test_ipd",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    [](void*, int) { return 6; },
    [](void* o, int) -> const uint16_t* { return static_cast<road_owner_t*>(o)->indices; }};

class gfx_paint_test : public gfx_screen_test_t {
protected:
    void SetUp() override
    {
        gfx_screen_test_t::SetUp();
        captured = golden_picture_t{};
        ASSERT_NO_FATAL_FAILURE(open_screen(640, 480));
    }

    void TearDown() override
    {
        gfx_record_forbid_painting(false);
        host_settings().draw = false;
        gfx_screen_test_t::TearDown();
    }

    void copy_data(const std::string& relative)
    {
        std::ifstream in(std::string(KAVRENTA_SOURCE_DIR) + "/data/" + relative, std::ios::binary);
        ASSERT_TRUE(in) << relative;
        write_data_file(relative, std::string(std::istreambuf_iterator<char>(in), {}));
    }

    // The camera 2 m above the road's start, 4 m behind it, looking down the road pitched 10 degrees down.
    static void load_camera()
    {
        mat4_t turn;
        mat4_t move;
        mat4_t frame;
        mat4_t inverse;
        matrix_set_rotate(turn, vec3_t{-10.0f, 0.0f, 0.0f});
        matrix_set_translate(move, vec3_t{0.0f, 200.0f, 400.0f});
        mult_matrix_matrix_no(frame, move, turn);
        ASSERT_TRUE(matrix_inverse(inverse, frame));
        gfx_camera_load(&inverse.m[0][0], &frame.m[0][0]);
    }

    // One frame of the road scene, captured.
    void draw_road_frame(bool capture)
    {
        road_owner_t owner;
        r_packet_t* road_vertices = gfx_alloc_packet(&vertex_decl, &owner, 0);
        r_packet_t* ground_vertices = gfx_alloc_packet(&vertex_decl, &owner, 1);
        r_packet_t* indices = gfx_alloc_packet(&index_decl, &owner, 0);
        r_proto_t* road = gfx_alloc_proto(1);
        r_proto_t* ground = gfx_alloc_proto(1);
        road->set_vertex_packet(0, road_vertices);
        road->set_index_packet(indices);
        road->set_shader(gfx_shader_precache("/textures/road.shd"));
        ground->set_vertex_packet(0, ground_vertices);
        ground->set_index_packet(indices);
        r_light_t sun;
        sun.ambient[0] = sun.ambient[1] = sun.ambient[2] = 0.5f;
        sun.diffuse[0] = sun.diffuse[1] = sun.diffuse[2] = 0.6f;
        sun.direction[0] = 0.3f;
        sun.direction[1] = 1.0f;
        sun.direction[2] = 0.2f;

        if (capture)
            gfx_screen_capture(keep_capture);
        gfx_begin_frame();
        gfx_view_t view;
        view.near_plane = 10.0f;
        view.rect[2] = view.clip[2] = 640.0f;
        view.rect[3] = view.clip[3] = 480.0f;
        gfx_view_push(&view);
        load_camera();
        gfx_clear1(0xffffffff, 0xff6496c8);
        gfx_queue_proto(ground);
        gfx_queue_light_proto(road, &sun);
        const float from[3] = {-350.0f, 2.0f, -1500.0f};
        const float to[3] = {350.0f, 2.0f, -1500.0f};
        gfx_line_plain(0xffff0000, from, to);
        const float at[3] = {0.0f, 150.0f, -2500.0f};
        gfx_sprite_t sprite{{0, 0, 0}, 0xffffd000, 1.0f, 0.0f, {0, 0}, {1, 1}, nullptr};
        gfx_sprite(nullptr, at, 100.0f, 1, &sprite, 1.0f, 1.0f, 0, 0.0f);
        gfx_end_frame();
        gfx_try_capture();
        gfx_swapbuffers();
        gfx_view_pop();
        gfx_free_proto(road);
        gfx_free_proto(ground);
        gfx_free_packet(road_vertices);
        gfx_free_packet(ground_vertices);
        gfx_free_packet(indices);
    }
};

TEST_F(gfx_paint_test, golden_road_packet_seen_from_a_fixed_camera)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    ASSERT_NO_FATAL_FAILURE(copy_data("textures/road.png"));
    ASSERT_NO_FATAL_FAILURE(copy_data("textures/road.shd"));
    draw_road_frame(true);
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(320, 5), 0x6496c8u);    // the sky is the clear colour
    const uint32_t ground = pixel(5, 470);  // unlit green ground in the near corner
    EXPECT_GT((ground >> 8) & 0xff, 2 * (ground >> 16)) << std::hex << ground;
    const uint32_t asphalt = pixel(250, 420);  // lit grey road left of the centre line
    EXPECT_NEAR(double(asphalt >> 16), double(asphalt & 0xff), 12.0) << std::hex << asphalt;
    EXPECT_GT(asphalt >> 16, 40u) << std::hex << asphalt;
    EXPECT_TRUE(golden_image_matches(captured, std::string(KAVRENTA_SOURCE_DIR) + "/tests/golden/road_packet.png"));
}

// An immediate record flagged as drawn with the world (the sky) goes through the camera, unless a UI
// window queues it (a gauge's needle, in the reference screen); a view pushed inside the window (a
// mirror) draws the world again. The record is a red wall 4 m ahead, 10 m to the right of the camera's
// line and 3.84 m high: as an overlay it fills the screen's lower half.
TEST_F(gfx_paint_test, immediate_records_drawn_with_the_world_go_through_the_camera_outside_ui_windows)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    struct case_t {
        const char* name;
        bool in_window;
        bool view_pushed_in_window;
        bool overlay;
    };
    const case_t cases[] = {{"queued by the world", false, false, false},
                            {"queued by a UI window", true, false, true},
                            {"queued by a UI window through a view of its own", true, true, false}};
    const float positions[4][3] = {{0, 0, 0}, {1024, 0, 0}, {1024, 384, 0}, {0, 384, 0}};
    const uint32_t colours[4] = {0xffff0000, 0xffff0000, 0xffff0000, 0xffff0000};
    gfx_view_t view;
    view.near_plane = 10.0f;
    view.rect[2] = view.clip[2] = 640.0f;
    view.rect[3] = view.clip[3] = 480.0f;
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        gfx_screen_capture(keep_capture);
        gfx_begin_frame();
        gfx_view_push(&view);
        load_camera();
        gfx_clear1(0xffffffff, 0xff000000);
        if (c.in_window)
            gfx_record_ui_begin();
        if (c.view_pushed_in_window)
            gfx_view_push(&view);
        gfx_data_t wall;
        wall.flags = gfx_data_positions | gfx_data_colours | gfx_data_world;
        wall.primitive = gfx_triangle_fan;
        wall.vertex_count = 4;
        wall.positions = &positions[0][0];
        wall.colours = colours;
        gfx_cache_data(&wall);
        if (c.view_pushed_in_window)
            gfx_view_pop();
        if (c.in_window)
            gfx_record_ui_end();
        gfx_end_frame();
        gfx_try_capture();
        gfx_swapbuffers();
        gfx_view_pop();
        ASSERT_EQ(captured.width, 640);
        EXPECT_EQ(pixel(100, 400), c.overlay ? 0xff0000u : 0u);  // lower left: the overlay only
        EXPECT_EQ(pixel(450, 150), c.overlay ? 0u : 0xff0000u);  // upper right of the centre: the wall only
    }
}

// A record drawn with the world (rain) lies over it: a wall 20 m away drawn after a translucent red
// sheet 2 m ahead is not hidden by the sheet's depth, so the wall is all that shows.
TEST_F(gfx_paint_test, an_immediate_record_drawn_with_the_world_hides_nothing_drawn_after_it)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    const float sheet[4][3] = {{-2000, -2000, 200}, {2000, -2000, 200}, {2000, 2000, 200}, {-2000, 2000, 200}};
    const uint32_t red[4] = {0x80ff0000, 0x80ff0000, 0x80ff0000, 0x80ff0000};
    const float far_wall[4][3] = {
        {-20000, -20000, -1600}, {20000, -20000, -1600}, {20000, 20000, -1600}, {-20000, 20000, -1600}};
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    gfx_view_t view;
    view.near_plane = 10.0f;
    view.rect[2] = view.clip[2] = 640.0f;
    view.rect[3] = view.clip[3] = 480.0f;
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_view_push(&view);
    load_camera();
    gfx_clear1(0xffffffff, 0xff000000);
    gfx_data_t rain;
    rain.flags = gfx_data_positions | gfx_data_colours | gfx_data_world;
    rain.primitive = gfx_triangle_fan;
    rain.vertex_count = 4;
    rain.positions = &sheet[0][0];
    rain.colours = red;
    gfx_cache_data(&rain);
    gfx_model_part_t wall;
    wall.positions = &far_wall[0][0];
    wall.vertex_count = 4;
    wall.indices = indices;
    wall.index_count = 6;
    wall.colour = 0xff00ff00u;
    gfx_record_model(wall);
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    gfx_view_pop();
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(320, 240), 0x00ff00u) << std::hex << pixel(320, 240);
}

TEST_F(gfx_paint_test, a_model_part_is_painted_in_its_colour_where_its_world_matrix_puts_it)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    // A wall of 10 m by 3.84 m, drawn by its model at the origin and moved 10 m left by the world matrix.
    const float positions[4][3] = {{0, 0, 0}, {1024, 0, 0}, {1024, 384, 0}, {0, 384, 0}};
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    gfx_view_t view;
    view.near_plane = 10.0f;
    view.rect[2] = view.clip[2] = 640.0f;
    view.rect[3] = view.clip[3] = 480.0f;
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_view_push(&view);
    load_camera();
    gfx_clear1(0xffffffff, 0xff000000);
    gfx_push();
    const float left[3] = {-1024.0f, 0.0f, 0.0f};
    gfx_translate(left);
    gfx_model_part_t wall;
    wall.positions = &positions[0][0];
    wall.vertex_count = 4;
    wall.indices = indices;
    wall.index_count = 6;
    wall.colour = 0xff00ff00u;
    gfx_record_model(wall);
    gfx_pop();
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    gfx_view_pop();
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(190, 150), 0x00ff00u) << "left of the centre: the moved wall";
    EXPECT_EQ(pixel(450, 150), 0u) << "where the wall stood unmoved: nothing";
}

// Models and prototypes that carry a light list (the world's lights) are lit by its first light: at
// night, with a dim ambient and the sun below the horizon, a green wall and a white floor show only the
// ambient share of their colours.
TEST_F(gfx_paint_test, a_model_or_prototype_with_a_light_list_is_lit_by_its_first_light)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    r_light_t night;
    night.ambient[0] = night.ambient[1] = night.ambient[2] = 0.25f;
    night.diffuse[0] = night.diffuse[1] = night.diffuse[2] = 0.8f;
    night.direction[1] = -1.0f;
    c_item_t item{};
    item.object = &night;
    const std::vector<c_item_t*> lights{&item};

    const float positions[4][3] = {{0, 0, 0}, {1024, 0, 0}, {1024, 384, 0}, {0, 384, 0}};
    const float normals[4][3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    road_owner_t owner;
    r_packet_t* floor_vertices = gfx_alloc_packet(&vertex_decl, &owner, 0);
    r_packet_t* floor_indices = gfx_alloc_packet(&index_decl, &owner, 0);
    r_proto_t* floor = gfx_alloc_proto(1);
    floor->set_vertex_packet(0, floor_vertices);
    floor->set_index_packet(floor_indices);
    floor->set_lights(&lights);
    gfx_view_t view;
    view.near_plane = 10.0f;
    view.rect[2] = view.clip[2] = 640.0f;
    view.rect[3] = view.clip[3] = 480.0f;
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_view_push(&view);
    load_camera();
    gfx_clear1(0xffffffff, 0xff000000);
    gfx_queue_proto(floor);
    gfx_push();
    const float left[3] = {-1024.0f, 0.0f, -2000.0f};
    gfx_translate(left);
    gfx_model_part_t wall;
    wall.positions = &positions[0][0];
    wall.normals = &normals[0][0];
    wall.vertex_count = 4;
    wall.indices = indices;
    wall.index_count = 6;
    wall.colour = 0xff00ff00u;
    wall.lights = &lights;
    gfx_record_model(wall);
    gfx_pop();
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    gfx_view_pop();
    gfx_free_proto(floor);
    gfx_free_packet(floor_vertices);
    gfx_free_packet(floor_indices);
    ASSERT_EQ(captured.width, 640);
    const uint32_t wall_pixel = pixel(200, 170);
    EXPECT_NEAR(double((wall_pixel >> 8) & 0xff), 64.0, 3.0) << std::hex << wall_pixel;
    EXPECT_EQ(wall_pixel & 0xff00ffu, 0u) << std::hex << wall_pixel;
    const uint32_t floor_pixel = pixel(320, 300);  // the white strip
    EXPECT_NEAR(double(floor_pixel >> 16), 64.0, 3.0) << std::hex << floor_pixel;
}

// The clear corners of a sprite drawn first (a snow flake) hide nothing drawn behind it later: a red
// wall filling the view shows everywhere around the flake, never the black of the clear.
TEST_F(gfx_paint_test, the_clear_corners_of_a_sprite_hide_nothing_drawn_behind_it_later)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    ASSERT_NO_FATAL_FAILURE(copy_data("shaders/effects/snow.png"));
    ASSERT_NO_FATAL_FAILURE(copy_data("shaders/effects/snow.shd"));
    const float positions[4][3] = {
        {-20000, -20000, -3000}, {20000, -20000, -3000}, {20000, 20000, -3000}, {-20000, 20000, -3000}};
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    gfx_view_t view;
    view.near_plane = 10.0f;
    view.rect[2] = view.clip[2] = 640.0f;
    view.rect[3] = view.clip[3] = 480.0f;
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_view_push(&view);
    load_camera();
    gfx_clear1(0xffffffff, 0xff000000);
    const float at[3] = {0.0f, 100.0f, -600.0f};
    gfx_sprite_t flake{{0, 0, 0}, 0xffffffff, 1.0f, 0.0f, {0, 0}, {1, 1}, nullptr};
    gfx_sprite(gfx_shader_precache("/shaders/effects/snow.shd"), at, 300.0f, 1, &flake, 1.0f, 1.0f, 0, -1.0f);
    gfx_model_part_t wall;
    wall.positions = &positions[0][0];
    wall.vertex_count = 4;
    wall.indices = indices;
    wall.index_count = 6;
    wall.colour = 0xffff0000u;
    gfx_record_model(wall);
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    gfx_view_pop();
    ASSERT_EQ(captured.width, 640);
    int black = 0;
    int white = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            black += pixel(x, y) == 0u;
            white += pixel(x, y) == 0xfafcffu;
        }
    EXPECT_EQ(black, 0);
    EXPECT_GT(white, 100) << "the flake itself is drawn";
}

TEST_F(gfx_paint_test, without_egl_the_capture_is_the_clear_colour_and_says_so_once)
{
    gfx_record_forbid_painting(true);
    draw_road_frame(true);
    draw_road_frame(true);
    ASSERT_EQ(captured.width, 640);
    EXPECT_TRUE(golden_image_uniform(captured));
    EXPECT_EQ(pixel(100, 400), 0x6496c8u);
    EXPECT_EQ(engine_log_matching("no off-screen OpenGL").size(), 1u);
    EXPECT_EQ(gfx_record_paints(), 0);
}

TEST_F(gfx_paint_test, frames_are_painted_only_when_captured_or_drawing_is_asked_for)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine";
    draw_road_frame(false);
    draw_road_frame(false);
    EXPECT_EQ(gfx_record_paints(), 0);
    draw_road_frame(true);
    EXPECT_EQ(gfx_record_paints(), 1);
    host_settings().draw = true;
    draw_road_frame(false);
    draw_road_frame(true);  // the capture's painting serves the frame
    EXPECT_EQ(gfx_record_paints(), 3);
}

}  // namespace

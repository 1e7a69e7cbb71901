#include "ui/components/ui_frame_base.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log.h"
#include "engine/ui_window.h"
#include "ui_fixture.h"

namespace {

// The frame base under a type name of its own, as the components deriving from it have.
class test_frame_t : public ui_frame_base_t {
public:
    const char* get_default_name() const override { return "ui.comp.test.frame"; }
};

entity_t* create_test_frame(void* memory) { return memory ? new (memory) test_frame_t() : new test_frame_t(); }

void destroy_test_frame(entity_t* object, bool in_place)
{
    if (in_place)
        object->~entity_t();
    else
        delete object;
}

const entity_reg_t test_frame_type{"ui.comp.test.frame", 0, {0, 0, 0}, sizeof(test_frame_t), create_test_frame,
                                   destroy_test_frame};

// Pictures: a corner 16 x 8 (each corner 8 x 4), a vertical line 6 wide (3 a side), a horizontal line
// 10 high (5 a side), an inside 4 x 4 and a shader without a texture.
class ui_frame_base_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        ASSERT_TRUE(entity_register(&test_frame_type));
        write_data_file("shaders/corner.shd", "texture 16 8\n");
        write_data_file("shaders/vline.shd", "texture 6 32\n");
        write_data_file("shaders/hline.shd", "texture 32 10\n");
        write_data_file("shaders/inside.shd", "texture 4 4\n");
        write_data_file("shaders/bare.shd", "");
    }

    // Builds a window holding frame 5 (200 x 100 at 100, 400) with `settings`, and runs a frame.
    ui_frame_base_t* make_frame(const std::string& settings)
    {
        window_ = make_window("    entity ui.comp.test.frame { id = 5; rect = 100 300 500 400; " + settings + " }\n");
        if (!window_)
            return nullptr;
        frame();
        return dynamic_cast<ui_frame_base_t*>(ui_driver_find(window_, 5));
    }

    // The boxes of the layer's images drawn with `shader`, in layer order.
    std::vector<pml_rect_t> boxes(const char* shader) const
    {
        std::vector<pml_rect_t> out;
        const ui_layer_entry_t* const entry = ui_driver_window(window_)->layer_entry(0, false);
        if (entry)
            for (const pml_item_t& item : entry->buffer.items())
                if (item.shader == shader)
                    out.push_back(item.box);
        return out;
    }

    c_item_t* window_ = nullptr;
};

// Settings of a frame with corners and lines, and with an inside too.
const std::string lines =
    "corner = \"/shaders/corner.shd\"; vline = \"/shaders/vline.shd\"; hline = \"/shaders/hline.shd\";";
const std::string all_pictures = lines + " inside = \"/shaders/inside.shd\";";

void expect_box(const pml_rect_t& box, float left, float right, float top, float bottom)
{
    EXPECT_FLOAT_EQ(box.left, left);
    EXPECT_FLOAT_EQ(box.right, right);
    EXPECT_FLOAT_EQ(box.top, top);
    EXPECT_FLOAT_EQ(box.bottom, bottom);
}

TEST_F(ui_frame_base_test, reads_each_pictures_size_as_the_frame_uses_it)
{
    ui_frame_base_t* const f = make_frame(all_pictures);
    ASSERT_NE(f, nullptr);
    struct expected_t {
        const ui_frame_picture_t& size;
        int width;
        int height;
    } const cases[] = {{f->corner_size, 8, 4}, {f->vline_size, 3, 32}, {f->hline_size, 32, 5}, {f->inside_size, 4, 4}};
    for (const expected_t& c : cases) {
        EXPECT_TRUE(c.size.present);
        EXPECT_EQ(c.size.width, c.width);
        EXPECT_EQ(c.size.height, c.height);
    }
    // An empty name, a missing picture and a shader without a texture leave their part out.
    ASSERT_TRUE(ui_driver_set(f, "inside", ""));
    ASSERT_TRUE(ui_driver_set(f, "vline", "/shaders/none.shd"));
    ASSERT_TRUE(ui_driver_set(f, "hline", "/shaders/bare.shd"));
    frame();
    for (const ui_frame_picture_t* size : {&f->inside_size, &f->vline_size, &f->hline_size}) {
        EXPECT_FALSE(size->present);
        EXPECT_EQ(size->width, 0);
        EXPECT_EQ(size->height, 0);
    }
    EXPECT_EQ(f->markup_pieces().size(), 1u) << "only the corners";
}

TEST_F(ui_frame_base_test, a_frame_of_corners_only_puts_four_corners_in_its_corners)
{
    ASSERT_NE(make_frame("corner = \"/shaders/corner.shd\";"), nullptr);
    const std::vector<pml_rect_t> corners = boxes("/shaders/corner.shd");
    ASSERT_EQ(corners.size(), 4u);
    expect_box(corners[0], 100, 108, 500, 496);
    expect_box(corners[1], 100, 108, 404, 400);
    expect_box(corners[2], 292, 300, 500, 496);
    expect_box(corners[3], 292, 300, 404, 400);
    EXPECT_EQ(ui_driver_layer_text(window_, 0), "####");
}

TEST_F(ui_frame_base_test, lines_run_between_the_corners_and_repeat_or_stretch_with_tile)
{
    ui_frame_base_t* const f = make_frame(lines);
    ASSERT_NE(f, nullptr);
    for (const bool tile : {true, false}) {
        ASSERT_TRUE(ui_driver_set(f, "tile", tile ? "true" : "false"));
        frame();
        const std::vector<pml_rect_t> top_bottom = boxes("/shaders/hline.shd");
        ASSERT_EQ(top_bottom.size(), 2u);
        expect_box(top_bottom[0], 108, 292, 500, 495);
        expect_box(top_bottom[1], 108, 292, 405, 400);
        const std::vector<pml_rect_t> sides = boxes("/shaders/vline.shd");
        ASSERT_EQ(sides.size(), 2u);
        expect_box(sides[0], 100, 103, 496, 404);
        expect_box(sides[1], 297, 300, 496, 404);
        const std::vector<std::string> pieces = f->markup_pieces();
        ASSERT_EQ(pieces.size(), 3u);
        const char* const scale = tile ? "SCALE=REPEAT" : "SCALE=STRETCH";
        const char* const other = tile ? "SCALE=STRETCH" : "SCALE=REPEAT";
        for (const std::string& piece : {pieces[1], pieces[2]}) {
            EXPECT_NE(piece.find(scale), std::string::npos) << piece;
            EXPECT_EQ(piece.find(other), std::string::npos) << piece;
        }
    }
}

TEST_F(ui_frame_base_test, the_inside_starts_inside_the_lines_unless_told_otherwise)
{
    ui_frame_base_t* const f = make_frame(all_pictures);
    ASSERT_NE(f, nullptr);
    std::vector<pml_rect_t> inside = boxes("/shaders/inside.shd");
    ASSERT_EQ(inside.size(), 1u);
    expect_box(inside[0], 103, 297, 496, 404);
    EXPECT_NE(f->markup_pieces()[1].find("XSCALE=STRETCH YSCALE=STRETCH"), std::string::npos);

    ASSERT_TRUE(ui_driver_set(f, "inside_inset", "false"));
    ASSERT_TRUE(ui_driver_set(f, "inside_tile", "true"));
    frame();
    inside = boxes("/shaders/inside.shd");
    ASSERT_EQ(inside.size(), 1u);
    expect_box(inside[0], 100, 300, 500, 400);
    EXPECT_NE(f->markup_pieces()[1].find("XSCALE=REPEAT YSCALE=REPEAT"), std::string::npos);
}

TEST_F(ui_frame_base_test, a_frame_too_small_for_its_corners_draws_no_lines)
{
    // 16 wide: no room between two corners 8 wide; 100 high leaves room for the sides.
    window_ = make_window("    entity ui.comp.test.frame { id = 5; rect = 100 116 500 400; " + all_pictures + " }\n");
    ASSERT_NE(window_, nullptr);
    frame();
    EXPECT_TRUE(boxes("/shaders/hline.shd").empty());
    EXPECT_EQ(boxes("/shaders/vline.shd").size(), 2u);
    EXPECT_EQ(boxes("/shaders/corner.shd").size(), 4u);
    EXPECT_EQ(boxes("/shaders/inside.shd").size(), 1u) << "the inset is 3 across: 6 < 16";
}

TEST_F(ui_frame_base_test, a_new_colour_regenerates_every_piece_with_it)
{
    ui_frame_base_t* const f = make_frame(all_pictures + " text = x;");
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(ui_driver_set(f, "color", "FF00FF00"));
    frame();
    const ui_layer_entry_t* const entry = ui_driver_window(window_)->layer_entry(0, false);
    ASSERT_NE(entry, nullptr);
    int images = 0;
    for (const pml_item_t& item : entry->buffer.items())
        if (item.id == pml_item_image) {
            ++images;
            EXPECT_EQ(item.color, 0xFF00FF00u) << item.shader.c_str();
        }
    EXPECT_EQ(images, 9);
    EXPECT_EQ(ui_driver_layer_text(window_, 0), "#########x") << "the text comes last";
}

TEST_F(ui_frame_base_test, a_plain_move_shifts_the_frame_and_hiding_takes_it_out_of_the_layer)
{
    ui_frame_base_t* const f = make_frame("corner = \"/shaders/corner.shd\";");
    ASSERT_NE(f, nullptr);
    f->offset(10.0f, -20.0f, ui_offset_shift);
    EXPECT_FALSE(f->rebuild_needed) << "a plain move renders nothing";
    frame();
    const std::vector<pml_rect_t> corners = boxes("/shaders/corner.shd");
    ASSERT_EQ(corners.size(), 4u);
    expect_box(corners[0], 110, 118, 480, 476);
    f->offset(0.0f, 0.0f, 0);
    EXPECT_TRUE(f->rebuild_needed);
    ASSERT_TRUE(ui_driver_set(f, "visible", "false"));
    frame();
    EXPECT_TRUE(boxes("/shaders/corner.shd").empty());
}

TEST_F(ui_frame_base_test, a_long_text_is_kept_whole)
{
    const std::string text(3000, 'a');
    ui_frame_base_t* const f = make_frame("corner = \"/shaders/corner.shd\";");
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(ui_driver_set(f, "text", text.c_str()));
    const std::vector<std::string> pieces = f->markup_pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1], text);
}

}  // namespace

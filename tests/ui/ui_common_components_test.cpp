#include <gtest/gtest.h>

#include <string>

#include "ui/components/ui_comp_common_frame.h"
#include "ui/components/ui_comp_common_inputline.h"
#include "ui/components/ui_comp_common_slider.h"
#include "ui_fixture.h"

namespace {

constexpr const char* sld_def = "bar : template {\n"
                                "    name = bar\n"
                                "    n_pml_vert = \"V[%0]\"\n"
                                "    n_pml_horiz = \"H[%0]\"\n"
                                "    margin_horiz = 6\n"
                                "}\n";
constexpr const char* frm_def = "panel : template {\n"
                                "    name = panel\n"
                                "    width = 300\n"
                                "    color = 255\n"
                                "    corner = /shaders/2d/corner.shd\n"
                                "    tile = true\n"
                                "    text = \"<b>%0</b>\"\n"
                                "}\n";
constexpr const char* inp_def = "line : template {\n"
                                "    name = line\n"
                                "    height = 24\n"
                                "    style = \"[%s]\"\n"
                                "    limit = 12\n"
                                "    keep_input = false\n"
                                "}\n";

class ui_common_components_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        write_data_file("defs/ui/sld.def", sld_def);
        write_data_file("defs/ui/frm.def", frm_def);
        write_data_file("defs/ui/inp.def", inp_def);
        window_ = make_window("    entity ui.comp.common.slider { id = 1; rect = 0 20 400 200; value = Speed; }\n"
                              "    entity ui.comp.common.slider { id = 2; rect = 100 150 400 350; value = Speed; }\n"
                              "    entity ui.comp.common.slider { id = 3; rect = 100 150 400 350; look = 4; }\n"
                              "    entity ui.comp.common.frame { id = 4; rect = 200 260 600 500; value = Fleet; }\n"
                              "    entity ui.comp.common.inputline { id = 5; rect = 300 500 100 50; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
    }

    template <typename type_t> type_t* view(int id) { return dynamic_cast<type_t*>(ui_driver_find(window_, id)); }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_common_components_test, a_slider_reads_the_keys_of_its_shape)
{
    EXPECT_STREQ(view<ui_comp_common_slider_t>(1)->n_pml.c_str(), "V[Speed]") << "20 wide and 200 high";
    auto* square = view<ui_comp_common_slider_t>(2);
    EXPECT_STREQ(square->n_pml.c_str(), "H[Speed]");
    EXPECT_EQ(square->margin, 6);
    EXPECT_NE(std::string(square->s_pml.c_str()).find("color=3000ffff"), std::string::npos) << "a missing key";
    auto* beyond = view<ui_comp_common_slider_t>(3);
    EXPECT_NE(std::string(beyond->n_pml.c_str()).find("color=30ffffff><ret><offset hshift=4 vshift=4>X"),
              std::string::npos)
        << "a look beyond the file's templates shows the built-in knob";
    EXPECT_NE(std::string(beyond->n_background.c_str()).find("color=30ff0000"), std::string::npos);
}

TEST_F(ui_common_components_test, a_frame_takes_size_colour_pictures_and_text_from_its_template)
{
    auto* frame_view = view<ui_comp_common_frame_t>(4);
    ASSERT_NE(frame_view, nullptr);
    EXPECT_FLOAT_EQ(frame_view->rect.right, 500.0f);
    EXPECT_EQ(frame_view->color, 255u);
    EXPECT_STREQ(frame_view->corner, "/shaders/2d/corner.shd");
    EXPECT_STREQ(frame_view->hline, "/shaders/2d/uidefault.shd") << "a picture the template leaves out";
    EXPECT_TRUE(frame_view->tile);
    EXPECT_FALSE(frame_view->inside_tile);
    EXPECT_TRUE(frame_view->inside_inset);
    EXPECT_STREQ(frame_view->text.c_str(), "<b>Fleet</b>");
    ASSERT_TRUE(ui_driver_set(frame_view, "value", "Trucks"));
    frame();
    EXPECT_STREQ(frame_view->text.c_str(), "<b>Trucks</b>");
}

TEST_F(ui_common_components_test, an_input_line_takes_style_limit_and_focus_keeping_from_its_template)
{
    auto* line = view<ui_comp_common_inputline_t>(5);
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line->style.c_str(), "[%s]");
    EXPECT_STREQ(line->cursor_look.c_str(), "_");
    EXPECT_EQ(line->limit(), 12u);
    EXPECT_EQ(line->view_flags & ui_view_keeps_focus, 0u);
    EXPECT_FLOAT_EQ(line->rect.top, 74.0f);
    line->set_text("a much longer name than twelve", false);
    EXPECT_STREQ(line->text(), "a much longe");
}

}  // namespace

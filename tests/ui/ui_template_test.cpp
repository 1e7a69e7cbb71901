#include "ui/components/ui_template.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/components/ui_comp_common_button.h"
#include "ui/components/ui_comp_common_text.h"
#include "ui_fixture.h"

namespace {

TEST(ui_template_substitute_test, replaces_numbered_placeholders_by_the_pieces_of_the_arguments)
{
    const struct {
        const char* text;
        const char* args;
        const char* expected;
    } cases[] = {
        {"%0 (%1)", "Trucks|12", "Trucks (12)"},
        {"%0 (%1)", "Trucks", "Trucks (%1)"},  // a missing piece leaves its placeholder
        {"%0-%1-%2", "a||c", "a--c"},          // two bars give an empty piece
        {"%0%0", "ab", "abab"},                // every occurrence
        {"%10", "a|b", "b0"},                  // "%1" then the digit 0
        {"%0 %2", "%2|x|y", "y y"},            // a piece is replaced in turn by a later one
        {"%0", "", "%0"},                      // an empty text gives no pieces
        {"[%0][%1]", "a|", "[a][%1]"},         // a trailing bar gives no further piece
        {"plain", nullptr, "plain"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui_template_substitute(c.text, c.args, 8191), c.expected) << c.text << " with " << c.args;
    EXPECT_EQ(ui_template_substitute("%0", std::string(9000, 'x').c_str(), 8191).size(), 8191u) << "cut";
}

// Two button templates and one text template.
constexpr const char* btn_def = "menu : template {\n"
                                "    name = \"menu\"\n"
                                "    n_pml = \"N[%0]\"\n"
                                "    s_pml = \"S[%0]\"\n"
                                "    width = 200\n"
                                "    height = 40\n"
                                "    areaoff = \"10 20 5 5\"\n"
                                "    type = MENU\n"
                                "}\n"
                                "check : template { name = check\n type = check }\n";
constexpr const char* txt_def = "title : template { name = title\n text = \"T[%0/%1]\" }\n";

class ui_common_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        write_data_file("defs/ui/btn.def", btn_def);
        write_data_file("defs/ui/txt.def", txt_def);
        window_ =
            make_window("    entity ui.comp.common.button { id = 1; rect = 10 50 700 680; look = menu; value = Go; }\n"
                        "    entity ui.comp.common.button { id = 2; rect = 10 50 600 580; look = 1; }\n"
                        "    entity ui.comp.common.text { id = 3; rect = 0 300 500 480; value = \"a|b\"; }\n"
                        "    entity ui.comp.common.text { id = 4; rect = 0 300 400 380; look = 7; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
    }

    template <typename type_t> type_t* view(int id) { return dynamic_cast<type_t*>(ui_driver_find(window_, id)); }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_common_test, a_button_takes_markups_type_size_and_area_from_its_template)
{
    auto* button = view<ui_comp_common_button_t>(1);
    ASSERT_NE(button, nullptr);
    EXPECT_STREQ(button->n_pml.c_str(), "N[Go]");
    EXPECT_STREQ(button->s_pml.c_str(), "S[Go]");
    EXPECT_NE(std::string(button->p_pml.c_str()).find("color=3000ff00><ret><align hstyle=center vstyle=center>Go"),
              std::string::npos)
        << "a key the template lacks takes the built-in form";
    EXPECT_EQ(button->button_type, ui_button_menu);
    EXPECT_FLOAT_EQ(button->rect.right, 210.0f);
    EXPECT_FLOAT_EQ(button->rect.top, 720.0f);
    EXPECT_FLOAT_EQ(button->area.left, 20.0f);
    EXPECT_FLOAT_EQ(button->area.right, 190.0f);
    EXPECT_FLOAT_EQ(button->area.top, 715.0f);
    EXPECT_FLOAT_EQ(button->area.bottom, 685.0f);

    // A new "value" written through its setter is shown in the next frame.
    ASSERT_TRUE(ui_driver_set(button, "value", "Stop"));
    frame();
    EXPECT_STREQ(button->n_pml.c_str(), "N[Stop]");
}

TEST_F(ui_common_test, a_check_button_without_a_pressed_markup_shows_the_builtin_green_with_value2)
{
    auto* button = view<ui_comp_common_button_t>(2);
    ASSERT_TRUE(ui_driver_set(button, "value2", "On"));
    frame();
    EXPECT_EQ(button->button_type, ui_button_check);
    EXPECT_NE(std::string(button->p_pml.c_str()).find("color=3000ff00><ret><align hstyle=center vstyle=center>On<"),
              std::string::npos);
    EXPECT_FLOAT_EQ(button->rect.right, 50.0f) << "no width in the template: the script's rectangle stays";
}

TEST_F(ui_common_test, a_text_shows_its_value_through_the_template_or_the_builtin_form)
{
    EXPECT_STREQ(view<ui_comp_common_text_t>(3)->text.c_str(), "T[a/b]");
    auto* fallback = view<ui_comp_common_text_t>(4);
    ASSERT_TRUE(ui_driver_set(fallback, "value", "Hi"));
    frame();
    EXPECT_NE(std::string(fallback->text.c_str()).find("vstyle=center>\\yHi</align>"), std::string::npos)
        << "a look beyond the file's templates takes the built-in form";
    ASSERT_TRUE(ui_driver_set(fallback, "look", "title"));
    frame();
    EXPECT_STREQ(fallback->text.c_str(), "T[Hi/%1]");
    EXPECT_NE(ui_driver_layer_text(window_, 0).find("T[Hi/%1]"), std::string::npos) << "and draws it";
}

using ui_common_without_files_test = ui_test_t;

TEST_F(ui_common_without_files_test, every_look_is_builtin)
{
    c_item_t* window =
        make_window("    entity ui.comp.common.text { id = 3; rect = 0 300 500 480; look = 2; value = x; }\n");
    frame();
    auto* text = dynamic_cast<ui_comp_common_text_t*>(ui_driver_find(window, 3));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(std::string(text->text.c_str()).find("\\yx</align>"), std::string::npos);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstring>

#include "engine/dstring.h"
#include "engine/evalue.h"
#include "engine_testing/engine_test.h"
#include "entity_fixture.h"

namespace {

const evalue_choice_t weather_choices[] = {{"clear", 0}, {"rain", 5}, {"snow", 9}, {nullptr, 0}};

const evalue_text_choice_t* font_choices()
{
    static const evalue_text_choice_t choices[] = {{"small", "fnt_sml"}, {"big", "fnt_big"}, {nullptr, nullptr}};
    return choices;
}

// An entity with one property of every kind; the first four share one status byte.
class props_e : public entity_t {
public:
    const evalue_def_t* get_evalue_root() const override { return &evd_flag; }

    bool flag = false;
    int32_t count = 0;
    uint32_t mask = 0;
    uint32_t code = 0;
    float volume = 1.0f;
    float position[3] = {0, 0, 0};
    uint32_t tint = 0;
    dstring_t title;
    char label[8] = "";
    int32_t weather = 0;
    int32_t font = 0;
    evalue_array_t lanes{};
    evalue_array_t points{};
    evalue_array_t names{};
    uint8_t status = 0;

    static const evalue_def_t evd_flag, evd_count, evd_mask, evd_code, evd_volume, evd_position, evd_tint, evd_title,
        evd_label, evd_weather, evd_font, evd_lanes, evd_points, evd_names;
};

const evalue_def_t props_e::evd_names =
    evalue_array("names", evalue_dstring, sizeof(dstring_t), evalue_bind<&props_e::names>, nullptr, "-");
const evalue_def_t props_e::evd_points =
    evalue_array("points", evalue_point, 3 * sizeof(float), evalue_bind<&props_e::points>, &evd_names);
const evalue_def_t props_e::evd_lanes =
    evalue_array("lanes", evalue_int, sizeof(int32_t), evalue_bind<&props_e::lanes>, &evd_points);
const evalue_def_t props_e::evd_font =
    evalue_text_choice_member("font", font_choices, evalue_bind<&props_e::font>, &evd_lanes);
const evalue_def_t props_e::evd_weather =
    evalue_choice_member("weather", weather_choices, evalue_bind<&props_e::weather>, &evd_font, "clear");
const evalue_def_t props_e::evd_label =
    evalue_member("label", evalue_text, sizeof(label), evalue_bind<&props_e::label>, &evd_weather);
const evalue_def_t props_e::evd_title =
    evalue_member("title", evalue_dstring, sizeof(dstring_t), evalue_bind<&props_e::title>, &evd_label);
const evalue_def_t props_e::evd_tint =
    evalue_member("tint", evalue_colour, sizeof(uint32_t), evalue_bind<&props_e::tint>, &evd_title);
const evalue_def_t props_e::evd_position =
    evalue_member("position", evalue_point, 3 * sizeof(float), evalue_bind<&props_e::position>, &evd_tint, "0 0 0");
const evalue_def_t props_e::evd_volume =
    evalue_member("volume", evalue_real, sizeof(float), evalue_bind<&props_e::volume>, &evd_position, "1.0");
const evalue_def_t props_e::evd_code = evalue_member("code", evalue_hex, sizeof(uint32_t), evalue_bind<&props_e::code>,
                                                     &evd_volume, nullptr, evalue_bind_status<&props_e::status>);
const evalue_def_t props_e::evd_mask =
    evalue_member("mask", evalue_unsigned, sizeof(uint32_t), evalue_bind<&props_e::mask>, &evd_code, nullptr,
                  evalue_bind_status<&props_e::status>);
const evalue_def_t props_e::evd_count =
    evalue_member("count", evalue_int, sizeof(int32_t), evalue_bind<&props_e::count>, &evd_mask, nullptr,
                  evalue_bind_status<&props_e::status>);
const evalue_def_t props_e::evd_flag = evalue_member("flag", evalue_bool, sizeof(bool), evalue_bind<&props_e::flag>,
                                                     &evd_count, nullptr, evalue_bind_status<&props_e::status>);

class evalue_test : public engine_test_t {
protected:
    // The property as its getter writes it.
    std::string get(const char* name, int index = 0)
    {
        char text[256] = "";
        const evalue_def_t* def = evalue_find(entity_.get_evalue_root(), name);
        EXPECT_NE(def, nullptr);
        if (def) {
            EXPECT_TRUE(def->get(&entity_, def, index, text, sizeof text)) << name;
        }
        return text;
    }

    props_e entity_;
};

// One setting of one property: the text given and what reading it back gives ("" means refused).
struct setting_case_t {
    const char* name;
    const char* text;
    const char* read_back;
};

TEST_F(evalue_test, every_kind_reads_its_text_and_writes_it_back)
{
    const setting_case_t cases[] = {
        {"flag", "true", "true"},
        {"flag", "No", "false"},
        {"count", "-42", "-42"},
        {"count", "0x10", "16"},
        {"count", "2147483647", "2147483647"},
        {"mask", "4294967295", "4294967295"},
        {"code", "ff00ff", "ff00ff"},
        {"code", "0xDEADBEEF", "deadbeef"},
        {"volume", "0.25", "0.25"},
        {"volume", "-3e2", "-300"},
        {"position", "1 -2.5 300", "1 -2.5 300"},
        {"position", "1, 2, 3", "1 2 3"},
        {"tint", "255 128 0", "255 128 0 255"},
        {"tint", "1 2 3 4", "1 2 3 4"},
        {"title", "<color value=ff00ff>@@ui_week@@; a|b", "<color value=ff00ff>@@ui_week@@; a|b"},
        {"title", "", ""},
        {"label", "seven77", "seven77"},
        {"weather", "rain", "rain"},
        {"weather", "SNOW", "snow"},
        {"font", "big", "big"},
        {"font", "fnt_sml", "small"},
    };
    for (const setting_case_t& c : cases) {
        std::string why;
        EXPECT_TRUE(evalue_set(&entity_, c.name, 0, c.text, &why)) << c.name << " = " << c.text << ": " << why;
        EXPECT_EQ(get(c.name), c.read_back) << c.name << " = " << c.text;
    }
    EXPECT_EQ(entity_.tint, 0x04010203u);
    EXPECT_EQ(entity_.weather, 9);
    EXPECT_EQ(entity_.font, 0);
}

TEST_F(evalue_test, bad_text_is_refused_with_a_reason_and_changes_nothing)
{
    const setting_case_t cases[] = {
        {"flag", "maybe", "bad value \"maybe\" (expected true or false)"},
        {"count", "12abc", "bad value \"12abc\" (expected a 32-bit integer)"},
        {"count", "2147483648", "bad value \"2147483648\" (expected a 32-bit integer)"},
        {"count", "", "bad value \"\" (expected a 32-bit integer)"},
        {"mask", "-1", "bad value \"-1\" (expected an unsigned 32-bit integer)"},
        {"code", "123456789", "bad value \"123456789\" (expected up to eight hexadecimal digits)"},
        {"code", "xyz", "bad value \"xyz\" (expected up to eight hexadecimal digits)"},
        {"volume", "1e99", "bad value \"1e99\" (expected a number)"},
        {"volume", "nan", "bad value \"nan\" (expected a number)"},
        {"position", "1 2", "bad value \"1 2\" (expected three numbers)"},
        {"position", "1 2 3 4", "bad value \"1 2 3 4\" (expected three numbers)"},
        {"tint", "256 0 0", "bad value \"256 0 0\" (expected three or four whole numbers 0 to 255)"},
        {"tint", "1.5 0 0", "bad value \"1.5 0 0\" (expected three or four whole numbers 0 to 255)"},
        {"label", "eight888", "bad value \"eight888\" (longer than 7 bytes)"},
        {"weather", "fog", "bad value \"fog\" (not one of the choices)"},
        {"font", "huge", "bad value \"huge\" (not one of the choices)"},
    };
    for (const setting_case_t& c : cases) {
        const std::string before = get(c.name);
        std::string why;
        EXPECT_FALSE(evalue_set(&entity_, c.name, 0, c.text, &why)) << c.name << " = " << c.text;
        EXPECT_EQ(why, std::string("property \"") + c.name + "\": " + c.read_back);
        EXPECT_EQ(get(c.name), before) << c.name;
    }
    std::string why;
    EXPECT_FALSE(evalue_set(&entity_, "missing", 0, "1", &why));
    EXPECT_EQ(why, "no property \"missing\"");
    EXPECT_FALSE(evalue_set(&entity_, "count", 1, "1", &why));
    EXPECT_EQ(why, "property \"count\": no element 1");
}

TEST_F(evalue_test, setting_a_value_raises_the_changed_mark_once)
{
    EXPECT_TRUE(evalue_set(&entity_, "count", 0, "7"));
    EXPECT_EQ(entity_.status & evalue_changed, evalue_changed);
    EXPECT_TRUE(evalue_take_changed(&entity_, &props_e::evd_count));
    EXPECT_FALSE(evalue_take_changed(&entity_, &props_e::evd_count));
    // A refused value leaves the mark down.
    EXPECT_FALSE(evalue_set(&entity_, "count", 0, "x", nullptr));
    EXPECT_EQ(entity_.status, 0);
    EXPECT_TRUE(
        engine_log_has("<evalue> entity (entity): property \"count\": bad value \"x\" (expected a 32-bit integer)"));
    // The module's own code sets through the descriptor's setter and gets the same mark.
    EXPECT_TRUE(props_e::evd_flag.set(&entity_, &props_e::evd_flag, 0, "yes"));
    EXPECT_TRUE(evalue_take_changed(&entity_, &props_e::evd_flag));
    EXPECT_FALSE(evalue_take_changed(&entity_, &props_e::evd_volume));
}

TEST_F(evalue_test, arrays_grow_shrink_and_keep_their_elements_in_order)
{
    EXPECT_TRUE(evalue_set_array(&entity_, "lanes", {"1", "2", "3"}));
    EXPECT_EQ(entity_.lanes.count, 3);
    const evalue_def_t* lanes = &props_e::evd_lanes;
    EXPECT_TRUE(lanes->insert(&entity_, lanes, 1));
    EXPECT_TRUE(lanes->set(&entity_, lanes, 1, "9"));
    EXPECT_EQ(get("lanes", 0) + get("lanes", 1) + get("lanes", 2) + get("lanes", 3), "1923");
    EXPECT_TRUE(lanes->remove(&entity_, lanes, 0));
    EXPECT_EQ(get("lanes", 0) + get("lanes", 1) + get("lanes", 2), "923");
    EXPECT_FALSE(lanes->remove(&entity_, lanes, 3));
    // Setting the element just past the end appends it.
    EXPECT_TRUE(evalue_set(&entity_, "lanes", 3, "4"));
    EXPECT_EQ(entity_.lanes.count, 4);
    // A bad element refuses the whole array and leaves it as it was.
    std::string why;
    EXPECT_FALSE(evalue_set_array(&entity_, "lanes", {"1", "oops"}, &why));
    EXPECT_EQ(entity_.lanes.count, 4);
    EXPECT_TRUE(evalue_set_array(&entity_, "points", {"1 2 3", "4 5 6"}));
    EXPECT_EQ(get("points", 1), "4 5 6");
    EXPECT_TRUE(evalue_set_array(&entity_, "points", {}));
    EXPECT_EQ(entity_.points.data, nullptr);
    EXPECT_FALSE(evalue_set_array(&entity_, "count", {"1"}, &why));
    EXPECT_EQ(why, "property \"count\": not an array");
    evalue_destruct_all(&entity_, entity_.get_evalue_root());
    EXPECT_EQ(entity_.lanes.data, nullptr);
}

TEST_F(evalue_test, arrays_of_owned_texts_keep_each_text_through_growing_inserting_and_removing)
{
    const std::string long_text(100, 'x');  // held outside the text record itself
    EXPECT_TRUE(evalue_set_array(&entity_, "names", {"a", long_text, "c"}));
    const evalue_def_t* names = &props_e::evd_names;
    EXPECT_TRUE(names->insert(&entity_, names, 0));
    EXPECT_TRUE(names->realloc(&entity_, names, 6));
    EXPECT_EQ(get("names", 0) + get("names", 1) + get("names", 3) + get("names", 5), "-a" + std::string("c-"));
    EXPECT_EQ(get("names", 2), long_text);
    EXPECT_TRUE(names->remove(&entity_, names, 1));
    EXPECT_EQ(get("names", 1), long_text);
    props_e copy;
    EXPECT_TRUE(names->copy(&copy, &entity_, names));
    EXPECT_EQ(static_cast<const dstring_t*>(copy.names.data)[1].c_str(), long_text);
    evalue_destruct_all(&copy, copy.get_evalue_root());
    evalue_destruct_all(&entity_, entity_.get_evalue_root());
    EXPECT_EQ(entity_.names.data, nullptr);
}

TEST_F(evalue_test, defaults_differences_and_copies_follow_the_descriptors)
{
    EXPECT_FALSE(me_gen_diff_orig(&entity_, &props_e::evd_volume));
    EXPECT_TRUE(evalue_set(&entity_, "volume", 0, "0.5"));
    EXPECT_TRUE(me_gen_diff_orig(&entity_, &props_e::evd_volume));
    EXPECT_TRUE(me_gen_constr(&entity_, &props_e::evd_volume));
    EXPECT_FLOAT_EQ(entity_.volume, 1.0f);
    EXPECT_TRUE(me_gen_constr(&entity_, &props_e::evd_weather));
    EXPECT_EQ(get("weather"), "clear");

    EXPECT_TRUE(evalue_set(&entity_, "title", 0, "hauler"));
    EXPECT_TRUE(evalue_set_array(&entity_, "lanes", {"5", "6"}));
    props_e copy;
    EXPECT_TRUE(copy.copy_from(&entity_));
    EXPECT_STREQ(copy.title.c_str(), "hauler");
    ASSERT_EQ(copy.lanes.count, 2);
    EXPECT_NE(copy.lanes.data, entity_.lanes.data);
    EXPECT_EQ(static_cast<int32_t*>(copy.lanes.data)[1], 6);
    EXPECT_FALSE(copy.copy_from(nullptr));
    evalue_destruct_all(&entity_, entity_.get_evalue_root());
    evalue_destruct_all(&copy, copy.get_evalue_root());
}

TEST_F(evalue_test, a_getter_refuses_a_buffer_too_small_and_a_descriptor_of_the_wrong_size)
{
    EXPECT_TRUE(evalue_set(&entity_, "title", 0, "a long enough title"));
    char small[4];
    EXPECT_FALSE(props_e::evd_title.get(&entity_, &props_e::evd_title, 0, small, sizeof small));
    const evalue_def_t wrong = evalue_member("count", evalue_int, 2, evalue_bind<&props_e::count>, nullptr);
    EXPECT_FALSE(wrong.set(&entity_, &wrong, 0, "1"));
    evalue_destruct_all(&entity_, entity_.get_evalue_root());
}

}  // namespace

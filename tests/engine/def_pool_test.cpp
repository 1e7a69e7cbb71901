#include <gtest/gtest.h>

#include <string>

#include "engine/def_pool.h"
#include "engine/log.h"
#include "engine/scanner.h"
#include "engine_testing/engine_test.h"

namespace {

using def_pool_test = engine_test_t;

const char* const sample_text = R"(// a road table
roads : table {
    road_count = 2
    title = "Roads; main | side: <color value=ff00ff>@@road_title@@"
    blank = ""
    start_pos = 1.5,-2,3e2
    road { name = a1; traffic = 0.25 }
    road {
        name = "b 2"
        traffic = 0x10
    }
}
sun_data {
    dir0 = "0 -1 0.5"
    hazard0 = "3;4;5"
    hazard1 = 6;
}
)";

TEST_F(def_pool_test, reads_objects_values_and_children)
{
    const auto pool = def_pool_t::parse(sample_text, "/defs/sample.def");
    ASSERT_NE(pool, nullptr);
    ASSERT_EQ(pool->objects().size(), 2u);
    const def_obj_t* roads = pool->find("roads");
    ASSERT_NE(roads, nullptr);
    EXPECT_EQ(roads->class_name(), "table");
    EXPECT_EQ(roads->get_int("road_count"), 2);
    EXPECT_STREQ(roads->get_value("title"), "Roads; main | side: <color value=ff00ff>@@road_title@@");
    EXPECT_STREQ(roads->get_value("blank"), "") << "an empty value is present";
    EXPECT_EQ(roads->get_value("absent"), nullptr);
    EXPECT_EQ(roads->get_int("absent", 7), 7);
    float point[3] = {9, 9, 9};
    ASSERT_TRUE(roads->get_point("start_pos", point));
    EXPECT_EQ(point[0], 1.5f);
    EXPECT_EQ(point[1], -2.0f);
    EXPECT_EQ(point[2], 300.0f);
    EXPECT_FALSE(roads->get_point("road_count", point)) << "one number is not a point";
    EXPECT_EQ(point[0], 1.5f) << "a failed read leaves the point alone";
    vec_t<float, 3> vec{};
    ASSERT_TRUE(roads->get_point("start_pos", vec));
    EXPECT_EQ(vec.z, 300.0f);

    ASSERT_EQ(roads->get_children().size(), 2u);
    EXPECT_EQ(pool->find("road", 1), roads->find("road", 1)) << "the pool searches children too";
    EXPECT_STREQ(pool->find("road", 0)->get_value("name"), "a1");
    EXPECT_EQ(pool->find("road", 0)->get_real("traffic"), 0.25f);
    EXPECT_STREQ(pool->find("road", 1)->get_value("name"), "b 2");
    EXPECT_EQ(pool->find("road", 1)->get_int("traffic"), 16);
    EXPECT_EQ(pool->find("road", 2), nullptr);
    EXPECT_EQ(pool->find("road", -1), nullptr);

    const def_obj_t* sun = pool->find("sun_data");
    ASSERT_NE(sun, nullptr);
    ASSERT_TRUE(sun->get_point("dir0", point));
    EXPECT_EQ(point[1], -1.0f);
    EXPECT_STREQ(sun->get_value("hazard0"), "3;4;5");
    EXPECT_STREQ(sun->get_value("hazard1"), "6") << "';' ends a bare value";
}

TEST_F(def_pool_test, numbered_keys_are_plain_keys)
{
    const auto pool = def_pool_t::parse("voices { count = 3 voice0 = a.wav voice1 = b.wav voice2 = \"\" }", "v.def");
    ASSERT_NE(pool, nullptr);
    const def_obj_t* voices = pool->find("voices");
    const int count = voices->get_int("count");
    ASSERT_EQ(count, 3);
    const char* const expected[] = {"a.wav", "b.wav", ""};
    for (int i = 0; i < count; ++i)
        EXPECT_STREQ(voices->get_value(("voice" + std::to_string(i)).c_str()), expected[i]);
    EXPECT_EQ(voices->get_value("voice3"), nullptr);
}

TEST_F(def_pool_test, integer_and_real_readings)
{
    const auto pool = def_pool_t::parse(
        "n { a = 42 b = -0x1f c = 3.9 d = 12abc e = word f = 99999999999 g = -99999999999 h = \" 5\" }", "n.def");
    ASSERT_NE(pool, nullptr);
    const def_obj_t* n = pool->find("n");
    const std::pair<const char*, int> ints[] = {
        {"a", 42}, {"b", -31}, {"c", 3}, {"d", 12}, {"e", 0}, {"f", 2147483647}, {"g", -2147483647 - 1}, {"h", 5}};
    for (const auto& [key, value] : ints)
        EXPECT_EQ(n->get_int(key), value) << key;
    EXPECT_EQ(n->get_real("c"), 3.9f);
    EXPECT_EQ(n->get_real("e", 1.0f), 0.0f) << "a present value that is no number reads as 0";
}

TEST_F(def_pool_test, bad_input_is_reported_with_file_and_line)
{
    struct bad_case_t {
        const char* text;
        const char* message;
    };
    const bad_case_t cases[] = {
        {"a {\n b = \"open\n}\n", "bad.def:2: unterminated string"},
        {"a {\n b = 1\n", "bad.def:3: object 'a' opened at line 1 is not closed"},
        {"a {\n c { d = 1 }\n", "bad.def:3: object 'a' opened at line 1 is not closed"},
        {"a {\n b = \n}", "bad.def:3: value of 'b' expected but found '}'"},
        {"a {\n b =", "bad.def:2: value of 'b' missing at the end of the text"},
        {"b = 1", "bad.def:1: key 'b' outside of any object"},
        {"}", "bad.def:1: '}' without an open object"},
        {"a {\n\n b c }", "bad.def:3: expected '{' but found 'c'"},
        {"a { = 1 }", "bad.def:1: expected a key or an object name but found '='"},
        {"a : { }", "bad.def:1: class of 'a' expected but found '{'"},
        {"a { b = 1 } }", "bad.def:1: '}' without an open object"},
    };
    for (const bad_case_t& c : cases) {
        log_clear_capture();
        EXPECT_EQ(def_pool_t::parse(c.text, "bad.def"), nullptr) << c.text;
        EXPECT_TRUE(engine_log_has(c.message)) << c.text << " should report " << c.message;
    }
}

TEST_F(def_pool_test, truncated_files_fail_cleanly_at_every_length)
{
    const std::string text = sample_text;
    for (size_t length = 0; length < text.size(); ++length) {
        const auto pool = def_pool_t::parse(std::string_view(text).substr(0, length), "cut.def");
        if (pool) {
            EXPECT_LE(pool->objects().size(), 2u);
        }
    }
    EXPECT_EQ(def_pool_t::parse(text.substr(0, text.size() - 3), "cut.def"), nullptr);
}

TEST_F(def_pool_test, enormous_values_and_deep_nesting_are_refused)
{
    const std::string big(scanner_t::max_token_bytes + 10, 'v');
    EXPECT_EQ(def_pool_t::parse("a {\n b = \"" + big + "\" }", "big.def"), nullptr);
    EXPECT_FALSE(engine_log_matching("big.def:2: string too long").empty());
    EXPECT_EQ(def_pool_t::parse("a {\n b = " + big + " }", "big.def"), nullptr);

    std::string deep;
    for (int i = 0; i < 1000; ++i)
        deep += "o {\n";
    EXPECT_EQ(def_pool_t::parse(deep, "deep.def"), nullptr);
    EXPECT_TRUE(engine_log_has("deep.def:33: objects nested deeper than 32 levels"));
}

TEST_F(def_pool_test, writes_back_what_it_read)
{
    const auto pool = def_pool_t::parse(sample_text, "sample.def");
    ASSERT_NE(pool, nullptr);
    const std::string written = pool->to_text();
    const auto again = def_pool_t::parse(written, "written.def");
    ASSERT_NE(again, nullptr) << written;
    EXPECT_EQ(again->to_text(), written);
    EXPECT_STREQ(again->find("roads")->get_value("title"), pool->find("roads")->get_value("title"));
    EXPECT_STREQ(again->find("roads")->get_value("blank"), "");
    EXPECT_STREQ(again->find("road", 1)->get_value("name"), "b 2");
    EXPECT_EQ(again->find("roads")->class_name(), "table");
}

TEST_F(def_pool_test, built_pool_round_trips_awkward_texts)
{
    def_pool_t pool("hw_caps.def");
    def_obj_t* device = pool.new_object("Device 3/AGP: \"fast\"");
    ASSERT_TRUE(pool.add_object(device));
    EXPECT_FALSE(pool.add_object(device)) << "placed once only";
    const char* const awkward[] = {"",
                                   "with space",
                                   "semi;colon",
                                   "a=b",
                                   "{brace}",
                                   "quote\"inside",
                                   "back\\slash",
                                   "line\nbreak",
                                   "tab\there",
                                   "// not a comment",
                                   "/* nor this */",
                                   "@@key@@",
                                   "<color value=ff00ff>"};
    int i = 0;
    for (const char* text : awkward)
        device->set_value(("key" + std::to_string(i++)).c_str(), text);
    device->set_int("count", -12);
    device->set_value("key0", "replaced");
    def_obj_t* child = pool.new_object("child", "kind");
    ASSERT_TRUE(pool.add_object(child, device));

    const auto read = def_pool_t::parse(pool.to_text(), "caps.def");
    ASSERT_NE(read, nullptr) << pool.to_text();
    const def_obj_t* again = read->find("Device 3/AGP: \"fast\"");
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->value_count(), device->value_count());
    for (int k = 0; k < device->value_count(); ++k) {
        EXPECT_EQ(again->key_at(k), device->key_at(k));
        EXPECT_EQ(again->value_at(k), device->value_at(k));
    }
    EXPECT_STREQ(again->get_value("key0"), "replaced") << "set_value keeps the key's place";
    EXPECT_EQ(again->key_at(0), "key0");
    EXPECT_EQ(again->get_int("count"), -12);
    ASSERT_NE(again->find("child"), nullptr);
    EXPECT_EQ(again->find("child")->class_name(), "kind");

    device->clear();
    EXPECT_EQ(device->value_count(), 0);
    EXPECT_TRUE(device->get_children().empty());
    EXPECT_EQ(device->get_value("count"), nullptr);
}

}  // namespace

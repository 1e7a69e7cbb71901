// The layer grammar: the markup conventions every description file shares, and the layer's own
// elements, with the exact messages and positions a map maker sees.
#include <cstring>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour_fixture.h"

namespace {

// A complete, valid layer element (version and name first) with the given sections.
std::string layer_element(const std::string& sections, const std::string& attributes = "version=\"1.0\" name=\"body\"")
{
    return "<layer " + attributes + ">\n" + sections + "</layer>\n";
}

const std::string processes = "<processes>\n<process name=\"legs\"/>\n</processes>\n";
const std::string attributes = "<attributes>\n<attribute name=\"speed\"/>\n</attributes>\n";
const std::string features =
    "<features>\n<group>\n<feature name=\"stance\">\n<state>stand</state>\n<state>walk</state>\n</feature>\n"
    "</group>\n</features>\n";
const std::string loads = "<load_behaviors file=\"body.behaviors.xml\"/>\n";
const std::string valid_sections = processes + attributes + features + loads;

// One parse case: the file text, whether it is accepted, and every message it draws, in order.
struct parse_case_t {
    const char* title;
    std::string text;
    bool accepted;
    std::vector<std::string> messages;
};

}  // namespace

// Parses `text` into `layer`, answering whether it was accepted.
bool parse_layer(const std::string& text, psb_layer_t& layer)
{
    psb_current_layer = &layer;
    const bool accepted = psb_layer_parse_text(text.data(), text.size());
    psb_current_layer = nullptr;
    return accepted;
}

namespace {

using layer_grammar_test = behaviour_test_t;

TEST_F(layer_grammar_test, files_draw_exactly_their_messages)
{
    const std::string v = "version=\"1.0\" name=\"body\"";
    const std::vector<parse_case_t> cases = {
        {"a valid layer", kuvra(layer_element(valid_sections)), true, {}},
        {"name before version", kuvra(layer_element(valid_sections, "name=\"body\" version=\"1.0\"")), true, {}},
        {"a quoted string instead of a declaration is echoed",
         "\"made by hand\"\n<kuvra>" + layer_element(valid_sections) + "</kuvra>",
         true,
         {"made by hand"}},
        {"declaration version 2.0 only draws a message",
         "<?xml version=\"2.0\"?><kuvra>" + layer_element(valid_sections) + "</kuvra>",
         true,
         {"Invalid XML version. expected 1.0"}},
        {"declaration version as the integer 1",
         "<?xml version=\"1\"?><kuvra>" + layer_element(valid_sections) + "</kuvra>",
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_FLOAT at line 1 column 16"}},
        {"no declaration",
         "<kuvra>" + layer_element(valid_sections) + "</kuvra>",
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_KUVRA_BEGIN, expecting TK_HEADER_START or "
          "TK_STRING_STRING at line 1 column 7"}},
        {"end of input before </kuvra>",
         "<?xml?>\n<kuvra>\n" + layer_element(valid_sections),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected $, expecting TK_KUVRA_END at line 19 column 8",
          "\\r[psb_layer_parse] invalid psb layer file"}},
        {"a bare word after </kuvra>",
         kuvra(layer_element(valid_sections)) + "junk",
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING, expecting $ at line 21 column 4"}},
        {"comments and blanks after </kuvra>",
         kuvra(layer_element(valid_sections)) + " <!-- end -- - --->\n\n",
         true,
         {}},
        {"a layer without a version",
         kuvra(layer_element(valid_sections, "name=\"body\"")),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_VERSION_ATTRIBUTE at line 3 "
          "column 19",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"layer version 2.0",
         kuvra(layer_element(valid_sections, "version=\"2.0\" name=\"body\"")),
         false,
         {"\\r[psb_layer_parse] invalid layer file version"}},
        {"layer version as the integer 1",
         kuvra(layer_element(valid_sections, "version=\"1\" name=\"body\"")),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_FLOAT at line 3 column 17",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"an empty processes section",
         kuvra(layer_element("<processes></processes>" + attributes + features + loads)),
         false,
         {"\\r[psb_layer_parse] at least one process has to be specified."}},
        {"attributes first",
         kuvra(layer_element(attributes + features + loads)),
         false,
         {"\\r[psb_layer_parse] <verbatim><</verbatim>processes<verbatim>></verbatim> tag missing"}},
        {"features after processes",
         kuvra(layer_element(processes + features + loads)),
         false,
         {"\\r[psb_layer_parse] <verbatim><</verbatim>attributes<verbatim>></verbatim> tag missing"}},
        {"an empty features section",
         kuvra(layer_element(processes + attributes + "<features></features>" + loads)),
         false,
         {"\\r[psb_layer_parse] <verbatim><</verbatim>group<verbatim>></verbatim> tag missing (at least one)"}},
        {"an empty attributes section",
         kuvra(layer_element(processes + "<attributes></attributes>" + features + loads)),
         true,
         {}},
        {"no features section",
         kuvra(layer_element(processes + attributes + loads)),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_LOAD_BEHAVIORS_BEGIN, expecting TK_FEATURES_BEGIN at "
          "line 10 column 15",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"transitions without behaviours",
         kuvra(layer_element(processes + attributes + features + "<load_transitions file=\"t.xml\"/>\n")),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_LAYER_END, expecting TK_LOAD_BEHAVIORS_BEGIN at line 19 "
          "column 8",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"transitions then behaviours",
         kuvra(layer_element(processes + attributes + features + "<load_transitions file=\"t.xml\"/>\n" + loads)),
         true,
         {}},
        {"attribute type float",
         kuvra(layer_element(processes + "<attributes><attribute name=\"a\" type=\"float\"/></attributes>\n" +
                             features + loads)),
         false,
         {"\\r[psb_layer_parse] unknown attribute type (float) at line 7 col 43"}},
        {"a quoted state name",
         kuvra(layer_element(processes + attributes +
                             "<features><group><feature name=\"f\"><state>\"s\"</state></feature></group></features>" +
                             loads)),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_STRING at line 10 column 44",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"a state name with a blank",
         kuvra(layer_element(processes + attributes +
                             "<features><group><feature name=\"f\"><state>a b</state></feature></group></features>" +
                             loads)),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING, expecting TK_STATE_END at line 10 column 45",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"an unquoted decimal is skipped",
         kuvra("1.5 " + layer_element(valid_sections)),
         true,
         {"\\r[psb_layer_scan] shouldn't happen"}},
        {"a bare number is a word",
         kuvra("15 " + layer_element(valid_sections)),
         false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING, expecting error or TK_LAYER_BEGIN at line 3 "
          "column 2",
          "\\r[psb_layer_parse] invalid psb layer file"}},
        {"a comment between attributes",
         kuvra(layer_element(valid_sections, "version=\"1.0\" <!-- x -- y --> " + v.substr(14))),
         true,
         {}},
        {"a value broken by a newline",
         kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"bo\ndy\"")),
         false,
         {"\\r[psb_layer_scan] newline in string constant at line 3",
          "\\r[psb_layer_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_END_TAG_OPEN at line 4 "
          "column 2",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"a tab in a value is dropped",
         kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"bo\tdy\"")),
         false,
         {"\\r[psb_layer_scan] non printable character in string constant at line 3",
          "\\r[psb_layer_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_END_TAG_OPEN at line 3 "
          "column 32",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"a doubled question mark does not end a declaration",
         "<?xml ?"
         "?> ?>\n<kuvra>" +
             layer_element(valid_sections) + "</kuvra>",
         true,
         {}},
    };
    for (const parse_case_t& c : cases) {
        reset_engine();
        psb_layer_t layer;
        EXPECT_EQ(parse_layer(c.text, layer), c.accepted) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

}  // namespace

namespace {

// A valid layer file around the given features section.
std::string layer_with_features(const std::string& feature_section)
{
    return kuvra(layer_element(processes + attributes + feature_section + loads));
}

TEST_F(layer_grammar_test, builds_the_vocabulary_in_file_order_with_zero_based_lookups)
{
    const std::string text = kuvra(layer_element(
        "<processes><process name=\"legs\"/><process name=\"legs\"/><process name=\"arms\"/></processes>\n"
        "<attributes><attribute name=\"a\"/><attribute name=\"b\" type=\"INT\"/>"
        "<attribute name=\"c\" type=\"Boolean\"/><attribute name=\"d\" type=\"Integer\"/></attributes>\n"
        "<features><group name=\"g\"><feature name=\"stance\"><state>stand</state><state>walk</state></feature>"
        "</group><group><feature name=\"arms\"><state>up</state></feature>"
        "<feature name=\"stance\"><state>run</state><state>stand</state></feature></group></features>\n"
        "<load_transitions file=\"/t/body.transitions.xml\"/><load_behaviors file=\"body.behaviors.xml\"/>\n"));
    psb_layer_t layer;
    ASSERT_TRUE(parse_layer(text, layer));
    EXPECT_EQ(logged(),
              (std::vector<std::string>{"<psb> duplicate process name (legs)", "<psb> duplicate feature name (stance)",
                                        "<psb> ignoring state (run) (duplicate feature)",
                                        "<psb> ignoring state (stand) (duplicate feature)"}));
    EXPECT_STREQ(layer.get_name(), "body");
    uint32_t index = 9;
    ASSERT_TRUE(layer.find_process("arms", &index));
    EXPECT_EQ(index, 1u);
    uint32_t attribute = 0;
    const std::pair<const char*, uint32_t> attribute_cases[] = {
        {"a", 0x0u}, {"b", 0x10001u}, {"c", 0x20002u}, {"d", 0x10003u}};
    for (const auto& [name, value] : attribute_cases) {
        ASSERT_TRUE(layer.find_attribute(name, &attribute)) << name;
        EXPECT_EQ(attribute, value) << name;
    }
    const psb_feature_t* feature = nullptr;
    ASSERT_TRUE(layer.find_feature("arms", &feature));
    EXPECT_EQ(feature->id, 2);
    EXPECT_EQ(feature->group, 2u);
    uint8_t state = 9;
    ASSERT_TRUE(layer.find_state("stance", "walk", &state));
    EXPECT_EQ(state, 1);
    EXPECT_FALSE(layer.find_state("stance", "run", &state));
    uint8_t counts[2] = {};
    layer.get_state_counts(counts);
    EXPECT_EQ(counts[0], 2);
    EXPECT_EQ(counts[1], 1);
    char name[16];
    EXPECT_TRUE(layer.feature_name(7, name, sizeof name));
    EXPECT_STREQ(name, "unknown feature");
    EXPECT_FALSE(layer.feature_name(0, name, 4));
    EXPECT_STREQ(name, "sta");
    EXPECT_TRUE(layer.has_transitions());
    EXPECT_STREQ(layer.transitions_file(), "/t/body.transitions.xml");
    EXPECT_STREQ(layer.behaviors_file(), "body.behaviors.xml");
}

TEST_F(layer_grammar_test, names_of_63_characters_pass_and_64_stop_the_parse)
{
    const std::string n63(63, 'n');
    const std::string n64(64, 'n');
    const std::string state_section =
        "<features><group><feature name=\"f\"><state>" + n64 + "</state></feature></group></features>\n";
    const std::vector<parse_case_t> cases = {
        {"63 everywhere",
         kuvra(layer_element("<processes><process name=\"" + n63 + "\"/></processes>\n<attributes><attribute name=\"" +
                                 n63 + "\"/></attributes>\n<features><group><feature name=\"" + n63 + "\"><state>" +
                                 n63 + "</state></feature></group></features>\n" + loads,
                             "version=\"1.0\" name=\"" + n63 + "\"")),
         true,
         {}},
        {"a layer name of 64 is still set",
         kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"" + n64 + "\"")),
         true,
         {"\\r[psb_layer_parse] psb_layer name too long !"}},
        {"process",
         kuvra(layer_element("<processes><process name=\"" + n64 + "\"/></processes>" + attributes)),
         false,
         {"\\r[psb_layer_parse] process name too long (" + n64 + ")"}},
        {"attribute",
         kuvra(layer_element(processes + "<attributes><attribute name=\"" + n64 + "\"/></attributes>")),
         false,
         {"\\r[psb_layer_parse] attribute name too long (" + n64 + ")"}},
        {"feature",
         layer_with_features("<features><group><feature name=\"" + n64 + "\">"),
         false,
         {"\\r[psb_layer_parse] feature name too long (" + n64 + ")"}},
        {"state",
         layer_with_features(state_section),
         false,
         {"\\r[psb_layer_parse] state name too long (" + n64 + ")"}},
        {"a behaviours file of 64 is refused, the parse goes on",
         kuvra(layer_element(processes + attributes + features + "<load_behaviors file=\"" + n64 + "\"/>")),
         true,
         {"behaviors filename too long ! (" + n64 + ")"}},
    };
    for (const parse_case_t& c : cases) {
        reset_engine();
        psb_layer_t layer;
        EXPECT_EQ(parse_layer(c.text, layer), c.accepted) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

TEST_F(layer_grammar_test, scanner_limits_are_refused_with_their_messages)
{
    psb_layer_t layer;
    // A run of 1022 characters is a value; 1023 is refused and carries no text.
    EXPECT_TRUE(parse_layer(
        kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"" + std::string(1022, 'x') + "\"")), layer));
    EXPECT_EQ(strlen(layer.get_name()), 1022u);
    reset_engine();
    psb_layer_t cut;
    EXPECT_TRUE(parse_layer(
        kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"" + std::string(1023, 'x') + "\"")), cut));
    EXPECT_STREQ(cut.get_name(), "");
    EXPECT_EQ(logged(), (std::vector<std::string>{"\\r[psb_layer_scan] parsed string too long"}));
    // A bare word longer than a token value holds is cut, with a message, and then refused by length.
    reset_engine();
    psb_layer_t worded;
    const std::string word(5000, 'w');
    EXPECT_FALSE(parse_layer(layer_with_features("<features><group><feature name=\"f\"><state>" + word +
                                                 "</state></feature></group></features>\n"),
                             worded));
    EXPECT_EQ(logged(),
              (std::vector<std::string>{"\\r[psb_layer_scan] parsed word too long",
                                        "\\r[psb_layer_parse] state name too long (" + word.substr(0, 1023) + ")"}));
}

TEST_F(layer_grammar_test, a_deep_stack_of_declarations_overflows_cleanly)
{
    // Each feature of a group stays on the parser stack until the group ends (right recursion).
    std::string many;
    for (int i = 0; i < 12000; ++i)
        many += "<feature name=\"f" + std::to_string(i) + "\"><state>s</state></feature>";
    psb_layer_t layer;
    EXPECT_FALSE(parse_layer(layer_with_features("<features><group>" + many + "</group></features>\n"), layer));
    const std::vector<std::string> lines = engine_log_matching("parser stack overflow");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("\\r[psb_layer_parse]  parser stack overflow at line ", 0), 0u);
}

}  // namespace

namespace {

TEST_F(layer_grammar_test, a_refused_feature_takes_no_states_from_its_file_and_lends_none_to_the_feature_before)
{
    psb_layer_t layer;
    layer.begin_group();
    ASSERT_TRUE(layer.add_feature("stance", 6));
    ASSERT_TRUE(layer.add_state("stand", 5));
    const std::string long_name(65, 'f');
    EXPECT_FALSE(layer.add_feature(long_name.c_str(), long_name.size()));
    EXPECT_FALSE(layer.add_state("walk", 4));
    uint8_t counts[1] = {};
    layer.get_state_counts(counts);
    EXPECT_EQ(counts[0], 1);

    psb_layer_t empty;
    EXPECT_FALSE(empty.add_state("alone", 5));
    EXPECT_EQ(logged(), (std::vector<std::string>{"<psb> feature name too long (" + long_name + ")",
                                                  "<psb> ignoring state (walk) (refused feature)",
                                                  "<psb> state (alone) outside any feature"}));
}

}  // namespace

// The layer grammar: the markup conventions every description file shares, and the layer's own
// elements, with the exact messages and positions a map maker sees.
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
         "\"made by hand\"\n<kuvra>" + layer_element(valid_sections) + "</kuvra>", true, {"made by hand"}},
        {"declaration version 2.0 only draws a message",
         "<?xml version=\"2.0\"?><kuvra>" + layer_element(valid_sections) + "</kuvra>", true,
         {"Invalid XML version. expected 1.0"}},
        {"declaration version as the integer 1",
         "<?xml version=\"1\"?><kuvra>" + layer_element(valid_sections) + "</kuvra>", false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_FLOAT at line 1 column 16"}},
        {"no declaration", "<kuvra>" + layer_element(valid_sections) + "</kuvra>", false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_KUVRA_BEGIN, expecting TK_HEADER_START or "
          "TK_STRING_STRING at line 1 column 7"}},
        {"end of input before </kuvra>", "<?xml?>\n<kuvra>\n" + layer_element(valid_sections), false,
         {"\\r[psb_layer_parse]  parse error, unexpected $, expecting TK_KUVRA_END at line 19 column 8",
          "\\r[psb_layer_parse] invalid psb layer file"}},
        {"a bare word after </kuvra>", kuvra(layer_element(valid_sections)) + "junk", false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING, expecting $ at line 21 column 4"}},
        {"comments and blanks after </kuvra>", kuvra(layer_element(valid_sections)) + " <!-- end -- - --->\n\n", true,
         {}},
        {"a layer without a version", kuvra(layer_element(valid_sections, "name=\"body\"")), false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_VERSION_ATTRIBUTE at line 3 "
          "column 19",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"layer version 2.0", kuvra(layer_element(valid_sections, "version=\"2.0\" name=\"body\"")), false,
         {"\\r[psb_layer_parse] invalid layer file version"}},
        {"layer version as the integer 1", kuvra(layer_element(valid_sections, "version=\"1\" name=\"body\"")), false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_FLOAT at line 3 column 17",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"an empty processes section", kuvra(layer_element("<processes></processes>" + attributes + features + loads)),
         false, {"\\r[psb_layer_parse] at least one process has to be specified."}},
        {"attributes first", kuvra(layer_element(attributes + features + loads)), false,
         {"\\r[psb_layer_parse] <verbatim><</verbatim>processes<verbatim>></verbatim> tag missing"}},
        {"features after processes", kuvra(layer_element(processes + features + loads)), false,
         {"\\r[psb_layer_parse] <verbatim><</verbatim>attributes<verbatim>></verbatim> tag missing"}},
        {"an empty features section", kuvra(layer_element(processes + attributes + "<features></features>" + loads)),
         false, {"\\r[psb_layer_parse] <verbatim><</verbatim>group<verbatim>></verbatim> tag missing (at least one)"}},
        {"an empty attributes section", kuvra(layer_element(processes + "<attributes></attributes>" + features + loads)),
         true, {}},
        {"no features section", kuvra(layer_element(processes + attributes + loads)), false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_LOAD_BEHAVIORS_BEGIN, expecting TK_FEATURES_BEGIN at "
          "line 10 column 15",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"transitions without behaviours",
         kuvra(layer_element(processes + attributes + features + "<load_transitions file=\"t.xml\"/>\n")), false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_LAYER_END, expecting TK_LOAD_BEHAVIORS_BEGIN at line 19 "
          "column 8",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"transitions then behaviours",
         kuvra(layer_element(processes + attributes + features + "<load_transitions file=\"t.xml\"/>\n" + loads)), true,
         {}},
        {"attribute type float",
         kuvra(layer_element(processes + "<attributes><attribute name=\"a\" type=\"float\"/></attributes>\n" +
                             features + loads)),
         false, {"\\r[psb_layer_parse] unknown attribute type (float) at line 7 col 43"}},
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
        {"an unquoted decimal is skipped", kuvra("1.5 " + layer_element(valid_sections)), true,
         {"\\r[psb_layer_scan] shouldn't happen"}},
        {"a bare number is a word", kuvra("15 " + layer_element(valid_sections)), false,
         {"\\r[psb_layer_parse]  parse error, unexpected TK_STRING, expecting error or TK_LAYER_BEGIN at line 3 "
          "column 2",
          "\\r[psb_layer_parse] invalid psb layer file"}},
        {"a comment between attributes", kuvra(layer_element(valid_sections, "version=\"1.0\" <!-- x -- y --> " + v.substr(14))),
         true, {}},
        {"a value broken by a newline",
         kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"bo\ndy\"")), false,
         {"\\r[psb_layer_scan] newline in string constant at line 3",
          "\\r[psb_layer_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_END_TAG_OPEN at line 4 "
          "column 2",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"a tab in a value is dropped", kuvra(layer_element(valid_sections, "version=\"1.0\" name=\"bo\tdy\"")), false,
         {"\\r[psb_layer_scan] non printable character in string constant at line 3",
          "\\r[psb_layer_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_END_TAG_OPEN at line 3 "
          "column 32",
          "\\r[psb_layer_parse] version attribute missing"}},
        {"??> does not end a declaration", "<?xml ?" "?> ?>\n<kuvra>" + layer_element(valid_sections) + "</kuvra>", true,
         {}},
    };
    for (const parse_case_t& c : cases) {
        engine_reset();
        ASSERT_TRUE(bind_engine_for_tests());
        psb_layer_t layer;
        EXPECT_EQ(parse_layer(c.text, layer), c.accepted) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

}  // namespace

// The info grammar: an animated model's model file, layers and looks, with the exact messages a map
// maker sees and the order in which the model is built.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_info_scan.h"
#include "behaviour_fixture.h"

namespace {

// Records the actions in order; refuses the layer file "broken.layer.xml".
class recording_info_t : public psb_info_actions_t {
public:
    bool set_model(const char* file) override { return record("model", file); }
    bool add_layer(const char* file) override
    {
        return record("layer", file) && std::string(file) != "broken.layer.xml";
    }
    void begin_look(const char* name) override { record("look", name); }
    void add_shader(const char* file) override { record("shader", file); }
    void add_skip(int32_t count) override { record("skip", std::to_string(count).c_str()); }

    bool record(const char* what, const char* text)
    {
        calls.push_back(std::string(what) + " " + text);
        return true;
    }
    std::vector<std::string> calls;
};

// One case: the info element, whether the file is accepted, the actions and the messages.
struct info_case_t {
    const char* title;
    std::string element;
    bool accepted;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
};

const std::string model = "<model file=\"walker.psm\"/>";
const std::string looks = "<looks><look name=\"plain\"><shader file=\"a.shd\"/></look></looks>";

// An info element with the given attributes and content, on one line.
std::string info_element(const std::string& content, const std::string& attributes = "version=\"1.0\" name=\"w\"")
{
    return "<info " + attributes + ">" + content + "</info>";
}

using info_grammar_test = behaviour_test_t;

TEST_F(info_grammar_test, files_draw_exactly_their_actions_and_messages)
{
    const std::string layer = "<layer file=\"body.layer.xml\"/>";
    const std::vector<std::string> plain = {"model walker.psm", "layer body.layer.xml", "look plain", "shader a.shd"};
    const std::vector<info_case_t> cases = {
        {"version then name", info_element(model + layer + looks), true, plain, {}},
        {"name then version", info_element(model + layer + looks, "name=\"w\" version=\"1.0\""), true, plain, {}},
        {"no name",
         info_element(model + layer + looks, "version=\"1.0\""),
         false,
         {},
         {"\\r[psb_info_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_NAME_ATTRIBUTE at line 3 "
          "column 20",
          "\\r[psb_info_parse] version attribute missing"}},
        {"version 2.0",
         info_element(model + layer + looks, "version=\"2.0\" name=\"w\""),
         false,
         {},
         {"\\r[psb_info_parse] invalid info file version"}},
        {"no layer",
         info_element(model + looks),
         false,
         {"model walker.psm"},
         {"\\r[psb_info_parse]  parse error, unexpected TK_LOOKS_BEGIN, expecting TK_LAYER_BEGIN at line 3 "
          "column 62",
          "\\r[psb_info_parse] version attribute missing"}},
        {"layers in every attribute order",
         info_element(model + "<layer file=\"a\"/><layer name=\"n\" file=\"b\"/><layer file=\"c\" name=\"n\"/>" +
                      looks),
         true,
         {"model walker.psm", "layer a", "layer b", "layer c", "look plain", "shader a.shd"},
         {}},
        {"a layer with only a name",
         info_element(model + "<layer name=\"n\"/>" + looks),
         false,
         {"model walker.psm"},
         {"\\r[psb_info_parse]  parse error, unexpected TK_END_TAG_CLOSED, expecting TK_FILE_ATTRIBUTE at line 3 "
          "column 72",
          "\\r[psb_info_parse] version attribute missing"}},
        {"an empty looks section",
         info_element(model + layer + "<looks></looks>"),
         false,
         {"model walker.psm", "layer body.layer.xml"},
         {"\\r[psb_info_parse]  parse error, unexpected TK_LOOKS_END, expecting TK_LOOK_BEGIN at line 3 column 100",
          "\\r[psb_info_parse] version attribute missing"}},
        {"an empty look",
         info_element(model + layer + "<looks><look name=\"x\"></look></looks>"),
         false,
         {"model walker.psm", "layer body.layer.xml", "look x"},
         {"\\r[psb_info_parse]  parse error, unexpected TK_LOOK_END, expecting TK_SHADER_BEGIN or TK_SKIP_BEGIN at "
          "line 3 column 114",
          "\\r[psb_info_parse] version attribute missing"}},
        {"skips and shaders keep their order",
         info_element(model + layer +
                      "<looks><look name=\"x\"><skip count=\"2\"/><shader file=\"s\"/><skip count=\"2.0\"/>"
                      "<skip count=\"1.6\"/><skip count=\"2.5\"/><skip count=\"0\"/></look></looks>"),
         true,
         {"model walker.psm", "layer body.layer.xml", "look x", "skip 2", "shader s", "skip 2", "skip 2", "skip 2",
          "skip 0"},
         {}},
        {"a negative skip count is refused",
         info_element(model + layer + "<looks><look name=\"x\"><skip count=\"-1\"/></look></looks>"),
         false,
         {"model walker.psm", "layer body.layer.xml", "look x"},
         {"\\r[psb_info_parse] invalid skip count (-1) at line 3 column 125"}},
        {"a huge skip count is refused",
         info_element(model + layer + "<looks><look name=\"x\"><skip count=\"9e99\"/></look></looks>"),
         false,
         {"model walker.psm", "layer body.layer.xml", "look x"},
         {"\\r[psb_info_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_STRING_INT or TK_STRING_FLOAT "
          "at line 3 column 124",
          "\\r[psb_info_parse] version attribute missing"}},
        {"a layer that fails stops before the next",
         info_element(model + "<layer file=\"a\"/><layer file=\"broken.layer.xml\"/><layer file=\"c\"/>" + looks),
         false,
         {"model walker.psm", "layer a", "layer broken.layer.xml"},
         {}},
        {"text between the root and the info element",
         "<model file=\"m\"/>" + info_element(model + layer + looks),
         false,
         {},
         {"\\r[psb_info_parse]  parse error, unexpected TK_MODEL_BEGIN, expecting error or TK_INFO_BEGIN at line 3 "
          "column 6",
          "\\r[psb_info_parse] invalid psb info file"}},
    };
    for (const info_case_t& c : cases) {
        reset_engine();
        recording_info_t info;
        psb_current_info = &info;
        const std::string text = kuvra(c.element + "\n");
        EXPECT_EQ(psb_info_parse_text(text.data(), text.size()), c.accepted) << c.title;
        psb_current_info = nullptr;
        EXPECT_EQ(info.calls, c.calls) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

}  // namespace

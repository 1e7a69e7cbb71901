// The transitions grammar: feature matrices, simple and compound transitions and their actions, with
// the exact messages a map maker sees and the calls the transitions table receives.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_transitions_scan.h"
#include "behaviour_fixture.h"

namespace {

// Records every call as text.
class recording_transitions_t : public psb_transitions_actions_t {
public:
    void set_feature(const char* feature) override { note("feature " + std::string(feature)); }
    void default_priority() override { note("default priority"); }
    void set_priority(int32_t priority) override { note("priority " + std::to_string(priority)); }
    void clear_overlay() override { note("no overlay"); }
    void set_overlay(float percent) override { note("overlay " + std::to_string(percent)); }
    void set_no_stretch(bool no_stretch) override { note("no_stretch " + std::to_string(no_stretch)); }
    void set_matrix_state(const char* state, const char* file) override
    {
        note("state " + std::string(state) + " " + file);
    }
    void begin_simple() override { note("simple"); }
    void set_from_to(const char* from, const char* to) override { note("from " + std::string(from) + " to " + to); }
    void end_transition() override { note("end transition"); }
    void set_play_behavior(const char* file) override { note("play " + std::string(file)); }
    void begin_blend_action(float overlay, uint8_t unit) override
    {
        note("blend " + std::to_string(overlay) + " unit " + std::to_string(unit));
    }
    void add_blend_animation(int side, const char* file, bool speed_given, float speed, bool weight_given,
                             float weight) override
    {
        note("animation " + std::to_string(side) + " " + file + " " + (speed_given ? std::to_string(speed) : "-") +
             " " + (weight_given ? std::to_string(weight) : "-"));
    }
    void end_blend_action() override { note("end blend"); }
    void begin_compound() override { note("compound"); }
    void add_compound_feature(const char* feature, const char* from, const char* to) override
    {
        note("compound feature " + std::string(feature) + " " + from + " " + to);
    }
    void end_compound() override { note("end compound"); }

    void note(const std::string& call) { calls.push_back(call); }
    std::vector<std::string> calls;
};

// A transitions file with the given simple and compound section contents.
std::string transitions_file(const std::string& simple, const std::string& compound = "")
{
    return kuvra("<transitions version=\"1.0\"><simple>" + simple + "</simple><compound>" + compound +
                 "</compound></transitions>\n");
}

class transitions_grammar_test : public behaviour_test_t {
protected:
    bool parse(const std::string& text)
    {
        table_ = recording_transitions_t{};
        psb_current_transitions = &table_;
        const bool accepted = psb_transitions_parse_text(text.data(), text.size());
        psb_current_transitions = nullptr;
        return accepted;
    }

    recording_transitions_t table_;
};

TEST_F(transitions_grammar_test, the_table_receives_every_call_in_file_order)
{
    const std::string text = transitions_file(
        "<feature name=\"stance\"><matrix><state name=\"stand\" file=\"stand.anim\"/></matrix>"
        "<transition from=\"stand\" to=\"walk\"><play_behavior file=\"start.xml\"/></transition></feature>"
        "<feature name=\"arms\"><matrix animation_priority=\"3\" overlay=\"20%\" no_stretch=\"true\">"
        "<state name=\"up\" file=\"up.anim\"/></matrix></feature>"
        "<feature name=\"head\"><transition from=\"a\" to=\"b\"><blend overlay=\"50%\"><from><animation file=\"x\" "
        "speed=\"2\"/></from><to><animation weight=\"0.5\"/></to></blend></transition></feature>",
        "<transition><features><feature name=\"stance\" from=\"stand\" to=\"walk\"/><feature name=\"arms\" "
        "in=\"up\"/></features><blend overlay=\"0.25\"><from><animation file=\"p\"/></from><to><animation"
        "</to></blend></transition>");
    ASSERT_TRUE(parse(text));
    EXPECT_EQ(logged(), std::vector<std::string>{});
    EXPECT_EQ(table_.calls,
              (std::vector<std::string>{
                  "feature stance", "default priority", "no overlay", "no_stretch 0", "state stand stand.anim",
                  "simple", "from stand to walk", "play start.xml", "end transition", "feature arms", "priority 3",
                  "overlay 20.000000", "no_stretch 1", "state up up.anim", "feature head", "simple", "from a to b",
                  // A percent overlay reaches the table as the number written: the table scales it once.
                  "blend 50.000000 unit 2", "animation 1 x 2.000000 -",
                  // The to animation reuses the from animation's file and speed.
                  "animation 0 x 2.000000 0.500000", "end blend", "end transition", "compound",
                  "compound feature stance stand walk", "compound feature arms up up", "blend 0.250000 unit 1",
                  "animation 1 p - -", "end blend", "end compound"}));
}

TEST_F(transitions_grammar_test, files_draw_exactly_their_messages)
{
    struct transitions_case_t {
        const char* title;
        std::string text;
        bool accepted;
        std::vector<std::string> messages;
    };
    const std::string invalid = "\\r[psb_transitions_parse] invalid data file";
    const std::vector<transitions_case_t> cases = {
        {"empty sections", transitions_file(""), true, {}},
        {"version 2.0",
         kuvra("<transitions version=\"2.0\"><simple></simple><compound></compound></transitions>"),
         false,
         {"\\r[psb_transitions_parse] invalid transition file version"}},
        {"no version",
         kuvra("<transitions><simple></simple><compound></compound></transitions>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_VERSION_ATTRIBUTE at "
          "line 3 column 13",
          invalid}},
        {"no compound section",
         kuvra("<transitions version=\"1.0\"><simple></simple></transitions>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_TRANSITIONS_END, expecting TK_COMPOUND_BEGIN at "
          "line 3 column 58",
          invalid}},
        {"a feature without content",
         transitions_file("<feature name=\"f\"></feature>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_FEATURE_END, expecting TK_MATRIX_BEGIN or "
          "TK_TRANSITION_BEGIN at line 3 column 63",
          invalid}},
        {"a matrix after a transition",
         transitions_file("<feature name=\"f\"><transition from=\"a\" to=\"b\"><play_behavior file=\"p\"/>"
                          "</transition><matrix><state name=\"s\" file=\"x\"/></matrix></feature>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_MATRIX_BEGIN, expecting TK_FEATURE_END at line "
          "3 column 126",
          invalid}},
        {"a matrix overlay without percent",
         transitions_file(
             "<feature name=\"f\"><matrix overlay=\"50\"><state name=\"s\" file=\"x\"/></matrix></feature>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_PERCENT at line 3 "
          "column 72",
          invalid}},
        {"a compound transition opened with a blank",
         transitions_file("", "<transition ><features>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_FEATURES_BEGIN at line 3 "
          "column 67",
          invalid}},
        {"a blend animation without a file",
         transitions_file("<feature name=\"f\"><transition from=\"a\" to=\"b\"><blend overlay=\"1\"><from>"
                          "<animation speed=\"2\"/></from><to><animation file=\"t\"/></to></blend></transition>"
                          "</feature>"),
         false,
         {"\\r[psb_transitions_parse] you have to enter animation filename !"}},
        {"a file name of 64 characters",
         transitions_file("<feature name=\"f\"><transition from=\"a\" to=\"b\"><blend overlay=\"1\"><from>"
                          "<animation file=\"" +
                          std::string(64, 'f') +
                          "\"/></from><to><animation file=\"t\"/></to>"
                          "</blend></transition></feature>"),
         false,
         {"\\r[psb_transitions_parse] animation filename too long (" + std::string(64, 'f') + ")"}},
        {"the word state as an attribute",
         transitions_file("<feature name=\"f\"><matrix><state state=\"s\" file=\"x\"/></matrix></feature>"),
         false,
         {"\\r[psb_transitions_parse]  parse error, unexpected TK_STATE_ATTRIBUTE, expecting TK_NAME_ATTRIBUTE at line "
          "3 column 73",
          invalid}},
    };
    for (const transitions_case_t& c : cases) {
        reset_engine();
        EXPECT_EQ(parse(c.text), c.accepted) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

}  // namespace

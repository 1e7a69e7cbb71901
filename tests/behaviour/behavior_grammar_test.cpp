// The behaviour grammar: process, attribute values, feature states, holds and the block tree, with
// the exact messages a map maker sees and the block descriptions the model receives.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_behavior_scan.h"
#include "behaviour_fixture.h"

namespace {

// Records the actions; refuses the process "wings", the feature "tail" and an empty hold set.
class recording_behavior_t : public psb_behavior_actions_t {
public:
    bool set_process(const char* process) override
    {
        return note("process " + std::string(process)) && std::string(process) != "wings";
    }
    bool add_attribute_value(const char* name, const psb_attribute_value_t& value) override
    {
        const std::string text = value.type == 0   ? std::to_string(value.real)
                                 : value.type == 1 ? std::to_string(value.integer)
                                                   : std::to_string(value.boolean);
        return note("attribute " + std::string(name) + " " + std::to_string(value.type) + " " + text);
    }
    bool add_feature_state(const char* feature, const char* begin, const char* end) override
    {
        return note("feature " + std::string(feature) + " " + begin + " " + end) && std::string(feature) != "tail";
    }
    void check_feature_states() override { note("check"); }
    void set_generated_freeze(bool exact) override { note(exact ? "freeze exact" : "freeze"); }
    void begin_holds() override
    {
        holds = 0;
        note("holds");
    }
    bool end_holds() override { return note("end holds") && holds > 0; }
    void add_hold(const char* file, float frame, uint32_t unit, float weight, bool weight_given) override
    {
        ++holds;
        note("hold " + std::string(file) + " " + std::to_string(frame) + " " + std::to_string(unit) + " " +
             std::to_string(weight) + " " + std::to_string(weight_given));
    }
    void begin_blocks() override
    {
        contexts = {false};
        note("blocks");
    }
    void begin_block(const psb_block_desc_t& desc) override
    {
        descs.push_back(desc);
        contexts.push_back(desc.animation_context);
        note("block " + std::to_string(desc.kind));
    }
    bool end_block() override
    {
        contexts.pop_back();
        return note("end");
    }
    bool end_blend() override { return note("end blend"); }
    bool end_normalize() override { return note("end normalize"); }
    bool current_block_animation_context() const override { return !contexts.empty() && contexts.back(); }

    bool note(const std::string& call)
    {
        calls.push_back(call);
        return true;
    }
    std::vector<std::string> calls;
    std::vector<psb_block_desc_t> descs;
    std::vector<bool> contexts;
    int holds = 0;
};

// A behaviour file with the given sections before the code and the given code.
std::string behavior_file(const std::string& code, const std::string& before = "<features></features>")
{
    return kuvra("<behavior process=\"legs\" version=\"1.0\">" + before + "<code>" + code + "</code></behavior>\n");
}

// Where the code of `behavior_file` starts on its line: columns of the block text count from here.
constexpr int code_column = 67;

class behavior_grammar_test : public behaviour_test_t {
protected:
    // Parses `text`, answering whether it was accepted.
    bool parse(const std::string& text)
    {
        behavior_ = recording_behavior_t{};
        psb_current_behavior = &behavior_;
        const bool accepted = psb_behavior_parse_text(text.data(), text.size());
        psb_current_behavior = nullptr;
        return accepted;
    }

    recording_behavior_t behavior_;
};

// One case: the file, whether it is accepted, and every message it draws.
struct behavior_case_t {
    const char* title;
    std::string text;
    bool accepted;
    std::vector<std::string> messages;
};

// "(3:c)" for a column c of the code counted from the code's start (1 = its first character).
std::string at(int column) { return "(3:" + std::to_string(code_column + column - 1) + ")"; }

TEST_F(behavior_grammar_test, files_draw_exactly_their_messages)
{
    const std::string anim = "<animation file=\"walk.anim\"/>";
    const std::string parse_prefix = "\\r[psb_behavior_parse] ";
    const std::vector<behavior_case_t> cases = {
        {"a minimal behaviour", behavior_file("<base>" + anim + "</base>"), true, {}},
        {"version before process",
         kuvra("<behavior version=\"1.0\" process=\"legs\"><features></features><code><base>" + anim +
               "</base></code></behavior>"),
         true,
         {}},
        {"version 2.0",
         kuvra("<behavior process=\"legs\" version=\"2.0\">"),
         false,
         {parse_prefix + "invalid behavior file version"}},
        {"an unknown process",
         kuvra("<behavior process=\"wings\" version=\"1.0\">"),
         false,
         {parse_prefix + "cannot set process"}},
        {"no features section",
         behavior_file("<base>" + anim + "</base>", ""),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_CODE_BEGIN, expecting TK_FEATURES_BEGIN at line 3 "
          "column 45",
          parse_prefix + "invalid behavior file"}},
        {"an empty attributes section",
         behavior_file("<base>" + anim + "</base>", "<attributes></attributes><features></features>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_ATTRIBUTES_END, expecting TK_ATTRIBUTE_BEGIN at line 3 "
          "column 64",
          parse_prefix + "invalid behavior file"}},
        {"an empty code section",
         behavior_file(""),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_CODE_END at line 3 column 73",
          parse_prefix + "invalid behavior file"}},
        {"self-closed parallel and sequence",
         behavior_file("<base><parallel/><sequence/>" + anim + "</base>"),
         true,
         {}},
        {"an empty parallel",
         behavior_file("<base><parallel></parallel></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_PARALLEL_END at line 3 column 93",
          parse_prefix + "parallel block has to contaion at least one subblock"}},
        {"an empty sequence",
         behavior_file("<base><sequence></sequence></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_SEQUENCE_END at line 3 column 93",
          parse_prefix + "sequence block has to contain at least one subblock"}},
        {"a self-closed base",
         behavior_file("<base/>"),
         false,
         {parse_prefix + "base section of code cannot be empty ! " + at(7)}},
        {"a self-closed blend",
         behavior_file("<base><blend overlay=\"50%\"/></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_END_TAG_CLOSED, expecting TK_END_TAG_OPEN at line 3 "
          "column " +
              std::to_string(code_column + 27),
          parse_prefix + "invalid behavior file"}},
        {"an animation with an empty body", behavior_file("<base><animation file=\"a\"></animation></base>"), true, {}},
        {"begin and end words",
         behavior_file("<base><begin>" + anim + "</base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_BEGIN_BEGIN at line 3 column " +
              std::to_string(code_column + 12),
          parse_prefix + "invalid behavior file"}},
        {"an attribute written as a percent",
         behavior_file("<base>" + anim + "</base>",
                       "<attributes><attribute name=\"a\" value=\"5%\"/></attributes><features></features>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_STRING_PERCENT, expecting TK_STRING_BOOLEAN or "
          "TK_STRING_INT or TK_STRING_FLOAT at line 3 column 80",
          parse_prefix + "invalid behavior file"}},
        {"an unknown feature",
         behavior_file("<base>" + anim + "</base>", "<features><feature name=\"tail\" in=\"up\"/></features>"),
         false,
         {parse_prefix + "invalid feature or state"}},
        {"a probability above 1",
         behavior_file("<base><parallel probability=\"1.01\"/></base>"),
         false,
         {parse_prefix + "what do you mean by probablity greater than 1.0 ? " + at(33)}},
        {"a ramp then a ramp_in",
         behavior_file("<base><animation file=\"a\" ramp=\"10%\" ramp_in=\"5%\"/></base>"),
         false,
         {parse_prefix + "ramp_in cannot be defined twice !"}},
        {"a ramp_in then a ramp",
         behavior_file("<base><animation file=\"a\" ramp_in=\"5%\" ramp=\"10%\"/></base>"),
         false,
         {parse_prefix + "cannot user ramp_in or ramp_out with ramp at once !"}},
        {"a time then a frame",
         behavior_file("<base><animation file=\"a\"><parallel time=\"1\" frame=\"2\"/></animation></base>"),
         false,
         {parse_prefix + "frame trigger cannot be applied together with the time trigger " + at(53)}},
        {"a frame then a time",
         behavior_file("<base><animation file=\"a\"><parallel frame=\"2\" time=\"1\"/></animation></base>"),
         false,
         {parse_prefix + "time trigger cannot be applied together with the frame trigger " + at(53)}},
        {"a frame outside any animation",
         behavior_file("<base><parallel frame=\"2\"/></base>"),
         false,
         {parse_prefix + "frame trigger may be applied only on child tag of animation tag " + at(24)}},
        {"an event data of 65 characters",
         behavior_file("<base><parallel event_data=\"" + std::string(65, 'd') + "\"/></base>"),
         false,
         {parse_prefix + "event data too long (" + std::string(65, 'd') + ") at " + at(93)}},
        {"a file name of 64 characters",
         behavior_file("<base><animation file=\"" + std::string(64, 'f') + "\"/></base>"),
         false,
         {parse_prefix + "animation filename too long " + at(87)}},
        {"an unknown event",
         behavior_file("<base><parallel event=\"bang\"/></base>"),
         false,
         {parse_prefix + "unknown event type at " + at(27)}},
        {"an end_action of loop goes on",
         behavior_file("<base><animation file=\"a\" end_action=\"loop\"/></base>"),
         true,
         {parse_prefix + "invalid animation end_action parameter at " + at(42)}},
        {"an empty hold section",
         behavior_file("<base>" + anim + "</base>", "<features></features><hold></hold>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_HOLD_END, expecting TK_ANIMATION_BEGIN at line 3 "
          "column 73",
          parse_prefix + "invalid behavior file"}},
        {"a hold frame as a decimal",
         behavior_file("<base>" + anim + "</base>",
                       "<features></features><hold><animation file=\"a\" frame=\"10.5\"/></hold>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_STRING_FLOAT, expecting TK_STRING_INT or "
          "TK_STRING_PERCENT at line 3 column 97",
          parse_prefix + "invalid behavior file"}},
        {"a hold without a file",
         behavior_file("<base>" + anim + "</base>", "<features></features><hold><animation frame=\"3\"/></hold>"),
         false,
         {parse_prefix + "hold animation has to have filename and frame attribute"}},
        {"a time written 2s",
         behavior_file("<base><parallel time=\"2s\"/></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_STRING_TIME, expecting TK_STRING_INT or "
          "TK_STRING_PERCENT or TK_STRING_FLOAT at line 3 column " +
              std::to_string(code_column + 23),
          parse_prefix + "invalid behavior file"}},
        {"an overlay of a plain number",
         behavior_file("<base><blend overlay=\"25\">" + anim + anim + "</blend></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_TIME or "
          "TK_STRING_PERCENT at line 3 column " +
              std::to_string(code_column + 23),
          parse_prefix + "invalid behavior file"}},
        {"an empty value",
         behavior_file("<base><animation file=\"\"/></base>"),
         false,
         {"\\r[psb_behavior_parse]  parse error, unexpected TK_END_TAG_CLOSED, expecting TK_STRING_STRING at line 3 "
          "column " +
              std::to_string(code_column + 25),
          parse_prefix + "invalid behavior file"}},
    };
    for (const behavior_case_t& c : cases) {
        reset_engine();
        EXPECT_EQ(parse(c.text), c.accepted) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

TEST_F(behavior_grammar_test, the_model_receives_values_holds_and_block_descriptions_in_file_order)
{
    const std::string hold_file(64, 'h');
    const std::string text = behavior_file(
        "<base fade_length=\"0.5\"><blend overlay=\"25%\" speed=\"2\">"
        "<animation file=\"a\" weight=\"0.5\" priority=\"3\" ramp_in=\"20%\" end_action=\"Freeze\" ramp_type=\"event\">"
        "<parallel frame=\"4\" probability=\"0\" event=\"Sound\" event_data=\"step\"/></animation>"
        "<normalize><animation file=\"b\"/></normalize></blend></base>",
        "<attributes><attribute name=\"f\" value=\"1.5\"/><attribute name=\"i\" value=\"7\"/>"
        "<attribute name=\"b\" value=\"true\"/></attributes>"
        "<features><feature name=\"stance\" from=\"stand\" to=\"walk\"/></features>"
        "<hold><animation file=\"" +
            hold_file +
            "\" frame=\"50%\"/><animation frame=\"2\" file=\"c\" weight=\"1\"/>"
            "</hold>");
    ASSERT_TRUE(parse(text));
    EXPECT_EQ(logged(), std::vector<std::string>{});
    EXPECT_EQ(behavior_.calls, (std::vector<std::string>{"process legs",
                                                         "attribute f 0 1.500000",
                                                         "attribute i 1 7",
                                                         "attribute b 2 1",
                                                         "feature stance stand walk",
                                                         "check",
                                                         "holds",
                                                         "hold " + hold_file + " 50.000000 2 1.000000 0",
                                                         "hold c 2.000000 3 1.000000 1",
                                                         "end holds",
                                                         "blocks",
                                                         "block 0",
                                                         "block 4",
                                                         "block 3",
                                                         "block 2",
                                                         "end",
                                                         "end",
                                                         "block 6",
                                                         "block 3",
                                                         "end",
                                                         "end normalize",
                                                         "end",
                                                         "end blend",
                                                         "end",
                                                         "end normalize",
                                                         "end",
                                                         "end"}));
    ASSERT_EQ(behavior_.descs.size(), 6u);
    const psb_block_desc_t& base = behavior_.descs[0];
    EXPECT_TRUE(base.fade_length_given);
    EXPECT_FLOAT_EQ(base.fade_length, 0.5f);
    const psb_block_desc_t& blend = behavior_.descs[1];
    EXPECT_EQ(blend.overlay_unit, psb_overlay_percent);
    EXPECT_FLOAT_EQ(blend.overlay, 25.0f);
    EXPECT_FLOAT_EQ(blend.speed, 2.0f);
    const psb_block_desc_t& animation = behavior_.descs[2];
    EXPECT_STREQ(animation.file, "a");
    EXPECT_TRUE(animation.freeze_at_end && animation.ramp_type_event && animation.ramp_in_given);
    EXPECT_FALSE(animation.ramp_out_given);
    EXPECT_EQ(animation.priority, 3);
    EXPECT_TRUE(animation.animation_context);
    const psb_block_desc_t& parallel = behavior_.descs[3];
    EXPECT_TRUE(parallel.animation_context && parallel.frame_given && parallel.probability_given);
    EXPECT_EQ(parallel.event_type, psb_event_sound);
    EXPECT_EQ(std::string(parallel.event_data, parallel.event_data_length), "step");
    EXPECT_TRUE(behavior_.descs[4].stretch);
    EXPECT_FALSE(behavior_.descs[4].animation_context);
}

TEST_F(behavior_grammar_test, a_generated_freeze_and_a_percent_time_trigger)
{
    ASSERT_TRUE(parse(behavior_file("<base><animation file=\"a\"><parallel time=\"50%\"/></animation></base>",
                                    "<features></features><hold><generated_freeze type=\"EXACT\"/></hold>")));
    EXPECT_EQ(behavior_.calls.at(2), "freeze exact");
    EXPECT_TRUE(behavior_.descs.at(2).time_in_percent);
    EXPECT_FLOAT_EQ(behavior_.descs.at(2).time_trigger, 50.0f);
    reset_engine();
    ASSERT_TRUE(parse(behavior_file("<base><animation file=\"a\"/></base>",
                                    "<features></features><hold><generated_freeze type=\"loose\"/></hold>")));
    EXPECT_EQ(behavior_.calls.at(2), "freeze");
    EXPECT_EQ(logged(), std::vector<std::string>{"\\r[psb_behavior_parse] unknown generated freeze type (loose)"});
}

}  // namespace

// The animation grammar: which skeletal animation an animation plays and the feature states it
// starts from and leads to, with the exact messages a map maker sees.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_animation_scan.h"
#include "behaviour_fixture.h"

namespace {

// Records the actions in order; refuses the file "missing.anim" and the feature "wings".
class recording_animation_t : public psb_animation_actions_t {
public:
    bool add_animation(const char* file) override
    {
        calls.push_back(std::string("animation ") + file);
        return std::string(file) != "missing.anim";
    }
    bool add_feature_state(const char* feature, const char* begin, const char* end) override
    {
        calls.push_back(std::string(feature) + " " + begin + " " + end);
        return std::string(feature) != "wings";
    }
    std::vector<std::string> calls;
};

// One case: the animation element, whether the file is accepted, the actions and the messages.
struct animation_case_t {
    const char* title;
    std::string element;
    bool accepted;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
};

using animation_grammar_test = behaviour_test_t;

TEST_F(animation_grammar_test, files_draw_exactly_their_actions_and_messages)
{
    const std::string features =
        "<features><feature name=\"stance\" from=\"stand\" to=\"walk\"/><feature name=\"arms\" in=\"down\"/>"
        "</features>";
    const std::vector<animation_case_t> cases = {
        {"file then version",
         "<animation file=\"walk.anim\" version=\"1.0\">" + features + "</animation>",
         true,
         {"animation walk.anim", "stance stand walk", "arms down down"},
         {}},
        {"version then file",
         "<animation version=\"1.0\" file=\"walk.anim\">" + features + "</animation>",
         true,
         {"animation walk.anim", "stance stand walk", "arms down down"},
         {}},
        {"no feature",
         "<animation file=\"a\" version=\"1.0\"><features></features></animation>",
         true,
         {"animation a"},
         {}},
        {"no features element",
         "<animation file=\"a\" version=\"1.0\"></animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse]  parse error, unexpected TK_ANIMATION_END, expecting TK_FEATURES_BEGIN at line 3 "
          "column 46",
          "\\r[psb_animation_parse] invalid animation file"}},
        {"version as an integer",
         "<animation file=\"a\" version=\"1\"><features></features></animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse]  parse error, unexpected TK_STRING_INT, expecting TK_STRING_FLOAT at line 3 "
          "column 30",
          "\\r[psb_animation_parse] invalid animation file"}},
        {"version 2.0 after the file",
         "<animation file=\"a\" version=\"2.0\"><features></features></animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse] invalid animation file version"}},
        {"version 2.0 before the file",
         "<animation version=\"2.0\" file=\"a\"><features></features></animation>",
         false,
         {},
         {"\\r[psb_animation_parse] invalid animation file version"}},
        {"file twice",
         "<animation file=\"a\" file=\"b\" version=\"1.0\"><features></features></animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse]  parse error, unexpected TK_FILE_ATTRIBUTE, expecting TK_VERSION_ATTRIBUTE at "
          "line 3 column 24",
          "\\r[psb_animation_parse] invalid animation file"}},
        {"a frame value",
         "<animation file=\"a\" version=\"1.0\"><features><feature name=\"f\" in=\"12f\"/>"
         "</features></animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse]  parse error, unexpected TK_STRING_FRAME, expecting TK_STRING_STRING at line 3 "
          "column 69",
          "\\r[psb_animation_parse] invalid animation file"}},
        {"a feature with an end tag",
         "<animation file=\"a\" version=\"1.0\"><features><feature name=\"f\" in=\"s\"></feature></features>"
         "</animation>",
         false,
         {"animation a"},
         {"\\r[psb_animation_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_END_TAG_CLOSED at line 3 "
          "column 69",
          "\\r[psb_animation_parse] invalid animation file"}},
        {"a file the model cannot add",
         "<animation file=\"missing.anim\" version=\"1.0\"><features></features></animation>",
         false,
         {"animation missing.anim"},
         {}},
        {"an unknown feature",
         "<animation file=\"a\" version=\"1.0\"><features><feature name=\"wings\" in=\"up\"/></features></animation>",
         false,
         {"animation a", "wings up up"},
         {"\\r[psb_animation_parse] invalid feature or state"}},
    };
    for (const animation_case_t& c : cases) {
        reset_engine();
        recording_animation_t animation;
        psb_current_animation = &animation;
        const std::string text = kuvra(c.element + "\n");
        EXPECT_EQ(psb_animation_parse_text(text.data(), text.size()), c.accepted) << c.title;
        psb_current_animation = nullptr;
        EXPECT_EQ(animation.calls, c.calls) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

TEST_F(animation_grammar_test, quoted_values_fall_into_their_classes)
{
    // Each value stands where only a string is allowed, so the syntax error names its class.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"true", "TK_STRING_BOOLEAN"},
        {"True", ""},
        {"12", "TK_STRING_INT"},
        {"-12", "TK_STRING_INT"},
        {"2f", "TK_STRING_FRAME"},
        {".5f", "TK_STRING_FRAME"},
        {"1.5s", "TK_STRING_TIME"},
        {".5", "TK_STRING_FLOAT"},
        {"-0.5", "TK_STRING_FLOAT"},
        {"1.", ""},
        {"1e5", ""},
        {"5%", ""},
    };
    for (const auto& [value, token] : cases) {
        reset_engine();
        recording_animation_t animation;
        psb_current_animation = &animation;
        const std::string text = kuvra("<animation file=\"a\" version=\"1.0\"><features><feature name=\"f\" in=\"" +
                                       value + "\"/></features></animation>\n");
        EXPECT_EQ(psb_animation_parse_text(text.data(), text.size()), token.empty()) << value;
        psb_current_animation = nullptr;
        if (!token.empty()) {
            EXPECT_EQ(logged().at(0).find("unexpected " + token + ","), 38u) << value;
        }
    }
}

}  // namespace

namespace {

TEST_F(animation_grammar_test, zero_and_high_bytes_anywhere_are_scanned_safely)
{
    // Found by fuzzing: zero bytes and runs of 0xff inside and outside quoted values.
    std::string text = kuvra("<animation file=\"/m/a\377\377.psa\" version=\"1.0\"><features></features></animation>");
    text.insert(8, std::string("\0\0\377", 3));
    text += std::string("\377\0 <animation\377\377 file=\"x\0\"", 24);
    recording_animation_t animation;
    psb_current_animation = &animation;
    EXPECT_FALSE(psb_animation_parse_text(text.data(), text.size()));
    psb_current_animation = nullptr;
    EXPECT_FALSE(logged().empty());
}

}  // namespace

// The behaviour-list grammar: behaviour files and groups parsed in place, nesting limits, and the
// exact messages a map maker sees.
#include <map>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_behaviors_scan.h"
#include "behaviour_fixture.h"

namespace {

// Records loaded behaviours; group files come from `groups` (a missing name pushes nothing).
class recording_behaviors_t : public psb_behaviors_actions_t {
public:
    void load_behavior(const char* file) override { loaded.push_back(file); }
    void include_group(const char* file) override
    {
        const auto group = groups.find(file);
        if (group != groups.end())
            psb_behaviors_push_buffer(group->second.data(), group->second.size());
    }
    std::map<std::string, std::string> groups;
    std::vector<std::string> loaded;
};

// A behaviour list holding `elements`.
std::string behavior_list(const std::string& elements)
{
    return kuvra("<behaviors version=\"1.0\">" + elements + "</behaviors>\n");
}

class behaviors_grammar_test : public behaviour_test_t {
protected:
    // Parses `text` as a top-level list; the level is 0 again afterwards in every case.
    bool parse(const std::string& text)
    {
        psb_current_behaviors = &list_;
        const bool accepted = psb_behaviors_parse_text(text.data(), text.size());
        psb_current_behaviors = nullptr;
        EXPECT_EQ(psb_behaviors_level(), 0);
        return accepted;
    }

    recording_behaviors_t list_;
};

TEST_F(behaviors_grammar_test, versions_and_elements_draw_exactly_their_messages)
{
    struct list_case_t {
        const char* title;
        std::string text;
        bool accepted;
        std::vector<std::string> loaded;
        std::vector<std::string> messages;
    };
    const std::vector<list_case_t> cases = {
        {"an empty list", behavior_list(""), true, {}, {}},
        {"two behaviours",
         behavior_list("<behavior file=\"a.xml\"/><behavior file=\"b.xml\"/>"),
         true,
         {"a.xml", "b.xml"},
         {}},
        {"no version",
         kuvra("<behaviors><behavior file=\"a.xml\"/></behaviors>\n"),
         false,
         {},
         {"\\r[psb_behaviors_parse]  parse error, unexpected TK_END_TAG_OPEN, expecting TK_VERSION_ATTRIBUTE at line "
          "3 column 11",
          "\\r[psb_behaviors_parse] invalid psb behaviors file"}},
        {"version written 1",
         kuvra("<behaviors version=\"1\"></behaviors>\n"),
         false,
         {},
         {"\\r[psb_behaviors_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_STRING_FLOAT at line 3 "
          "column 21",
          "\\r[psb_behaviors_parse] invalid psb behaviors file"}},
        {"version 2.0",
         kuvra("<behaviors version=\"2.0\"><behavior file=\"a.xml\"/></behaviors>\n"),
         false,
         {},
         {"\\r[psb_behaviors_parse] invalid behaviors file version"}},
        {"declaration version written 1",
         "<?xml version=\"1\"?><kuvra></kuvra>",
         false,
         {},
         {"\\r[psb_behaviors_parse]  parse error, unexpected TK_STRING_STRING, expecting TK_STRING_FLOAT at line 1 "
          "column 16"}},
    };
    for (const list_case_t& c : cases) {
        reset_engine();
        list_.loaded.clear();
        EXPECT_EQ(parse(c.text), c.accepted) << c.title;
        EXPECT_EQ(list_.loaded, c.loaded) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

TEST_F(behaviors_grammar_test, a_group_is_parsed_in_place_and_text_after_its_root_is_ignored)
{
    list_.groups["g.xml"] = behavior_list("<behavior file=\"b.xml\"/>") + "<kuvra>ignored</kuvra> junk";
    EXPECT_TRUE(parse(behavior_list("<behavior file=\"a.xml\"/><behavior_group file=\"g.xml\"/>"
                                    "<behavior file=\"c.xml\"/>")));
    EXPECT_EQ(list_.loaded, (std::vector<std::string>{"a.xml", "b.xml", "c.xml"}));
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(behaviors_grammar_test, groups_nest_nine_deep_and_no_deeper)
{
    // Group gN holds behaviour bN and, below 11, group gN+1.
    for (int n = 1; n <= 11; ++n) {
        std::string elements = "<behavior file=\"b";
        elements += std::to_string(n);
        elements += "\"/>";
        if (n < 11) {
            elements += "<behavior_group file=\"g";
            elements += std::to_string(n + 1);
            elements += "\"/>";
        }
        std::string name = "g";
        name += std::to_string(n);
        list_.groups[name] = behavior_list(elements);
    }
    EXPECT_FALSE(parse(behavior_list("<behavior_group file=\"g1\"/><behavior file=\"after\"/>")));
    EXPECT_EQ(list_.loaded, (std::vector<std::string>{"b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9"}));
    EXPECT_EQ(logged(),
              (std::vector<std::string>{"\\r[psb_behaviors_scan] behavior groups nested too deep (more than 9 levels)",
                                        "\\r[psb_behaviors_parse] behavior group (g10) not read"}));

    // The next list starts from level 0 as usual; a group naming itself is refused the same way.
    reset_engine();
    list_.loaded.clear();
    list_.groups["self"] = behavior_list("<behavior_group file=\"self\"/>");
    EXPECT_FALSE(parse(behavior_list("<behavior_group file=\"self\"/>")));
    EXPECT_EQ(logged().size(), 2u);
}

TEST_F(behaviors_grammar_test, a_group_that_cannot_be_read_stops_the_list_and_keeps_what_came_before)
{
    EXPECT_FALSE(parse(behavior_list("<behavior file=\"a.xml\"/><behavior_group file=\"missing\"/>"
                                     "<?xml version=\"1.0\"?><kuvra><behaviors version=\"1.0\"></behaviors></kuvra>"
                                     "<behavior file=\"c.xml\"/>")));
    EXPECT_EQ(list_.loaded, std::vector<std::string>{"a.xml"});
    EXPECT_EQ(logged(), std::vector<std::string>{"\\r[psb_behaviors_parse] behavior group (missing) not read"});
}

TEST_F(behaviors_grammar_test, a_syntax_error_inside_a_group_stops_the_whole_list)
{
    // Lines count on through the group text: its body is the fifth line of the whole.
    list_.groups["bad"] = kuvra("<behaviors version=\"1.0\"><behavior/></behaviors>\n");
    EXPECT_FALSE(parse(behavior_list("<behavior_group file=\"bad\"/><behavior file=\"c.xml\"/>")));
    EXPECT_TRUE(list_.loaded.empty());
    EXPECT_EQ(logged(), (std::vector<std::string>{
                            "\\r[psb_behaviors_parse]  parse error, unexpected TK_END_TAG_CLOSED, expecting "
                            "TK_FILE_ATTRIBUTE at line 5 column 36",
                            "\\r[psb_behaviors_parse] invalid psb behaviors file"}));
}

}  // namespace

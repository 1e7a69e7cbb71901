#include <gtest/gtest.h>

#include "engine/cache.h"
#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/id_sys.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "entity_fixture.h"

namespace {

using eblock_test = entity_probe_test_t;

TEST_F(eblock_test, a_block_file_sets_names_properties_and_arrays_and_can_be_cloned_twice)
{
    const auto block_template = eblock_template_t::parse(R"(// the world
        entity "test.early" {
            name = "first one";
            fail_phase = 99;   /* never fails */
            entity test.late { fail_phase = -100; }
        })",
                                                         "world.esc");
    ASSERT_NE(block_template, nullptr);
    EXPECT_EQ(block_template->entity_count(), 2);
    const auto& setting = block_template->entities()[0].settings[1];
    EXPECT_EQ(setting.name, "fail_phase");
    EXPECT_EQ(setting.line, 4);
    eblock_t* one = process_->clone_eblock(block_template.get(), 0);
    eblock_t* two = process_->clone_eblock(block_template.get(), 0);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_NE(one->root(), two->root());
    EXPECT_STREQ(one->root()->name(), "first one");
    EXPECT_STREQ(one->entity(1)->name(), "probe");
    EXPECT_EQ(static_cast<late_probe_e*>(two->entity(1))->fail_phase, -100);
    EXPECT_EQ(one->source(), "world.esc");
}

TEST_F(eblock_test, a_block_is_read_through_the_file_system_by_path)
{
    write_data_file("scripts/game/pair.esc", "entity test.late { name = a; }\nentity test.late { name = b; }\n");
    eblock_t* block = process_->eblock_from_name("/scripts/game/pair.esc");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->count(), 2);
    EXPECT_TRUE(process_->init_eblock(block));
    EXPECT_EQ(process_->eblock_from_name("/scripts/game/missing.esc"), nullptr);
    EXPECT_TRUE(engine_log_has("<eblock> cannot read entity block \"/scripts/game/missing.esc\""));
    EXPECT_EQ(process_->eblock_from_name("/defs/not_a_block.def"), nullptr);
    // Every use of the cached block file was given back.
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(eblock_test, a_cached_block_file_is_parsed_once_and_cloned_from_its_item)
{
    write_data_file("scripts/one.esc", "entity test.late { name = one; }");
    c_item_t* item = mm_precache("/scripts/one.esc");
    ASSERT_NE(item, nullptr);
    // The file may change on disk: the cached parse is what clones see while the item is held.
    write_data_file("scripts/one.esc", "entity test.late { name = changed; }");
    eblock_t* first = process_->clone_eblock(item, 0);
    eblock_t* second = process_->clone_eblock(item, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->root()->name(), "one");
    ci_dec_refs(item);
    EXPECT_TRUE(cache_leak_report().empty());
}

// A block that must be refused and the message that names its fault.
struct bad_block_t {
    const char* text;
    const char* message;
};

TEST_F(eblock_test, bad_blocks_are_refused_with_file_and_line)
{
    const bad_block_t syntax[] = {
        {"", "bad.esc:1: the block lists no entity"},
        {"thing test.late { }", "bad.esc:1: expected \"entity\""},
        {"entity { }", "bad.esc:1: expected an entity type name"},
        {"entity test.late\n{\n  a = 1;\n", "bad.esc:4: missing '}' of the entity begun on line 1"},
        {"entity test.late { a = 1 }", "bad.esc:1: unexpected '}' in a value"},
        {"entity test.late {\n a 1; }", "bad.esc:2: expected '=' but found '1'"},
        {"entity test.late { a = [1, 2 ; }", "bad.esc:1: unexpected ';' in a value"},
        {"entity test.late { a = [1, 2] }", "bad.esc:1: expected ';' but found '}'"},
        {"entity test.late { = 1; }", "bad.esc:1: expected a property name, \"entity\" or '}'"},
        {"entity test.late { a = \"open; }", "bad.esc:1: unterminated string"},
    };
    for (const bad_block_t& bad : syntax) {
        log_clear_capture();
        EXPECT_EQ(eblock_template_t::parse(bad.text, "bad.esc"), nullptr) << bad.text;
        EXPECT_EQ(engine_log_matching("bad.esc:"), std::vector<std::string>{bad.message}) << bad.text;
    }
}

TEST_F(eblock_test, unknown_types_properties_and_bad_values_are_refused_when_cloned)
{
    const bad_block_t semantic[] = {
        {"entity test.late { }\nentity test.nothing { }", "bad.esc:2: unknown entity type \"test.nothing\""},
        {"entity test.late {\n  speed = 3; }", "bad.esc:2: test.late: no property \"speed\""},
        {"entity test.late {\n\n  fail_phase = soon; }",
         "bad.esc:3: test.late: property \"fail_phase\": bad value \"soon\" (expected a 32-bit integer)"},
        {"entity test.late { fail_phase = [1, 2]; }", "bad.esc:1: test.late: property \"fail_phase\": not an array"},
        {"entity test.late { name = [a]; }", "bad.esc:1: test.late: an entity name is one text of at most 63 bytes"},
    };
    for (const bad_block_t& bad : semantic) {
        log_clear_capture();
        const auto block_template = eblock_template_t::parse(bad.text, "bad.esc");
        ASSERT_NE(block_template, nullptr) << bad.text;
        EXPECT_EQ(process_->clone_eblock(block_template.get(), 0), nullptr) << bad.text;
        EXPECT_EQ(engine_log_matching("bad.esc:"), std::vector<std::string>{bad.message}) << bad.text;
    }
    // Whatever a refused clone had made is freed again.
    EXPECT_TRUE(process_->eblocks().empty());
    EXPECT_EQ(entity_handle_live_slots(), 0);
}

TEST_F(eblock_test, nesting_is_bounded)
{
    std::string deep;
    for (int i = 0; i <= eblock_template_t::max_depth; ++i)
        deep += "entity test.late { ";
    deep += std::string(eblock_template_t::max_depth + 1, '}');
    EXPECT_EQ(eblock_template_t::parse(deep, "deep.esc"), nullptr);
    EXPECT_EQ(engine_log_matching("entities nested too deeply").size(), 1u);
}

TEST(id_sys, ids_are_reused_in_fifo_or_lifo_order_and_carry_data)
{
    for (const bool fifo : {true, false}) {
        id_sys_t ids;
        ids.set_fifo(fifo);
        EXPECT_EQ(ids.get(-1), 0);
        EXPECT_EQ(ids.get(-1), 1);
        EXPECT_EQ(ids.get(-1), 2);
        EXPECT_TRUE(ids.release(0));
        EXPECT_TRUE(ids.release(2));
        EXPECT_FALSE(ids.release(2));
        EXPECT_EQ(ids.get(-1), fifo ? 0 : 2);
        EXPECT_TRUE(ids.set_data(1, 77));
        EXPECT_EQ(ids.get_data(1), 77u);
        EXPECT_FALSE(ids.set_data(5, 1));
        EXPECT_EQ(ids.get_data(5), 0u);
    }
}

TEST(id_sys, a_requested_id_is_given_when_free_and_skipped_ids_stay_available)
{
    id_sys_t ids;
    EXPECT_EQ(ids.get(5), 5);
    EXPECT_EQ(ids.get(5), -1);
    EXPECT_EQ(ids.get(id_sys_t::capacity), -1);
    std::vector<int> rest;
    for (int i = 0; i < 5; ++i)
        rest.push_back(ids.get(-1));
    EXPECT_EQ(rest, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(ids.get(-1), 6);
    EXPECT_EQ(ids.count(), 7);
}

}  // namespace

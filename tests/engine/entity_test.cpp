#include <gtest/gtest.h>

#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine_testing/engine_test.h"
#include "entity_fixture.h"

namespace {

class entity_test : public entity_probe_test_t {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(entity_probe_test_t::SetUp());
        ASSERT_TRUE(entity_register(&quitter_reg));
    }

    // Clones a block written in the block syntax; fails the test when it does not parse.
    eblock_t* clone(const std::string& text)
    {
        const auto block_template = eblock_template_t::parse(text, "test.esc");
        EXPECT_NE(block_template, nullptr);
        return block_template ? process_->clone_eblock(block_template.get(), 0) : nullptr;
    }
};

TEST_F(entity_test, init_phases_run_ascending_over_the_union_of_every_entity_levels)
{
    eblock_t* block = clone(R"(
        entity test.early { name = a; }
        entity test.late { name = b; }
        entity test.early { name = c; })");
    ASSERT_NE(block, nullptr);
    ASSERT_TRUE(process_->init_eblock(block));
    const std::vector<std::string> expected{"a precache", "b precache", "c precache", "a init -10",
                                            "c init -10", "b init -2",  "a init 0",   "b init 0",
                                            "c init 0",   "a init 10",  "c init 10"};
    EXPECT_EQ(probe_journal(), expected);
    EXPECT_EQ(process_->entity_count(), 3);
}

TEST_F(entity_test, destroy_phases_run_ascending_and_only_in_each_entity_own_levels)
{
    eblock_t* block = clone("entity test.late { name = b; } entity test.early { name = a; }");
    ASSERT_TRUE(process_->init_eblock(block));
    probe_journal().clear();
    ASSERT_TRUE(process_->destroy_eblock(block));
    const std::vector<std::string> expected{"b destroy 0", "a destroy 0", "a destroy 10"};
    EXPECT_EQ(probe_journal(), expected);
    EXPECT_TRUE(process_->eblocks().empty());
    EXPECT_EQ(process_->entity_count(), 0);
}

TEST_F(entity_test, handlers_run_each_frame_and_skip_sleeping_entities)
{
    eblock_t* block = clone("entity test.late { name = a; } entity test.late { name = b; }");
    ASSERT_TRUE(process_->init_eblock(block));
    process_->entity_sleep(block->entity(0));
    probe_journal().clear();
    engine_run_frames(2, 0.02);
    EXPECT_EQ(probe_journal(), (std::vector<std::string>{"b handler", "b handler"}));
    process_->entity_wakeup(block->entity(0));
    probe_journal().clear();
    engine_run_frames(1, 0.02);
    EXPECT_EQ(probe_journal(), (std::vector<std::string>{"a handler", "b handler"}));
}

TEST_F(entity_test, a_handle_stops_resolving_once_its_entity_is_destroyed)
{
    eblock_t* block = clone("entity test.late { }");
    ASSERT_TRUE(process_->init_eblock(block));
    const entity_handle_t handle = block->root()->handle();
    EXPECT_EQ(handle.resolve(), block->root());
    EXPECT_EQ(entity_handle_t::from_word(handle.word()).resolve(), block->root());
    ASSERT_TRUE(handle.add_use());
    process_->destroy_eblock(block);
    EXPECT_EQ(handle.resolve(), nullptr);
    // The held use keeps the slot: a new entity never takes a handle that still names the old one.
    EXPECT_EQ(handle.uses(), 1);
    eblock_t* next = clone("entity test.late { }");
    EXPECT_NE(next->root()->handle(), handle);
    EXPECT_EQ(handle.resolve(), nullptr);
    handle.release();
    EXPECT_EQ(handle.uses(), 0);
    EXPECT_FALSE(handle.add_use());
    EXPECT_EQ(entity_handle_t().resolve(), nullptr);
}

TEST_F(entity_test, an_unheld_stale_handle_does_not_resolve_to_the_entity_reusing_its_slot)
{
    eblock_t* first = clone("entity test.late { }");
    const entity_handle_t stale = first->root()->handle();
    process_->destroy_eblock(first);
    eblock_t* second = clone("entity test.late { }");
    EXPECT_EQ(stale.resolve(), nullptr);
    EXPECT_NE(second->root()->handle().resolve(), nullptr);
}

TEST_F(entity_test, an_entity_destroys_its_own_block_from_its_handler_at_the_end_of_the_frame)
{
    eblock_t* block = clone("entity test.quitter { name = q; } entity test.late { name = after; }");
    ASSERT_TRUE(process_->init_eblock(block));
    const entity_handle_t quitter = block->root()->handle();
    probe_journal().clear();
    engine_run_frames(1, 0.02);
    // The other entity of the dying block gets no handler call; destroy phases come after the loop.
    EXPECT_EQ(probe_journal(), (std::vector<std::string>{"q handler", "q destroy 0", "after destroy 0"}));
    EXPECT_EQ(quitter.resolve(), nullptr);
    EXPECT_TRUE(process_->eblocks().empty());
    engine_run_frames(1, 0.02);
    EXPECT_EQ(probe_journal().size(), 3u);
}

TEST_F(entity_test, a_failed_init_phase_destroys_the_block_and_reports_it)
{
    eblock_t* block = clone("entity test.early { name = a; } entity test.late { name = b; fail_phase = -2; }");
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(process_->init_eblock(block));
    EXPECT_TRUE(engine_log_has("<entity_proc_t> test.esc: b (test.late) failed init phase -2 (-1)"));
    // Phase 0 never ran; both entities had begun, so both get their destroy phases.
    const std::vector<std::string> expected{"a precache",  "b precache",  "a init -10",  "b init -2",
                                            "a destroy 0", "b destroy 0", "a destroy 10"};
    EXPECT_EQ(probe_journal(), expected);
    EXPECT_TRUE(process_->eblocks().empty());
}

TEST_F(entity_test, children_are_indexed_depth_first_and_linked_to_their_parent)
{
    eblock_t* block = clone(R"(
        entity test.late { name = root;
            entity test.late { name = child1; entity test.late { name = grandchild; } }
            entity test.late { name = child2; }
        }
        entity test.early { name = second; })");
    ASSERT_EQ(block->count(), 5);
    const char* names[] = {"root", "child1", "grandchild", "child2", "second"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(block->entity(i)->name(), names[i]);
    EXPECT_EQ(block->entity(5), nullptr);
    EXPECT_EQ(block->entity(-1), nullptr);
    EXPECT_EQ(block->root()->first_child(), block->entity(1));
    EXPECT_EQ(block->entity(1)->next_sibling(), block->entity(3));
    EXPECT_EQ(block->entity(2)->parent(), block->entity(1));
    EXPECT_EQ(block->entity(4)->parent(), nullptr);
    EXPECT_EQ(block->index_of(block->entity(3)), 3);
}

TEST_F(entity_test, registration_refuses_duplicates_and_incomplete_records_and_create_knows_types)
{
    EXPECT_FALSE(entity_register(&late_probe_reg));
    EXPECT_TRUE(engine_log_has("<entity_register> type \"test.late\" already registered"));
    const entity_reg_t incomplete{"test.none", 0, {0, 0, 0}, 8, nullptr, probe_destroy};
    EXPECT_FALSE(entity_register(&incomplete));
    EXPECT_EQ(entity_create("test.unknown"), nullptr);
    EXPECT_TRUE(engine_log_has("<entity_create> unknown entity type \"test.unknown\""));
    entity_t* made = entity_create("test.late");
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->type_name(), "test.late");
    EXPECT_STREQ(made->name(), "probe");
    entity_free(made);
}

TEST_F(entity_test, a_create_function_given_memory_constructs_in_place)
{
    alignas(late_probe_e) unsigned char memory[sizeof(late_probe_e)];
    entity_t* made = late_probe_reg.create(memory);
    EXPECT_EQ(static_cast<void*>(made), static_cast<void*>(memory));
    const entity_handle_t handle = made->handle();
    late_probe_reg.destroy(made, true);
    EXPECT_EQ(handle.resolve(), nullptr);
}

TEST_F(entity_test, a_lone_entity_leaves_its_process_and_is_freed_when_destroyed)
{
    entity_t* lone = entity_create("test.late");
    process_->entity_insert(lone);
    EXPECT_EQ(lone->process(), process_);
    const entity_handle_t handle = lone->handle();
    process_->entity_destroy(lone);
    EXPECT_EQ(handle.resolve(), nullptr);
    EXPECT_EQ(process_->entity_count(), 0);
}

TEST_F(entity_test, shutting_the_process_down_destroys_every_block)
{
    eblock_t* block = clone("entity test.late { name = a; }");
    ASSERT_TRUE(process_->init_eblock(block));
    const entity_handle_t handle = block->root()->handle();
    probe_journal().clear();
    process_->shutdown();
    EXPECT_EQ(probe_journal(), (std::vector<std::string>{"a destroy 0"}));
    EXPECT_EQ(handle.resolve(), nullptr);
    engine_run_frames(1, 0.02);
    EXPECT_EQ(entity_handle_live_slots(), 0);
}

}  // namespace

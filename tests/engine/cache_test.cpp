#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/cache.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"

namespace {

// A block whose `self` points into itself, as the module's relocatable blocks do.
struct blob_t {
    int value;
    blob_t* self;
};

int loads = 0;
int frees = 0;
int finishes = 0;
int moves = 0;

void* blob_load(c_item_t* item)
{
    ++loads;
    if (strstr(item->name.c_str(), "missing"))
        return nullptr;
    auto* blob = static_cast<blob_t*>(ci_alloc_mem_fix(item, sizeof(blob_t)));
    blob->value = static_cast<int>(item->name.size());
    blob->self = blob;
    ci_finish_load(item);
    return blob;
}

void blob_free(c_item_t* item)
{
    ++frees;
    citem_gen_mem_free(item);
}

void blob_move(c_item_t* item, void* new_block)
{
    ++moves;
    auto* moved = static_cast<blob_t*>(new_block);
    memcpy(moved, item->object, item->size);
    moved->self = moved;
    item->object = moved;
}

void blob_finish(c_item_t*) { ++finishes; }

resource_ops_t blob_ops = {blob_load, nullptr, blob_free, blob_move, nullptr, nullptr, blob_finish, -1, 42};

c_item_t* blob_match(c_item_t* parent, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 5 || strcmp(name + length - 5, ".blob") != 0)
        return nullptr;
    c_item_t* item = mm_sys_get_new_item();
    item->ops = &blob_ops;
    item->parent = parent;
    ci_set_name(item, name);
    return item;
}

// The module's lock and release of an item (its c_item_lock and c_item_release).
void* lock(c_item_t* item)
{
    if (!(item->flags & ci_flag_resident)) {
        if (!item->loader->make_resident(item))
            return nullptr;
    } else if ((item->flags & ci_flag_in_mlru) && item->stamp != item->owner->generation) {
        item->stamp = item->owner->generation;
        ci_mlru_move_to_start(item);
    }
    ++item->locks;
    if (item->counter)
        ++*item->counter;
    return item->object;
}

void release(c_item_t* item)
{
    if (--item->locks == 0 && !(item->flags & (ci_flag_in_mlru | ci_flag_held)) && item->refs == 0)
        ci_mlru_add(item);
    if (item->counter)
        --*item->counter;
}

class cache_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        loads = frees = finishes = moves = 0;
        ASSERT_TRUE(ci_makeup_ops(&blob_ops));
        handle_ = mm_register_loader(nullptr, blob_match, 0);
        ASSERT_GT(handle_, 0);
    }
    int handle_ = 0;
};

TEST_F(cache_test, precache_loads_once_and_counts_references)
{
    c_item_t* item = mm_precache("/a.blob");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(item->refs, 1);
    EXPECT_EQ(item->locks, 0) << "the load lock is given back";
    EXPECT_TRUE(item->flags & ci_flag_resident);
    EXPECT_STREQ(ci_get_name(item), "/a.blob");
    resource_ops_t bare_ops{};
    ASSERT_TRUE(ci_makeup_ops(&bare_ops));
    EXPECT_EQ(bare_ops.free, citem_gen_mem_free) << "makeup fills the generic free";
    EXPECT_FALSE(ci_makeup_ops(nullptr));

    EXPECT_EQ(mm_precache("a.blob"), item) << "the same name is the same item";
    EXPECT_EQ(item->refs, 2);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(static_cast<blob_t*>(lock(item))->value, 7);
    release(item);
    ci_dec_refs(item);
    ci_dec_refs(item);
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(cache_test, map_loads_on_first_lock_and_frees_at_zero)
{
    c_item_t* item = mm_map("/b.blob");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(loads, 0) << "mapping does not load";
    int counter = 0;
    item->counter = &counter;
    ASSERT_NE(lock(item), nullptr);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(item->locks, 1);
    EXPECT_EQ(counter, 1) << "the attached counter follows the locks";
    lock(item);
    release(item);
    release(item);
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(frees, 0) << "a reference still holds it";
    ci_dec_refs(item);
    EXPECT_EQ(frees, 1) << "the last use frees its memory";
    EXPECT_FALSE(item->flags & ci_flag_resident);
    EXPECT_EQ(item->object, nullptr);

    // The handle stays valid: the next lock loads again.
    item->counter = nullptr;
    ci_inc_refs(item);
    ASSERT_NE(lock(item), nullptr);
    EXPECT_EQ(loads, 2);
    release(item);
    ci_dec_refs(item);
    EXPECT_EQ(frees, 2);
}

TEST_F(cache_test, an_item_unlocked_by_the_module_is_evicted_at_the_next_safe_point)
{
    c_item_t* item = mm_map("/c.blob");
    ci_dec_refs(item);
    ASSERT_NE(lock(item), nullptr);
    release(item);
    EXPECT_TRUE(item->flags & ci_flag_in_mlru);
    EXPECT_EQ(frees, 0);
    c_item_t* other = mm_map("/d.blob");
    EXPECT_EQ(frees, 1) << "mapping is a safe point";
    EXPECT_FALSE(item->flags & ci_flag_in_mlru);
    ci_dec_refs(other);
}

TEST_F(cache_test, failures_give_null_and_take_no_use)
{
    log_clear_capture();
    EXPECT_EQ(mm_precache("/missing.blob"), nullptr);
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(engine_log_has("cannot load /missing.blob"));
    EXPECT_EQ(mm_precache("/nobody.takes"), nullptr);
    EXPECT_TRUE(engine_log_has("cache: no loader takes /nobody.takes"));
    EXPECT_EQ(mm_precache(nullptr), nullptr);
    EXPECT_EQ(mm_precache(""), nullptr);

    c_item_t* item = mm_map("/missing.blob");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(lock(item), nullptr);
    EXPECT_EQ(item->locks, 0) << "a failed load leaves the lock count alone";
    ci_dec_refs(item);
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(cache_test, unregistered_loader_claims_nothing_more)
{
    EXPECT_TRUE(mm_unregister_loader(handle_));
    EXPECT_FALSE(mm_unregister_loader(handle_));
    EXPECT_EQ(mm_map("/e.blob"), nullptr);
}

TEST_F(cache_test, forced_move_runs_the_kinds_relocation)
{
    c_item_t* item = mm_precache("/f.blob");
    auto* before = static_cast<blob_t*>(lock(item));
    EXPECT_FALSE(cache_force_move(item)) << "a locked item does not move";
    release(item);
    ASSERT_TRUE(cache_force_move(item));
    EXPECT_EQ(moves, 1);
    auto* after = static_cast<blob_t*>(lock(item));
    EXPECT_NE(after, before);
    EXPECT_EQ(after->self, after);
    EXPECT_EQ(after->value, 7);
    release(item);
    ci_dec_refs(item);

    c_item_t* bare = mm_sys_get_new_anitem();
    ASSERT_NE(ci_alloc_mem_fix(bare, 16), nullptr);
    EXPECT_FALSE(cache_force_move(bare)) << "an item without a move cannot move";
    EXPECT_TRUE(mm_release_item(bare));
}

TEST_F(cache_test, leak_report_names_every_use_still_held)
{
    c_item_t* kept = mm_precache("/kept.blob");
    c_item_t* locked = mm_precache("/locked.blob");
    lock(locked);
    ci_dec_refs(locked);
    c_item_t* light = mm_sys_get_new_anitem();
    ci_alloc_mem_fix(light, 32);
    ci_dec_refs(light);
    const std::vector<std::string> expected = {"/kept.blob refs 1 locks 0", "/locked.blob refs 0 locks 1",
                                               "#1 refs 0 locks 0"};
    EXPECT_EQ(cache_leak_report(), expected);
    EXPECT_FALSE(mm_release_item(locked)) << "a locked item is not destroyed";

    engine_reset();
    EXPECT_EQ(cache_item_count(), 0);
    EXPECT_EQ(finishes, 2) << "the finish of every destroyed blob runs";
    EXPECT_TRUE(cache_leak_report().empty());
    (void)kept;
}

TEST_F(cache_test, children_are_held_and_purges_respect_uses)
{
    c_item_t* parent = mm_precache("/parent.blob");
    c_item_t* child = mm_sys_get_new_anitem();
    ASSERT_TRUE(ci_add_child(parent, child));
    EXPECT_FALSE(ci_add_child(parent, child));
    EXPECT_EQ(parent->first_child, child);
    EXPECT_TRUE(child->flags & ci_flag_held);
    ci_dec_refs(child);

    c_item_t* loose = mm_precache("/loose.blob");
    mm_mem_free_unreferenced(-1);
    EXPECT_EQ(frees, 0) << "both are referenced";
    mm_mem_free_all(42);
    EXPECT_EQ(frees, 2) << "free all frees referenced memory too";
    EXPECT_NE(lock(parent), nullptr) << "and the next lock reloads";
    release(parent);
    mm_mem_free_all_ops(&blob_ops);
    EXPECT_EQ(frees, 3);

    ci_dec_refs(loose);
    const int before = cache_item_count();
    mm_remove_unreferenced_ops(&blob_ops);
    EXPECT_EQ(cache_item_count(), before - 1) << "the loose item goes, the parent stays";
    EXPECT_EQ(finishes, 1);

    ci_remove_child(child);
    EXPECT_EQ(parent->first_child, nullptr);
    EXPECT_FALSE(child->flags & ci_flag_held);
    EXPECT_TRUE(mm_release_item(child));
    ci_dec_refs(parent);
    EXPECT_TRUE(cache_leak_report().empty());
}

}  // namespace

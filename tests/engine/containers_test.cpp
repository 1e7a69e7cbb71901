#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/bmem.h"
#include "engine/mem.h"
#include "engine/vdatahash.h"
#include "engine/vdatalist.h"
#include "engine/vptrhash.h"
#include "engine/vptrlist.h"
#include "engine_testing/engine_test.h"

namespace {

using containers_test = engine_test_t;

template <typename L> std::vector<int> values_of(const L& list)
{
    std::vector<int> out;
    for (const auto& v : list)
        out.push_back(static_cast<int>(v));
    return out;
}

TEST_F(containers_test, bmem_reuses_freed_items_before_taking_a_block)
{
    bmem_manager pool(12, 4);
    std::set<void*> first_block;
    for (int i = 0; i < 4; ++i)
        first_block.insert(pool.alloc());
    EXPECT_EQ(pool.block_count(), 1u);
    void* freed = *first_block.begin();
    pool.free(freed);
    EXPECT_EQ(pool.alloc(), freed);
    EXPECT_EQ(pool.block_count(), 1u);
    void* fifth = pool.alloc();
    EXPECT_EQ(first_block.count(fifth), 0u);
    EXPECT_EQ(pool.block_count(), 2u);
    EXPECT_EQ(pool.live_count(), 5u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(fifth) % alignof(std::max_align_t), 0u);
}

TEST_F(containers_test, bmem_parameters_change_only_while_no_item_is_out)
{
    bmem_manager pool(32, 256);
    void* item = pool.alloc();
    EXPECT_TRUE(pool.set_pars(32, 256));
    EXPECT_FALSE(pool.set_pars(64, 256));
    EXPECT_FALSE(pool.fit_item_size(1024));
    EXPECT_EQ(engine_log_matching("bmem_manager").size(), 2u);
    pool.free(item);
    EXPECT_TRUE(pool.set_pars(64, 8));
    EXPECT_EQ(pool.block_count(), 0u);
    EXPECT_FALSE(pool.set_pars(0, 8));
    pool.free(item);  // not out any more: refused, not counted below zero
    EXPECT_EQ(pool.live_count(), 0u);
}

TEST_F(containers_test, bmem_reports_out_of_memory_as_null)
{
    bmem_manager pool(16, 4);
    mem_fail_after(1);
    EXPECT_EQ(pool.alloc(), nullptr);
    EXPECT_EQ(engine_log_matching("out of memory").size(), 1u);
    EXPECT_NE(pool.alloc(), nullptr);
}

TEST_F(containers_test, list_inserts_removes_and_iterates_in_order)
{
    vdatalist_t<int> list;
    list.append(2);
    list.append(4);
    list.prepend(1);
    auto* four = list.find(4);
    list.insert_before(four, 3);
    list.insert_after(four, 5);
    EXPECT_EQ(values_of(list), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(list.at(2)->value(), 3);
    EXPECT_EQ(list.at(5), nullptr);

    list.remove(four);
    int out = 0;
    EXPECT_TRUE(list.remove_first(&out));
    EXPECT_EQ(out, 1);
    EXPECT_TRUE(list.remove_last(&out));
    EXPECT_EQ(out, 5);
    EXPECT_EQ(values_of(list), (std::vector<int>{2, 3}));
    EXPECT_EQ(list.first()->prev(), nullptr);
    EXPECT_EQ(list.last()->next(), nullptr);

    list.remove_all();
    EXPECT_TRUE(list.is_empty());
    EXPECT_FALSE(list.remove_first(&out));
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
}

TEST_F(containers_test, list_moves_nodes_without_changing_their_address)
{
    // A slot list, most recently used first: slots remember their nodes.
    vptrlist_t<intptr_t> slots;
    std::vector<vptrlist_t<intptr_t>::node_t*> nodes;
    for (intptr_t i = 0; i < 4; ++i)
        nodes.push_back(slots.append(i));
    slots.move_to_front(nodes[2]);
    EXPECT_EQ(values_of(slots), (std::vector<int>{2, 0, 1, 3}));
    slots.move_to_back(nodes[2]);
    slots.move_to_front(nodes[3]);
    EXPECT_EQ(values_of(slots), (std::vector<int>{3, 0, 1, 2}));
    EXPECT_EQ(slots.last(), nodes[2]);
    slots.move_to_front(slots.first());
    EXPECT_EQ(slots.count(), 4u);
}

TEST_F(containers_test, lists_sharing_a_pool_give_their_nodes_back)
{
    bmem_manager pool(12, 4);  // sized for 32-bit nodes: the lists widen it before first use
    vptrlist_t<void*> a;
    vptrlist_t<void*> b;
    ASSERT_TRUE(a.init_mm(pool));
    ASSERT_TRUE(b.init_mm(pool));
    int x = 0;
    for (int i = 0; i < 5; ++i) {
        a.append(&x);
        b.append(&x);
    }
    EXPECT_EQ(pool.live_count(), 10u);
    a.remove_all();
    EXPECT_EQ(pool.live_count(), 5u);
    EXPECT_EQ(b.count(), 5u);
    struct big_t {
        char bytes[256];
        bool operator==(const big_t&) const = default;
    };
    vdatalist_t<big_t> late;
    EXPECT_FALSE(late.init_mm(pool));  // the pool's blocks are already cut for smaller nodes
}

TEST_F(containers_test, list_append_fails_cleanly_when_memory_runs_out)
{
    vdatalist_t<int> list;
    mem_fail_after(1);
    EXPECT_EQ(list.append(7), nullptr);
    EXPECT_TRUE(list.is_empty());
    EXPECT_NE(list.append(7), nullptr);
    EXPECT_EQ(list.count(), 1u);
}

TEST_F(containers_test, hash_finds_puts_and_removes_byte_keys)
{
    vdatahash_t<int> table;
    const unsigned char sector_a[6] = {1, 0, 0, 0, 2, 0};
    const unsigned char sector_b[6] = {1, 0, 0, 0, 2, 1};
    table.put(sector_a, sizeof sector_a, 10);
    table.put(sector_b, sizeof sector_b, 20);
    table.put("ab", 30);
    table.put("ab\0x", 4, 40);  // a key with a NUL inside is its own key
    ASSERT_NE(table.find(sector_a, 6), nullptr);
    EXPECT_EQ(*table.find(sector_a, 6), 10);
    EXPECT_EQ(*table.find(sector_b, 6), 20);
    EXPECT_EQ(table.find(sector_a, 5), nullptr);
    EXPECT_EQ(*table.find("ab"), 30);
    EXPECT_EQ(*table.find("ab\0x", 4), 40);
    EXPECT_EQ(table.find("AB"), nullptr);

    table.put("ab", 31);
    EXPECT_EQ(table.count(), 4u);
    EXPECT_EQ(*table.find("ab"), 31);
    EXPECT_TRUE(table.remove(sector_a, 6));
    EXPECT_FALSE(table.remove(sector_a, 6));
    EXPECT_EQ(table.find(sector_a, 6), nullptr);
    EXPECT_EQ(*table.find(sector_b, 6), 20);
}

TEST_F(containers_test, hash_keeps_put_order_through_growth_and_removal)
{
    vptrhash_t<intptr_t> registry;
    for (intptr_t i = 0; i < 100; ++i)
        registry.put(("state_" + std::to_string(i)).c_str(), i + 1);
    for (intptr_t i = 0; i < 100; i += 2)
        registry.remove(("state_" + std::to_string(i)).c_str());
    intptr_t expected = 2;
    for (auto* e = registry.first(); e; e = e->next(), expected += 2)
        EXPECT_EQ(e->value(), expected);
    EXPECT_EQ(registry.count(), 50u);
    EXPECT_EQ(registry.find("state_7"), 8);
    EXPECT_EQ(registry.find("state_8"), 0);  // absent reads as zero
    auto* e = registry.find_value(8);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->key(), "state_7");
    EXPECT_EQ(registry.find_value(9), nullptr);
}

}  // namespace

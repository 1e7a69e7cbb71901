#include "physics/contact_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine_testing/engine_test.h"

namespace {

using contact_list_test = engine_test_t;

// A record naming `second_item` on a fixed pair of geometries, with key `key`.
phys_contact_t contact(uint32_t second_item, float key)
{
    static char geometries[2];
    phys_contact_t record;
    record.first = reinterpret_cast<cd_geo_t*>(&geometries[0]);
    record.second = reinterpret_cast<cd_geo_t*>(&geometries[1]);
    record.second_item = second_item;
    record.key = key;
    record.flags = 0xff;
    return record;
}

std::vector<uint32_t> items(const contact_list_t& list)
{
    std::vector<uint32_t> out;
    for (const phys_contact_t& record : list)
        out.push_back(record.second_item);
    return out;
}

TEST_F(contact_list_test, records_are_filed_by_key_and_equal_keys_keep_their_order)
{
    contact_list_t list;
    contact_list_insert(list, contact(1, 3.0f), false, 0.0f);
    contact_list_insert(list, contact(2, 1.0f), false, 0.0f);
    contact_list_insert(list, contact(3, 2.0f), false, 0.0f);
    contact_list_insert(list, contact(4, 2.0f), false, 0.0f);
    EXPECT_EQ(items(list), (std::vector<uint32_t>{2, 3, 4, 1}));
    for (const phys_contact_t& record : list)
        EXPECT_EQ(record.flags, 0) << "filing clears the flag byte";
}

TEST_F(contact_list_test, a_record_of_the_same_identity_replaces_the_old_one)
{
    contact_list_t list;
    contact_list_insert(list, contact(1, 1.0f), false, 0.0f);
    contact_list_insert(list, contact(2, 2.0f), false, 0.0f);
    contact_list_insert(list, contact(1, 3.0f), false, 0.0f);
    EXPECT_EQ(items(list), (std::vector<uint32_t>{2, 1}));
    EXPECT_FLOAT_EQ(list.last()->value().key, 3.0f);
}

TEST_F(contact_list_test, filing_at_the_end_drops_farther_records_beyond_the_margin)
{
    const struct {
        float margin;
        std::vector<uint32_t> expected;
    } cases[] = {
        {0.0f, {1, 4}},
        {0.6f, {1, 2, 4}},
        {5.0f, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        contact_list_t list;
        contact_list_insert(list, contact(1, 1.0f), false, 0.0f);
        contact_list_insert(list, contact(2, 2.5f), false, 0.0f);
        contact_list_insert(list, contact(3, 4.0f), false, 0.0f);
        contact_list_insert(list, contact(4, 2.0f), true, c.margin);
        EXPECT_EQ(items(list), c.expected) << "margin " << c.margin;
        EXPECT_EQ(list.last()->value().second_item, 4u);
    }
}

TEST_F(contact_list_test, merging_skips_records_already_held_for_the_same_hit)
{
    contact_list_t destination;
    contact_list_t source;
    contact_list_insert(destination, contact(1, 1.0f), false, 0.0f);
    phys_contact_t same_hit_other_mover = contact(1, 5.0f);
    same_hit_other_mover.first = nullptr;
    source.append(same_hit_other_mover);
    source.append(contact(2, 0.5f));
    contact_list_merge(destination, source);
    EXPECT_EQ(items(destination), (std::vector<uint32_t>{1, 2}));
    EXPECT_FLOAT_EQ(destination.first()->value().key, 1.0f);
}

TEST_F(contact_list_test, a_reset_record_holds_the_defaults)
{
    phys_contact_t record = contact(7, 9.0f);
    record.constraint = 1;
    record.reset();
    EXPECT_EQ(record.first, nullptr);
    EXPECT_EQ(record.second_item, cd_item_none);
    EXPECT_EQ(record.direction, vec3_t(0, 1, 0));
    EXPECT_EQ(record.orientation, quat_t(0, 0, 0, 1));
    EXPECT_EQ(record.key, 0.0f);
    EXPECT_EQ(record.constraint, 1) << "the constraint flag is not one of the reset words";
}

}  // namespace

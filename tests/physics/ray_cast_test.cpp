#include <gtest/gtest.h>

#include <vector>

#include "physproc_fixture.h"

namespace {

using ray_cast_test = physproc_test_t;

// Solid for the geometry at `user`, touch for every other one.
int solid_one(uintptr_t user, const cd_geo_t*, const cd_geo_t* candidate)
{
    return reinterpret_cast<const cd_geo_t*>(user) == candidate ? phys_pair_solid : phys_pair_touch;
}

// Geometry with no items and empty bounds: offered to every query, never hit.
class unbounded_geo_t : public cd_geo_t {
public:
    unbounded_geo_t() { bounds_.bounds.set_empty(); }
    cd_bvnode_t* get_tree(uint32_t* handle) override
    {
        *handle = 0;
        return nullptr;
    }
    void release_tree(uint32_t) override {}
    void get_item(cd_item_t&, int) override {}
    void set_rotation(quat_t) override {}
    const cd_bvnode_t* get_bounds() override { return &bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

private:
    cd_bvnode_t bounds_{};
    cd_sphere_t sphere_;
};

TEST_F(ray_cast_test, two_touches_and_a_solid_come_in_distance_order_and_touches_behind_the_solid_are_dropped)
{
    cd_geo_box_t* near_touch = wall({100, 0, 0}, {10, 100, 100});
    cd_geo_box_t* far_touch = wall({200, 0, 0}, {10, 100, 100});
    cd_geo_box_t* solid = wall({300, 0, 0}, {10, 100, 100});
    wall({400, 0, 0}, {10, 100, 100});  // behind the solid hit
    const phys_pair_t filter{solid_one, reinterpret_cast<uintptr_t>(solid)};
    const phys_contact_t* hit = process_->ray_cast({0, 0, 0}, {1000, 0, 0}, &filter, nullptr, 0, 0);
    ASSERT_NE(hit, nullptr);
    std::vector<const cd_geo_t*> order;
    for (const phys_contact_t& record : phys_output_contacts())
        order.push_back(record.second);
    EXPECT_EQ(order, (std::vector<const cd_geo_t*>{near_touch, far_touch, solid}));
    EXPECT_EQ(hit->second, near_touch);
    EXPECT_FLOAT_EQ(hit->position.x, 95.0f);
    EXPECT_FLOAT_EQ(hit->key, 95.0f * 95.0f);
    EXPECT_EQ(hit->first, nullptr);
    EXPECT_EQ(hit->first_item, cd_item_none);
    EXPECT_EQ(phys_output_contacts().last()->value().constraint, 1);
}

TEST_F(ray_cast_test, a_zero_length_ray_finds_nothing)
{
    wall({0, 0, 0}, {100, 100, 100});
    EXPECT_EQ(process_->ray_cast({0, 0, 0}, {0, 0.0005f, 0}, nullptr, nullptr, 0, 0), nullptr);
    EXPECT_TRUE(phys_output_contacts().is_empty());
}

TEST_F(ray_cast_test, ignore_entries_skip_triangles_by_id_and_by_facing)
{
    wall({100, 0, 0}, {20, 100, 100});
    const uint16_t facing_against[] = {0xfffe};
    const uint16_t facing_along[] = {0xffff};
    const struct {
        const uint16_t* ignore;
        int count;
        float expected_x;
    } cases[] = {
        {nullptr, 0, 90.0f},
        {facing_along, 1, 90.0f},
        {facing_against, 1, 110.0f},
        {facing_against, 0, 90.0f},  // a count of 0 ignores nothing
    };
    for (const auto& c : cases) {
        const phys_contact_t* hit = process_->ray_cast({0, 0, 10}, {200, 0, 10}, nullptr, c.ignore, c.count, 0);
        ASSERT_NE(hit, nullptr);
        EXPECT_FLOAT_EQ(hit->position.x, c.expected_x);
    }
    // The front face's two triangles by id: the ray then leaves through the back.
    const phys_contact_t* front = process_->ray_cast({0, 0, 10}, {200, 0, 10}, nullptr, nullptr, 0, 0);
    ASSERT_NE(front, nullptr);
    uint16_t front_ids[] = {2, 3};
    const phys_contact_t* back = process_->ray_cast({0, 0, 10}, {200, 0, 10}, nullptr, front_ids, 2, 0);
    ASSERT_NE(back, nullptr);
    EXPECT_FLOAT_EQ(back->position.x, 110.0f);
}

TEST_F(ray_cast_test, a_geometry_without_bounds_is_kept_out_of_the_hash_but_offered_to_queries)
{
    unbounded_geo_t everywhere;
    insert(&everywhere);
    EXPECT_FALSE(process_->in_hash(&everywhere));
    EXPECT_EQ(process_->unbounded_geoms().count(), 1u);
    vptrlist_t<cd_geo_t*> found;
    EXPECT_TRUE(process_->query_box({5000, 0, 0}, {6000, 10, 10}, found, nullptr));
    ASSERT_EQ(found.count(), 1u);
    EXPECT_EQ(found.first()->value(), &everywhere);
    EXPECT_EQ(process_->ray_cast({0, 0, 0}, {100, 0, 0}, nullptr, nullptr, 0, 0), nullptr);
    remove(&everywhere);
}

TEST_F(ray_cast_test, box_query_takes_the_geometries_in_the_box_whatever_order_its_corners_come_in)
{
    cd_geo_box_t* near_box = wall({0, 0, 0}, {100, 100, 100});
    wall({1000, 0, 0}, {100, 100, 100});
    vptrlist_t<cd_geo_t*> found;
    EXPECT_TRUE(process_->query_box({120, 10, 10}, {45, -10, -10}, found, nullptr));
    ASSERT_EQ(found.count(), 1u);
    EXPECT_EQ(found.first()->value(), near_box);
    found.remove_all();
    EXPECT_FALSE(process_->query_box({95, -10, -10}, {120, 10, 10}, found, nullptr));
    const phys_pair_t none{[](uintptr_t, const cd_geo_t*, const cd_geo_t*) { return 0; }, 0};
    EXPECT_FALSE(process_->query_box({-10, -10, -10}, {10, 10, 10}, found, &none)) << "the filter has its say";
}

}  // namespace

#include <gtest/gtest.h>

#include <memory>

#include "physics/contact_filters.h"
#include "engine/entity_reg.h"
#include "../frame/frame_fixture.h"
#include "physics/cd_filter.h"
#include "physics/cd_geo_box.h"
#include "physics/contact_owner.h"

namespace {

// A geometry with no owner record.
constexpr int32_t no_owner = 1;
// The candidate is absent.
constexpr int32_t absent = 2;

class contact_filters_test : public world_test_t {
protected:
    // A box geometry whose owner record names `owner` with contact kind `kind`, or without a record
    // for `no_owner`.
    const cd_geo_t* geometry(int32_t kind, uint32_t owner = 1)
    {
        if (kind == absent)
            return nullptr;
        boxes_.push_back(std::make_unique<cd_geo_box_t>(vec3_t{1, 1, 1}, nullptr, 0, 0));
        cd_geo_t& box = *boxes_.back();
        if (kind != no_owner) {
            records_.push_back(std::make_unique<contact_owner_t>(contact_owner_t{owner, kind, 0.0f}));
            box.owner_record = records_.back().get();
        }
        return &box;
    }

    std::vector<std::unique_ptr<cd_geo_box_t>> boxes_;
    std::vector<std::unique_ptr<contact_owner_t>> records_;
};

struct pair_case_t {
    int32_t moving;
    int32_t candidate;
    int answer;
};

TEST_F(contact_filters_test, contact_pair_answers_by_the_kinds_of_both_geometries)
{
    const pair_case_t cases[] = {
        {-20, no_owner, phys_pair_solid}, {-20, -10, phys_pair_ignore},  {-20, -3, phys_pair_touch},
        {no_owner, -2, phys_pair_solid},  {absent, -2, phys_pair_solid}, {-10, -2, phys_pair_ignore},
        {-20, -2, phys_pair_solid},       {-3, -20, phys_pair_touch},    {-3, -2, phys_pair_touch},
        {-3, -200, phys_pair_solid},      {-3, absent, phys_pair_solid}, {-10, absent, phys_pair_ignore},
    };
    for (const pair_case_t& c : cases) {
        const cd_geo_t* moving = c.moving == absent ? nullptr : geometry(c.moving);
        EXPECT_EQ(filter_contact_pair(0, moving, geometry(c.candidate)), c.answer)
            << "moving " << c.moving << " candidate " << c.candidate;
    }
}

TEST_F(contact_filters_test, single_candidate_filters_answer_by_its_kind)
{
    struct case_t {
        int32_t candidate;
        int not_kicked_box;
        int world_ray;
    };
    const case_t cases[] = {
        {no_owner, phys_pair_solid, phys_pair_solid}, {-3, phys_pair_ignore, phys_pair_ignore},
        {-200, phys_pair_solid, phys_pair_solid},     {-2, phys_pair_solid, phys_pair_ignore},
        {-20, phys_pair_solid, phys_pair_ignore},     {5, phys_pair_solid, phys_pair_ignore},
    };
    for (const case_t& c : cases) {
        EXPECT_EQ(filter_not_kicked_box(0, nullptr, geometry(c.candidate)), c.not_kicked_box) << c.candidate;
        EXPECT_EQ(filter_world_ray(0, nullptr, geometry(c.candidate)), c.world_ray) << c.candidate;
    }
    // A non-zero user word makes the world ray ignore everything.
    EXPECT_EQ(filter_world_ray(1, nullptr, geometry(-200)), phys_pair_ignore);
    EXPECT_EQ(world_ray_filter.function, &filter_world_ray);
    EXPECT_EQ(world_ray_filter.user, 0u);
}

TEST_F(contact_filters_test, entity_solid_asks_the_object_filter_about_the_owner)
{
    entity_t* owner = entity_create("test.object");
    ASSERT_NE(owner, nullptr);
    owner->entity_flags = 0x80;
    cd_filter_t filter;
    filter.add_rule(0x80, 0, false);  // ignore objects with type bit 0x80
    const auto user = reinterpret_cast<uintptr_t>(&filter);
    const uint32_t handle = owner->handle().word();

    EXPECT_EQ(filter_entity_solid(user, nullptr, geometry(no_owner)), phys_pair_solid);
    EXPECT_EQ(filter_entity_solid(user, nullptr, geometry(-3, handle)), phys_pair_ignore);
    EXPECT_EQ(filter_entity_solid(user, nullptr, geometry(-2, handle)), phys_pair_ignore);
    owner->entity_flags = 0;
    EXPECT_EQ(filter_entity_solid(user, nullptr, geometry(-2, handle)), phys_pair_solid);
    // A handle that no longer resolves is asked as no entity: the default answer, react.
    entity_free(owner);
    EXPECT_EQ(filter_entity_solid(user, nullptr, geometry(-2, handle)), phys_pair_solid);
}

}  // namespace

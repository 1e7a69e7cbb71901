#include "road/box_pool.h"

#include <memory>
#include <vector>

#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "road_fixture.h"

namespace {

using box_pool_test = road_test_t;

// A loose instance at `position` with one box of size (10, 20, 1) centred (0, 1, 0) up.
std::unique_ptr<loose_instance_t> instance_at(const vec3_t& position)
{
    auto instance = std::make_unique<loose_instance_t>();
    instance->position = position;
    instance->boxes[0] = vec3_t(10.0f, 20.0f, 1.0f);
    instance->box_centres[0] = vec3_t(0.0f, 1.0f, 0.0f);
    return instance;
}

TEST_F(box_pool_test, boxes_go_to_the_loose_instances_nearest_the_truck_one_per_frame)
{
    box_pool_t pool;
    pool.create(nullptr, entity_handle_t{}, nullptr);
    std::vector<std::unique_ptr<loose_instance_t>> owned;
    std::vector<loose_instance_t*> list;
    for (int i = 0; i < box_pool_size; ++i) {
        owned.push_back(instance_at(vec3_t(10000.0f + 100.0f * static_cast<float>(i), 0.0f, 0.0f)));
        list.push_back(owned.back().get());
    }
    const vec3_t truck{};
    for (int frame = 0; frame < box_pool_size; ++frame)
        pool.update(list, truck, 0.0f);
    for (int i = 0; i < box_pool_size; ++i) {
        EXPECT_EQ(list[static_cast<size_t>(i)]->box, i);
        EXPECT_TRUE(list[static_cast<size_t>(i)]->flags & loose_carried);
    }
    EXPECT_EQ(pool.entry(3).position, vec3_t(10300.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(pool.entry(3).body->mass, 20.0f * vec3_t(500.0f, 400.0f, 5.0f).length());

    // A later instance as far as the farthest box takes none; a nearer one takes the first box that
    // stands farther from the truck than itself, and the instance it carried lets go.
    owned.push_back(instance_at(vec3_t(0.0f, 1.0f, 11500.0f)));
    owned.push_back(instance_at(vec3_t(5000.0f, 0.0f, 0.0f)));
    loose_instance_t* const same = owned[owned.size() - 2].get();
    loose_instance_t* const nearer = owned.back().get();
    std::vector<loose_instance_t*> later = {same, nearer};
    pool.update(later, truck, 0.0f);  // the cursor ran off the end of the old list
    pool.update(later, truck, 0.0f);
    EXPECT_EQ(same->box, -1);
    pool.update(later, truck, 0.0f);
    EXPECT_EQ(nearer->box, 0);
    EXPECT_EQ(list[0]->box, -1);
    EXPECT_FALSE(list[0]->flags & loose_carried);

    // The debug view draws the twelve edges of each box.
    EXPECT_EQ(pool.debug_draw(), 12 * box_pool_size);

    // A freed segment gives its box back.
    pool.give_back(*nearer);
    EXPECT_EQ(nearer->body, nullptr);
    EXPECT_EQ(pool.entry(0).carried, nullptr);
    EXPECT_EQ(pool.entry(0).position, vec3_t{});
    pool.destroy();
    EXPECT_EQ(list[1]->box, -1);
}

}  // namespace

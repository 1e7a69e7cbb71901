#include <gtest/gtest.h>

#include <string>

#include "engine/evalue.h"
#include "engine_testing/engine_test.h"
#include "common/object_e.h"

namespace {

class object_e_test : public engine_test_t {};

TEST_F(object_e_test, starts_with_its_defaults)
{
    object_e object;
    EXPECT_STREQ(object.name(), "object_e");
    EXPECT_EQ(object.volume, 1.0f);
    EXPECT_EQ(object.rotation, (vec3_t{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(object.position, vec3_t{});
    EXPECT_FALSE(object.useable);
    EXPECT_EQ(object.object_mode, 3u);
    EXPECT_EQ(object.object_reals[0], 240.0f);
    EXPECT_EQ(object.object_reals[5], 120.0f);
}

TEST_F(object_e_test, editable_values_are_listed_in_order_and_set_by_name)
{
    object_e object;
    std::string names;
    for (const evalue_def_t* def = object.get_evalue_root(); def; def = def->next)
        names += std::string(def->name) + " ";
    EXPECT_EQ(names, "useable rotation position volume ");

    EXPECT_TRUE(evalue_set(&object, "position", 0, "1 2 3"));
    EXPECT_TRUE(evalue_set(&object, "volume", 0, "0.5"));
    EXPECT_TRUE(evalue_set(&object, "useable", 0, "true"));
    EXPECT_EQ(object.position, (vec3_t{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(object.volume, 0.5f);
    EXPECT_TRUE(object.useable);
}

TEST_F(object_e_test, phase_minus_ten_starts_the_previous_position_at_the_position)
{
    object_e object;
    object.position = vec3_t{4.0f, 5.0f, 6.0f};
    EXPECT_EQ(object.init(10), 0);
    EXPECT_EQ(object.previous_position, vec3_t{});
    EXPECT_EQ(object.init(-10), 0);
    EXPECT_EQ(object.previous_position, object.position);
    EXPECT_EQ(object.get_init_list()->levels(), (std::vector<int>{-10, 0, 10}));
}

TEST_F(object_e_test, world_frame_places_the_origin_at_the_position)
{
    object_e object;
    object.position = vec3_t{10.0f, 0.0f, -5.0f};
    mat4_t matrix, inverse;
    object.get_world_axial(matrix, inverse);
    EXPECT_EQ(mult_zero_matrix(matrix), object.position);
    const vec3_t back = mult_zero_matrix(inverse * matrix);
    EXPECT_NEAR(back[0], 0.0f, 1e-5);
}

TEST_F(object_e_test, local_offset_applies_to_the_next_frame_only)
{
    object_e object;
    object.position = vec3_t{1.0f, 0.0f, 0.0f};
    axial_t offset;
    offset.translate(vec3_t{0.0f, 2.0f, 0.0f});
    object.set_local_offset(offset);

    mat4_t first, first_inverse, second, second_inverse;
    object.get_world_axial(first, first_inverse);
    object.get_world_axial(second, second_inverse);
    EXPECT_EQ(mult_zero_matrix(first), (vec3_t{1.0f, 2.0f, 0.0f}));
    EXPECT_EQ(mult_zero_matrix(second), (vec3_t{1.0f, 0.0f, 0.0f}));
}

}  // namespace

#include "editor_fixture.h"
#include "road/seg_server.h"

namespace {

// A Road whose sides lie on ground shader 0, and two stamp templates: 3 rows by 2 columns, and 1 by 1.
class stamps : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        edge = road(node(0.0f, 0.0f), node(8000.0f, 0.0f));
        ctrl.edges[edge].sides[0].terrain = ctrl.edges[edge].sides[1].terrain = 0;
        ctrl.seg_server->brushes.resize(2);
        ctrl.seg_server->brushes[0].width = 3;
        ctrl.seg_server->brushes[0].height = 2;
        ctrl.seg_server->brushes[1].width = ctrl.seg_server->brushes[1].height = 1;
        ctrl.stamp_definition = 0;
        ctrl.stamp_shader = 4;
    }
    // Places (or removes) the brush's stamp at (row, column) as a press over that cell does.
    bool at(int32_t row, int32_t column, bool remove = false)
    {
        ctrl.stamp_cell.found = true;
        ctrl.stamp_cell.edge = edge;
        ctrl.stamp_cell.row = row;
        ctrl.stamp_cell.column = column;
        return ctrl.check_stamps(remove);
    }
    const map_stamp_t& slot(int32_t s) { return ctrl.stamps[ctrl.edges[edge].stamp + s]; }

    int32_t edge = -1;
};

TEST_F(stamps, a_stamp_is_refused_where_it_would_overlap_one_on_its_side_and_nowhere_else)
{
    ASSERT_TRUE(at(5, 2));
    EXPECT_EQ(slot(0).brush, 0);
    EXPECT_EQ(slot(0).shader, 4);
    EXPECT_EQ(slot(1).brush, -1) << "the group of four was made with the first stamp";
    struct case_t {
        int32_t row, column;
        bool placed;
        const char* why;
    };
    // The stamp at (5, 2) covers rows 4 to 6 and columns 1 and 2.
    const case_t cases[] = {
        {6, 3, false, "rows and columns overlap on the same side"},
        {5, -2, true, "the other side of the road"},
        {8, 2, true, "rows 7 to 9 are clear of it"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(at(c.row, c.column), c.placed);
    }
    EXPECT_TRUE(engine_log_has("Stamps are too close !"));
    // A 1-by-1 stamp in column 0 lies on neither side: it meets no stamp.
    ctrl.stamp_definition = 1;
    EXPECT_TRUE(at(5, 0));
    // Placing again on a stamp's own cell takes its record and is not tested against itself.
    ctrl.stamp_definition = 0;
    ctrl.stamp_shader = 6;
    EXPECT_TRUE(at(5, 2));
    EXPECT_EQ(slot(0).shader, 6);
    EXPECT_EQ(ctrl.stamps.count, 4);
}

TEST_F(stamps, the_sides_own_shader_a_full_group_and_an_empty_cell_change_nothing)
{
    ctrl.edges[edge].sides[0].terrain = 4;
    EXPECT_FALSE(at(5, -3)) << "the second side's ground is already shader 4";
    EXPECT_TRUE(engine_log_has("This stamp has same shader as background !"));
    EXPECT_EQ(ctrl.edges[edge].stamp, 0) << "the group made for it stays";
    EXPECT_EQ(slot(0).brush, -1);

    for (int32_t row = 0; row < 4; ++row)
        ASSERT_TRUE(at(row * 10, 3));
    const map_stamp_t fourth = slot(3);
    EXPECT_FALSE(at(50, 3)) << "a fifth stamp does not take the place of the fourth";
    EXPECT_EQ(slot(3).row, fourth.row);
    EXPECT_EQ(slot(3).brush, 0);
    EXPECT_FALSE(at(60, 3, true)) << "no stamp there: none is removed";
    for (int32_t s = 0; s < 4; ++s)
        EXPECT_NE(slot(s).brush, -1) << s;
    EXPECT_TRUE(at(10, 3, true));
    EXPECT_EQ(slot(1).brush, -1);
    EXPECT_EQ(slot(1).shader, -1);
    EXPECT_TRUE(at(50, 3)) << "the freed record takes the next stamp";
    EXPECT_EQ(slot(1).row, 50);
}

TEST_F(stamps, a_point_on_a_cells_side_or_corner_is_in_it_by_the_crossing_count)
{
    const vec3_t quad[4] = {{0.0f, 0.0f, 0.0f}, {400.0f, 0.0f, 0.0f}, {400.0f, 0.0f, 300.0f}, {0.0f, 0.0f, 300.0f}};
    struct case_t {
        float x, z;
        bool inside;
    };
    const case_t cases[] = {
        {200.0f, 150.0f, true},  {200.0f, 0.0f, true},   {200.0f, 300.0f, true},
        {450.0f, 150.0f, false}, {200.0f, -1.0f, false}, {-10.0f, 150.0f, false},
    };
    for (const case_t& c : cases) {
        ctrl.pointer.ground = vec3_t(c.x, 0.0f, c.z);
        EXPECT_EQ(ctrl.point_in_ground_quad(quad), c.inside) << c.x << ", " << c.z;
    }
}

}  // namespace

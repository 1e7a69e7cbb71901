#pragma once
#include <vector>

#include "flat_road.h"
#include "road/base_ctrl.h"
#include "road_fixture.h"

// A map controller that counts what its render slots tell it.
class counting_ctrl_e : public base_ctrl_e {
public:
    void on_segment_built(int32_t edge) override { built.push_back(edge); }
    void on_segment_freed(int32_t edge) override { freed.push_back(edge); }
    void on_instance_placed(board_instance_t& board) override
    {
        base_ctrl_e::on_instance_placed(board);
        placed_boards.push_back(board.sign);
    }
    void on_instance_removed(board_instance_t& board) override
    {
        base_ctrl_e::on_instance_removed(board);
        removed_boards.push_back(board.sign);
    }
    std::vector<int32_t> built;
    std::vector<int32_t> freed;
    // The sign records of the boards placed and removed, in order.
    std::vector<int32_t> placed_boards;
    std::vector<int32_t> removed_boards;
};

// A road test with a controller of a few render slots, a segment server holding one flat road
// definition (800 wide, 1000 long, its collision piece the same quad) and helpers to lay edges.
class road_geometry_test_t : public road_test_t {
protected:
    static constexpr float half_width = flat_road::half_width;
    static constexpr float def_length = flat_road::def_length;

    void SetUp() override
    {
        road_test_t::SetUp();
        ctrl.segment_slot_count = 4;
        ctrl.seg_server = new seg_server_t;
        ASSERT_EQ(ctrl.init(-10), 0);
        ASSERT_EQ(ctrl.init(0), 0);
        add_flat_road_def();
    }

    void TearDown() override
    {
        ctrl.destroy(0);
        ctrl.destroy(10);
        road_test_t::TearDown();
    }

    // The flat road's definition, its triangles of surface word 7.
    void add_flat_road_def() { ASSERT_TRUE(flat_road::add_def(*ctrl.seg_server)); }

    // Railing 0: a barrier 80 high standing on the road's edge, with begin and end pieces of the same
    // shape; render and collision pieces alike.
    void add_railing()
    {
        const vec3_t positions[4] = {{0, 0, 0}, {0, 80, 0}, {0, 0, def_length}, {0, 80, def_length}};
        const vec3_t normals[4] = {{-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
        psm_part_t part{};
        part.name = "rail";
        part.vertex_count = 4;
        part.positions = positions;
        part.normals = normals;
        part.uvs = uvs;
        part.index_count = 6;
        part.indices = indices;
        railing_def_t railing;
        for (int32_t piece = 0; piece < railing_pieces; ++piece) {
            ASSERT_TRUE(road_section_import(part, {true, true, false, false, true, true, 0.0f}, railing.render[piece],
                                            "rail", "rail"));
            ASSERT_TRUE(road_section_import(part, {false, false, false, false, true, false, 0.0f},
                                            railing.collision[piece], "rail", "rail"));
        }
        railing.max_v = 1.0f;
        ctrl.seg_server->railings.push_back(railing);
    }

    // A node at `position` heading along `direction`.
    int32_t node(const vec3_t& position, const vec3_t& direction) { return flat_road::node(ctrl, position, direction); }

    // A straight Road edge from `from` to `to` along -z or wherever they lie, with strips of
    // `first_width` and `second_width` cells; linked to its nodes.
    int32_t road_edge(const vec3_t& from, const vec3_t& to, int32_t first_width = 2, int32_t second_width = 3)
    {
        return flat_road::edge(ctrl, from, to, first_width, second_width);
    }

    // A five-axis box around `centre` reaching `reach` on every side.
    static cd_bounds_t box_at(const vec3_t& centre, float reach)
    {
        const float low[3] = {centre.x - reach, centre.y - reach, centre.z - reach};
        const float high[3] = {centre.x + reach, centre.y + reach, centre.z + reach};
        cd_bounds_t box;
        box.set_empty();
        box.add_box(low, high);
        return box;
    }

    counting_ctrl_e ctrl;
};

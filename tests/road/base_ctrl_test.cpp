#include "road/base_ctrl.h"

#include <filesystem>
#include <vector>

#include "map_sample.h"
#include "road/noise.h"
#include "road_fixture.h"

namespace {

// A controller that remembers where its movers were placed.
class recording_ctrl_e : public base_ctrl_e {
public:
    void on_mover_moved(map_miscitem_t&, const mover_pose_t& pose) override { placed.push_back(pose.position); }
    std::vector<vec3_t> placed;
};

using base_ctrl_test = road_test_t;

TEST_F(base_ctrl_test, init_and_destroy_phases_hold_the_arrays_and_the_noise)
{
    EXPECT_EQ(base_ctrl_e::base_ctrl_init_list.levels(), (std::vector<int>{-10, 0, 10}));
    EXPECT_EQ(base_ctrl_e::base_ctrl_destroy_list.levels(), (std::vector<int>{0, 10}));
    {
        base_ctrl_e first;
        base_ctrl_e second;
        for (base_ctrl_e* ctrl : {&first, &second}) {
            ASSERT_EQ(ctrl->init(-10), 0);
            ASSERT_EQ(ctrl->init(0), 0);
        }
        EXPECT_EQ(first.nodes.capacity, 64);
        EXPECT_EQ(first.nodes.data[-1].links[0], 0);
        EXPECT_EQ(noise_users, 2);
        first.destroy(0);
        EXPECT_EQ(first.nodes.data, nullptr);
        EXPECT_NE(noise_table, nullptr);
    }
    // The second controller never ran its destroy phases: its destructor still gives its use back.
    EXPECT_EQ(noise_users, 0);
    EXPECT_EQ(noise_table, nullptr);
}

TEST_F(base_ctrl_test, a_map_is_loaded_saved_and_replaced_through_the_controller)
{
    std::filesystem::create_directories(home_ / "maps");
    road_network_t sample;
    make_sample_network(sample);
    ASSERT_GT(map_file_save(sample, "/maps/a.mbd"), 0);

    base_ctrl_e ctrl;
    ASSERT_EQ(ctrl.init(-10), 0);
    ASSERT_EQ(ctrl.load_map("/maps/a.mbd", nullptr), static_cast<int32_t>(map_file_size(sample)));
    EXPECT_EQ(ctrl.edges.count, 2);
    vec3_t start;
    quat_t rotation(1.0f, 0.0f, 0.0f, 0.0f);
    ctrl.get_start_pos(start, rotation);
    EXPECT_EQ(start, vec3_t(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(rotation, quat_t{});
    EXPECT_EQ(ctrl.save_map("/maps/b.mbd"), static_cast<int32_t>(map_file_size(sample)));

    ctrl.activate_miscitem(ctrl.miscitems[0]);
    ctrl.release_segments();
    EXPECT_EQ(ctrl.nodes.count, 0);
    EXPECT_EQ(ctrl.semaphore_count, 0);
    EXPECT_TRUE(ctrl.active_list(base_ctrl_movers).is_empty());
    EXPECT_EQ(ctrl.load_map("/maps/b.mbd", nullptr), static_cast<int32_t>(map_file_size(sample)));
    EXPECT_EQ(ctrl.nodes.count, 2);
    ctrl.destroy(0);
}

TEST_F(base_ctrl_test, active_movers_move_each_frame_and_activate_once)
{
    recording_ctrl_e ctrl;
    ASSERT_EQ(ctrl.init(-10), 0);
    map_miscitem_t& mover = ctrl.miscitems[ctrl.add_miscitem()];
    mover.type = map_misc_mover;
    mover.points[1] = vec3_t(1000.0f, 0.0f, 0.0f);
    mover.params[0] = 500000;
    mover.flags = 1;
    mover.instance = 42;
    ctrl.activate_miscitem(mover);
    ctrl.activate_miscitem(mover);
    map_miscitem_t stranger{};
    ctrl.activate_miscitem(stranger);
    EXPECT_EQ(ctrl.active_list(base_ctrl_movers).count(), 1u);
    EXPECT_EQ(mover.instance, 0u);
    EXPECT_NE(mover.active, 0u);

    ctrl.update_movers(0.5f);
    ctrl.update_movers(0.5f);
    ASSERT_EQ(ctrl.placed.size(), 2u);
    EXPECT_FLOAT_EQ(ctrl.placed[0].x, 250.0f);
    EXPECT_FLOAT_EQ(ctrl.placed[1].x, 500.0f);
    ctrl.destroy(0);
}

TEST_F(base_ctrl_test, a_mover_shows_its_model_where_it_moves_until_it_leaves_the_view)
{
    recording_ctrl_e ctrl;
    ctrl.seg_server = new seg_server_t;
    ctrl.seg_server->freeitem_models.resize(1);
    ASSERT_EQ(ctrl.init(-10), 0);
    map_miscitem_t& mover = ctrl.miscitems[ctrl.add_miscitem()];
    mover.type = map_misc_mover;
    mover.points[1] = vec3_t(1000.0f, 0.0f, 0.0f);
    mover.params[0] = 500000;
    mover.flags = 1;
    mover.bounds.set_empty();
    mover.bounds.add_point(0.0f, 0.0f, 0.0f);
    mover.bounds.add_point(1000.0f, 0.0f, 0.0f);
    map_miscitem_t& broken = ctrl.miscitems[ctrl.add_miscitem()];
    broken = mover;
    broken.model_words[0] = 7;
    ctrl.activate_miscitem(ctrl.miscitems[0]);
    ctrl.activate_miscitem(ctrl.miscitems[1]);

    ctrl.update_movers(0.5f);
    const mover_instance_t* model = ctrl.seg_server->mover_of(ctrl.miscitems[0].instance);
    ASSERT_NE(model, nullptr);
    EXPECT_FLOAT_EQ(model->position.x, 250.0f);
    ctrl.update_movers(0.5f);
    EXPECT_FLOAT_EQ(model->position.x, 500.0f);
    // A model the server does not hold is reported once; its mover runs on without one.
    ctrl.update_movers(0.5f);
    EXPECT_EQ(ctrl.miscitems[1].instance, mover_refused);
    EXPECT_EQ(engine_log_matching("Mover of free-item model 7").size(), 1u);
    EXPECT_EQ(ctrl.placed.size(), 6u);

    // Out of the view the mover and its model go; back in view it gets a new one.
    cd_bounds_t far_away;
    far_away.set_empty();
    far_away.add_point(90000.0f, 0.0f, 90000.0f);
    ctrl.draw_roads(far_away);
    EXPECT_EQ(ctrl.miscitems[0].instance, 0u);
    EXPECT_EQ(ctrl.seg_server->movers.count(), 0u);
    ctrl.activate_miscitem(ctrl.miscitems[0]);
    ctrl.update_movers(0.5f);
    EXPECT_EQ(ctrl.seg_server->movers.count(), 1u);
    ctrl.destroy(0);
    ctrl.destroy(10);
}

}  // namespace

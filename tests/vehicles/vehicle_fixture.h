#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../frame/frame_fixture.h"
#include "../physics/grid_mesh.h"
#include "engine/host.h"
#include "engine/process.h"
#include "engine/vfs.h"
#include "common/bridge_parts.h"
#include "frame/world_process.h"
#include "physics/phys_body.h"
#include "vehicles/body/car_truck.h"
#include "world/car_smoke.h"

// A truck that keeps its pager's messages, as the player's truck would show them.
class test_truck_e : public car_truck_e, public pager_owner_t {
public:
    void pager_message(const char* text, int) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

// A world process with a flat ground of 4 x 200 cells of 10 m (x 0..40 m, z 0..2 km) in its physics.
// Vehicles are made, initialised and inserted by `add`; the fixture destroys them before the world.
class vehicle_test_t : public world_test_t {
protected:
    static constexpr float dt = 0.02f;

    vehicle_test_t() = default;
    // A wider flat ground: `cells_x` x `cells_z` cells of 10 m from the origin.
    vehicle_test_t(int cells_x, int cells_z) : ground_{cells_x, cells_z, 1000.0f, 1.0f, 4} {}

    void SetUp() override
    {
        world_test_t::SetUp();
        if (sample_data()) {
            host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
            engine_reset();
            ASSERT_TRUE(vfs_init_from_host());
            ASSERT_TRUE(bind_engine_for_tests());
        }
        // The trucks make their smoke emitters by type name.
        static const entity_reg_t smoke_record{"particle.car_smoke", 1, {0, 0, 0}, sizeof(car_smoke_e), smoke_create,
                                               smoke_destroy};
        if (!entity_find_type("particle.car_smoke"))
            entity_register(&smoke_record);
        world_ = new world_process_t;
        process_add(world_, nullptr, -1, 0);
        world_->lock();
        world_->physics().insert_geom(&ground_);
    }
    void TearDown() override
    {
        for (auto it = vehicles_.rbegin(); it != vehicles_.rend(); ++it) {
            entity_t* const vehicle = it->get();
            for (const int phase : vehicle->get_destroy_list()->levels())
                vehicle->destroy(phase);
            world_->entity_remove(vehicle);
        }
        vehicles_.clear();
        world_->physics().remove_geom(&ground_);
        world_->teardown();
        world_->unlock();
        world_test_t::TearDown();
    }

    static entity_t* smoke_create(void* memory)
    {
        if (!memory)
            memory = mem_sys_alloc(sizeof(car_smoke_e));
        return memory ? new (memory) car_smoke_e : nullptr;
    }
    static void smoke_destroy(entity_t* object, bool in_place)
    {
        object->~entity_t();
        if (!in_place)
            mem_sys_free(object);
    }

    // True for a world on the sample game's data (its makes, definitions and scripts) instead of the
    // test's own data root.
    virtual bool sample_data() const { return false; }

    // A vehicle initialised through its phases and living in the world.
    template <typename vehicle_t> vehicle_t* add(std::unique_ptr<vehicle_t> vehicle)
    {
        vehicle_t* const made = vehicle.get();
        world_->entity_insert(made);
        for (const int phase : made->get_init_list()->levels())
            EXPECT_EQ(made->init(phase), 0);
        vehicles_.push_back(std::move(vehicle));
        return made;
    }

    // A truck with the figures a make gives (a 4 m wheelbase, 2.4 m track, six gears from 12 down to 2.5, power 80),
    // its engine running, its body built at `where` and dropped onto the ground.
    template <typename truck_t = test_truck_e> truck_t* truck_at(const vec3_t& where)
    {
        truck_t* const truck = add(std::make_unique<truck_t>());
        truck->size = {160.0f, 100.0f, 400.0f};
        truck->wheel_offset = 1.3f * 400.0f;
        truck->box_length = 700.0f;
        truck->cabin_measures[0] = 200.0f;
        truck->brake_strength = 800.0f;
        truck->gear_count = 6;
        const float ratios[] = {10.0f, 12.0f, 8.0f, 5.5f, 4.0f, 3.0f, 2.5f};
        for (int i = 0; i < 7; ++i)
            truck->ratios[i] = ratios[i];
        truck->gear = truck->selected_gear = 1;
        truck->current_ratio = truck->ratios[1];
        truck->power = 80.0f;
        truck->fill_torque_table();
        truck->tank = 100.0f;
        truck->engine_state = car_truck_e::engine_running;
        truck->air_pressure = 100.0f;
        truck->is_player = 1;
        truck->position = where;
        truck->create_body(0);
        for (int i = 0; i < 4; ++i)
            truck->wheels[i].ray_point = truck->wheels[i].force_point;
        truck->rear_ray_points[0] = truck->wheels[2].force_point;
        truck->rear_ray_points[1] = truck->wheels[3].force_point;
        EXPECT_TRUE(truck->place_on_ground(0));
        truck->reference_position = truck->get_position();
        return truck;
    }

    // Runs `frames` frames of `dt`: one physics step and the handlers each.
    void run(int frames)
    {
        for (int i = 0; i < frames; ++i)
            process_run_frame(dt);
    }
    void run_seconds(float seconds) { run(static_cast<int>(seconds / dt + 0.5f)); }

    // Forward speed of a vehicle along its own -Z, cm/s.
    static float forward_speed(const car_phys_e& vehicle)
    {
        return -vehicle.vector_to_local(vehicle.body->current->linear_velocity).z;
    }

    grid_mesh_t ground_{4, 200, 1000.0f, 1.0f, 4};
    world_process_t* world_ = nullptr;
    std::vector<std::unique_ptr<entity_t>> vehicles_;
};

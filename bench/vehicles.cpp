// The step cost of N trucks, each towing a trailer, on a flat road mesh: our vehicles (ray-cast wheels
// on springs, the force model, the kinematic hitch) in our physics process, against Bullet's
// btRaycastVehicle pairs joined by a point constraint in a btDiscreteDynamicsWorld on the same mesh.
// One iteration is one 0.02 s step of every vehicle. Bullet's vehicle reads its suspension travel in
// metres ("Cm" values divided by 100), so its world is in metres: it reads the same road arrays scaled
// by 0.01. Both sides must ride on their wheels and move: the bench refuses a run whose rigs lie on the
// road, fall through it or stand still.
#include <benchmark/benchmark.h>

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/mem.h"
#include "physics/contact_filters.h"
#include "common/engine_api.h"
#include "physics/scene_proc.h"
#include "physics/bv_tree.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/body/car_truck.h"

namespace {

constexpr int cells_x = 100, cells_z = 300;  // cells of 1 m: a road 100 m wide and 300 m long
constexpr float cell_size = 100.0f;
constexpr float step_seconds = 0.02f;
constexpr float lane_spacing = 560.0f, row_spacing = 3000.0f, first_lane = 700.0f;
constexpr int lanes = 16;  // the last lane's rig stays 9 m inside the road's 100 m
constexpr float metres = 0.01f;
// Bullet's trucks drive at the engine force below this forward speed and coast above it, as a truck
// held at a cruise speed would; the speed is the one our trucks reach at 0.4 throttle on this road.
constexpr float cruise_speed = 29.0f, engine_force = 9000.0f;
// A rig that passes this z is put back this far, so the vehicles never leave the road.
constexpr float wrap_below = 2000.0f, wrap_by = 24000.0f;

// The road's corners and triangles (centimetres), shared by both sides.
struct road_mesh_t {
    road_mesh_t()
    {
        for (int z = 0; z <= cells_z; ++z)
            for (int x = 0; x <= cells_x; ++x)
                points.emplace_back(x * cell_size, 0.0f, z * cell_size);
        for (int z = 0; z < cells_z; ++z)
            for (int x = 0; x < cells_x; ++x) {
                const int i = z * (cells_x + 1) + x;
                triangles.push_back({i, i + cells_x + 1, i + 1});
                triangles.push_back({i + 1, i + cells_x + 1, i + cells_x + 2});
            }
    }
    std::vector<vec3_t> points;
    std::vector<std::array<int, 3>> triangles;
};

const road_mesh_t& road()
{
    static const road_mesh_t mesh;
    return mesh;
}

// Where rig i starts: its truck's centre.
vec3_t rig_start(int i)
{
    return {first_lane + (i % lanes) * lane_spacing, 130.0f, 28000.0f - (i / lanes) * row_spacing};
}

// What the rigs of one side do at the end of a run: the share of the trucks' wheels on the ground,
// the trucks' mean height over the road (m) and mean horizontal speed (m/s).
struct ride_t {
    float wheels_down = 0.0f;
    float height = 0.0f;
    float speed = 0.0f;
    // Why these figures are no ride on wheels, or null when they are.
    const char* fault() const
    {
        if (wheels_down < 0.75f)
            return "the trucks' wheels are off the road";
        if (height < 0.3f || height > 3.0f)
            return "the trucks' chassis are not at riding height";
        if (speed < 1.0f)
            return "the trucks do not move";
        return nullptr;
    }
};

// The road as a collision geometry of ours.
class road_geo_t : public cd_geo_t {
public:
    road_geo_t()
    {
        const road_mesh_t& mesh = road();
        cd_bvtree_t builder(512, 128);
        builder.set_callbacks(this, 0.0f, 2, nullptr, nullptr, nullptr);
        for (size_t t = 0; t < mesh.triangles.size(); ++t) {
            const vec3_t& a = mesh.points[mesh.triangles[t][0]];
            const vec3_t& b = mesh.points[mesh.triangles[t][1]];
            const vec3_t& c = mesh.points[mesh.triangles[t][2]];
            cd_bvitem_t* const item = builder.add_item();
            item->id = static_cast<uint32_t>(t);
            item->centre = (a + b + c) / 3.0f;
            item->minimum = {std::min({a.x, b.x, c.x}), 0.0f, std::min({a.z, b.z, c.z})};
            item->maximum = {std::max({a.x, b.x, c.x}), 0.0f, std::max({a.z, b.z, c.z})};
        }
        size_t size = 0;
        root_ = builder.build(&size, &block_);
        if (root_) {
            cd_bvnode_t bounds;
            derive_bounds(*root_, bounds, sphere_);
        }
    }
    ~road_geo_t() override { mem_sys_free(block_); }
    cd_bvnode_t* get_tree(uint32_t* handle) override
    {
        *handle = 0;
        return root_;
    }
    void release_tree(uint32_t) override {}
    void get_item(cd_item_t& item, int) override
    {
        const road_mesh_t& mesh = road();
        item.kind = cd_item_t::kind_triangle;
        const std::array<int, 3>& t = mesh.triangles.at(item.id);
        if (item.request & cd_item_t::request_vertices) {
            for (int k = 0; k < 3; ++k)
                item.vertex[k] = &mesh.points[t[k]];
            item.vertex_count = 3;
        }
        if (item.request & cd_item_t::request_plane)
            item.plane = {0.0f, 1.0f, 0.0f, 0.0f};
        if (item.request & cd_item_t::request_bounds) {
            item.bounds.set_triangle(mesh.points[t[0]], mesh.points[t[1]], mesh.points[t[2]]);
        }
        item.request &= ~static_cast<uint32_t>(cd_item_t::request_material | cd_item_t::request_user);
    }
    void set_rotation(quat_t) override {}
    const cd_bvnode_t* get_bounds() override { return root_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

private:
    cd_bvnode_t* root_ = nullptr;
    void* block_ = nullptr;
    cd_sphere_t sphere_;
};

// N of our trucks with trailers in a scene with the road.
class our_rigs_t {
public:
    explicit our_rigs_t(int count)
    {
        bind_engine_for_tests();
        scene_ = new scene_proc_t;
        scene_->physics().set_pair(contact_pair_filter);
        scene_->physics().insert_geom(&road_);
        for (int i = 0; i < count; ++i)
            add_rig(rig_start(i));
    }
    ~our_rigs_t()
    {
        for (auto it = objects_.rbegin(); it != objects_.rend(); ++it) {
            (*it)->destroy(0);
            scene_->entity_remove(it->get());
        }
        objects_.clear();
        scene_->physics().remove_geom(&road_);
        delete scene_;
    }
    void step()
    {
        for (size_t i = 0; i < trucks_.size(); ++i) {
            car_truck_e& truck = *trucks_[i];
            truck.engine_update(step_seconds);
            if (truck.get_position().z < wrap_below) {
                const vec3_t back{0.0f, 0.0f, wrap_by};
                truck.set_transform(truck.get_position() + back, truck.get_orientation());
                trailers_[i]->place_at(trailers_[i]->get_position() + back, trailers_[i]->get_orientation());
            }
        }
        scene_->physics().step(step_seconds);
    }
    ride_t ride() const
    {
        ride_t ride;
        for (const car_truck_e* truck : trucks_) {
            ride.wheels_down += truck->wheels_in_contact / 4.0f;
            ride.height += truck->get_position().y * metres;
            const phys_body_t* const body = truck->geometry ? truck->geometry->body : nullptr;
            const vec3_t velocity = body && body->current ? body->current->linear_velocity : vec3_t();
            ride.speed += std::hypot(velocity.x, velocity.z) * metres;
        }
        const float count = static_cast<float>(std::max<size_t>(trucks_.size(), 1));
        return {ride.wheels_down / count, ride.height / count, ride.speed / count};
    }

private:
    void add_rig(const vec3_t& at)
    {
        // Trucks of the figures of the sample makes at 0.4 throttle, trailers of the box van's.
        auto trailer = std::make_unique<car_trailor_e>();
        scene_->entity_insert(trailer.get());
        trailer->car_phys_e::init(0);
        trailer->kingpin_local = {0.0f, 20.0f, -520.0f};
        trailer->box_length = 1200.0f;
        trailer->size.x = 250.0f;
        for (int i = 2; i < 4; ++i)
            trailer->wheels[i].ray_point = {i == 2 ? -105.0f : 105.0f, -50.0f, 450.0f};
        trailer->position = at + vec3_t{0.0f, 40.0f, 520.0f};
        trailer->create_body(0);
        trailer->set_contact_kind();

        auto truck = std::make_unique<car_truck_e>();
        scene_->entity_insert(truck.get());
        truck->car_phys_e::init(0);
        truck->size = {300.0f, 100.0f, 400.0f};
        truck->wheel_offset = 1.3f * 400.0f;
        truck->box_length = 700.0f;
        truck->cabin_measures[0] = 220.0f;
        truck->brake_strength = 800.0f;
        truck->gear_count = 6;
        const float ratios[] = {10.0f, 12.0f, 8.0f, 5.5f, 4.0f, 3.0f, 2.5f};
        std::copy(std::begin(ratios), std::end(ratios), truck->ratios);
        truck->gear = truck->selected_gear = 1;
        truck->current_ratio = truck->ratios[1];
        truck->power = 55.0f;
        truck->fill_torque_table();
        truck->engine_state = car_truck_e::engine_running;
        truck->air_pressure = 100.0f;
        truck->controls.throttle = 0.4f;
        truck->position = at;
        truck->create_body(0);
        for (int i = 0; i < 4; ++i)
            truck->wheels[i].ray_point = truck->wheels[i].force_point;
        truck->rear_ray_points[0] = truck->wheels[2].force_point;
        truck->rear_ray_points[1] = truck->wheels[3].force_point;

        truck->hitched_trailer = trailer->handle();
        trailer->towing_truck = truck->handle();
        trailer->attach();
        trucks_.push_back(truck.get());
        trailers_.push_back(trailer.get());
        objects_.push_back(std::move(trailer));
        objects_.push_back(std::move(truck));
    }

    road_geo_t road_;
    scene_proc_t* scene_ = nullptr;
    std::vector<std::unique_ptr<entity_t>> objects_;
    std::vector<car_truck_e*> trucks_;
    std::vector<car_trailor_e*> trailers_;
};

// The same rigs in Bullet: a truck and a trailer, each a box body on a btRaycastVehicle with four
// wheels, joined at the kingpin by a point constraint; the truck's rear wheels drive.
class bullet_rigs_t {
public:
    explicit bullet_rigs_t(int count)
    {
        world_.setGravity(btVector3(0, -9.81f * 1.6f, 0));
        const road_mesh_t& mesh = road();
        btIndexedMesh part;
        part.m_numTriangles = static_cast<int>(mesh.triangles.size());
        part.m_triangleIndexBase = reinterpret_cast<const unsigned char*>(mesh.triangles.data());
        part.m_triangleIndexStride = sizeof(mesh.triangles[0]);
        part.m_numVertices = static_cast<int>(mesh.points.size());
        part.m_vertexBase = reinterpret_cast<const unsigned char*>(mesh.points.data());
        part.m_vertexStride = sizeof(mesh.points[0]);
        road_mesh_.addIndexedMesh(part, PHY_INTEGER);
        road_mesh_.setScaling(btVector3(metres, metres, metres));
        road_shape_ = std::make_unique<btBvhTriangleMeshShape>(&road_mesh_, true, true);
        road_body_ = std::make_unique<btRigidBody>(0.0f, nullptr, road_shape_.get());
        world_.addRigidBody(road_body_.get());
        for (int i = 0; i < count; ++i)
            add_rig(rig_start(i));
    }
    ~bullet_rigs_t()
    {
        for (auto& joint : joints_)
            world_.removeConstraint(joint.get());
        for (auto& vehicle : vehicles_)
            world_.removeAction(vehicle.get());
        for (auto& body : bodies_)
            world_.removeRigidBody(body.get());
        world_.removeRigidBody(road_body_.get());
    }
    void step()
    {
        for (size_t i = 0; i < vehicles_.size(); i += 2) {
            btRaycastVehicle& vehicle = *vehicles_[i];
            const float force = -vehicle.getCurrentSpeedKmHour() / 3.6f < cruise_speed ? -engine_force : 0.0f;
            for (int w = 2; w < 4; ++w)
                vehicle.applyEngineForce(force, w);
            btRigidBody* const truck = vehicle.getRigidBody();
            if (truck->getWorldTransform().getOrigin().z() < wrap_below * metres) {
                for (size_t k = i; k < i + 2; ++k) {
                    btRigidBody* const body = vehicles_[k]->getRigidBody();
                    btTransform place = body->getWorldTransform();
                    place.setOrigin(place.getOrigin() + btVector3(0, 0, wrap_by * metres));
                    body->setWorldTransform(place);
                }
            }
        }
        world_.stepSimulation(step_seconds, 0, step_seconds);
    }
    ride_t ride() const
    {
        ride_t ride;
        for (size_t i = 0; i < vehicles_.size(); i += 2) {
            const btRaycastVehicle& vehicle = *vehicles_[i];
            for (int w = 0; w < vehicle.getNumWheels(); ++w)
                ride.wheels_down += vehicle.getWheelInfo(w).m_raycastInfo.m_isInContact ? 0.25f : 0.0f;
            const btRigidBody* const body = vehicle.getRigidBody();
            ride.height += body->getWorldTransform().getOrigin().y();
            const btVector3& velocity = body->getLinearVelocity();
            ride.speed += std::hypot(velocity.x(), velocity.z());
        }
        const float count = static_cast<float>(std::max<size_t>(vehicles_.size() / 2, 1));
        return {ride.wheels_down / count, ride.height / count, ride.speed / count};
    }

private:
    // A box body of `extents` and `mass` at `at` with a raycast vehicle whose wheels sit at `wheels`.
    btRaycastVehicle* add_vehicle(const vec3_t& at, const btVector3& extents, float mass,
                                  const std::array<btVector3, 4>& wheels)
    {
        auto shape = std::make_unique<btBoxShape>(extents * (0.5f * metres));
        btVector3 inertia;
        shape->calculateLocalInertia(mass, inertia);
        btTransform place;
        place.setIdentity();
        place.setOrigin(btVector3(at.x, at.y, at.z) * metres);
        auto state = std::make_unique<btDefaultMotionState>(place);
        auto body = std::make_unique<btRigidBody>(mass, state.get(), shape.get(), inertia);
        body->setActivationState(DISABLE_DEACTIVATION);
        world_.addRigidBody(body.get());
        auto vehicle = std::make_unique<btRaycastVehicle>(tuning_, body.get(), &raycaster_);
        vehicle->setCoordinateSystem(0, 1, 2);
        for (int w = 0; w < 4; ++w) {
            vehicle->addWheel(wheels[w] * metres, btVector3(0, -1, 0), btVector3(-1, 0, 0), 0.8f, 0.5f, tuning_, w < 2);
            btWheelInfo& info = vehicle->getWheelInfo(w);
            info.m_suspensionStiffness = 20.0f;
            info.m_wheelsDampingRelaxation = 2.3f;
            info.m_wheelsDampingCompression = 4.4f;
            info.m_frictionSlip = 1000.0f;
            info.m_maxSuspensionTravelCm = 50.0f;
            info.m_maxSuspensionForce = 1e9f;
        }
        world_.addAction(vehicle.get());
        btRaycastVehicle* const made = vehicle.get();
        shapes_.push_back(std::move(shape));
        states_.push_back(std::move(state));
        bodies_.push_back(std::move(body));
        vehicles_.push_back(std::move(vehicle));
        return made;
    }

    void add_rig(const vec3_t& at)
    {
        btRaycastVehicle* const truck = add_vehicle(at, btVector3(300, 100, 700), 1500.0f,
                                                    {btVector3(120, -50, -200), btVector3(-120, -50, -200),
                                                     btVector3(-120, -50, 200), btVector3(120, -50, 200)});
        const vec3_t trailer_at = at + vec3_t{0.0f, 40.0f, 520.0f};
        btRaycastVehicle* const trailer = add_vehicle(
            trailer_at, btVector3(250, 100, 1200), 1500.0f,
            {btVector3(105, -50, 380), btVector3(-105, -50, 380), btVector3(-105, -50, 510), btVector3(105, -50, 510)});
        auto joint =
            std::make_unique<btPoint2PointConstraint>(*truck->getRigidBody(), *trailer->getRigidBody(),
                                                      btVector3(0, 60, 0) * metres, btVector3(0, 20, -520) * metres);
        world_.addConstraint(joint.get(), true);
        joints_.push_back(std::move(joint));
    }

    btDefaultCollisionConfiguration configuration_;
    btCollisionDispatcher dispatcher_{&configuration_};
    btDbvtBroadphase broadphase_;
    btSequentialImpulseConstraintSolver solver_;
    btDiscreteDynamicsWorld world_{&dispatcher_, &broadphase_, &solver_, &configuration_};
    btDefaultVehicleRaycaster raycaster_{&world_};
    btRaycastVehicle::btVehicleTuning tuning_;
    btTriangleIndexVertexArray road_mesh_;
    std::unique_ptr<btBvhTriangleMeshShape> road_shape_;
    std::unique_ptr<btRigidBody> road_body_;
    std::vector<std::unique_ptr<btCollisionShape>> shapes_;
    std::vector<std::unique_ptr<btDefaultMotionState>> states_;
    std::vector<std::unique_ptr<btRigidBody>> bodies_;
    std::vector<std::unique_ptr<btRaycastVehicle>> vehicles_;
    std::vector<std::unique_ptr<btPoint2PointConstraint>> joints_;
};

// Steps the rigs once per iteration after a second of settling; reports vehicle steps per second and
// how the trucks ride at the end, and refuses a run whose trucks do not ride on their wheels.
template <typename rigs_t> void run_rigs(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    rigs_t rigs(count);
    for (int i = 0; i < 50; ++i)
        rigs.step();
    for (auto _ : state)
        rigs.step();
    state.counters["vehicle_steps"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * count * 2, benchmark::Counter::kIsRate);
    const ride_t ride = rigs.ride();
    state.counters["wheels_down"] = ride.wheels_down;
    state.counters["height_m"] = ride.height;
    state.counters["speed_m_s"] = ride.speed;
    if (const char* const fault = ride.fault())
        state.SkipWithError(fault);
}

void BM_rigs_ours(benchmark::State& state) { run_rigs<our_rigs_t>(state); }
void BM_rigs_bullet(benchmark::State& state) { run_rigs<bullet_rigs_t>(state); }

}  // namespace

BENCHMARK(BM_rigs_ours)->Arg(1)->Arg(16)->Arg(128)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_rigs_bullet)->Arg(1)->Arg(16)->Arg(128)->Unit(benchmark::kMicrosecond);

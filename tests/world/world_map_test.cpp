#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../../tools/world_map_writer.h"
#include "../frame/frame_fixture.h"
#include "../physics/physproc_fixture.h"
#include "engine/cache.h"
#include "engine/clock.h"
#include "engine/entity_reg.h"
#include "engine/gfx_record.h"
#include "physics/body_callback.h"
#include "engine/eblock.h"
#include "engine/process.h"
#include "engine/command_line.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "frame/world_types.h"
#include "world/collision_sector_files.h"
#include "world/map_e.h"
#include "world/map_noise.h"
#include "world/world_map.h"
#include "world/world_map_files.h"

namespace {

// A physics world beside a world map written into the data root.
class world_map_test : public physproc_test_t {
protected:
    void SetUp() override
    {
        physproc_test_t::SetUp();
        if (!entity_find_type("world.map"))
            register_world_types();
    }
    void TearDown() override
    {
        if (map_) {
            if (map_->collision())
                remove(map_->collision());
            map_->destroy(0);
            map_.reset();
        }
        physproc_test_t::TearDown();
    }

    // Writes a world directory under /maps/<name>.
    void write_world(const std::string& name, const world_map_writer::world_files_t& files)
    {
        for (const auto& [file, bytes] : files.files)
            write_data_file("maps/" + name + "/" + file, std::string(bytes.begin(), bytes.end()));
    }
    // A 2000 x 2000 ground at height 0 from (-1000, 0, -1000), in collision sectors of `edge`.
    void write_ground(const std::string& name, float edge)
    {
        write_world(name, world_map_writer::build({world_map_writer::ground({-1000, 0, -1000}, 20, 100.0f, 10)},
                                                  {"/shaders/ground.shd"}, edge));
    }
    // Loads the world map of /maps/<name>; its init result.
    int load(const std::string& name)
    {
        map_ = std::make_unique<world_map_e>();
        std::snprintf(map_->path, sizeof map_->path, "/maps/%s", name.c_str());
        const int result = map_->init(-10);
        if (result == 0 && map_->collision())
            insert(map_->collision());
        return result;
    }

    std::unique_ptr<world_map_e> map_;
};

// Pulls its body down with gravity.
class gravity_t : public body_callback_t {
public:
    explicit gravity_t(phys_body_t* body) : body_(body)
    {
        flags = flag_apply_forces;
        body->geometry->owner_callbacks = this;
    }
    void apply_forces() override { body_->add_force({0, -981.0f * 100.0f, 0}, nullptr); }

private:
    phys_body_t* body_;
};

TEST_F(world_map_test, a_body_lands_on_the_world_map_triangles)
{
    write_ground("ground", 800.0f);
    ASSERT_EQ(load("ground"), 0);
    EXPECT_EQ(map_->mesh_index().chunk_count, 1u);
    EXPECT_EQ(map_->mesh_index().meshes.size(), 2u);
    EXPECT_GT(map_->collision()->sector_count(), 1u);
    EXPECT_TRUE(!engine_log_matching("world map /maps/ground: 1 chunks, 2 meshes").empty());

    phys_body_t* falling = body({130, 300, -270}, {100, 100, 100}, 1);
    gravity_t gravity(falling);
    for (int i = 0; i < 80; ++i)
        process_->step(0.02f);
    EXPECT_GE(falling->current->position.y, 50.0f - 1e-2f);
    EXPECT_LE(falling->current->position.y, 52.0f) << "resting on the ground";
    EXPECT_TRUE(map_->chunk_mapped(0)) << "the triangles' chunk was mapped for the collision";

    const phys_pair_t solid{phys_pair_all_solid, 0};
    const phys_contact_t* hit = process_->ray_cast({-700, 500, 600}, {-700, -500, 600}, &solid, nullptr, 0, 0);
    ASSERT_NE(hit, nullptr);
    EXPECT_NEAR(hit->position.y, 0.0f, 1e-2f);
    EXPECT_EQ(hit->second, map_->collision());
}

TEST_F(world_map_test, trees_are_shared_by_nested_boxes_and_dropped_once_idle)
{
    write_ground("ground", 400.0f);
    ASSERT_EQ(load("ground"), 0);
    map_e* collision = map_->collision();
    uint32_t outer = 0;
    uint32_t inner = 0;
    tmr_set_for_test(1000);
    ASSERT_NE(collision->get_tree_in_box(&outer, {-900, -10, -900}, {900, 10, 900}), nullptr);
    ASSERT_NE(collision->get_tree_in_box(&inner, {-100, -10, -100}, {100, 10, 100}), nullptr);
    EXPECT_EQ(inner, outer) << "a box inside a built tree's range reuses it";
    EXPECT_EQ(collision->built_tree_count(), 1u);
    const int resident = collision->resident_sectors();
    EXPECT_GT(resident, 1);

    collision->release_tree(outer);
    tmr_set_for_test(1000 + 2000000);
    collision->maintain();
    EXPECT_EQ(collision->built_tree_count(), 1u) << "still used once";
    collision->release_tree(inner);
    collision->maintain();
    EXPECT_EQ(collision->built_tree_count(), 0u) << "unused and idle: dropped";
    EXPECT_EQ(collision->resident_sectors(), 0);
    tmr_release_for_test();

    uint32_t handle = 7;
    EXPECT_EQ(collision->get_tree_in_box(&handle, {5000, 0, 5000}, {6000, 10, 6000}), nullptr);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(collision->resident_sectors(), 0) << "a box off the map loads nothing";
}

TEST_F(world_map_test, a_box_spanning_many_sectors_in_z_gets_every_one_of_them)
{
    write_ground("ground", 200.0f);
    ASSERT_EQ(load("ground"), 0);
    map_e* collision = map_->collision();
    uint32_t handle = 0;
    cd_bvnode_t* root = collision->get_tree_in_box(&handle, {-50, -10, -900}, {50, 10, 900});
    ASSERT_NE(root, nullptr);
    cd_bounds_t wanted = cd_bounds_make_empty();
    wanted.add_point(0, 0, -850);
    EXPECT_LE(root->bounds.minimum[2], -850.0f);
    EXPECT_GE(root->bounds.maximum[2], 850.0f) << "the z range is ordered after negation";
    collision->release_tree(handle);
}

TEST_F(world_map_test, a_tree_over_more_than_256_sectors_keeps_the_first_256_and_says_so)
{
    write_ground("fine", 100.0f);  // 20 x 20 sectors
    ASSERT_EQ(load("fine"), 0);
    map_e* collision = map_->collision();
    ASSERT_EQ(collision->sector_count(), 400u);
    uint32_t handle = 0;
    ASSERT_NE(collision->get_tree_in_box(&handle, {-40, -1, -40}, {40, 1, 40}), nullptr);
    EXPECT_EQ(collision->resident_sectors(), 16) << "the sectors round the box, widened by one each way";
    collision->release_tree(handle);
    EXPECT_NE(collision->get_tree_in_box(&handle, {-950, -1, -950}, {750, 1, 750}), nullptr);
    EXPECT_FALSE(engine_log_matching("building range tree & maximum number[256] of sectors reached").empty());
    EXPECT_EQ(collision->resident_sectors(), 256);
    collision->release_tree(handle);
    EXPECT_NE(collision->get_tree_in_box(&handle, {-2000, -1, -2000}, {2000, 1, 2000}), nullptr);
    EXPECT_FALSE(engine_log_matching("building whole tree & maximum number[256] of sectors reached").empty());
    collision->release_tree(handle);
}

TEST_F(world_map_test, a_sector_reference_beyond_its_mesh_is_dropped_with_a_message)
{
    world_map_writer::world_files_t files =
        world_map_writer::build({world_map_writer::ground({0, 0, 0}, 2, 100.0f, 2)}, {"/shaders/ground.shd"}, 1000);
    // The one sector's leaf names a triangle whose last index lies past its mesh's index list.
    for (auto& [name, bytes] : files.files)
        if (name.ends_with(".btr")) {
            ASSERT_EQ(bytes[0], 0);
            const uint32_t bad = 22;  // 8 triangles: 24 indices, positions 0..21
            std::memcpy(&bytes[27], &bad, 4);
        }
    write_world("bad_ref", files);
    ASSERT_EQ(load("bad_ref"), 0);
    EXPECT_TRUE(!engine_log_matching("1 triangle references name no triangle of the map").empty());
    uint32_t handle = 0;
    EXPECT_NE(map_->collision()->get_tree_in_box(&handle, {0, -1, 0}, {200, 1, 200}), nullptr);
    map_->collision()->release_tree(handle);
}

TEST_F(world_map_test, without_a_visibility_tree_every_flagged_mesh_is_drawn_once_a_frame)
{
    write_ground("ground", 800.0f);
    ASSERT_EQ(load("ground"), 0);
    map_->visit();
    EXPECT_EQ(map_->meshes_drawn(), 2u);
    EXPECT_TRUE(map_->chunk_mapped(0));
    ASSERT_EQ(gfx_record_current().protos.size(), 2u);
    EXPECT_EQ(gfx_record_current().protos[0].vertex_declaration, "map_vpd_vertex");
    EXPECT_EQ(gfx_record_current().protos[0].index_declaration, "map_ipd");
    map_->visit();
    EXPECT_EQ(map_->meshes_drawn(), 4u);
}

TEST_F(world_map_test, a_second_map_of_the_same_directory_owns_the_files_the_cache_kept)
{
    write_ground("ground", 800.0f);
    ASSERT_EQ(load("ground"), 0);
    ASSERT_NE(map_->map_chunk(0), nullptr);
    remove(map_->collision());
    map_->destroy(0);
    map_.reset();
    mm_mem_free_all(-1);  // the kept items lose their memory and load again when locked
    ASSERT_EQ(load("ground"), 0);
    ASSERT_NE(map_->map_chunk(0), nullptr) << "the reload reads the new map's mesh table";
    EXPECT_NE(map_->global_mesh(1), nullptr);
}

TEST_F(world_map_test, light_maps_reach_the_renderer_through_child_items_and_every_chunk_file_survives_a_move)
{
    write_ground("ground", 800.0f);
    // Global mesh 0 gets one image of 2 x 1; the group of mesh 1 has no image.
    const std::vector<uint8_t> groups = {0,    0,    1,    0, 2, 0, 1, 0, 0, 0, 0, 0, 0xFF,
                                         0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 1, 0, 0, 0};
    write_data_file("maps/ground/lmap0000", std::string(groups.begin(), groups.end()));
    ASSERT_EQ(load("ground"), 0);
    ASSERT_NE(map_->map_chunk(0), nullptr);
    c_item_t* const lightmap = mm_map("/maps/ground/lmap0000");
    c_item_t* const geometry = mm_map("/maps/ground/mesh0000.gdt");
    ASSERT_NE(lightmap, nullptr);
    ASSERT_NE(geometry, nullptr);
    const auto* maps = static_cast<const lightmap_chunk_t*>(lightmap->object);
    ASSERT_EQ(maps->groups.size(), 2u);
    c_item_t* const child = lightmap->first_child;
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->next_sibling, nullptr) << "a group without images has no child";
    EXPECT_EQ(maps->groups[0].item, child);
    EXPECT_EQ(child->object, &maps->groups[0]);
    EXPECT_EQ(child->user, 1) << "its image count";

    // Unmapped (our own uses keep the files), both files move; the map takes them again where they went.
    map_->unmap_chunk(0);
    ASSERT_TRUE(cache_force_move(lightmap));
    ASSERT_TRUE(cache_force_move(geometry));
    maps = static_cast<const lightmap_chunk_t*>(lightmap->object);
    EXPECT_EQ(child->object, &maps->groups[0]) << "the child follows its images";
    const geometry_chunk_t* const meshes = map_->map_chunk(0);
    ASSERT_EQ(meshes, geometry->object);
    EXPECT_EQ(meshes->meshes[0].lightmap, &maps->groups[0]);
    EXPECT_EQ(meshes->meshes[0].packed_colours[1], 0xFF060504u) << "coloured by its light map";
    map_->visit();
    EXPECT_EQ(map_->meshes_drawn(), 2u);

    // Freed, the chunk's memory takes the child's images with it; a reload gives them back to it.
    map_->unmap_chunk(0);
    mm_mem_free_all(-1);
    EXPECT_EQ(child->object, nullptr);
    ASSERT_NE(map_->map_chunk(0), nullptr);
    maps = static_cast<const lightmap_chunk_t*>(lightmap->object);
    EXPECT_EQ(lightmap->first_child, child);
    EXPECT_EQ(child->object, &maps->groups[0]);
    ci_dec_refs(lightmap);
    ci_dec_refs(geometry);
}

TEST_F(world_map_test, a_missing_index_fails_the_map)
{
    EXPECT_EQ(load("nowhere"), -1);
    EXPECT_TRUE(!engine_log_matching("/maps/nowhere/mesh.dat cannot be read").empty());
}

TEST_F(world_map_test, the_noise_tint_repeats_every_256_steps)
{
    EXPECT_FLOAT_EQ(map_noise2(0.0f, 0.0f), map_noise2(256.0f, -256.0f));
    EXPECT_FLOAT_EQ(map_noise2(1e30f, 0.0f), map_noise2(1e30f, 256.0f));
    EXPECT_GE(map_noise2(3.0f, 7.0f), -2.0f);
}

// Bytes of a file of the world map writer, to damage.
std::vector<uint8_t> written(const std::string& name)
{
    return world_map_writer::build({world_map_writer::ground({0, 0, 0}, 2, 100.0f, 2)}, {"/shaders/ground.shd"}, 1000)
        .files.at(name);
}

void put_u32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

TEST_F(world_map_test, damaged_files_are_refused_with_a_reason)
{
    struct case_t {
        const char* what;
        std::string file;
        void (*damage)(std::vector<uint8_t>&);
    };
    const case_t cases[] = {
        {"mesh count past the end", "mesh.dat", [](auto& b) { put_u32(b, 4, 0x40000000u); }},
        {"mesh of a chunk past the count", "mesh.dat", [](auto& b) { b[8] = 5; }},
        {"unterminated texture name", "textures", [](auto& b) { std::memset(&b[4], 'a', 64); }},
        {"texture count past the end", "textures", [](auto& b) { put_u32(b, 0, 1000); }},
        {"wrong geometry magic", "mesh0000.gdt", [](auto& b) { b[7] = '5'; }},
        {"texture index past the list", "mesh0000.gdt", [](auto& b) { put_u32(b, 12, 3); }},
        {"vertex count past the end", "mesh0000.gdt", [](auto& b) { put_u32(b, 44, 60000); }},
        {"index past its mesh", "mesh0000.gdt", [](auto& b) { b[b.size() - 2] = 200; }},
        {"vertex colour that is not a number", "mesh0000.gdt", [](auto& b) { put_u32(b, 64, 0x7fc00000u); }},
        {"sector count against the size", "aabb.dat", [](auto& b) { put_u32(b, 40, 2); }},
        {"sector edge of 0", "aabb.dat", [](auto& b) { put_u32(b, 36, 0); }},
        {"cut sector tree", "btr", [](auto& b) { b.pop_back(); }},
        {"sector tree nesting without end", "btr", [](auto& b) { b.assign(200, 1); }},
    };
    for (const case_t& c : cases) {
        std::string why;
        const std::string file = c.file == "btr" ? "aabb000000000000.btr" : c.file;
        std::vector<uint8_t> bytes = written(file);
        c.damage(bytes);
        bool read = true;
        if (c.file == "mesh.dat") {
            map_index_t index;
            read = map_index_parse(bytes.data(), bytes.size(), index, why);
        } else if (c.file == "textures") {
            texture_list_t list;
            read = texture_list_parse(bytes.data(), bytes.size(), list, why);
        } else if (c.file == "mesh0000.gdt") {
            geometry_chunk_t chunk;
            read = geometry_chunk_parse(bytes.data(), bytes.size(), 1, chunk, why);
        } else if (c.file == "aabb.dat") {
            sector_index_t index;
            read = sector_index_parse(bytes.data(), bytes.size(), index, why);
        } else {
            sector_tree_t tree;
            read = tree.parse(bytes.data(), bytes.size(), why);
        }
        EXPECT_FALSE(read) << c.what;
        EXPECT_FALSE(why.empty()) << c.what;
    }
}

TEST_F(world_map_test, a_refused_chunk_file_is_reported_once_with_its_reason_and_the_world_goes_on)
{
    const struct {
        const char* what;
        const char* file;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"cut textures", "textures", std::string("\x05\0\0\0", 4),
         "bad texture count: larger than the file holds (cut short?)"},
        {"cut chunk", "mesh0000.gdt", "gdt", "the file is cut short before its magic"},
        {"chunk of another kind", "mesh0000.gdt", "something else entirely",
         "wrong magic: not a map chunk of this version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        log_clear_capture();
        write_ground("damaged", 800.0f);
        write_data_file(std::string("maps/damaged/") + c.file, c.bytes);
        ASSERT_EQ(load("damaged"), 0);
        for (int frame = 0; frame < 50; ++frame) {
            EXPECT_EQ(map_->map_chunk(0), nullptr);
            map_->visit();
        }
        EXPECT_EQ(engine_log_matching(c.reason).size(), 1u);
        EXPECT_EQ(engine_log_matching("cannot be loaded").size(), 1u) << "once, not once a frame";
        remove(map_->collision());
        map_->destroy(0);
        map_.reset();
        mm_mem_free_all(-1);
    }
}

TEST_F(world_map_test, light_maps_and_visibility_trees_check_what_they_name)
{
    map_index_t index;
    index.chunk_count = 2;
    index.meshes = {{0, 0}, {1, 0}};
    std::string why;
    lightmap_chunk_t maps;
    // mesh 0, one image of 2 x 1: its six bytes of pixels follow.
    std::vector<uint8_t> group = {0, 0, 1, 0, 2, 0, 1, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(lightmap_parse(group.data(), group.size(), index, 0, maps, why)) << why;
    ASSERT_EQ(maps.groups.size(), 1u);
    EXPECT_EQ(maps.groups[0].images[0].rgba, (std::vector<uint8_t>{1, 2, 3, 0xFF, 4, 5, 6, 0xFF}));
    EXPECT_FALSE(lightmap_parse(group.data(), group.size(), index, 1, maps, why)) << "a mesh of another chunk";
    group.pop_back();
    EXPECT_FALSE(lightmap_parse(group.data(), group.size(), index, 0, maps, why)) << "pixels cut short";

    // A vertex copy from a smaller image colours only the vertices it has pixels for.
    map_mesh_t mesh;
    mesh.packed_colours.assign(3, 0x11111111u);
    lightmap_colour_vertices(maps.groups[0], mesh);
    EXPECT_EQ(mesh.packed_colours[1], 0xFF060504u);
    EXPECT_EQ(mesh.packed_colours[2], 0x11111111u);

    // One sphere tree (a leaf naming mesh 1), then a partition leaf naming tree 0.
    world_map_writer::bytes_t bsp;
    bsp.u32(1);
    bsp.u8(0);
    for (const float f : {0.0f, 0.0f, 0.0f, 1.0f})
        bsp.f32(f);
    bsp.u16(1);
    bsp.u16(1);
    bsp.u8(0);
    bsp.u16(1);
    bsp.u16(0);
    std::vector<uint8_t>& tree = bsp.data;
    visibility_tree_t vtree;
    ASSERT_TRUE(visibility_tree_parse(tree.data(), tree.size(), 2, vtree, why)) << why;
    EXPECT_EQ(vtree.sphere_trees[0][0].meshes, std::vector<uint16_t>{1});
    EXPECT_FALSE(visibility_tree_parse(tree.data(), tree.size(), 1, vtree, why)) << "mesh 1 of a map of one";
    tree[tree.size() - 2] = 1;
    EXPECT_FALSE(visibility_tree_parse(tree.data(), tree.size(), 2, vtree, why)) << "sphere tree 1 of one";
}

// A world process holding a world map made from an entity block.
class world_map_world_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        if (!entity_find_type("world.map"))
            register_world_types();
        const auto files =
            world_map_writer::build({world_map_writer::ground({0, 0, 0}, 4, 100.0f, 2)}, {"/shaders/g.shd"}, 1000);
        for (const auto& [file, bytes] : files.files)
            write_data_file("maps/small/" + file, std::string(bytes.begin(), bytes.end()));
        write_data_file("scripts/test/world.esc", "entity world.map { path = \"/maps/small\"; }\n");
        world_ = new world_process_t;
        process_add(world_, nullptr, -1, 0);
        world_->lock();
        eblock_t* block = world_->eblock_from_name("/scripts/test/world.esc");
        ASSERT_TRUE(block && world_->init_eblock(block));
        map_ = dynamic_cast<world_map_e*>(block->root());
        ASSERT_NE(map_, nullptr);
    }
    void TearDown() override
    {
        world_->teardown();
        world_->unlock();
        world_test_t::TearDown();
    }
    void run_seconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i)
            process_run_frame(1.0);
    }

    world_process_t* world_ = nullptr;
    world_map_e* map_ = nullptr;
};

TEST_F(world_map_world_test, a_chunk_used_within_ten_seconds_stays_and_an_idle_one_goes)
{
    EXPECT_TRUE(world_->physics().in_hash(map_->collision()))
        << "the collision went into the world's physics during the block's init";
    ASSERT_NE(map_->map_chunk(0), nullptr);
    run_seconds(9);
    ASSERT_TRUE(map_->chunk_mapped(0));
    map_->map_chunk(0);  // used again at 9 s
    run_seconds(3);
    EXPECT_TRUE(map_->chunk_mapped(0)) << "the pass at 11 s finds it used 2 s ago";
    run_seconds(10);
    EXPECT_FALSE(map_->chunk_mapped(0)) << "the pass at 21 s finds it idle for 12 s";
    EXPECT_EQ(map_->resident_files(), 0);
}

// A game world whose block holds a sky dome.
class world_sky_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        if (!entity_find_type("world.sky"))
            register_world_types();
        const auto files =
            world_map_writer::build({world_map_writer::ground({0, 0, 0}, 4, 100.0f, 2)}, {"/shaders/g.shd"}, 1000);
        for (const auto& [file, bytes] : files.files)
            write_data_file("maps/sky/" + file, std::string(bytes.begin(), bytes.end()));
        write_data_file("scripts/game/game.esc", "entity world.sky { name = \"sky\"; path = \"/maps/sky\"; }\n");
        cdl_set({"kavrenta"});
        game_ = game_process_t::create_and_start();
    }

    game_process_t* game_ = nullptr;
};

TEST_F(world_sky_test, the_sky_is_drawn_by_the_world_before_its_entities)
{
    gfx_record_set_all_visible(true);
    api::cmd_execute("map xyz");
    for (int i = 0; i < 3; ++i)
        process_run_frame(1.0 / 60.0);
    const gfx_frame_record_t& frame = gfx_record_current().protos.empty() ? gfx_record_last() : gfx_record_current();
    ASSERT_EQ(frame.protos.size(), 2u) << "the sky's two meshes, once a frame";
    EXPECT_EQ(frame.protos[0].flush, 0) << "before the flush that ends the background";
}

}  // namespace

#include "road/map_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "map_sample.h"
#include "road/map_file_layout.h"
#include "road_fixture.h"

namespace {

class map_file_test : public road_test_t {
protected:
    void SetUp() override
    {
        road_test_t::SetUp();
        std::filesystem::create_directories(home_ / "maps");
    }

    // The bytes of a file of the home.
    std::vector<uint8_t> home_file(const std::string& relative) const
    {
        std::ifstream in(home_ / relative, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

// Where the first edge record starts in the sample's file, and where the first sign record starts.
constexpr size_t sample_edge_offset = 8 + (4 + 2 * 48) + (4 + 2 * 36) + 4;
constexpr size_t sample_sign_offset = sample_edge_offset + 2 * 164 + (4 + 72) + 4;
constexpr size_t sample_cityblock_offset = sample_sign_offset + 44 + 4;

void put_i32(std::vector<uint8_t>& bytes, const size_t at, const int32_t value)
{
    map_file_put_u32(bytes.data() + at, static_cast<uint32_t>(value));
}

TEST_F(map_file_test, a_map_without_records_is_fifty_six_bytes_and_sets_the_start_position)
{
    road_network_t empty;
    empty.start_position = vec3_t(5.0f, -6.0f, 7.0f);
    const std::vector<uint8_t> bytes = map_bytes(empty);
    ASSERT_EQ(bytes.size(), 56u);

    road_network_t loaded;
    EXPECT_EQ(map_file_read(loaded, bytes.data(), bytes.size(), nullptr, "empty"), 56);
    EXPECT_EQ(loaded.nodes.count, 0);
    EXPECT_EQ(loaded.miscitems.count, 0);
    EXPECT_EQ(loaded.start_position, vec3_t(5.0f, -6.0f, 7.0f));
}

TEST_F(map_file_test, the_file_lays_records_out_word_by_word)
{
    road_network_t network;
    make_sample_network(network);
    const std::vector<uint8_t> bytes = map_bytes(network);
    EXPECT_EQ(bytes.size(), 8u + 100 + 76 + 332 + 76 + 48 + 532 + 88 + 68 + 372 + 12);
    EXPECT_EQ(map_file_get_u32(bytes.data()), 5u);
    EXPECT_EQ(map_file_get_u32(bytes.data() + 4), 20u);
    // The edge leaves out its render slot: its file word 15 is the start node.
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_edge_offset + 4 * 15), 0u);
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_edge_offset + 4 * 16), 1u);
    // The sign's board flags come third.
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_sign_offset + 4 * 3), 0x10000213u);
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_sign_offset + 4 * 4), 1u);
    // The fifteenth point of a city block is reserved: written as zeros.
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_cityblock_offset + 4 * 43), 0u);
    EXPECT_EQ(map_file_get_u32(bytes.data() + sample_cityblock_offset + 4 * 40), 0x44a28000u);  // 1300.0
}

TEST_F(map_file_test, a_saved_map_loads_back_to_the_same_records)
{
    road_network_t network;
    make_sample_network(network);
    ASSERT_EQ(map_file_save(network, "/maps/sample.mbd"), static_cast<int32_t>(map_file_size(network)));
    EXPECT_TRUE(engine_log_has("Map successfuly saved ...."));

    road_network_t loaded;
    ASSERT_EQ(map_file_load(loaded, "/maps/sample.mbd", nullptr), static_cast<int32_t>(map_file_size(network)));
    EXPECT_EQ(engine_log_matching("Map /maps/sample.mbd successfuly loaded (").size(), 1u);

    // What a load sets itself: render slots none, instances and list handles cleared, the reserved
    // city-block entries zero, the cross's light word 0, the headquarters shown.
    map_edge_t edges[2] = {network.edges[0], network.edges[1]};
    for (map_edge_t& edge : edges)
        edge.segment_slot = -1;
    edges[1].noise_row = 0;
    map_aux_edge_t aux = network.aux_edges[0];
    aux.segment_slot = -1;
    map_cityblock_t block = network.cityblocks[0];
    block.instance = 0;
    block.points[14] = block.points[15] = vec3_t{};
    block.normals[14] = block.normals[15] = vec3_t{};
    block.texcoords[14][0] = block.texcoords[14][1] = block.texcoords[15][0] = block.texcoords[15][1] = 0.0f;
    map_freeitem_t item = network.freeitems[0];
    item.shown = item.shown_node = 0;
    map_miscitem_t miscs[2] = {network.miscitems[0], network.miscitems[1]};
    for (map_miscitem_t& misc : miscs) {
        misc.selected_point = -1;
        misc.active = 0;
    }
    miscs[1].model_words[0] = 1;

    ASSERT_EQ(loaded.nodes.count, 2);
    EXPECT_TRUE(same_record(loaded.nodes[0], network.nodes[0]));
    EXPECT_TRUE(same_record(loaded.nodes[1], network.nodes[1]));
    EXPECT_TRUE(same_record(loaded.aux_nodes[1], network.aux_nodes[1]));
    ASSERT_EQ(loaded.edges.count, 2);
    EXPECT_TRUE(same_record(loaded.edges[0], edges[0]));
    EXPECT_TRUE(same_record(loaded.edges[1], edges[1]));
    EXPECT_TRUE(same_record(loaded.aux_edges[0], aux));
    EXPECT_TRUE(same_record(loaded.signs[0], network.signs[0]));
    ASSERT_EQ(loaded.stamps.count, 4);
    EXPECT_TRUE(same_record(loaded.stamps[3], network.stamps[3]));
    EXPECT_TRUE(same_record(loaded.cityblocks[0], block));
    EXPECT_TRUE(same_record(loaded.freeitems[0], item));
    EXPECT_TRUE(same_record(loaded.miscitems[0], miscs[0]));
    EXPECT_TRUE(same_record(loaded.miscitems[1], miscs[1]));
    EXPECT_EQ(loaded.semaphore_count, 20);
    EXPECT_EQ(loaded.start_position, network.start_position);
    EXPECT_EQ(engine_log_matching("Prefab edge").size(), 0u);
}

TEST_F(map_file_test, an_import_moves_every_position_and_index_past_the_records_held)
{
    road_network_t network;
    make_sample_network(network);
    const std::vector<uint8_t> bytes = map_bytes(network);
    road_network_t map;
    ASSERT_GT(map_file_read(map, bytes.data(), bytes.size(), nullptr, "base"), 0);
    const vec3_t offset(100.0f, 200.0f, 300.0f);
    map.start_position = vec3_t(9.0f, 9.0f, 9.0f);
    ASSERT_EQ(map_file_read(map, bytes.data(), bytes.size(), &offset, "import"), static_cast<int32_t>(bytes.size()));

    EXPECT_EQ(map.start_position, vec3_t(9.0f, 9.0f, 9.0f));
    EXPECT_EQ(map.semaphore_count, 40);
    ASSERT_EQ(map.nodes.count, 4);
    EXPECT_EQ(map.nodes[3].position, vec3_t(1100.0f, 210.0f, 300.0f));
    EXPECT_EQ(map.nodes[2].links[0], 2);
    EXPECT_EQ(map.nodes[2].links[1], 3);
    EXPECT_EQ(map.nodes[3].links[1], -1);
    EXPECT_EQ(map.aux_nodes[2].links[0], 1);
    EXPECT_EQ(map.aux_nodes[2].position, vec3_t(100.0f, 200.0f, 350.0f));

    const map_edge_t& road = map.edges[2];
    EXPECT_EQ(road.nodes[0], 2);
    EXPECT_EQ(road.nodes[1], 3);
    EXPECT_EQ(road.nodes[2], -1);
    EXPECT_EQ(road.sign, 1);
    EXPECT_EQ(road.semaphore, -1);
    EXPECT_EQ(road.stamp, 4);
    EXPECT_EQ(road.bounds.minimum[0], 100.0f);
    EXPECT_EQ(road.bounds.maximum[2], 340.0f);
    EXPECT_EQ(road.bounds.minimum[3], 200.0f);
    EXPECT_EQ(road.bounds.maximum[4], 480.0f - 100.0f);
    const map_edge_t& cross = map.edges[3];
    EXPECT_EQ(cross.semaphore, 22);
    EXPECT_EQ(cross.sign, -1);
    EXPECT_EQ(cross.stamp, -1);
    EXPECT_EQ(map.aux_edges[1].nodes[1], 3);
    EXPECT_EQ(map.aux_edges[1].bounds.minimum[2], 350.0f);
    EXPECT_EQ(map.signs[1].edge, 2);
    EXPECT_EQ(map.cityblocks[1].points[13], vec3_t(1400.0f, 201.0f, 302.0f));
    EXPECT_EQ(map.freeitems[1].position, vec3_t(400.0f, 200.0f, 0.0f));
    EXPECT_EQ(map.freeitems[1].bounds.minimum[0], 390.0f);
    EXPECT_EQ(map.miscitems[3].points[3], vec3_t(103.0f, 202.0f, 303.0f));
    EXPECT_EQ(map.miscitems[3].bounds.maximum[1], 202.0f);
}

TEST_F(map_file_test, a_city_road_import_moves_its_city_blocks_and_a_plain_load_shifts_nothing)
{
    road_network_t network;
    make_sample_network(network);
    network.edges[0].kind = map_edge_city_road;
    network.edges[0].sides[0].profile = 0;
    network.edges[0].sides[1].profile = -1;
    const std::vector<uint8_t> bytes = map_bytes(network);
    road_network_t map;
    ASSERT_GT(map_file_read(map, bytes.data(), bytes.size(), nullptr, "base"), 0);
    const vec3_t offset{};
    ASSERT_GT(map_file_read(map, bytes.data(), bytes.size(), &offset, "import"), 0);
    EXPECT_EQ(map.edges[2].sides[0].profile, 1);
    EXPECT_EQ(map.edges[2].sides[1].profile, -1);

    ASSERT_GT(map_file_read(map, bytes.data(), bytes.size(), nullptr, "again"), 0);
    EXPECT_EQ(map.edges[4].nodes[0], 0);
    EXPECT_EQ(map.edges[4].sign, 0);
    EXPECT_EQ(map.edges[5].semaphore, 2);
    EXPECT_EQ(map.semaphore_count, 60);
}

TEST_F(map_file_test, arrays_grow_to_the_step_past_the_new_count)
{
    road_network_t network;
    make_sample_network(network);
    for (int group = 1; group < 4; ++group)
        network.add_stamp_group();
    const std::vector<uint8_t> bytes = map_bytes(network);
    road_network_t loaded;
    int64_t allocated = 0;
    ASSERT_GT(map_file_read(loaded, bytes.data(), bytes.size(), nullptr, "stamps", &allocated), 0);
    EXPECT_EQ(loaded.stamps.capacity, 320);
    EXPECT_EQ(loaded.nodes.capacity, 64);
    EXPECT_EQ(loaded.edges.capacity, 32);
    EXPECT_EQ(loaded.miscitems.capacity, 16);
    EXPECT_EQ(allocated, 64 * 48 + 64 * 36 + 32 * 168 + 32 * 76 + 16 * 44 + 16 * 532 + 16 * 92 + 320 * 16 + 16 * 192);
}

TEST_F(map_file_test, bad_semaphore_ids_are_repaired_and_reported)
{
    road_network_t network;
    make_sample_network(network);
    network.edges[0].semaphore = -5;
    network.edges[1].semaphore = -1;
    const std::vector<uint8_t> bytes = map_bytes(network);
    road_network_t loaded;
    ASSERT_GT(map_file_read(loaded, bytes.data(), bytes.size(), nullptr, "ids"), 0);
    EXPECT_EQ(loaded.edges[0].semaphore, -1);
    EXPECT_TRUE(engine_log_has("Wrong semaphore id !!!!"));
    EXPECT_TRUE(engine_log_has("Prefab edge 1 has wrong semaphore id"));
}

TEST_F(map_file_test, a_truncated_or_lying_file_is_refused_and_changes_nothing)
{
    road_network_t network;
    make_sample_network(network);
    const std::vector<uint8_t> good = map_bytes(network);

    struct lie_t {
        const char* what;
        size_t at;
        int32_t value;
        const char* message;
    };
    const lie_t lies[] = {
        {"version", 0, 4, "Incorrect map version."},
        {"negative semaphores", 4, -1, "the semaphore count -1 is negative"},
        {"negative nodes", 8, -2, "the node count -2 is negative"},
        {"huge nodes", 8, 0x7fffffff, "it ends inside its 2147483647 node records"},
        {"huge misc items", good.size() - 12 - 2 * 184 - 4, 3, "it ends inside its 3 misc item records"},
        {"node past the nodes", sample_edge_offset + 4 * 15, 2, "edge 0 names node 2, of 2"},
        {"negative node", sample_edge_offset + 4 * 16, -3, "edge 0 names node -3, of 2"},
        {"stamps past the stamps", sample_edge_offset + 4 * 40, 1, "edge 0 names stamps 1 to 4, of 4"},
        {"stamps at the top of the range", sample_edge_offset + 4 * 40, 0x7fffffff,
         "edge 0 names stamps 2147483647 to 2147483650, of 4"},
        {"semaphore past the count", sample_edge_offset + 164 + 4 * 39, 20, "edge 1 names semaphore 20, of 20"},
        {"sign past the signs", sample_edge_offset + 4 * 38, 1, "edge 0 names sign 1, of 1"},
        {"link past the edges", 8 + 4 + 4 * 6, 2, "node 0 names edge 2, of 2"},
        {"sign on no edge", sample_sign_offset + 4, 7, "sign 0 names edge 7, of 2"},
        {"too many outline points", sample_cityblock_offset, 15, "city block 0 has 15 points"},
    };
    // Imported into a map that holds records, so that indices are checked against the file's own.
    road_network_t held;
    make_sample_network(held);
    const std::vector<uint8_t> before = map_bytes(held);
    const vec3_t here{};
    for (const lie_t& lie : lies) {
        SCOPED_TRACE(lie.what);
        std::vector<uint8_t> bytes = good;
        put_i32(bytes, lie.at, lie.value);
        EXPECT_EQ(map_file_read(held, bytes.data(), bytes.size(), &here, "lie.mbd"), -1);
        EXPECT_EQ(engine_log_matching(lie.message).size(), 1u);
        EXPECT_EQ(map_bytes(held), before);
    }
    const vec3_t offset(1.0f, 1.0f, 1.0f);
    for (size_t size = 0; size < good.size(); ++size) {
        EXPECT_EQ(map_file_read(held, good.data(), size, size % 2 ? &offset : nullptr, "cut.mbd"), -1) << size;
        ASSERT_EQ(map_bytes(held), before) << size;
    }
    EXPECT_EQ(engine_log_matching("Map file cut.mbd is damaged: it ends").size(), good.size());
}

TEST_F(map_file_test, an_import_checks_indices_against_its_own_records)
{
    road_network_t network;
    make_sample_network(network);
    std::vector<uint8_t> bytes = map_bytes(network);
    // Node 2 exists once the file is appended to a map holding two nodes, but not within the file.
    put_i32(bytes, sample_edge_offset + 4 * 15, 2);
    road_network_t map;
    make_sample_network(map);
    ASSERT_GT(map_file_read(map, bytes.data(), bytes.size(), nullptr, "append"), 0);
    const vec3_t offset{};
    EXPECT_EQ(map_file_read(map, bytes.data(), bytes.size(), &offset, "import"), -1);
    EXPECT_EQ(map.edges.count, 4);
}

TEST_F(map_file_test, saving_over_a_map_keeps_the_previous_file_as_a_backup)
{
    road_network_t network;
    make_sample_network(network);
    ASSERT_GT(map_file_save(network, "/maps/town.mbd"), 0);
    const std::vector<uint8_t> first = home_file("maps/town.mbd");
    EXPECT_FALSE(std::filesystem::exists(home_ / "maps/town.mbd.bak"));

    network.start_position = vec3_t(-1.0f, -1.0f, -1.0f);
    ASSERT_GT(map_file_save(network, "/maps/town.mbd"), 0);
    EXPECT_EQ(home_file("maps/town.mbd.bak"), first);
    EXPECT_EQ(home_file("maps/town.mbd"), map_bytes(network));
}

TEST_F(map_file_test, files_that_cannot_be_opened_give_minus_one)
{
    road_network_t network;
    EXPECT_EQ(map_file_load(network, "/maps/missing.mbd", nullptr), -1);
    EXPECT_TRUE(engine_log_has("Cannot open /maps/missing.mbd map file"));
    EXPECT_EQ(map_file_save(network, "/no/such/folder/x.mbd"), -1);
}

}  // namespace

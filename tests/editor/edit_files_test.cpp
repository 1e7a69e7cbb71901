#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/win32_record.h"
#include "editor_fixture.h"

namespace {

// The home's maps folder exists, as the game's start makes it.
class edit_files : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        std::filesystem::create_directories(home_ / "maps");
    }
};

std::vector<char> file_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(edit_files, a_saved_map_is_its_data_and_a_28_byte_trailer_beside_its_ai_data_and_route_table)
{
    road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    ctrl.modified = true;
    ASSERT_TRUE(ctrl.save("town.mbd", true));
    EXPECT_FALSE(ctrl.modified);
    EXPECT_STREQ(ctrl.map_path, "/maps/town.mbd");
    const std::vector<char> map = file_bytes(home_ / "maps" / "town.mbd");
    ASSERT_GT(map.size(), 28u);
    EXPECT_EQ(std::string(map.end() - 28, map.end() - 16), "3d1t0rh34d3r");
    // A map without loading docks: AI data of 8 bytes, a route table of 8 bytes.
    EXPECT_EQ(file_bytes(home_ / "maps" / "town.aid").size(), 8u);
    EXPECT_EQ(file_bytes(home_ / "maps" / "town.rte").size(), 8u);
    EXPECT_TRUE(engine_log_has("AI data successfuly saved ...."));

    // Loading it back gives the same network, unmodified, and the trailer is read past. A new map
    // empties every record array, not only the nodes and edges.
    ctrl.add_miscitem();
    ctrl.add_freeitem();
    ctrl.add_aux_node(vec3_t(1.0f, 2.0f, 3.0f));
    ctrl.modified = false;
    ctrl.new_map();
    EXPECT_EQ(ctrl.edges.count, 0);
    EXPECT_EQ(ctrl.miscitems.count, 0);
    EXPECT_EQ(ctrl.freeitems.count, 0);
    EXPECT_EQ(ctrl.aux_nodes.count, 0);
    EXPECT_EQ(ctrl.map_path[0], '\0');
    ASSERT_TRUE(ctrl.load("town.mbd"));
    EXPECT_EQ(ctrl.edges.count, 1);
    EXPECT_EQ(ctrl.nodes.count, 2);
    EXPECT_FALSE(ctrl.modified);
    // A second load replaces the map instead of appending to it.
    ASSERT_TRUE(ctrl.load("town.mbd"));
    EXPECT_EQ(ctrl.edges.count, 1);
    EXPECT_EQ(ctrl.nodes.count, 2);
}

TEST_F(edit_files, a_failed_save_keeps_the_map_marked_and_new_and_quit_do_not_go_on)
{
    // "maps" is a file: nothing can be written below it.
    std::filesystem::remove(home_ / "maps");
    std::ofstream(home_ / "maps") << "in the way";
    road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    ctrl.modified = true;
    std::snprintf(ctrl.map_path, sizeof ctrl.map_path, "/maps/town.mbd");
    EXPECT_FALSE(ctrl.save(nullptr, false));
    EXPECT_TRUE(ctrl.modified);
    ctrl.new_map();
    EXPECT_EQ(ctrl.edges.count, 1);
    EXPECT_TRUE(ctrl.modified);
    EXPECT_TRUE(engine_log_has("<edit_ctrl_e> the map was not saved; the command is not carried out"));
}

TEST_F(edit_files, a_cancelled_save_dialog_saves_nothing_and_a_typed_name_is_taken_bare)
{
    road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    ctrl.modified = true;
    win32_queue_file_dialog_answer("");
    EXPECT_FALSE(ctrl.save(nullptr, false));
    EXPECT_TRUE(ctrl.modified);
    win32_queue_file_dialog_answer("sub\\folder\\town");
    EXPECT_TRUE(ctrl.save(nullptr, false));
    EXPECT_STREQ(ctrl.map_path, "/maps/town.mbd");
    ASSERT_EQ(win32_file_dialogs().size(), 2u);
    EXPECT_FALSE(win32_file_dialogs()[1].open);
    EXPECT_EQ(win32_file_dialogs()[1].answer, "town.mbd");
    EXPECT_EQ(win32_file_dialogs()[1].default_extension, "mbd");
    EXPECT_EQ(win32_file_dialogs()[1].flags, 0xCu);
}

TEST_F(edit_files, a_missing_map_leaves_an_empty_map_without_a_path)
{
    road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    EXPECT_FALSE(ctrl.load("nowhere.mbd"));
    EXPECT_EQ(ctrl.edges.count, 0);
    EXPECT_EQ(ctrl.map_path[0], '\0');
}

TEST_F(edit_files, g_info_counts_the_records_and_the_memory_of_the_capacities)
{
    ctrl.print_map_info();
    EXPECT_TRUE(engine_log_has("Edge count : 0"));
    EXPECT_TRUE(engine_log_has("Miscitem count : 0"));
    // 64 nodes and 64 aux nodes are allocated from the start.
    EXPECT_TRUE(engine_log_has("Memory usage : 5 kB"));
}

}  // namespace

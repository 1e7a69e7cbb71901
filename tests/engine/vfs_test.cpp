#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/host_file.h"
#include "engine/log.h"
#include "engine/mem.h"
#include "engine/vfs.h"
#include "engine_testing/engine_test.h"

namespace fs = std::filesystem;

namespace {

std::string host_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class vfs_test : public engine_test_t {
protected:
    // Writes `text` through the file system with the given open flags; false when it does not open.
    bool write_text(const char* path, unsigned flags, const std::string& text)
    {
        const int file = vfs_open(path, flags, 0666);
        if (file < 0)
            return false;
        EXPECT_EQ(vfs_write(file, text.data(), static_cast<long>(text.size())), static_cast<long>(text.size()));
        EXPECT_EQ(vfs_close(file), 0);
        return true;
    }

    std::string read_text(const char* path)
    {
        std::string text;
        return vfs_read_whole(path, text) ? text : std::string("<unreadable>");
    }

    // Every name of a folder listing, read `chunk` bytes at a time; checks the chunk layout as it goes.
    std::vector<std::string> list_folder(const char* path, long chunk)
    {
        std::vector<std::string> names;
        const int folder = vfs_open(path, 0, 0666);
        EXPECT_GE(folder, 0);
        std::vector<char> buffer(static_cast<size_t>(chunk));
        long got = 0;
        while ((got = vfs_read(folder, buffer.data(), chunk)) > 0) {
            EXPECT_LE(got, chunk);
            EXPECT_EQ(buffer[static_cast<size_t>(got) - 1], '\0');
            EXPECT_EQ(buffer[static_cast<size_t>(got) - 2], '\0') << "a chunk ends with an empty name";
            for (const char* name = buffer.data(); *name; name += strlen(name) + 1)
                names.emplace_back(name);
        }
        EXPECT_EQ(got, 0);
        vfs_close(folder);
        return names;
    }
};

TEST_F(vfs_test, open_flags_behave_as_the_game_uses_them)
{
    write_data_file("f.txt", "data");
    struct case_t {
        const char* name;
        unsigned flags;
        bool opens;
        int error_number;
        const char* contents_after;  // after writing "AB" at the start (for 0x109 after a seek to 0)
    };
    const case_t cases[] = {
        {"0 reads an existing file", 0, true, 0, "home"},
        {"0 on a missing file", 0, false, ENOENT, nullptr},
        {"0x101 truncates", 0x101, true, 0, "AB"},
        {"0x301 truncates", 0x301, true, 0, "AB"},
        {"0x109 writes in place after a seek", 0x109, true, 0, "ABme"},
        {"0x701 refuses an existing file", 0x701, false, EEXIST, "home"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(write_text("/f.txt", 0x301, "home"));
        const char* path = c.error_number == ENOENT ? "/missing.txt" : "/f.txt";
        const int file = vfs_open(path, c.flags, 0666);
        ASSERT_EQ(file >= 0, c.opens);
        if (!c.opens) {
            EXPECT_EQ(*v_errno_addr(), c.error_number);
        } else if (c.flags == 0) {
            char text[8] = {};
            EXPECT_EQ(vfs_read(file, text, 8), 4);
            EXPECT_EQ(vfs_write(file, "x", 1), -1) << "a read handle does not write";
        } else {
            if (c.flags == 0x109) {
                EXPECT_EQ(vfs_seek(file, 0, 0), 0);
            }
            EXPECT_EQ(vfs_write(file, "AB", 2), 2);
        }
        if (file >= 0)
            vfs_close(file);
        if (c.contents_after) {
            EXPECT_EQ(host_text(home_ / "f.txt"), c.contents_after);
        }
    }
}

TEST_F(vfs_test, write_at_end_flag_appends_when_not_seeking)
{
    ASSERT_TRUE(write_text("/bugs.txt", 0x109, "one\n"));
    ASSERT_TRUE(write_text("/bugs.txt", 0x109, "two\n"));
    EXPECT_EQ(read_text("/bugs.txt"), "one\ntwo\n");
}

TEST_F(vfs_test, exclusive_create_makes_a_new_file)
{
    EXPECT_TRUE(write_text("/shot_0.png", 0x701, "png"));
    EXPECT_FALSE(write_text("/shot_0.png", 0x701, "png"));
    EXPECT_EQ(*v_errno_addr(), EEXIST);
}

TEST_F(vfs_test, writes_land_in_the_home_and_the_data_root_stays_untouched)
{
    write_data_file("maps/a.mbd", "data map");
    ASSERT_TRUE(write_text("/maps/a.mbd", 0x301, "home map"));
    ASSERT_TRUE(write_text("/maps/b.mbd", 0x301, "new"));
    EXPECT_EQ(host_text(data_root_ / "maps/a.mbd"), "data map");
    EXPECT_FALSE(fs::exists(data_root_ / "maps/b.mbd"));
    EXPECT_EQ(host_text(home_ / "maps/a.mbd"), "home map");
    EXPECT_EQ(host_text(home_ / "maps/b.mbd"), "new");
    EXPECT_EQ(read_text("maps/a.mbd"), "home map") << "the home shadows the data root";
}

TEST_F(vfs_test, writing_in_place_copies_a_data_file_to_the_home_first)
{
    write_data_file("maps/c.mbd", "0123456789");
    const int file = vfs_open("/maps/c.mbd", 0x109, 0666);
    ASSERT_GE(file, 0);
    EXPECT_EQ(vfs_seek(file, 4, 0), 4);
    EXPECT_EQ(vfs_write(file, "xy", 2), 2);
    vfs_close(file);
    EXPECT_EQ(host_text(home_ / "maps/c.mbd"), "0123xy6789");
    EXPECT_EQ(host_text(data_root_ / "maps/c.mbd"), "0123456789");
}

TEST_F(vfs_test, creating_needs_an_existing_folder)
{
    EXPECT_FALSE(write_text("/nowhere/x.txt", 0x301, "x"));
    EXPECT_EQ(*v_errno_addr(), ENOENT);
    EXPECT_FALSE(write_text("/missing.txt", 0x001, "x")) << "without the create flag";
    EXPECT_EQ(*v_errno_addr(), ENOENT);
}

TEST_F(vfs_test, names_match_exactly_first_then_ignoring_case)
{
    write_data_file("Music/b.OGG", "ogg");
    write_data_file("music2/x.txt", "exact");
    write_data_file("music2/X.txt", "upper");
    EXPECT_EQ(read_text("/music/b.ogg"), "ogg");
    EXPECT_EQ(read_text("/music2/x.txt"), "exact");
    EXPECT_EQ(read_text("/music2/X.txt"), "upper");
    ASSERT_TRUE(write_text("/MUSIC/b.ogg", 0x301, "changed"));
    EXPECT_EQ(read_text("/Music/B.ogg"), "changed");
    EXPECT_EQ(host_text(data_root_ / "Music/b.OGG"), "ogg");
}

TEST_F(vfs_test, parent_references_never_leave_the_root)
{
    write_data_file("b.txt", "b");
    EXPECT_EQ(read_text("/a/../b.txt"), "b");
    vfs_stat_t info{};
    for (const char* path : {"/../etc/passwd", "../b.txt", "/a/../../b.txt"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(vfs_open(path, 0, 0), -1);
        EXPECT_EQ(*v_errno_addr(), EACCES);
        EXPECT_EQ(vfs_stat(path, &info), -1);
        EXPECT_EQ(vfs_open(path, 0x301, 0666), -1);
    }
}

TEST_F(vfs_test, folder_listing_merges_devices_and_never_splits_a_name)
{
    const std::string long_name(100, 'n');
    write_data_file("saves/" + long_name + "1.sav", "");
    write_data_file("saves/short.sav", "");
    write_data_file("saves/Shared.sav", "");
    ASSERT_TRUE(write_text(("/saves/" + long_name + "2.sav").c_str(), 0x301, ""));
    ASSERT_TRUE(write_text("/saves/shared.sav", 0x301, ""));
    // A name held by both devices is listed once, spelled as the home (the higher priority) has it.
    const std::vector<std::string> expected = {"shared.sav", long_name + "1.sav", long_name + "2.sav", "short.sav"};
    for (const long chunk : {128L, 256L, 2048L}) {
        SCOPED_TRACE(chunk);
        std::vector<std::string> names = list_folder("/saves", chunk);
        std::sort(names.begin(), names.end());
        std::vector<std::string> sorted = expected;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(names, sorted);
    }
}

TEST_F(vfs_test, folder_name_that_can_never_fit_is_skipped_with_a_warning)
{
    write_data_file("f/" + std::string(40, 'a'), "");
    write_data_file("f/z", "");
    EXPECT_EQ(list_folder("/f", 16), std::vector<std::string>{"z"});
    EXPECT_EQ(engine_log_matching("does not fit a folder read of 16 bytes").size(), 1u);
}

TEST_F(vfs_test, stat_tells_files_from_folders)
{
    write_data_file("defs/a.def", "12345");
    vfs_stat_t info{};
    ASSERT_EQ(vfs_stat("/defs/a.def", &info), 0);
    EXPECT_EQ(info.mode & vfs_mode_type_mask, vfs_mode_file);
    EXPECT_EQ(info.size, 5);
    EXPECT_GT(info.time, 0);
    ASSERT_EQ(vfs_stat("/defs", &info), 0);
    EXPECT_EQ(info.mode & vfs_mode_type_mask, vfs_mode_folder);
    EXPECT_EQ(vfs_stat("/defs/none", &info), -1);
    EXPECT_EQ(*v_errno_addr(), ENOENT);

    const int file = vfs_open("/defs/a.def", 0, 0);
    ASSERT_EQ(vfs_fstat(file, &info), 0);
    EXPECT_EQ(info.size, 5);
    EXPECT_EQ(vfs_seek(file, -2, 2), 3);
    char tail[4] = {};
    EXPECT_EQ(vfs_read(file, tail, 4), 2);
    EXPECT_STREQ(tail, "45");
    EXPECT_STREQ(vfs_get_device_name(file), data_root_.c_str());
    vfs_close(file);
}

TEST_F(vfs_test, unlink_removes_home_files_only)
{
    write_data_file("d.txt", "data");
    ASSERT_TRUE(write_text("/h.txt", 0x301, "home"));
    EXPECT_EQ(vfs_unlink("/h.txt"), 0);
    EXPECT_FALSE(fs::exists(home_ / "h.txt"));
    EXPECT_EQ(vfs_unlink("/h.txt"), -1);
    EXPECT_EQ(*v_errno_addr(), ENOENT);
    EXPECT_EQ(vfs_unlink("/d.txt"), -1);
    EXPECT_EQ(*v_errno_addr(), EROFS);
    EXPECT_TRUE(fs::exists(data_root_ / "d.txt"));
}

TEST_F(vfs_test, mkdir_makes_home_folders)
{
    EXPECT_EQ(vfs_mkdir("/saves", 0777), 0);
    EXPECT_TRUE(fs::is_directory(home_ / "saves"));
    EXPECT_EQ(vfs_mkdir("/saves", 0777), -1);
    EXPECT_EQ(*v_errno_addr(), EEXIST);
    EXPECT_EQ(vfs_mkdir("/a/b", 0777), -1) << "the parent must exist";
    EXPECT_EQ(*v_errno_addr(), ENOENT);
    write_data_file("maps/x.mbd", "");
    EXPECT_EQ(vfs_mkdir("/maps/sub", 0777), 0) << "a parent held by the data root is made in the home";
    EXPECT_TRUE(fs::is_directory(home_ / "maps/sub"));
}

TEST_F(vfs_test, bad_handles_and_arguments_fail_cleanly)
{
    char byte = 0;
    vfs_stat_t info{};
    EXPECT_EQ(vfs_read(7, &byte, 1), -1);
    EXPECT_EQ(*v_errno_addr(), EBADF);
    EXPECT_EQ(vfs_write(-1, &byte, 1), -1);
    EXPECT_EQ(vfs_seek(3, 0, 0), -1);
    EXPECT_EQ(vfs_close(3), -1);
    EXPECT_EQ(vfs_fstat(3, &info), -1);
    EXPECT_EQ(vfs_get_device_name(3), nullptr);
    EXPECT_EQ(vfs_open(nullptr, 0, 0), -1);
    EXPECT_EQ(vfs_open("/x", 0x2, 0), -1) << "unknown flag bits";
    EXPECT_EQ(*v_errno_addr(), EINVAL);
    EXPECT_EQ(vfs_open("/", 0x301, 0666), -1);
    EXPECT_EQ(*v_errno_addr(), EISDIR);
    ASSERT_TRUE(write_text("/f", 0x301, "x"));
    const int file = vfs_open("/f", 0, 0);
    EXPECT_EQ(vfs_read(file, nullptr, 4), -1);
    EXPECT_EQ(vfs_seek(file, 0, 3), -1);
    vfs_close(file);
}

TEST_F(vfs_test, fallback_device_takes_the_writes)
{
    EXPECT_STREQ(vfs_get_fallback_device(), home_.c_str());
    const fs::path other = home_.parent_path() / "other";
    fs::create_directories(other);
    ASSERT_EQ(vfs_mount_device("/", (other.string() + "/").c_str(), 10, vfs_device_writable), 0);
    ASSERT_TRUE(write_text("/a.txt", 0x301, "a"));
    EXPECT_TRUE(fs::exists(home_ / "a.txt"));
    ASSERT_EQ(vfs_set_fallback_device(other.c_str()), 0);
    ASSERT_TRUE(write_text("/b.txt", 0x301, "b"));
    EXPECT_TRUE(fs::exists(other / "b.txt"));
    vfs_reset_fallback_device();
    EXPECT_EQ(vfs_get_fallback_device(), nullptr);
    ASSERT_TRUE(write_text("/c.txt", 0x301, "c"));
    EXPECT_TRUE(fs::exists(home_ / "c.txt")) << "the writable device of highest priority";
    EXPECT_EQ(vfs_set_fallback_device(data_root_.c_str()), -1);
    EXPECT_EQ(*v_errno_addr(), EROFS);
    EXPECT_EQ(vfs_set_fallback_device("/not/mounted"), -1);
    EXPECT_EQ(*v_errno_addr(), ENODEV);
}

TEST_F(vfs_test, reads_take_the_device_of_highest_priority_and_the_later_of_equals)
{
    const fs::path base = home_.parent_path();
    for (const char* name : {"low", "first", "second", "sub"}) {
        fs::create_directories(base / name);
        std::ofstream(base / name / "x.txt") << name;
    }
    write_data_file("x.txt", "data");
    ASSERT_EQ(vfs_mount_device("/", (base / "low").c_str(), 1, 0), 0);
    EXPECT_EQ(read_text("/x.txt"), "low");
    ASSERT_EQ(vfs_mount_device("/", (base / "first").c_str(), 50, 0), 0);
    ASSERT_EQ(vfs_mount_device("/", (base / "second").c_str(), 50, 0), 0);
    EXPECT_EQ(read_text("/x.txt"), "second");
    ASSERT_EQ(vfs_mount_device("/", (base / "first").c_str(), 50, 0), 0) << "a re-mount counts as later";
    EXPECT_EQ(read_text("/x.txt"), "first");
    ASSERT_EQ(vfs_mount_device("/music", (base / "sub").c_str(), 1, 0), 0);
    EXPECT_EQ(read_text("/Music/x.txt"), "sub");
    EXPECT_EQ(vfs_mount_device("/", "/not/a/folder", 1, 0), -1);
    EXPECT_EQ(vfs_mount_device("/", (base / "low").c_str(), 1, 1), -1) << "unknown flags";
}

TEST_F(vfs_test, host_file_helpers_read_whole_files_and_make_parents)
{
    const fs::path folder = home_ / "p/q/r";
    ASSERT_EQ(v_mkdir(folder.c_str()), 0);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(v_mkdir(folder.c_str()), 0) << "an existing folder is fine";
    const fs::path file = write_data_file("init.cfg", "g_fps 1");
    EXPECT_EQ(v_mkdir(file.c_str()), -1);
    EXPECT_EQ(*v_errno_addr(), ENOTDIR);

    long size = -1;
    char* text = v_readfile(file.c_str(), &size);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 7);
    EXPECT_STREQ(text, "g_fps 1");
    mem_sys_free(text);
    EXPECT_EQ(v_readfile((home_ / "none").c_str(), &size), nullptr);
    EXPECT_EQ(*v_errno_addr(), ENOENT);
    EXPECT_EQ(v_readfile(folder.c_str(), nullptr), nullptr);
    EXPECT_EQ(*v_errno_addr(), EISDIR);
}

}  // namespace

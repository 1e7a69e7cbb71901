#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "engine/command.h"
#include "engine/command_line.h"
#include "engine/cvar.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/gfx_device.h"
#include "engine/gfx_record.h"
#include "engine/vfs.h"
#include "frame/common_proc.h"
#include "frame_fixture.h"

namespace {

int quits = 0;
void count_quit() { ++quits; }

// A start-up process over the headless graphics devices, with "quit" counted instead of run.
class common_proc_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        gfx_init_devices();
        quits = 0;
        ASSERT_TRUE(cmd_register_command("quit", count_quit));
        process_ptr_ = std::make_unique<common_proc>();
    }

    void TearDown() override
    {
        process_ptr_.reset();
        frame_test_t::TearDown();
    }

    std::unique_ptr<common_proc> process_ptr_;
    common_proc& process() { return *process_ptr_; }
};

TEST_F(common_proc_test, a_mode_of_width_and_height_alone_keeps_the_default_depth_and_refresh)
{
    cvar_set_or_keep("r_mode", "800x600");
    process().choose_device_mode();
    ASSERT_EQ(process().current_device(), gfx_device_get(0));
    const gfx_mode_t& mode = process().current_mode();
    EXPECT_EQ(mode.width, 800);
    EXPECT_EQ(mode.height, 600);
    EXPECT_EQ(mode.bits, 16);
    EXPECT_EQ(mode.refresh, 60);
    EXPECT_EQ(mode.fullscreen_request, 0);
    ASSERT_NE(gfx_record_mode(), nullptr);
    EXPECT_EQ(gfx_record_mode()->width, 800);
}

TEST_F(common_proc_test, a_mode_not_offered_falls_back_to_640x480x16_at_the_default_refresh)
{
    cvar_set_or_keep("r_mode", "700x500x32x75");
    cvar_set_or_keep("r_fullscreen", "1");
    process().choose_device_mode();
    EXPECT_TRUE(engine_log_has("[common_proc] gfx mode enumeration failed for [700x500 32 bpp]"));
    const gfx_mode_t& mode = process().current_mode();
    EXPECT_EQ(mode.width, 640);
    EXPECT_EQ(mode.height, 480);
    EXPECT_EQ(mode.bits, 16);
    EXPECT_EQ(mode.refresh, 0);
    EXPECT_EQ(mode.fullscreen_request, 1);
}

TEST_F(common_proc_test, a_first_run_without_a_capabilities_file_reports_nothing_missing)
{
    process().choose_device_mode();
    EXPECT_EQ(process().current_device(), gfx_device_get(0));
    EXPECT_TRUE(engine_log_matching("hw_caps.def").empty());
}

TEST_F(common_proc_test, an_unknown_device_name_falls_back_to_the_first_device)
{
    cvar_set_or_keep("r_device", "nosuch");
    process().choose_device_mode();
    EXPECT_EQ(process().current_device(), gfx_device_get(0));

    cvar_set_or_keep("r_device", "GL");
    process().choose_driver_mode();
    EXPECT_EQ(process().current_device(), gfx_driver_get(0)) << "names compare ignoring case";
    EXPECT_NE(gfx_driver_get(0), gfx_device_get(0));
}

TEST_F(common_proc_test, no_device_sets_no_mode)
{
    gfx_shutdown_devices();
    process().choose_device_mode();
    process().choose_driver_mode();
    EXPECT_EQ(process().current_device(), nullptr);
    EXPECT_EQ(gfx_record_mode(), nullptr);
    EXPECT_FALSE(engine_log_matching("invalid gfx device").empty());
}

// Each row scripts how many initialisations the device refuses and what the process must end with.
TEST_F(common_proc_test, set_mode_tries_default_refresh_then_full_screen_then_quits)
{
    struct row_t {
        int refusals;
        bool set;
        int32_t refresh;
        uint8_t fullscreen;
        int quits;
    };
    const row_t rows[] = {
        {0, true, 85, 0, 0},
        {1, true, 0, 0, 0},
        {2, true, 0, 1, 0},
        {3, false, 0, 1, 1},
    };
    for (const row_t& row : rows) {
        SCOPED_TRACE(row.refusals);
        quits = 0;
        process().gfx_mode_shutdown();
        gfx_record_fail_mode_inits(row.refusals);
        gfx_mode_t mode;
        ASSERT_TRUE(gfx_mode_get(gfx_device_get(0), 3, &mode));
        mode.refresh = 85;
        process().set_mode(gfx_device_get(0), &mode);
        EXPECT_EQ(process().current_device() != nullptr, row.set);
        EXPECT_EQ(mode.refresh, row.refresh);
        EXPECT_EQ(mode.fullscreen, row.fullscreen);
        EXPECT_EQ(quits, row.quits);
    }
    EXPECT_FALSE(engine_log_matching("cannot initialize gfx mode.").empty());

    // A mode already raised to full screen quits after the second refusal.
    quits = 0;
    gfx_record_fail_mode_inits(2);
    gfx_mode_t mode;
    ASSERT_TRUE(gfx_mode_get(gfx_device_get(0), 0, &mode));
    mode.fullscreen = 1;
    process().set_mode(gfx_device_get(0), &mode);
    EXPECT_EQ(process().current_device(), nullptr);
    EXPECT_EQ(quits, 1);

    process().set_mode(nullptr, &mode);
    EXPECT_FALSE(engine_log_matching("invalid gfx device").empty());
}

TEST_F(common_proc_test, homeless_mounts_nothing_but_creates_the_four_folders)
{
    cdl_set({"kavrenta", "-homeless"});
    process().mount_home("Kavrenta");
    EXPECT_TRUE(engine_log_matching("home directory @").empty());
    EXPECT_FALSE(std::filesystem::exists(home_ / "Kavrenta"));
    for (const char* folder : {"/missions", "/saves", "/tournaments", "/screenshots"}) {
        vfs_stat_t stat{};
        EXPECT_EQ(vfs_stat(folder, &stat), 0) << folder;
    }
}

TEST_F(common_proc_test, home_is_the_product_folder_under_the_documents)
{
    cdl_set({"kavrenta"});
    process().mount_home("Kavrenta");
    EXPECT_FALSE(engine_log_matching("[common_proc] home directory @ \"" + home_.string()).empty());
    EXPECT_TRUE(std::filesystem::is_directory(home_ / "Kavrenta" / "saves"));
}

TEST_F(common_proc_test, capabilities_are_written_and_applied_at_the_next_choice)
{
    gfx_device_t* device = gfx_device_get(0);
    device->level_setting.set_value("4");
    device->depth_setting.unavailable = 1;
    process().write_hw_caps(device);

    const std::unique_ptr<def_pool_t> written = def_pool_t::load("hw_caps.def");
    ASSERT_NE(written, nullptr);
    const def_obj_t* section = written->find("gl");
    ASSERT_NE(section, nullptr);
    ASSERT_NE(section->get_value("level"), nullptr);
    EXPECT_STREQ(section->get_value("level"), "4");
    EXPECT_EQ(section->get_value("depth"), nullptr) << "an unavailable setting is not stored";

    // Writing again replaces the section and keeps other devices' sections.
    ASSERT_EQ(vfs_unlink("hw_caps.def"), 0);
    write_data_file("hw_caps.def", "other { level = 2; }\ngl { stale = 1; }\n");
    device->depth_setting.unavailable = 0;
    process().write_hw_caps(device);
    const std::unique_ptr<def_pool_t> rewritten = def_pool_t::load("hw_caps.def");
    ASSERT_NE(rewritten, nullptr);
    ASSERT_NE(rewritten->find("other"), nullptr);
    EXPECT_EQ(rewritten->find("gl")->get_value("stale"), nullptr);
    ASSERT_NE(rewritten->find("gl")->get_value("depth"), nullptr);

    device->level_setting.reset();
    process().choose_device_mode();
    EXPECT_EQ(device->level_setting.value(), 4.0);
}

}  // namespace

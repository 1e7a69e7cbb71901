#include "engine_testing/engine_test.h"

#include <unistd.h>

#include <fstream>

#include "engine/clock.h"
#include "engine/frame.h"
#include "engine/random.h"
#include "engine/host.h"
#include "engine/log.h"
#include "engine/mem.h"
#include "engine/process.h"
#include "engine/reset.h"
#include "engine/vfs.h"

void engine_reset() { engine_reset_families(); }

void engine_run_frames(int count, double seconds)
{
    for (int i = 0; i < count; ++i) {
        engine_run_frame(seconds);
    }
}

void engine_seed_random(uint32_t seed)
{
    host_settings().seed = seed;
    random_reset();
}

void engine_set_ticks(uint64_t ticks) { tmr_set_for_test(ticks); }
void engine_release_ticks() { tmr_release_for_test(); }

std::vector<std::string> engine_log_matching(const std::string& fragment)
{
    std::vector<std::string> lines;
    for (const log_entry_t& entry : log_captured())
        if (entry.text.find(fragment) != std::string::npos)
            lines.push_back(entry.text);
    return lines;
}

bool engine_log_has(const std::string& text)
{
    for (const log_entry_t& entry : log_captured())
        if (entry.text == text)
            return true;
    return false;
}

void engine_test_t::SetUp()
{
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/kavrenta-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    const fs::path base(made);
    data_root_ = base / "data";
    home_ = base / "home";
    fs::create_directories(data_root_);
    fs::create_directories(home_);
    host_settings() = host_settings_t{};
    host_settings().data_root = data_root_.string();
    host_settings().home = home_.string();
    host_settings().documents = home_.string();
    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
}

void engine_test_t::TearDown()
{
    engine_reset();
    std::error_code ignored;
    std::filesystem::remove_all(data_root_.parent_path(), ignored);
}

std::filesystem::path engine_test_t::write_data_file(const std::string& relative, const std::string& contents)
{
    const std::filesystem::path path = data_root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Test-control API of the engine stand-in.

// Puts every engine family back to its start state (see engine/reset.h).
void engine_reset();

// Runs `count` frames of `seconds` each over the engine's processes.
void engine_run_frames(int count, double seconds);

// Reseeds the engine's random source (sys_rand and friends restart their sequence from `seed`).
void engine_seed_random(uint32_t seed);

// Pins the tick counter that tmr_read answers; engine_release_ticks lets it follow game time again.
void engine_set_ticks(uint64_t ticks);
void engine_release_ticks();

// Captured log lines containing `fragment` (any level).
std::vector<std::string> engine_log_matching(const std::string& fragment);

// True when some captured line equals `text` exactly.
bool engine_log_has(const std::string& text);

// Base fixture: a reset engine with a fresh temporary data root and home that are removed afterwards.
class engine_test_t : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file under the data root (folders created), returning its full host path.
    std::filesystem::path write_data_file(const std::string& relative, const std::string& contents);

    std::filesystem::path data_root_;
    std::filesystem::path home_;
};

#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"

// A reset engine with the module's engine pointers bound and a temporary data root, for the behaviour
// layer's description files.
class behaviour_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        mark_log();
    }

    // Puts the engine back to its start between the cases of one test.
    void reset_engine()
    {
        engine_reset();
        ASSERT_TRUE(bind_engine_for_tests());
        log_start_ = engine_log_matching("").size();
    }

    // Starts the lines `logged` answers from here.
    void mark_log() { log_start_ = engine_log_matching("").size(); }

    // Every line logged since the fixture was set up, reset or marked, in order.
    std::vector<std::string> logged() const
    {
        std::vector<std::string> lines = engine_log_matching("");
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(log_start_));
        return lines;
    }

    // Lines logged before the test's own work.
    size_t log_start_ = 0;
};

// Wraps the body of a description file in a declaration and the root element.
inline std::string kuvra(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<kuvra>\n" + body + "</kuvra>\n";
}

#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_testing/engine_test.h"
#include "frame/engine_api.h"

// A reset engine with the module's engine pointers bound and a temporary data root, for the behaviour
// layer's description files.
class behaviour_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // Every line logged since the engine was reset, in order.
    static std::vector<std::string> logged() { return engine_log_matching(""); }
};

// Wraps the body of a description file in a declaration and the root element.
inline std::string kuvra(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<kuvra>\n" + body + "</kuvra>\n";
}

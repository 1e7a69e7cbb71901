#pragma once
#include <string>
#include <vector>

#include "common/loading_screen.h"

// A loading screen that keeps the progress it is shown, as "done/total".
class recorded_loading_screen_t : public loading_screen_t {
public:
    void open(int) override {}
    void refresh(const char*) override {}
    void progress(const int done, const int total) override
    {
        steps.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
    void close() override {}
    std::vector<std::string> steps;
};

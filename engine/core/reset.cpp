#include "engine/reset.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, void (*)()>>& registry()
{
    static std::vector<std::pair<int, void (*)()>> resets;
    return resets;
}

}  // namespace

engine_reset_registrar_t::engine_reset_registrar_t(int order, void (*reset)())
{
    registry().emplace_back(order, reset);
}

void engine_reset_families()
{
    auto resets = registry();
    std::stable_sort(resets.begin(), resets.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [order, reset] : resets)
        reset();
}

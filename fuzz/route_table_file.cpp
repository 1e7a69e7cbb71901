// Feeds arbitrary bytes to the route table reader and walks every route it answers for: a route that
// is given must lie wholly inside the table's pool, and nothing may crash or overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/economy/ai_data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    route_table_t table;
    std::string error;
    if (!table.parse(data, size, error))
        return 0;
    const uint16_t docks = table.node_count() < 64 ? table.node_count() : 64;
    for (uint16_t a = 0; a <= docks; ++a)
        for (uint16_t b = 0; b <= docks; ++b) {
            route_view_t route;
            if (!table.get(a, b, route))
                continue;
            if (a >= table.node_count() || b >= table.node_count())
                __builtin_trap();
            uint32_t sum = 0;
            for (uint32_t i = 0; i <= route.length; ++i)
                sum += table.node(route, i) + table.node_distance(route, i);
            (void)sum;
        }
    return 0;
}

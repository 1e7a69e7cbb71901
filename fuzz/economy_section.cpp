// Feeds arbitrary bytes to the economy's save section reader, as versions 13 and 14: a section that is
// accepted must let the rules run over its records (pay, the week's settlement, the drivers' steps)
// without leaving them, and a refused one must leave the controller as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/mbio.h"
#include "common/engine_api.h"
#include "game/economy_ctrl.h"
#include "road/route_cursor.h"

namespace {

// Runs the rules that follow the records' indices.
void run_rules(economy_ctrl_e& economy)
{
    for (int32_t job = 0; job <= economy.job_count(); ++job)
        for (int32_t company = 0; company < economy_company_count; ++company)
            economy.job_pay(job, company, economy.companies[company].trucks[0], 0.5f, true, nullptr, nullptr);
    for (size_t d = 0; d < economy.drivers.size(); ++d) {
        route_t route{};
        economy.driver_route_ahead(static_cast<int32_t>(d), route);
        economy.driver_step();
    }
    economy.weekly_report();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound || size == 0)
        return 0;
    const int32_t version = (data[0] & 1) ? 14 : 13;
    economy_ctrl_e economy;
    mbio_t in(data + 1, size - 1);
    std::string error;
    if (economy.read_section(in, version, error)) {
        run_rules(economy);
    } else if (!economy.drivers.empty() || economy.job_count() != 0 || economy.cargo_count() != 0) {
        __builtin_trap();
    }
    return 0;
}

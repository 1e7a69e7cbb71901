// Feeds arbitrary bytes to the save-game reader as a save file, versions 12 to 14 as the bytes say: the
// whole check the load menu makes before a world is built (the container, the environment, the game
// controller, the traffic and the economy with the player's truck), and for a save that check accepts
// the economy's full load and a week's settlement. An accepted save must load, and the week must leave
// every company's money within the economy's range.
#include <cstddef>
#include <cstdint>

#include "engine/log.h"
#include "common/engine_api.h"
#include "frame/save_game.h"
#include "frame/type_registry.h"
#include "fuzz_data_root.h"
#include "game/economy/economy_money_range.h"
#include "game/economy_ctrl.h"

namespace {

// A neighbour of the economy that checks and passes over its section as the game's owner would.
class checked_section_t : public save_section_owner_t {
public:
    explicit checked_section_t(const save_section_check_t check) : check_(check) {}
    int32_t save(int) override { return -1; }
    int32_t check(const int file, const int32_t version) override { return check_(file, version); }
    int32_t load(const int file, const int32_t version) override { return check_(file, version); }

private:
    save_section_check_t check_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
    fuzz_write_file(fuzz_data_root("save-game"), "fuzz.sav", data, size);
    const save_game_checks_t& checks = save_game_section_checks();
    if (save_game_check(checks, "/fuzz.sav") == save_game_loadable) {
        // The economy's own world without a bridge: the truck's state and record are passed over.
        economy_ctrl_e economy;
        checked_section_t environment(checks.sections[save_section_environment]);
        checked_section_t game_ctrl(checks.sections[save_section_game_ctrl]);
        checked_section_t traffic(checks.sections[save_section_traffic]);
        save_game_owners_t owners;
        owners.sections[save_section_environment] = &environment;
        owners.sections[save_section_game_ctrl] = &game_ctrl;
        owners.sections[save_section_traffic] = &traffic;
        owners.sections[save_section_economy] = &economy;
        owners.timestamp = &economy;
        if (!save_game_read(owners, "/fuzz.sav"))
            __builtin_trap();
        economy.weekly_report();
        for (const company_t& company : economy.companies)
            if (!economy_money_in_range(company.money))
                __builtin_trap();
    }
    log_clear_capture();
    return 0;
}

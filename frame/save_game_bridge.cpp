#include "frame/save_game_bridge.h"

#include "engine/entity.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/save_game_calls.h"
#include "frame/save_game.h"
#include "frame/type_registry.h"

namespace {

// The bridge's owners, each held with one use while the container runs.
class held_owners_t {
public:
    explicit held_owners_t(const game_bridge_t& bridge)
        : environment_(bridge.environment()), base_ctrl_(bridge.base_ctrl()), traffic_(bridge.traffic()),
          economy_(bridge.economy())
    {
        owners_.sections[save_section_environment] = environment_.get();
        owners_.sections[save_section_game_ctrl] = base_ctrl_.get();
        owners_.sections[save_section_traffic] = traffic_.get();
        owners_.sections[save_section_economy] = economy_.get();
        owners_.timestamp = dynamic_cast<save_timestamp_owner_t*>(economy_.get());
    }

    const save_game_owners_t& owners() const { return owners_; }

private:
    held_part_t<save_section_owner_t> environment_;
    held_part_t<save_section_owner_t> base_ctrl_;
    held_part_t<save_section_owner_t> traffic_;
    held_part_t<save_section_owner_t> economy_;
    save_game_owners_t owners_;
};

}  // namespace

bool save_game_write(game_bridge_t* bridge, const char* path)
{
    if (!bridge) {
        api::error("[save_game] no world to save to %s", path);
        return false;
    }
    const held_owners_t held(*bridge);
    return save_game_write(held.owners(), path);
}

namespace {

// The container's calls as the menus reach them (common/save_game_calls.h), installed when the module
// is loaded.
class frame_save_games_t final : public save_games_t {
public:
    frame_save_games_t() { save_games_install(this); }
    bool write_current(const char* path) override { return save_game_write(get_game_bridge(), path); }
    save_game_check_t check_file(const char* path) override
    {
        return save_game_check(save_game_section_checks(), path);
    }
};

frame_save_games_t frame_save_games;

}  // namespace

bool save_game_read(game_bridge_t* bridge, const char* path)
{
    if (!bridge) {
        api::error("[save_game] no world to load %s into", path);
        return false;
    }
    const held_owners_t held(*bridge);
    return save_game_read(held.owners(), path);
}

void game_bridge_t::after_load()
{
    const held_owners_t held(*this);
    const save_game_owners_t& owners = held.owners();
    for (int section = 0; section < save_section_count; ++section) {
        if (section == save_section_economy) {
            if (owners.timestamp)
                owners.timestamp->save_timestamp_default();
        } else if (owners.sections[section]) {
            owners.sections[section]->after_load();
        }
    }
}

#include "frame/save_game_bridge.h"

#include "engine/entity.h"
#include "frame/engine_api.h"
#include "frame/game_bridge.h"
#include "frame/save_game.h"

namespace {

// The bridge's owners, each held with one use while the container runs.
class held_owners_t
{
  public:
    explicit held_owners_t(const game_bridge_t& bridge)
        : handles_{bridge.environment(), bridge.base_ctrl(), bridge.traffic(), bridge.economy()}
    {
        for (int section = 0; section < save_section_count; ++section) {
            held_[section] = handles_[section].add_use();
            entity_t* entity = held_[section] ? handles_[section].resolve() : nullptr;
            owners_.sections[section] = dynamic_cast<save_section_owner_t*>(entity);
            if (section == save_section_economy)
                owners_.timestamp = dynamic_cast<save_timestamp_owner_t*>(entity);
        }
    }
    ~held_owners_t()
    {
        for (int section = 0; section < save_section_count; ++section)
            if (held_[section])
                handles_[section].release();
    }
    held_owners_t(const held_owners_t&) = delete;
    held_owners_t& operator=(const held_owners_t&) = delete;

    const save_game_owners_t& owners() const { return owners_; }

  private:
    entity_handle_t handles_[save_section_count];
    bool held_[save_section_count] = {};
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

bool save_game_read(game_bridge_t* bridge, const char* path)
{
    if (!bridge) {
        api::error("[save_game] no world to load %s into", path);
        return false;
    }
    const held_owners_t held(*bridge);
    return save_game_read(held.owners(), path);
}

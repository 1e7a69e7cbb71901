#include "game/economy_ctrl.h"

// Dealer flag bit 0: the player has found the dealer, which is open to him from then on.
bool economy_ctrl_e::dealer_open(const int32_t dealer) const
{
    return dealer >= 0 && dealer < static_cast<int32_t>(dealers.size()) &&
           (dealers[static_cast<size_t>(dealer)].flags & 1u) != 0;
}

const char* economy_ctrl_e::trader_icon(const int32_t trader) const
{
    if (trader < 0 || trader >= static_cast<int32_t>(traders.size()))
        return nullptr;
    const char* const icon = traders[static_cast<size_t>(trader)].icon_shader;
    return icon[0] ? icon : nullptr;
}

bool economy_ctrl_e::player_target(vec3_t& out) const
{
    if (player_job.job < 0)
        return false;
    out = player_job.target;
    return true;
}

#include "game/economy/economy_money_range.h"

#include <algorithm>

int32_t economy_money_clamped(const int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, -economy_money_limit, economy_money_limit));
}

bool economy_money_in_range(const int64_t value)
{
    return value >= -economy_money_limit && value <= economy_money_limit;
}

#include "engine/level_list.h"

#include <algorithm>

bool level_list_t::contains(int level) const
{
    for (const level_list_t* list = this; list; list = list->base_)
        for (size_t i = 0; i < list->count_; ++i)
            if (list->levels_[i] == level)
                return true;
    return false;
}

void level_list_t::collect(std::vector<int>& levels) const
{
    for (const level_list_t* list = this; list; list = list->base_)
        levels.insert(levels.end(), list->levels_, list->levels_ + list->count_);
}

std::vector<int> level_list_t::levels() const
{
    std::vector<int> all;
    collect(all);
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

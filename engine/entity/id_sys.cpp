#include "engine/id_sys.h"

#include <algorithm>

int id_sys_t::get(int requested)
{
    int id = -1;
    if (requested >= 0) {
        if (requested >= capacity || in_use(requested))
            return -1;
        id = requested;
        const auto queued = std::find(free_.begin(), free_.end(), id);
        if (queued != free_.end())
            free_.erase(queued);
        // Ids skipped over by a request stay available: queue them as freed.
        while (next_fresh_ < id)
            free_.push_back(next_fresh_++);
        if (next_fresh_ == id)
            ++next_fresh_;
    } else if (!free_.empty()) {
        if (fifo_) {
            id = free_.front();
            free_.pop_front();
        } else {
            id = free_.back();
            free_.pop_back();
        }
    } else if (next_fresh_ < capacity) {
        id = next_fresh_++;
    } else {
        return -1;
    }
    if (static_cast<size_t>(id) >= taken_.size()) {
        taken_.resize(static_cast<size_t>(id) + 1, false);
        data_.resize(static_cast<size_t>(id) + 1, 0);
    }
    taken_[static_cast<size_t>(id)] = true;
    data_[static_cast<size_t>(id)] = 0;
    ++used_;
    return id;
}

bool id_sys_t::release(int id)
{
    if (!in_use(id))
        return false;
    taken_[static_cast<size_t>(id)] = false;
    data_[static_cast<size_t>(id)] = 0;
    free_.push_back(id);
    --used_;
    return true;
}

bool id_sys_t::in_use(int id) const
{
    return id >= 0 && static_cast<size_t>(id) < taken_.size() && taken_[static_cast<size_t>(id)];
}

bool id_sys_t::set_data(int id, uintptr_t data)
{
    if (!in_use(id))
        return false;
    data_[static_cast<size_t>(id)] = data;
    return true;
}

uintptr_t id_sys_t::get_data(int id) const { return in_use(id) ? data_[static_cast<size_t>(id)] : 0; }

void id_sys_t::clear()
{
    data_.clear();
    taken_.clear();
    free_.clear();
    next_fresh_ = 0;
    used_ = 0;
}

#include "road/slot_lru.h"

#include "engine/check.h"

void slot_lru_t::reset(const int32_t slots)
{
    prev_.assign(static_cast<size_t>(slots > 0 ? slots : 0), -1);
    next_.assign(prev_.size(), -1);
    head_ = tail_ = -1;
    used_ = 0;
}

int32_t slot_lru_t::acquire()
{
    if (used_ < static_cast<int32_t>(prev_.size())) {
        const int32_t slot = used_++;
        link_front(slot);
        return slot;
    }
    if (tail_ < 0)
        return -1;
    const int32_t slot = tail_;
    to_front(slot);
    return slot;
}

void slot_lru_t::to_front(const int32_t slot)
{
    // Slots come from acquire, which hands out only the used ones.
    kv_assert(slot >= 0 && slot < used_);
    if (slot == head_)
        return;
    unlink(slot);
    link_front(slot);
}

void slot_lru_t::to_back(const int32_t slot)
{
    kv_assert(slot >= 0 && slot < used_);
    if (slot == tail_)
        return;
    unlink(slot);
    link_back(slot);
}

void slot_lru_t::unlink(const int32_t slot)
{
    const auto at = static_cast<size_t>(slot);
    if (prev_[at] >= 0)
        next_[static_cast<size_t>(prev_[at])] = next_[at];
    else
        head_ = next_[at];
    if (next_[at] >= 0)
        prev_[static_cast<size_t>(next_[at])] = prev_[at];
    else
        tail_ = prev_[at];
    prev_[at] = next_[at] = -1;
}

void slot_lru_t::link_front(const int32_t slot)
{
    const auto at = static_cast<size_t>(slot);
    prev_[at] = -1;
    next_[at] = head_;
    if (head_ >= 0)
        prev_[static_cast<size_t>(head_)] = slot;
    head_ = slot;
    if (tail_ < 0)
        tail_ = slot;
}

void slot_lru_t::link_back(const int32_t slot)
{
    const auto at = static_cast<size_t>(slot);
    next_[at] = -1;
    prev_[at] = tail_;
    if (tail_ >= 0)
        next_[static_cast<size_t>(tail_)] = slot;
    tail_ = slot;
    if (head_ < 0)
        head_ = slot;
}

#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The render slots of one kind in the order they were last used, most recent first: an edge coming
// into view takes a never-used slot while there is one, else the least recently used.
class slot_lru_t {
public:
    // A list for `slots` slots, none used yet.
    void reset(int32_t slots);
    // The slot to use next, moved to the front; -1 when there are no slots.
    int32_t acquire();
    // Moves a used slot to the front, or to the back.
    void to_front(int32_t slot);
    void to_back(int32_t slot);
    // Slots used so far, and the slot at the front (-1 none).
    int32_t used() const { return used_; }
    int32_t front() const { return head_; }
    // The slot after `slot` towards the back, -1 at the end.
    int32_t next(int32_t slot) const { return next_[static_cast<size_t>(slot)]; }

private:
    void unlink(int32_t slot);
    void link_front(int32_t slot);
    void link_back(int32_t slot);

    std::vector<int32_t> prev_;
    std::vector<int32_t> next_;
    int32_t head_ = -1;
    int32_t tail_ = -1;
    int32_t used_ = 0;
};

#pragma once
#include <cstdint>
#include <deque>
#include <vector>

// Hands out small integer ids (0 .. capacity - 1) and keeps one data word per id in use, so a peer
// can name an entity by a number that fits in 16 bits.
class id_sys_t {
public:
    // Largest number of ids (ids stay within the positive half of 16 bits).
    static constexpr int capacity = 32768;

    // FIFO reuse gives back freed ids oldest first; otherwise the most recently freed id comes first.
    void set_fifo(bool fifo) { fifo_ = fifo; }
    bool fifo() const { return fifo_; }

    // Takes `requested` when it is free, or any free id when `requested` is negative; -1 when the
    // requested id is out of range or taken, or when every id is in use.
    int get(int requested);
    // Frees an id in use (its data is cleared); false for an id not in use.
    bool release(int id);
    bool in_use(int id) const;

    // Stores the data word of an id in use; false for an id not in use.
    bool set_data(int id, uintptr_t data);
    // The data word of an id in use, or 0.
    uintptr_t get_data(int id) const;

    // Number of ids in use.
    int count() const { return used_; }
    // Frees every id.
    void clear();

private:
    std::vector<uintptr_t> data_;
    std::vector<bool> taken_;
    std::deque<int> free_;  // ids freed before, in the order they were freed
    int next_fresh_ = 0;    // ids from here on were never handed out
    int used_ = 0;
    bool fifo_ = true;
};

#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A table of the segment server whose index -1 holds a spare entry (the fallback shader), in front of
// entries 0 to count - 1.
template <typename T> class seg_fallback_array_t {
public:
    // Makes room for `count` entries and the spare one, all value-initialised.
    void reset(int32_t count) { entries_.assign(static_cast<size_t>(count) + 1, T{}); }
    // Drops every entry, the spare one too.
    void clear() { entries_.clear(); }
    // Entries besides the spare one.
    int32_t count() const { return entries_.empty() ? 0 : static_cast<int32_t>(entries_.size()) - 1; }
    // True when `index` is the spare entry or an entry.
    bool valid(int32_t index) const { return index >= -1 && index < count() && !entries_.empty(); }
    // The entry at `index` (-1 the spare one); the caller checks `valid`.
    T& operator[](int32_t index) { return entries_[static_cast<size_t>(index + 1)]; }
    const T& operator[](int32_t index) const { return entries_[static_cast<size_t>(index + 1)]; }
    // The entry at `index`, or the spare one when `index` is out of range.
    const T& at_or_spare(int32_t index) const { return (*this)[valid(index) ? index : -1]; }
    // Every entry, the spare one first.
    std::vector<T>& with_spare() { return entries_; }

private:
    std::vector<T> entries_;
};

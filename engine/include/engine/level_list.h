#pragma once
#include <cstddef>
#include <vector>

// The numbered phases in which an entity class wants `init` or `destroy` called. A class's list chains
// to its base class's list, so a subclass only names the phases it adds; the phases an entity gets
// are the union over the whole chain.
class level_list_t {
public:
    // Most phases one class adds to its base's list.
    static constexpr int capacity = 8;

    // A list of `levels` chained to `base` (null for a root list).
    template <size_t count>
    constexpr level_list_t(const level_list_t* base, const int (&levels)[count]) : base_(base), count_(count)
    {
        static_assert(count <= capacity, "too many phases in one level list");
        for (size_t i = 0; i < count; ++i)
            levels_[i] = levels[i];
    }

    // True when this list or one it chains to names `level`.
    bool contains(int level) const;
    // Appends every phase of the chain to `levels` (unsorted, possibly repeated).
    void collect(std::vector<int>& levels) const;
    // The phases of the chain, ascending and without repeats.
    std::vector<int> levels() const;

    const level_list_t* base() const { return base_; }

private:
    const level_list_t* base_;
    size_t count_;
    int levels_[capacity] = {};
};

#include "engine/spatialhash.h"

#include <algorithm>
#include <cmath>

#include "engine/check.h"
#include "engine/log.h"

namespace {

// An item larger than the coarsest cell is entered in at most this many cells; a larger one is kept
// aside.
constexpr double max_cells_per_item = 64.0;
// Levels of cells coarser than the given cell size, each twice as coarse as the next, for items larger
// than a cell of the given size (vehicles, buildings): they then touch at most two cells per axis
// instead of being kept aside and tested by every query, and their neighbours are near.
constexpr int coarse_levels = 10;
// Cell indices are kept in this range so that no conversion overflows, whatever the coordinates.
constexpr double max_cell_index = 1 << 30;

bool is_box(const spatial_box_t& box)
{
    for (int a = 0; a < 3; ++a) {
        if (std::isnan(box.min[a]) || std::isnan(box.max[a]) || box.min[a] > box.max[a])
            return false;
    }
    return true;
}

bool boxes_touch(const spatial_box_t& a, const spatial_box_t& b)
{
    for (int i = 0; i < 3; ++i) {
        if (a.min[i] > b.max[i] || b.min[i] > a.max[i])
            return false;
    }
    return true;
}

// True when the segment from `from` to `to` meets the box (slab test over the segment's 0..1 range).
bool segment_touches(const float from[3], const float to[3], const spatial_box_t& box)
{
    double t_in = 0.0;
    double t_out = 1.0;
    for (int a = 0; a < 3; ++a) {
        const double d = static_cast<double>(to[a]) - from[a];
        if (d == 0.0) {
            if (from[a] < box.min[a] || from[a] > box.max[a])
                return false;
            continue;
        }
        double t1 = (box.min[a] - static_cast<double>(from[a])) / d;
        double t2 = (box.max[a] - static_cast<double>(from[a])) / d;
        if (t1 > t2)
            std::swap(t1, t2);
        t_in = std::max(t_in, t1);
        t_out = std::min(t_out, t2);
        if (t_in > t_out)
            return false;
    }
    return true;
}

int cell_index(float coordinate, float cell)
{
    const double index = std::floor(static_cast<double>(coordinate) / cell);
    return static_cast<int>(std::clamp(index, -max_cell_index, max_cell_index));
}

}  // namespace

size_t spatialhash_t::cell_hash_t::operator()(const cell_key_t& k) const
{
    const auto x = static_cast<uint64_t>(static_cast<uint32_t>(k.x));
    const auto y = static_cast<uint64_t>(static_cast<uint32_t>(k.y));
    const auto z = static_cast<uint64_t>(static_cast<uint32_t>(k.z));
    return static_cast<size_t>((x * 73856093u) ^ (y * 19349663u) ^ (z * 83492791u));
}

spatialhash_t::spatialhash_t(float cell_size, float min_cell_size, int levels, float level_ratio)
{
    const bool good = std::isfinite(cell_size) && cell_size > 0.0f && std::isfinite(min_cell_size) &&
                      min_cell_size > 0.0f && levels >= 1 && levels <= 16 && std::isfinite(level_ratio) &&
                      level_ratio > 1.0f;
    if (!good) {
        error("spatialhash_t: bad parameters (%g, %g, %d, %g); using one level of %g cells", cell_size, min_cell_size,
              levels, level_ratio, std::isfinite(cell_size) && cell_size > 0.0f ? cell_size : 64.0);
        levels_.push_back({std::isfinite(cell_size) && cell_size > 0.0f ? cell_size : 64.0f, {}});
        return;
    }
    for (int i = coarse_levels; i > 0; --i)
        levels_.push_back({std::ldexp(cell_size, i), {}});
    float cell = cell_size;
    for (int i = 0; i < levels; ++i) {
        levels_.push_back({cell, {}});
        const float next = std::max(cell / level_ratio, min_cell_size);
        if (next >= cell)
            break;
        cell = next;
    }
}

void spatialhash_t::cell_range(const level_t& level, const spatial_box_t& box, int lo[3], int hi[3]) const
{
    for (int a = 0; a < 3; ++a) {
        lo[a] = cell_index(box.min[a], level.cell);
        hi[a] = cell_index(box.max[a], level.cell);
    }
}

int spatialhash_t::level_of(const spatial_box_t& box) const
{
    const float extent = std::max({box.max[0] - box.min[0], box.max[1] - box.min[1], box.max[2] - box.min[2]});
    int level = 0;
    while (level + 1 < static_cast<int>(levels_.size()) && levels_[level + 1].cell >= extent)
        ++level;
    return level;
}

void spatialhash_t::place(record_t& record)
{
    const spatial_box_t& box = record.box;
    const int level = level_of(box);
    record.level = level;
    cell_range(levels_[level], box, record.lo, record.hi);
    double cells = 1.0;
    for (int a = 0; a < 3; ++a)
        cells *= static_cast<double>(record.hi[a]) - record.lo[a] + 1.0;
    record.oversize = cells > max_cells_per_item;
    if (record.oversize) {
        oversize_.push_back(&record);
        return;
    }
    auto& grid = levels_[level].cells;
    for (int x = record.lo[0]; x <= record.hi[0]; ++x)
        for (int y = record.lo[1]; y <= record.hi[1]; ++y)
            for (int z = record.lo[2]; z <= record.hi[2]; ++z)
                grid[{x, y, z}].push_back(&record);
}

void spatialhash_t::unplace(record_t& record)
{
    // place() entered the record once in the aside list, or once in every cell of its range, and
    // nothing else adds or drops it: each list it is taken from holds it, and each cell exists.
    auto drop = [&record](std::vector<record_t*>& list) {
        auto it = std::find(list.begin(), list.end(), &record);
        kv_assert(it != list.end());
        *it = list.back();
        list.pop_back();
        kv_assert(std::find(list.begin(), list.end(), &record) == list.end());
    };
    if (record.oversize) {
        drop(oversize_);
        return;
    }
    auto& grid = levels_[record.level].cells;
    for (int x = record.lo[0]; x <= record.hi[0]; ++x)
        for (int y = record.lo[1]; y <= record.hi[1]; ++y)
            for (int z = record.lo[2]; z <= record.hi[2]; ++z) {
                auto cell = grid.find({x, y, z});
                kv_assert(cell != grid.end());
                drop(cell->second);
                if (cell->second.empty())
                    grid.erase(cell);
            }
}

bool spatialhash_t::insert(void* item, const spatial_box_t& box)
{
    if (!is_box(box)) {
        error("spatialhash_t: item %p has no valid box", item);
        return false;
    }
    auto [it, added] = records_.try_emplace(item, record_t{item, box, 0, {}, {}, false, 0});
    if (!added) {
        error("spatialhash_t: item %p is already in", item);
        return false;
    }
    place(it->second);
    return true;
}

bool spatialhash_t::remove(void* item)
{
    auto it = records_.find(item);
    if (it == records_.end())
        return false;
    unplace(it->second);
    records_.erase(it);
    return true;
}

bool spatialhash_t::update(void* item, const spatial_box_t& box)
{
    auto it = records_.find(item);
    if (it == records_.end()) {
        error("spatialhash_t: update of item %p that is not in", item);
        return false;
    }
    if (!is_box(box)) {
        error("spatialhash_t: item %p has no valid box", item);
        return false;
    }
    record_t& record = it->second;
    // A moving item mostly stays in the cells it was in: then only its box changes.
    if (!record.oversize && level_of(box) == record.level) {
        int lo[3], hi[3];
        cell_range(levels_[static_cast<size_t>(record.level)], box, lo, hi);
        if (std::equal(lo, lo + 3, record.lo) && std::equal(hi, hi + 3, record.hi)) {
            record.box = box;
            return true;
        }
    }
    unplace(record);
    record.box = box;
    place(record);
    return true;
}

void spatialhash_t::clear()
{
    for (level_t& level : levels_)
        level.cells.clear();
    oversize_.clear();
    records_.clear();
}

const spatial_box_t* spatialhash_t::box_of(void* item) const
{
    auto it = records_.find(item);
    return it == records_.end() ? nullptr : &it->second.box;
}

uint32_t spatialhash_t::next_stamp()
{
    if (++stamp_ == 0) {
        // The stamps went round: forget the old ones so no item counts as already visited.
        for (auto& entry : records_)
            entry.second.stamp = 0;
        stamp_ = 1;
    }
    return stamp_;
}

template <typename F> void spatialhash_t::visit_candidates(const spatial_box_t& box, F&& visit)
{
    const uint32_t stamp = next_stamp();
    auto offer = [&](record_t* record) {
        if (record->stamp == stamp)
            return;
        record->stamp = stamp;
        visit(*record);
    };
    for (const level_t& level : levels_) {
        if (level.cells.empty())
            continue;
        int lo[3], hi[3];
        cell_range(level, box, lo, hi);
        double cells = 1.0;
        for (int a = 0; a < 3; ++a)
            cells *= static_cast<double>(hi[a]) - lo[a] + 1.0;
        // Look the range's cells up one by one, or walk the occupied cells when there are fewer of them.
        if (cells <= static_cast<double>(level.cells.size())) {
            for (int x = lo[0]; x <= hi[0]; ++x)
                for (int y = lo[1]; y <= hi[1]; ++y)
                    for (int z = lo[2]; z <= hi[2]; ++z) {
                        auto cell = level.cells.find({x, y, z});
                        if (cell != level.cells.end())
                            std::for_each(cell->second.begin(), cell->second.end(), offer);
                    }
        } else {
            for (const auto& [key, list] : level.cells) {
                if (key.x >= lo[0] && key.x <= hi[0] && key.y >= lo[1] && key.y <= hi[1] && key.z >= lo[2] &&
                    key.z <= hi[2])
                    std::for_each(list.begin(), list.end(), offer);
            }
        }
    }
    std::for_each(oversize_.begin(), oversize_.end(), offer);
}

size_t spatialhash_t::query(const spatial_box_t& box, std::vector<void*>& out)
{
    if (!is_box(box))
        return 0;
    const size_t before = out.size();
    visit_candidates(box, [&](const record_t& record) {
        if (boxes_touch(record.box, box))
            out.push_back(record.item);
    });
    return out.size() - before;
}

size_t spatialhash_t::query_ray(const float from[3], const float to[3], std::vector<void*>& out)
{
    spatial_box_t bounds;
    for (int a = 0; a < 3; ++a) {
        bounds.min[a] = std::min(from[a], to[a]);
        bounds.max[a] = std::max(from[a], to[a]);
    }
    if (!is_box(bounds))
        return 0;
    const size_t before = out.size();
    visit_candidates(bounds, [&](const record_t& record) {
        if (segment_touches(from, to, record.box))
            out.push_back(record.item);
    });
    return out.size() - before;
}

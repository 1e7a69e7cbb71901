#include "world/cd_geo_aabb_tree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/cache.h"
#include "engine/clock.h"
#include "engine/mem.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "world/world_map_files.h"

namespace {

// Floor division: sectors below the grid's origin count down from -1.
int32_t floor_div(int64_t value, int32_t edge)
{
    int64_t q = value / edge;
    if (value % edge != 0 && value < 0)
        --q;
    return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN / 2, INT32_MAX / 2));
}

// The node callback of a built tree: a leaf of one builder item is the sector root in its slot.
cd_bvnode_t* sector_root_of(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    const auto& slots = *static_cast<std::vector<cd_bvnode_t*>*>(owner);
    const auto items = tree.items_of(group);
    return items.size() == 1 && items[0].id < slots.size() ? slots[items[0].id] : nullptr;
}

// Sector roots live in their own blocks: a leaf takes no room in the built tree's block.
size_t no_leaf_bytes(const cd_bvgroup_t&, void*) { return 0; }

// Recomputes the top nodes of a built tree (those inside its own block) from their children.
void refit_top(cd_bvnode_t* node, const char* begin, const char* end)
{
    const char* at = reinterpret_cast<const char*>(node);
    if (!node || node->leaf() || at < begin || at >= end)
        return;
    refit_top(node->first, begin, end);
    refit_top(node->second, begin, end);
    node->bounds = node->first->bounds;
    node->bounds.add_bounds(node->second->bounds);
}

// Removes from a sector's leaves the references `valid` refuses; answers how many went.
template <typename valid_t> int drop_references(cd_bvnode_t* node, const valid_t& valid)
{
    if (!node)
        return 0;
    if (!node->leaf())
        return drop_references(node->first, valid) + drop_references(node->second, valid);
    uint16_t kept = 0;
    const uint16_t count = node->count();
    for (uint16_t i = 0; i < count; ++i)
        if (valid(node->ids()[i]))
            node->ids()[kept++] = node->ids()[i];
    node->count() = kept;
    return count - kept;
}

}  // namespace

cd_geo_aabb_tree_t::cd_geo_aabb_tree_t()
{
    set_name("cd_geo_aabb_tree_t");
    bounds_.bounds.set_empty();
}

cd_geo_aabb_tree_t::~cd_geo_aabb_tree_t() { clear(); }

void cd_geo_aabb_tree_t::clear()
{
    for (built_tree_t& tree : trees_)
        free_tree(tree);
    trees_.clear();
    for (size_t i = 0; i < sectors_.size(); ++i)
        while (sectors_[i].uses > 0)
            drop_sector(i);
    sectors_.clear();
    sector_keys_.clear();
    no_data_ = true;
}

bool cd_geo_aabb_tree_t::load(const char* directory)
{
    clear();
    char path[256];
    std::snprintf(path, sizeof path, "%s/aabb.dat", directory);
    sector_index_t index;
    vfs_stat_t stat{};
    if (api::vfs_stat(path, &stat) == 0) {
        std::vector<uint8_t> bytes;
        std::string why;
        if (!world_file_read(path, bytes) || !sector_index_parse(bytes.data(), bytes.size(), index, why)) {
            report_error("%s: %s", path, why.empty() ? "cannot be read" : why.c_str());
            return false;
        }
        for (int k = 0; k < 3; ++k)
            offset_[k] = index.offset[k];
        edge_ = index.edge;
        for (const auto& coordinates : index.sectors) {
            const uint64_t key = key_of(coordinates[0], coordinates[1], coordinates[2]);
            if (sector_keys_.count(key))
                continue;
            sector_t sector;
            sector.coordinates = coordinates;
            char name[256];
            std::snprintf(name, sizeof name, "%s/aabb%04x%04x%04x.btr", directory, coordinates[0], coordinates[1],
                          coordinates[2]);
            sector.name = name;
            sector_keys_[key] = sectors_.size();
            sectors_.push_back(std::move(sector));
        }
        no_data_ = false;
        // The one sector of a one-sector map stays for the geometry's whole life.
        if (sectors_.size() == 1)
            hold_sector(0);
    }
    minimum_ = {std::min(index.corners[0].x, index.corners[1].x), std::min(index.corners[0].y, index.corners[1].y),
                std::min(index.corners[0].z, index.corners[1].z)};
    maximum_ = {std::max(index.corners[0].x, index.corners[1].x), std::max(index.corners[0].y, index.corners[1].y),
                std::max(index.corners[0].z, index.corners[1].z)};
    const float low[3] = {minimum_.x, minimum_.y, minimum_.z};
    const float high[3] = {maximum_.x, maximum_.y, maximum_.z};
    bounds_.bounds.set_empty();
    bounds_.bounds.add_box(low, high);
    sphere_.centre = (index.corners[0] + index.corners[1]) * 0.5f;
    sphere_.radius = (sphere_.centre - index.corners[0]).length() + 1.0f;
    return true;
}

void cd_geo_aabb_tree_t::sector_of(const vec3_t& point, int32_t out[3]) const
{
    const float values[3] = {point.x, point.y, point.z};
    for (int k = 0; k < 3; ++k)
        out[k] = floor_div(static_cast<int64_t>(std::floor(values[k])) + offset_[k], edge_);
}

cd_bvnode_t* cd_geo_aabb_tree_t::get_tree(uint32_t* handle)
{
    *handle = 0;
    return nullptr;
}

cd_bvnode_t* cd_geo_aabb_tree_t::get_tree_in_box(uint32_t* handle, const vec3_t& corner_a, const vec3_t& corner_b)
{
    *handle = 0;
    const float corners[6] = {corner_a.x, corner_a.y, corner_a.z, corner_b.x, corner_b.y, corner_b.z};
    if (no_data_ || !std::all_of(corners, corners + 6, [](float v) { return std::isfinite(v); }))
        return nullptr;
    const vec3_t box_min(std::min(corner_a.x, corner_b.x), std::min(corner_a.y, corner_b.y),
                         std::min(corner_a.z, corner_b.z));
    const vec3_t box_max(std::max(corner_a.x, corner_b.x), std::max(corner_a.y, corner_b.y),
                         std::max(corner_a.z, corner_b.z));
    if (box_max.x < minimum_.x || box_max.y < minimum_.y || box_max.z < minimum_.z || box_min.x > maximum_.x ||
        box_min.y > maximum_.y || box_min.z > maximum_.z)
        return nullptr;
    // In file orientation z is negated, so the box's low z bound comes from its high corner.
    const vec3_t low(std::max(box_min.x, minimum_.x), std::max(box_min.y, minimum_.y),
                     -std::min(box_max.z, maximum_.z));
    const vec3_t high(std::min(box_max.x, maximum_.x), std::min(box_max.y, maximum_.y),
                      -std::max(box_min.z, minimum_.z));
    int32_t lo[3];
    int32_t hi[3];
    sector_of(low, lo);
    sector_of(high, hi);
    for (int k = 0; k < 3; ++k) {
        lo[k] = std::max(lo[k] - 1, 0);
        hi[k] = std::max(hi[k] + 1, 0);
    }
    for (built_tree_t& tree : trees_) {
        if (tree.lo[0] <= lo[0] && tree.lo[1] <= lo[1] && tree.lo[2] <= lo[2] && tree.hi[0] >= hi[0] &&
            tree.hi[1] >= hi[1] && tree.hi[2] >= hi[2]) {
            ++tree.users;
            tree.time = api::tmr_read();
            *handle = tree.handle;
            return tree.root;
        }
    }
    built_tree_t* const tree = build_tree(lo, hi);
    if (!tree)
        return nullptr;
    *handle = tree->handle;
    return tree->root;
}

void cd_geo_aabb_tree_t::release_tree(uint32_t handle)
{
    if (no_data_)
        return;
    for (built_tree_t& tree : trees_)
        if (tree.handle == handle && tree.users > 0)
            --tree.users;
}

cd_geo_aabb_tree_t::built_tree_t* cd_geo_aabb_tree_t::build_tree(const int32_t lo[3], const int32_t hi[3])
{
    int32_t whole_hi[3];
    sector_of(vec3_t(maximum_.x, maximum_.y, -minimum_.z), whole_hi);
    bool whole = true;
    for (int k = 0; k < 3; ++k)
        whole = whole && lo[k] <= 0 && hi[k] >= whole_hi[k] + 1;

    built_tree_t tree;
    if (next_handle_ == 0)
        next_handle_ = 1;
    tree.handle = next_handle_++;
    std::copy(lo, lo + 3, tree.lo);
    std::copy(hi, hi + 3, tree.hi);
    cd_bvtree_t builder(512, 128);
    slots_.clear();
    builder.set_callbacks(&slots_, 0.0f, 1, sector_root_of, no_leaf_bytes, nullptr);
    const auto add = [&](size_t index) {
        if (slots_.size() >= static_cast<size_t>(max_sectors)) {
            report_error("building %s tree & maximum number[%d] of sectors reached", whole ? "whole" : "range",
                         max_sectors);
            return false;
        }
        if (!hold_sector(index))
            return true;
        const cd_bvnode_t* root = sectors_[index].tree->root();
        cd_bvitem_t* const item = builder.add_item();
        item->id = static_cast<uint32_t>(slots_.size());
        item->minimum = {root->bounds.minimum[0], root->bounds.minimum[1], root->bounds.minimum[2]};
        item->maximum = {root->bounds.maximum[0], root->bounds.maximum[1], root->bounds.maximum[2]};
        item->centre = (item->minimum + item->maximum) * 0.5f;
        slots_.push_back(sectors_[index].tree->root());
        tree.sectors.push_back(index);
        return true;
    };
    const double volume = (double(hi[0]) - lo[0] + 1) * (double(hi[1]) - lo[1] + 1) * (double(hi[2]) - lo[2] + 1);
    if (!whole && volume > static_cast<double>(sectors_.size())) {
        // A range larger than the table (a fine grid over a wide map) is looked up sector by sector.
        for (size_t i = 0; i < sectors_.size(); ++i) {
            const auto& c = sectors_[i].coordinates;
            if (c[0] >= lo[0] && c[0] <= hi[0] && c[1] >= lo[1] && c[1] <= hi[1] && c[2] >= lo[2] && c[2] <= hi[2] &&
                !add(i))
                break;
        }
    } else if (!whole) {
        bool room = true;
        for (int32_t x = lo[0]; room && x <= hi[0]; ++x)
            for (int32_t y = lo[1]; room && y <= hi[1]; ++y)
                for (int32_t z = lo[2]; room && z <= hi[2]; ++z) {
                    if (x > 0xFFFF || y > 0xFFFF || z > 0xFFFF)
                        continue;
                    const auto found = sector_keys_.find(
                        key_of(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z)));
                    if (found != sector_keys_.end())
                        room = add(found->second);
                }
    } else {
        for (size_t i = 0; i < sectors_.size() && add(i); ++i) {
        }
    }
    size_t size = 0;
    tree.root = slots_.empty() ? nullptr : builder.build(&size, &tree.block);
    if (!tree.root) {
        free_tree(tree);
        return nullptr;
    }
    tree.block_size = size;
    tree.users = 1;
    tree.time = api::tmr_read();
    bytes_held_ += size;
    trees_.push_back(std::move(tree));
    return &trees_.back();
}

bool cd_geo_aabb_tree_t::hold_sector(size_t index)
{
    sector_t& sector = sectors_[index];
    if (sector.uses == 0) {
        c_item_t* const item = api::mm_precache(sector.name.c_str());
        void* const object = item ? c_item_lock(item) : nullptr;
        if (!object) {
            report_error("cannot load collision sector %s", sector.name.c_str());
            if (item)
                api::ci_dec_refs(item);
            return false;
        }
        sector.item = item;
        sector.tree = static_cast<sector_tree_t*>(object);
        ++resident_sectors_;
        bytes_held_ += sector.tree->size();
        if (!sector.tree->checked)
            check_sector(sector);
    }
    ++sector.uses;
    return true;
}

void cd_geo_aabb_tree_t::drop_sector(size_t index)
{
    sector_t& sector = sectors_[index];
    if (sector.uses == 0 || --sector.uses > 0)
        return;
    bytes_held_ -= sector.tree->size();
    --resident_sectors_;
    c_item_release(sector.item);
    api::ci_dec_refs(sector.item);
    sector.item = nullptr;
    sector.tree = nullptr;
    sector.refitted = false;
}

void cd_geo_aabb_tree_t::check_sector(sector_t& sector)
{
    const int dropped = drop_references(sector.tree->root(), [this](uint32_t r) { return valid_reference(r); });
    if (dropped > 0)
        report_error("%s: %d triangle references name no triangle of the map", sector.name.c_str(), dropped);
    sector.tree->checked = true;
}

bool cd_geo_aabb_tree_t::refresh(built_tree_t& tree)
{
    for (const size_t index : tree.sectors) {
        sector_t& sector = sectors_[index];
        if (sector.refitted)
            continue;
        if (!refit(sector.tree->root()))
            return false;
        sector.refitted = true;
    }
    const char* begin = static_cast<const char*>(tree.block);
    refit_top(tree.root, begin, begin + tree.block_size);
    tree.refreshed = true;
    return true;
}

void cd_geo_aabb_tree_t::maintain()
{
    const uint64_t now = api::tmr_read();
    for (auto it = trees_.begin(); it != trees_.end();) {
        built_tree_t& tree = *it;
        const bool idle = static_cast<double>(now) > static_cast<double>(tree.time) + idle_time;
        if (!expiry || tree.users > 0 || !idle) {
            if (!tree.refreshed)
                refresh(tree);
            ++it;
            continue;
        }
        free_tree(tree);
        it = trees_.erase(it);
    }
}

void cd_geo_aabb_tree_t::free_tree(built_tree_t& tree)
{
    for (const size_t index : tree.sectors)
        drop_sector(index);
    tree.sectors.clear();
    if (tree.block) {
        bytes_held_ -= tree.block_size;
        mem_sys_free(tree.block);
    }
    tree.block = nullptr;
    tree.root = nullptr;
}

void cd_geo_aabb_tree_t::set_rotation(quat_t) { report("WARNING: map_e collision data rotation not supported"); }

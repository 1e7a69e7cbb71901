#include "engine/pml.h"

#include <algorithm>

pml_buffer_t::pml_buffer_t(size_t capacity_bytes) : capacity_items_(capacity_bytes / pml_item_bytes) {}

void pml_buffer_t::reset()
{
    items_.clear();
    position_[0] = position_[1] = 0.0f;
}

pml_item_t* pml_buffer_t::insert(const char* shader)
{
    if (items_.size() >= capacity_items_)
        return nullptr;
    pml_item_t item;
    if (shader)
        item.shader = shader;
    else if (!items_.empty())
        item.shader = items_.back().shader;
    items_.push_back(std::move(item));
    return &items_.back();
}

bool pml_buffer_t::push(const pml_item_t& item)
{
    if (items_.size() >= capacity_items_)
        return false;
    items_.push_back(item);
    return true;
}

bool pml_buffer_t::append_from(const pml_buffer_t& other)
{
    if (other.items_.size() > capacity_items_ - items_.size())
        return false;
    const std::vector<pml_item_t> copied = other.items_;  // `other` may be this buffer
    items_.insert(items_.end(), copied.begin(), copied.end());
    return true;
}

void pml_buffer_t::set_position(int move_items, const float* position)
{
    const float x = position ? position[0] : 0.0f;
    const float y = position ? position[1] : 0.0f;
    if (move_items) {
        const float dx = x - position_[0];
        const float dy = y - position_[1];
        for (pml_item_t& item : items_) {
            item.box.left += dx;
            item.box.right += dx;
            item.box.top += dy;
            item.box.bottom += dy;
        }
    }
    position_[0] = x;
    position_[1] = y;
}

void pml_buffer_t::offset(float dx, float dy)
{
    for (pml_item_t& item : items_) {
        item.box.left += dx;
        item.box.right += dx;
        item.box.top += dy;
        item.box.bottom += dy;
    }
    position_[0] += dx;
    position_[1] += dy;
}

// Box around `items`; false and an empty box for none.
static bool items_bounds(const std::vector<pml_item_t>& items, pml_rect_t& out)
{
    out = pml_rect_t{};
    if (items.empty())
        return false;
    out = items.front().box;
    for (const pml_item_t& item : items) {
        out.left = std::min(out.left, item.box.left);
        out.right = std::max(out.right, item.box.right);
        out.top = std::max(out.top, item.box.top);
        out.bottom = std::min(out.bottom, item.box.bottom);
    }
    return true;
}

bool pml_buffer_t::get_bounds(pml_rect_t& out) const { return items_bounds(items_, out); }

void pml_bin_buffer_t::precache(const pml_buffer_t& source, float dx, float dy)
{
    for (const pml_item_t& item : source.items()) {
        pml_item_t moved = item;
        moved.box.left += dx;
        moved.box.right += dx;
        moved.box.top += dy;
        moved.box.bottom += dy;
        items_.push_back(std::move(moved));
    }
}

#include "road/road_template.h"

#include "road/road_def.h"

namespace {

// Below this t a vertex lies at a row's start.
constexpr float start_t = 0.0001f;

}  // namespace

road_template_t::road_template_t(const road_section_t& piece)
    : count_(piece.vertex_count()), index_count_(piece.index_count())
{
    const auto count = static_cast<size_t>(count_);
    number_.assign(count, -1);
    weld_.assign(count, -1);
    for (size_t v = 0; v < count; ++v) {
        const int32_t partner = v < piece.partner.size() ? piece.partner[v] : static_cast<int32_t>(v);
        // A start vertex welded to a vertex at the row's end is taken from the previous row; a partner
        // outside the piece or itself welded welds nothing.
        const bool welded = piece.t[v] < start_t && partner != static_cast<int32_t>(v) && partner >= 0 &&
                            partner < count_ && piece.t[static_cast<size_t>(partner)] >= start_t;
        if (welded)
            weld_[v] = partner;
        else
            number_[v] = repeat_++;
    }
}

int32_t road_template_t::vertices(const int32_t rows) const { return rows > 0 ? count_ + repeat_ * (rows - 1) : 0; }

int32_t road_template_t::indices(const int32_t rows) const { return rows > 0 ? index_count_ * rows : 0; }

int32_t road_template_t::index_on_row(const int32_t vertex, const int32_t row) const
{
    if (row == 0)
        return vertex;
    const auto v = static_cast<size_t>(vertex);
    if (number_[v] >= 0)
        return count_ + (row - 1) * repeat_ + number_[v];
    const int32_t partner = weld_[v];
    if (row == 1)
        return partner;
    return count_ + (row - 2) * repeat_ + number_[static_cast<size_t>(partner)];
}

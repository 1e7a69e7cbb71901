#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct road_section_t;

// How a cross-section piece is repeated row after row along a curve: which of its vertices each row
// after the first emits again (those not welded to the previous row's end), their numbers within the
// row, and the vertex each welded start vertex stands for.
class road_template_t {
public:
    explicit road_template_t(const road_section_t& piece);

    // True when template vertex `vertex` is written on every row, not only on row 0.
    bool emitted(int32_t vertex) const { return number_[static_cast<size_t>(vertex)] >= 0; }
    // Vertices each row after the first adds.
    int32_t repeat() const { return repeat_; }
    // Vertices and indices of `rows` rows.
    int32_t vertices(int32_t rows) const;
    int32_t indices(int32_t rows) const;
    // The vertex (counted from the first of the piece) that template index `vertex` names on row `row`.
    int32_t index_on_row(int32_t vertex, int32_t row) const;

private:
    int32_t count_;
    int32_t index_count_;
    int32_t repeat_ = 0;
    // Per template vertex: its number among the emitted vertices of a row, -1 for a welded one.
    std::vector<int32_t> number_;
    // Per welded start vertex: the template vertex at the row's end it is welded to.
    std::vector<int32_t> weld_;
};

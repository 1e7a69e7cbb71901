#include <cstring>

#include "common/engine_api.h"
#include "editor/edit_ctrl.h"

namespace {

// A sign record as a new sign of `edge` starts: no definition, no offset, blank boards.
map_sign_t new_sign(const int32_t edge)
{
    map_sign_t sign{};
    sign.edge = edge;
    for (int b = 0; b < 3; ++b)
        sign.first_symbols[b] = sign.second_symbols[b] = -1;
    return sign;
}

}  // namespace

void edit_ctrl_e::shift_placed_signs(const int32_t from, const int32_t delta)
{
    if (!seg_server)
        return;
    for (auto* board = seg_server->boards.first(); board; board = board->next()) {
        int32_t& sign = board->value().sign;
        if (sign >= from)
            sign += delta;
    }
}

void edit_ctrl_e::check_sign_runs()
{
    for (int32_t e = 0; e < edges.count; ++e) {
        const int32_t sign = edges[e].sign;
        if (sign != -1 && (!signs.valid(sign) || signs[sign].edge != e))
            api::error("Edge %d has wrong sign id", e);
    }
}

int32_t edit_ctrl_e::add_edge_signs(const int32_t edge)
{
    if (!edges.valid(edge))
        return -1;
    const int32_t first = edges[edge].sign;
    const int32_t added = add_sign();
    if (added < 0)
        return -1;
    if (!signs.valid(first)) {
        signs[added] = new_sign(edge);
        edges[edge].sign = added;
        check_sign_runs();
        return added;
    }
    int32_t at = first;
    while (at < added && signs[at].edge == edge)
        ++at;
    std::memmove(static_cast<void*>(&signs[at + 1]), &signs[at], sizeof(map_sign_t) * (added - at));
    for (map_edge_t& other : edges)
        if (other.sign > first)
            ++other.sign;
    // The placed boards name their records by number too: those behind the new one move up with them.
    shift_placed_signs(at, 1);
    signs[at] = new_sign(edge);
    check_sign_runs();
    return at;
}

void edit_ctrl_e::remove_signs(const int32_t edge, const int32_t index)
{
    if (!edges.valid(edge) || !signs.valid(index))
        return;
    for (map_edge_t& other : edges)
        if (other.sign > index)
            --other.sign;
    if (seg_server)
        for (auto* board = seg_server->boards.first(); board; board = board->next())
            if (board->value().sign == index)
                board->value().sign = -1;
    shift_placed_signs(index + 1, -1);
    std::memmove(static_cast<void*>(&signs[index]), &signs[index + 1], sizeof(map_sign_t) * (signs.count - index - 1));
    --signs.count;
    map_edge_t& record = edges[edge];
    if (!signs.valid(record.sign) || signs[record.sign].edge != edge)
        record.sign = -1;
    rebuild_edge(edge);
    check_sign_runs();
}

void edit_ctrl_e::remove_edge_signs(const int32_t edge)
{
    if (!edges.valid(edge) || edges[edge].sign == -1)
        return;
    const int32_t first = edges[edge].sign;
    edges[edge].sign = -1;
    if (!signs.valid(first))
        return;
    int32_t end = first;
    while (end < signs.count && signs[end].edge == edge)
        ++end;
    const int32_t removed = end - first;
    for (map_edge_t& other : edges)
        if (other.sign >= end)
            other.sign -= removed;
    if (seg_server)
        for (auto* board = seg_server->boards.first(); board; board = board->next())
            if (board->value().sign >= first && board->value().sign < end)
                board->value().sign = -1;
    shift_placed_signs(end, -removed);
    std::memmove(static_cast<void*>(&signs[first]), &signs[end], sizeof(map_sign_t) * (signs.count - end));
    signs.count -= removed;
    check_sign_runs();
}

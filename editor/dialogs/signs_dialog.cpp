#include "editor/dialogs/signs_dialog.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "road/seg_server.h"
#include "editor/dialogs/definition_lists.h"
#include "editor/dialogs/edge_index_line.h"
#include "editor/edit_ctrl.h"

namespace {

// The trackbar runs over the edge in thousandths.
constexpr int position_steps = 1000;
constexpr int page_step = 100;
// Radio rows: road side, boards, arrows (none, left, right, straight), directions (none, N, E, S, W).
constexpr int side_left = 1090;
constexpr int side_right = 1091;
constexpr int first_board = 1092;
constexpr int first_arrow = 1095;
constexpr int first_direction = 1099;
constexpr int boards = 3;
constexpr int arrows = 4;
constexpr int directions = 5;
constexpr uint32_t left_side_bit = 1u << 28;
// Arrows on the boards: none, left, right, straight.
constexpr uint32_t arrow_left = 1;
constexpr uint32_t arrow_right = 2;
constexpr uint32_t arrow_straight = 3;

uint32_t arrow_shift(const int32_t board) { return static_cast<uint32_t>(4 * board); }
uint32_t direction_shift(const int32_t board) { return static_cast<uint32_t>(12 + 4 * board); }

// The controls a sign's own settings use; those in `prefab_fixed` stay disabled on a junction's signs.
constexpr int sign_controls[] = {1090, 1091, 1092, 1093, 1094, 1095, 1096, 1097, 1098, 1099,
                                 1100, 1101, 1102, 1103, 1020, 1021, 1022, 1110, 1000};
constexpr int prefab_fixed[] = {1050, 1051, 1020, 1110, 1000, 1090, 1091, 1095, 1096, 1097, 1098};

// The arrows a sign definition sets on its boards when it is chosen: a two-board sign points straight
// on and right, a three-board sign left, straight on and right; other signs keep theirs.
bool preset_arrows(const seg_server_t* server, const int32_t definition, uint32_t& layout)
{
    if (!server || definition < 0 || static_cast<size_t>(definition) >= server->sign_boards.size())
        return false;
    const int32_t model = server->sign_boards[static_cast<size_t>(definition)].model;
    if (model < 0 || static_cast<size_t>(model) >= server->sign_models.size())
        return false;
    const int32_t board_count = server->sign_models[static_cast<size_t>(model)].board_count;
    uint32_t preset[boards];
    if (board_count == 2) {
        preset[0] = arrow_straight, preset[1] = arrow_right, preset[2] = 0;
    } else if (board_count == 3) {
        preset[0] = arrow_left, preset[1] = arrow_straight, preset[2] = arrow_right;
    } else {
        return false;
    }
    for (int32_t b = 0; b < boards; ++b)
        layout = (layout & ~(3u << arrow_shift(b))) | preset[b] << arrow_shift(b);
    return true;
}

}  // namespace

map_sign_t* signs_dialog_t::sign() { return ctrl_.signs.valid(sign_) ? &ctrl_.signs[sign_] : nullptr; }

void signs_dialog_t::on_init()
{
    const map_edge_t& record = edge();
    const int32_t index = edge_index_of(ctrl_, record);
    char line[192];
    if (record.kind == map_edge_city_road || record.kind == map_edge_road) {
        std::string name;
        const int32_t name_index = start_road_name(ctrl_, record, name);
        std::snprintf(line, sizeof line, "Edge index : %d     noise : %d     ai : %d     name_id : %d (%s)", index,
                      record.noise_row, record.traffic_road, name_index, name.c_str());
    } else {
        std::snprintf(line, sizeof line, "Edge index : %d", index);
    }
    set_item_text(prop_id_index_line, line);
    fill_sign_list(-1);
    combo_fill(1020, definition_names(ctrl_.seg_server, definition_list_t::sign_definitions));
    combo_add(1020, "-------", -1);
    for (const int id : {1021, 1022}) {
        combo_fill(id, definition_names(ctrl_.seg_server, definition_list_t::sign_texts));
        combo_add(id, "", -1);
        combo_select_by_data(id, -1);
    }
    trackbar_set_range(1110, 0, position_steps);
    trackbar_set_pos(1110, 0);
    enable_sign_controls(false);
    if (extra != 0)
        select_sign(static_cast<int32_t>(extra) - 1);
}

void signs_dialog_t::fill_sign_list(const int32_t selected)
{
    list_reset(1070);
    const int32_t index = edge_index_of(ctrl_, edge());
    for (int32_t s = edge().sign; index != -1 && ctrl_.signs.valid(s) && ctrl_.signs[s].edge == index; ++s) {
        char text[24];
        std::snprintf(text, sizeof text, "Sign #%02d", s);
        list_add(1070, text, s);
    }
    if (selected != -1)
        list_select_by_data(1070, selected);
}

void signs_dialog_t::enable_sign_controls(const bool on)
{
    for (const int id : sign_controls)
        enable_item(id, on);
    const bool own_signs = edge().kind < map_edge_fork;
    enable_item(1050, own_signs && edge_index_of(ctrl_, edge()) != -1);
    enable_item(1051, own_signs && on);
    if (!own_signs)
        for (const int id : prefab_fixed)
            enable_item(id, false);
}

void signs_dialog_t::select_sign(const int32_t index)
{
    // Only a sign of this edge's run can be current.
    if (!list_select_by_data(1070, index)) {
        sign_ = board_ = -1;
        enable_sign_controls(false);
        return;
    }
    sign_ = index;
    enable_sign_controls(true);
    const map_sign_t& shown = *sign();
    trackbar_set_pos(1110, static_cast<int>(shown.position * position_steps));
    const bool left = (shown.board_flags & left_side_bit) != 0;
    set_check(side_left, left);
    set_check(side_right, !left);
    if (!combo_select_by_data(1020, shown.definition))
        combo_select_by_data(1020, -1);
    set_item_int(1000, shown.offset);
    show_board(0);
}

void signs_dialog_t::show_board(const int32_t board)
{
    const map_sign_t* shown = sign();
    if (!shown || board < 0 || board >= boards)
        return;
    board_ = board;
    for (int32_t b = 0; b < boards; ++b)
        set_check(first_board + b, b == board);
    for (const auto& [id, text] : {std::pair{1021, shown->first_symbols[board]}, {1022, shown->second_symbols[board]}})
        if (!combo_select_by_data(id, text))
            combo_select_by_data(id, -1);
    const uint32_t arrow = (shown->board_flags >> arrow_shift(board)) & 3u;
    const uint32_t direction = (shown->board_flags >> direction_shift(board)) & 15u;
    for (uint32_t a = 0; a < arrows; ++a)
        set_check(first_arrow + static_cast<int>(a), a == arrow);
    for (uint32_t d = 0; d < directions; ++d)
        set_check(first_direction + static_cast<int>(d), d == direction);
}

void signs_dialog_t::on_select_change(const uint32_t id)
{
    int32_t chosen = -1;
    if (id == 1070 && list_get_selected(1070, chosen) != -1)
        select_sign(chosen);
}

void signs_dialog_t::on_select_end(const uint32_t id)
{
    map_sign_t* current = sign();
    if (!current)
        return;
    if (id == 1020) {
        int32_t definition = -1;
        if (combo_get_selected(1020, definition) == -1 || definition == -1)
            return;
        current->definition = definition;
        preset_arrows(ctrl_.seg_server, definition, current->board_flags);
        show_board(0);
    } else if ((id == 1021 || id == 1022) && board_ != -1) {
        combo_get_selected(static_cast<int>(id),
                           id == 1021 ? current->first_symbols[board_] : current->second_symbols[board_]);
    }
}

void signs_dialog_t::on_edit_change(const uint32_t id)
{
    map_sign_t* current = sign();
    if (id != 1000 || !current)
        return;
    // Written as it is typed; a text that is no whole number (yet) leaves the offset alone.
    BOOL translated = FALSE;
    const int32_t offset = static_cast<int32_t>(GetDlgItemInt(window(), 1000, &translated, TRUE));
    if (translated)
        current->offset = offset;
}

void signs_dialog_t::on_edit_button(const uint32_t id)
{
    const int32_t index = edge_index_of(ctrl_, edge());
    if (index == -1 || edge().kind >= map_edge_fork)
        return;
    if (id == 1050) {
        const int32_t added = ctrl_.add_edge_signs(index);
        fill_sign_list(-1);
        if (added != -1)
            select_sign(added);
    } else if (id == 1051 && sign()) {
        ctrl_.remove_signs(index, sign_);
        sign_ = board_ = -1;
        fill_sign_list(-1);
        enable_sign_controls(false);
    }
}

void signs_dialog_t::on_option(const uint32_t id)
{
    map_sign_t* current = sign();
    if (!current)
        return;
    const int option = static_cast<int>(id);
    if (option == side_left || option == side_right) {
        current->board_flags =
            option == side_left ? current->board_flags | left_side_bit : current->board_flags & ~left_side_bit;
    } else if (option >= first_board && option < first_board + boards) {
        show_board(option - first_board);
    } else if (board_ != -1 && option >= first_arrow && option < first_arrow + arrows) {
        const uint32_t shift = arrow_shift(board_);
        current->board_flags = (current->board_flags & ~(3u << shift)) | static_cast<uint32_t>(option - first_arrow)
                                                                             << shift;
    } else if (board_ != -1 && option >= first_direction && option < first_direction + directions) {
        const uint32_t shift = direction_shift(board_);
        current->board_flags =
            (current->board_flags & ~(15u << shift)) | static_cast<uint32_t>(option - first_direction) << shift;
    }
}

void signs_dialog_t::on_hscroll(const uint32_t code, const uint32_t thumb, HWND control)
{
    map_sign_t* current = sign();
    if (!current)
        return;
    int position = trackbar_get_pos(control);
    switch (code) {
    case TB_LINEUP:
        position = position < position_steps ? position + 1 : position;
        break;
    case TB_LINEDOWN:
        position = position > 0 ? position - 1 : position;
        break;
    case TB_PAGEUP:
        position = std::max(position - page_step, 0);
        break;
    case TB_PAGEDOWN:
        position = std::min(position + page_step, position_steps);
        break;
    case TB_THUMBPOSITION:
    case TB_THUMBTRACK:
        position = static_cast<int>(thumb);
        break;
    case TB_TOP:
        position = position_steps;
        break;
    case TB_BOTTOM:
        position = 0;
        break;
    default:
        break;
    }
    position = std::clamp(position, 0, position_steps);
    trackbar_set_pos(1110, position);
    current->position = static_cast<float>(position) * 0.001f;
}

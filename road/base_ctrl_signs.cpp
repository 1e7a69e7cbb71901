// The sign boards of built edges: a board instance of the sign's definition with its place names,
// compass labels, symbols and arrows set on its board windows.
#include <string>

#include "engine/evalue.h"
#include "engine/ui_view.h"
#include "common/ui_find_component.h"
#include "road/base_ctrl.h"
#include "road/sign_board.h"

namespace {

// Sets the "value" of view `id` of board window `window`, when it has one.
void set_board_value(c_item_t* window, const int32_t id, const char* value)
{
    ui_view_t* const view = window ? ui_window_component(window, id) : nullptr;
    if (view && evalue_find(view->get_evalue_root(), "value"))
        evalue_set(view, "value", 0, value);
}

}  // namespace

const char* base_ctrl_e::place_name(const int32_t index) const
{
    if (!seg_server || index < 0 || static_cast<size_t>(index) >= seg_server->place_names.size())
        return "  ";
    return seg_server->place_names[static_cast<size_t>(index)].name;
}

void base_ctrl_e::on_instance_placed(board_instance_t& board)
{
    board.flags &= ~board_attached;
    board.body = nullptr;
}

void base_ctrl_e::on_instance_removed(board_instance_t& board)
{
    if (!board.body)
        return;
    board.flags &= ~board_attached;
    board.body = nullptr;
}

board_instance_node_t* base_ctrl_e::build_sign_visual(const vec3_t& position, const quat_t& rotation,
                                                      const int32_t edge, const map_sign_t& sign, const int32_t text)
{
    const int32_t texts[board_instance_boards] = {
        text, find_sign_destination(edge, (sign.board_flags & sign_search_backwards) != 0), -1};
    board_instance_node_t* const node = build_board_visual(position, rotation, sign, texts);
    if (!node)
        return nullptr;
    const auto address = reinterpret_cast<uintptr_t>(&sign);
    const auto first = reinterpret_cast<uintptr_t>(signs.begin());
    node->value().sign = address >= first && address < reinterpret_cast<uintptr_t>(signs.end())
                             ? static_cast<int32_t>((address - first) / sizeof(map_sign_t))
                             : -1;
    on_instance_placed(node->value());
    return node;
}

board_instance_node_t* base_ctrl_e::build_board_visual(const vec3_t& position, const quat_t& rotation,
                                                       const map_sign_t& sign,
                                                       const int32_t (&texts)[board_instance_boards])
{
    board_instance_node_t* const node = seg_server ? seg_server->add_board_instance(sign.definition) : nullptr;
    if (!node)
        return nullptr;
    board_instance_t& board = node->value();
    board.position = position;
    board.orientation = rotation;
    const sign_board_def_t& definition = seg_server->sign_boards[static_cast<size_t>(sign.definition)];
    const int32_t count = seg_server->sign_models[static_cast<size_t>(definition.model)].board_count;
    const auto symbol = [this](const int32_t index) {
        return index >= 0 && static_cast<size_t>(index) < seg_server->sign_texts.size()
                   ? seg_server->sign_texts[static_cast<size_t>(index)].text
                   : " ";
    };
    std::string key;
    for (int32_t b = 0; b < count && b < board_instance_boards; ++b) {
        board.road_backgrounds[b] = sign_board_key(place_name(texts[b]), texts[b], key);
        board.arrows[b] = static_cast<int32_t>(sign.board_flags >> (4 * b) & 3u) - 1;
        c_item_t* const window = board.boards[b];
        set_board_value(window, sign_view_text, key.c_str());
        set_board_value(window, sign_view_compass, sign_compass_label(sign.board_flags >> (12 + 4 * b) & 0xFu));
        set_board_value(window, sign_view_first_symbol, symbol(sign.first_symbols[b]));
        set_board_value(window, sign_view_second_symbol, symbol(sign.second_symbols[b]));
    }
    return node;
}

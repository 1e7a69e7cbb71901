#include "editor/dialogs/free_item_dialog.h"

#include <cmath>

#include "editor/dialogs/definition_lists.h"
#include "editor/edit_ctrl.h"

namespace {

constexpr const char* field_names[6] = {"Position x", "Position y", "Position z",
                                        "Rotation x", "Rotation y", "Rotation z"};
// Bit 0 of the flags: the item takes part in collision.
constexpr uint32_t collision = 1u;

}  // namespace

void free_item_dialog_t::on_init()
{
    for (int a = 0; a < 3; ++a) {
        set_item_int(1000 + a, static_cast<int32_t>(std::lround(item().position[a])));
        set_item_float(1003 + a, item().rotation[a]);
    }
    combo_fill(1020, definition_names(ctrl_.seg_server, definition_list_t::free_item_models));
    combo_select_by_data(1020, item().model);
    combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::free_item_looks));
    combo_select_by_data(1021, item().look);
    set_check(1130, (item().flags & collision) != 0);
}

bool free_item_dialog_t::on_apply()
{
    float values[6];
    for (int i = 0; i < 6; ++i)
        if (!read_float(1000 + i, field_names[i], i < 3 ? item().position[i] : item().rotation[i - 3], values[i]))
            return false;
    for (int a = 0; a < 3; ++a) {
        item().position[a] = values[a];
        item().rotation[a] = values[3 + a];
    }
    combo_get_selected(1020, item().model);
    combo_get_selected(1021, item().look);
    item().flags = get_check(1130) ? item().flags | collision : item().flags & ~collision;
    return true;
}

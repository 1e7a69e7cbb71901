#include "editor/dialogs/create_prop_dialog.h"

#include <memory>

#include "road/map_edge.h"
#include "editor/dialogs/aux_edge_dialog.h"
#include "editor/dialogs/city_road_edge_dialog.h"
#include "editor/dialogs/free_item_dialog.h"
#include "editor/dialogs/misc_item_dialog.h"
#include "editor/dialogs/node_dialog.h"
#include "editor/dialogs/prefab_edge_dialogs.h"
#include "editor/dialogs/road_edge_dialog.h"
#include "editor/dialogs/signs_dialog.h"
#include "editor/dialogs/stamp_dialogs.h"

namespace {

std::unique_ptr<prop_dialog_t> make_dialog(void* record, edit_ctrl_e& ctrl, const int type)
{
    switch (type) {
    case prop_type_default_edge:
    case prop_type_edge: {
        map_edge_t& edge = *static_cast<map_edge_t*>(record);
        switch (edge.kind) {
        case map_edge_city_road:
            return std::make_unique<city_road_edge_dialog_t>(edge, ctrl);
        case map_edge_road:
            return std::make_unique<road_edge_dialog_t>(edge, ctrl);
        case map_edge_fork:
        case map_edge_cross:
        case map_edge_prefab:
            if (type == prop_type_default_edge)
                return std::make_unique<prefab_edge_dialog_t>(edge, ctrl);
            if (edge.kind == map_edge_fork)
                return std::make_unique<fork_edge_dialog_t>(edge, ctrl);
            if (edge.kind == map_edge_cross)
                return std::make_unique<cross_edge_dialog_t>(edge, ctrl);
            return std::make_unique<prefab_edge_small_dialog_t>(edge, ctrl);
        default:
            return nullptr;
        }
    }
    case prop_type_node:
        return std::make_unique<node_dialog_t>(record, ctrl);
    case prop_type_signs:
        return std::make_unique<signs_dialog_t>(*static_cast<map_edge_t*>(record), ctrl);
    case prop_type_free_item:
        return std::make_unique<free_item_dialog_t>(*static_cast<map_freeitem_t*>(record), ctrl);
    case prop_type_used_stamps:
        return std::make_unique<used_stamps_dialog_t>(*static_cast<map_edge_t*>(record), ctrl);
    case prop_type_select_stamp:
        return std::make_unique<select_stamp_dialog_t>(*static_cast<stamp_choice_t*>(record), ctrl);
    case prop_type_misc_item:
        return std::make_unique<misc_item_dialog_t>(*static_cast<map_miscitem_t*>(record), ctrl);
    case prop_type_aux_edge:
        return std::make_unique<aux_edge_dialog_t>(*static_cast<map_aux_edge_t*>(record), ctrl);
    case prop_type_find_edge:
        return std::make_unique<find_edge_dialog_t>(*static_cast<int32_t*>(record), ctrl);
    default:
        return nullptr;
    }
}

}  // namespace

int create_prop_dialog(void* record, edit_ctrl_e& ctrl, const int type, const uint32_t extra)
{
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    while (ShowCursor(TRUE) < 0) {
    }
    int result = -1;
    if (record) {
        if (std::unique_ptr<prop_dialog_t> dialog = make_dialog(record, ctrl, type)) {
            dialog->extra = extra;
            result = dialog->run_modal();
        }
    }
    ShowCursor(FALSE);
    return result;
}

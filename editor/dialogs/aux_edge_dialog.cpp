#include "editor/dialogs/aux_edge_dialog.h"

#include "editor/dialogs/definition_lists.h"
#include "editor/edit_ctrl.h"

void aux_edge_dialog_t::on_init()
{
    combo_fill(1020, definition_names(ctrl_.seg_server, definition_list_t::aux_models));
    combo_select_by_data(1020, edge().model);
    combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::aux_shaders));
    combo_select_by_data(1021, edge().material);
}

bool aux_edge_dialog_t::on_apply()
{
    combo_get_selected(1020, edge().model);
    combo_get_selected(1021, edge().material);
    return true;
}

bool find_edge_dialog_t::on_apply()
{
    int32_t& index = *static_cast<int32_t*>(record_);
    return read_int(1000, "Edge index", index, INT32_MIN, index);
}

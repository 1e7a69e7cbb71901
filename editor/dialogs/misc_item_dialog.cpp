#include "editor/dialogs/misc_item_dialog.h"

#include "road/seg_instances.h"
#include "road/seg_server.h"
#include "editor/dialogs/definition_lists.h"
#include "editor/edit_ctrl.h"

namespace {

struct misc_type_t {
    const char* name;
    int32_t type;
};
constexpr misc_type_t misc_types[] = {
    {"!None", map_misc_none},
    {"Sky swap", map_misc_sky_swap},
    {"Gas station", map_misc_gas_station},
    {"Service", map_misc_service},
    {"Truck stop", map_misc_truck_stop},
    {"Scales", map_misc_scales},
    {"Cut plane", map_misc_cut_plane},
    {"Mover", map_misc_mover},
    {"Headquarters", map_misc_headquarters},
    {"No weather area", map_misc_no_weather},
};
constexpr int type_controls[] = {900,  901,  902,  903,  904,  905,  906,  907,  1000, 1001,
                                 1021, 1022, 1090, 1091, 1092, 1130, 1131, 1132, 1133};
// A mover's speed (bits 0-15) and delay at the ends (bits 16-30) share its last parameter.
constexpr int32_t max_speed = 0xFFFF;
constexpr int32_t max_delay = 0x7FFF;

}  // namespace

int32_t misc_item_dialog_t::current_point()
{
    const int32_t point = item().selected_point;
    return point >= 0 && point < 4 ? point : -1;
}

void misc_item_dialog_t::hide_type_controls()
{
    for (const int id : type_controls)
        show_item(id, false);
}

void misc_item_dialog_t::show_labelled(const int label, const char* text, const int control)
{
    set_item_text(label, text);
    show_item(label, true);
    show_item(control, true);
}

void misc_item_dialog_t::on_init()
{
    for (const misc_type_t& type : misc_types)
        combo_add(1020, type.name, type.type);
    combo_select_by_data(1020, item().type);
    hide_type_controls();
    if (item().type == map_misc_none) {
        enable_item(prop_id_use_as_defaults, false);
        return;
    }
    enable_item(1020, false);
    const int32_t point = current_point();
    switch (item().type) {
    case map_misc_sky_swap:
        show_labelled(900, "Skybox", 1021);
        combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::sky_shaders));
        if (point >= 0)
            combo_select_by_data(1021, item().params[point]);
        break;
    case map_misc_mover:
        show_labelled(902, "Model", 1021);
        combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::free_item_models));
        combo_select_by_data(1021, item().model_words[0]);
        show_labelled(903, "Look", 1022);
        combo_fill(1022, definition_names(ctrl_.seg_server, definition_list_t::free_item_looks));
        combo_select_by_data(1022, item().model_words[1]);
        show_labelled(904, "Speed", 1000);
        set_item_int(1000, item().params[3] & max_speed);
        show_labelled(905, "Delay at end", 1001);
        set_item_int(1001, (item().params[3] >> 16) & max_delay);
        for (const auto& [id, bit] :
             {std::pair{1130, map_misc_orient}, {1131, map_misc_ping_pong}, {1133, map_misc_night}}) {
            show_item(id, true);
            set_check(id, (item().flags & bit) != 0);
        }
        break;
    case map_misc_headquarters: {
        show_labelled(900, "Rotation", 1021);
        static constexpr const char* angles[] = {"0", "90", "180", "270"};
        for (int32_t a = 0; a < 4; ++a)
            combo_add(1021, angles[a], a);
        if (point >= 0)
            combo_select_by_data(1021, item().params[0]);
        break;
    }
    case map_misc_no_weather:
        show_labelled(906, "Width", 1000);
        set_item_int(1000, item().model_words[0]);
        show_labelled(907, "Height", 1001);
        set_item_int(1001, item().model_words[1]);
        break;
    default:
        break;
    }
}

void misc_item_dialog_t::update_mover()
{
    if (!ctrl_.seg_server)
        return;
    if (mover_instance_t* mover = ctrl_.seg_server->mover_of(item().instance)) {
        mover->model = item().model_words[0];
        mover->look = item().model_words[1];
    }
}

void misc_item_dialog_t::on_select_end(const uint32_t id)
{
    map_miscitem_t& record = item();
    if (id == 1020 && record.type == map_misc_none) {
        int32_t chosen = map_misc_none;
        combo_get_selected(1020, chosen);
        hide_type_controls();
        if (chosen == map_misc_mover) {
            show_labelled(901, "Point count", 1090);
            show_item(1091, true);
            show_item(1092, true);
            show_item(1132, true);
            set_check(1090, true);
            set_check(1091, false);
            set_check(1092, false);
        }
        return;
    }
    const int32_t point = current_point();
    if (id == 1021 && record.type == map_misc_sky_swap && point >= 0) {
        combo_get_selected(1021, record.params[point]);
    } else if (id == 1021 && record.type == map_misc_headquarters && point >= 0) {
        combo_get_selected(1021, record.params[0]);
    } else if ((id == 1021 || id == 1022) && record.type == map_misc_mover) {
        combo_get_selected(static_cast<int>(id), record.model_words[id - 1021]);
        update_mover();
    }
}

bool misc_item_dialog_t::on_apply()
{
    map_miscitem_t& record = item();
    if (record.type == map_misc_none) {
        int32_t chosen = map_misc_none;
        combo_get_selected(1020, chosen);
        record.type = chosen;
        if (chosen == map_misc_mover) {
            const uint32_t segments = get_check(1092) ? 3u : get_check(1091) ? 2u : 1u;
            record.flags = (record.flags & ~(map_misc_segments_mask | map_misc_curve)) | segments |
                           (get_check(1132) ? map_misc_curve : 0u);
        }
        return true;
    }
    if (record.type == map_misc_mover) {
        int32_t speed = 0;
        int32_t delay = 0;
        if (!read_int(1000, "Speed", record.params[3] & max_speed, 0, speed, max_speed) ||
            !read_int(1001, "Delay at end", (record.params[3] >> 16) & max_delay, 0, delay, max_delay))
            return false;
        record.params[3] = speed | (delay << 16);
        record.flags &= ~(map_misc_orient | map_misc_ping_pong | map_misc_night);
        record.flags |= (get_check(1130) ? map_misc_orient : 0u) | (get_check(1131) ? map_misc_ping_pong : 0u) |
                        (get_check(1133) ? map_misc_night : 0u);
    } else if (record.type == map_misc_no_weather) {
        int32_t width = 0;
        int32_t height = 0;
        if (!read_int(1000, "Width", record.model_words[0], 0, width) ||
            !read_int(1001, "Height", record.model_words[1], 0, height))
            return false;
        record.model_words[0] = width;
        record.model_words[1] = height;
    }
    return true;
}

// The free items and misc items of the map as the camera's box passes over them: free items shown and
// hidden through the segment server, misc items switched on into the active list of their type and off
// again when they leave the box.
#include "common/engine_api.h"
#include "road/base_ctrl.h"

namespace {

// The active list that holds misc items of `type`, base_ctrl_list_count for types kept in none.
base_ctrl_list_t list_of_type(const int32_t type)
{
    switch (type) {
    case map_misc_sky_swap:
        return base_ctrl_sky_swaps;
    case map_misc_gas_station:
    case map_misc_service:
    case map_misc_truck_stop:
    case map_misc_scales:
    case map_misc_dealer:
        return base_ctrl_stations;
    case map_misc_cut_plane:
        return base_ctrl_cut_planes;
    case map_misc_mover:
        return base_ctrl_movers;
    case map_misc_no_weather:
        return base_ctrl_no_weather;
    default:
        return base_ctrl_list_count;
    }
}

}  // namespace

void base_ctrl_e::show_target(map_miscitem_t&) {}
void base_ctrl_e::hide_target() {}

void base_ctrl_e::stream_freeitem(const int32_t index)
{
    map_freeitem_t& item = freeitems[index];
    if (!seg_server)
        return;
    if (is_cut(item.position.x, item.position.z)) {
        if (item.shown & 0xFFu)
            seg_server->hide_free_item(freeitems, index);
        return;
    }
    if (item.shown & 0xFFu)
        return;
    // An item still listed (out of view but sounding) is only drawn again.
    if (item.shown_node == 0)
        seg_server->show_free_item(freeitems, index);
    else
        item.shown |= 1u;
}

void base_ctrl_e::switch_on_miscitem(const int32_t index)
{
    map_miscitem_t& item = miscitems[index];
    if (item.active != 0)
        return;
    switch (item.type) {
    case map_misc_mover:
        activate_miscitem(item);
        return;
    case map_misc_headquarters:
        // The marker belongs to the item that showed it: another headquarters in range leaves it be.
        if (item.model_words[0] != 0 && target_item_ == -1) {
            show_target(item);
            if (item.model_words[0] != 0)
                target_item_ = index;
        }
        return;
    default:
        break;
    }
    const base_ctrl_list_t list = list_of_type(item.type);
    if (list == base_ctrl_list_count)
        return;
    if (!lists_[list].append(index)) {
        api::error("Not enough memory to activate misc item %d", index);
        return;
    }
    item.active = 1;
    // A cut plane that comes into range cuts nothing until its side is chosen.
    if (item.type == map_misc_cut_plane)
        item.params[0] = -1;
}

void base_ctrl_e::switch_off_miscitems(const cd_bounds_t& box)
{
    for (vptrlist_t<int32_t>& list : lists_) {
        for (vptrlist_t<int32_t>::node_t* node = list.first(); node;) {
            vptrlist_t<int32_t>::node_t* const next = node->next();
            const int32_t index = node->value();
            if (!miscitems.valid(index)) {
                list.remove(node);
            } else if (!miscitems[index].bounds.overlaps(box)) {
                map_miscitem_t& item = miscitems[index];
                // A mover's instance goes with it; it is made anew when the mover comes back.
                if (item.type == map_misc_mover)
                    drop_mover(item);
                item.active = 0;
                list.remove(node);
            }
            node = next;
        }
    }
    if (miscitems.valid(target_item_) && !miscitems[target_item_].bounds.overlaps(box)) {
        hide_target();
        target_item_ = -1;
    }
}

void base_ctrl_e::switch_off_all_miscitems()
{
    cd_bounds_t nothing;
    nothing.set_empty();
    switch_off_miscitems(nothing);
}

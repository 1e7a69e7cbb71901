#include <algorithm>
#include <cmath>

#include "engine/matrix.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"

namespace {

// Copies what the dialog sets of a free item (definition, look, rotation, flags) from `from`.
void copy_item_choice(map_freeitem_t& to, const map_freeitem_t& from)
{
    to.model = from.model;
    to.look = from.look;
    to.rotation = from.rotation;
    to.flags = from.flags;
}

}  // namespace

void edit_ctrl_e::create_free_item(vec3_t& point)
{
    map_freeitem_t choice{};
    copy_item_choice(choice, free_item_defaults);
    const int32_t result = open_prop_dialog(&choice, edit_dialog_free_item, 0);
    if (result < 1)
        return;
    if (result == 2)
        copy_item_choice(free_item_defaults, choice);
    const int32_t index = add_freeitem();
    if (index < 0)
        return;
    copy_item_choice(freeitems[index], choice);
    point.y = static_cast<float>(item_height);
    place_free_item(index, point, true);
}

void edit_ctrl_e::place_free_item(const int32_t index, const vec3_t& point, const bool rebuild)
{
    if (!freeitems.valid(index))
        return;
    map_freeitem_t& item = freeitems[index];
    item.position = point;
    if (!rebuild)
        return;
    mat4_t turn;
    matrix_set_rotate(turn, item.rotation);
    item.bounds.set_empty();
    psm_t* const model =
        seg_server && item.model >= 0 && item.model < static_cast<int32_t>(seg_server->freeitem_models.size())
            ? seg_server->freeitem_models[static_cast<size_t>(item.model)].model
            : nullptr;
    const psm_info_t* const info = model ? api::psm_get_info(model) : nullptr;
    for (int part = 0; info && part < info->part_count; ++part) {
        int count = 0;
        const vec3_t* const positions = api::psm_update_gdata(model, part, &count);
        for (int v = 0; positions && v < count; ++v) {
            const vec3_t at = mult_point_matrix(turn, positions[v]) + point;
            item.bounds.add_point(at.x, at.y, at.z);
        }
    }
    // A model that gives no vertices still leaves a volume at the item's place, so that it can be found.
    if (item.bounds.minimum[0] > item.bounds.maximum[0])
        item.bounds.add_point(point.x, point.y, point.z);
    build_item_tree();
}

float edit_ctrl_e::raise_free_item(const int32_t index, const float delta)
{
    if (!freeitems.valid(index))
        return 0.0f;
    const vec3_t at = freeitems[index].position;
    const float height = at.y + delta;
    item_height = static_cast<int32_t>(height);
    place_free_item(index, vec3_t(at.x, height, at.z), true);
    return height;
}

void edit_ctrl_e::turn_free_item(const int32_t index, const float a, const float b, const float c)
{
    if (!freeitems.valid(index))
        return;
    map_freeitem_t& item = freeitems[index];
    item.rotation += vec3_t(a, b, c);
    place_free_item(index, item.position, true);
}

void edit_ctrl_e::remove_free_item(const int32_t index)
{
    if (!freeitems.valid(index))
        return;
    if (seg_server) {
        seg_server->hide_free_item(freeitems, index);
        // The shown list names items by number: those above the removed one move down with it.
        for (int32_t& shown : seg_server->shown_freeitems)
            if (shown > index)
                --shown;
    }
    std::copy(freeitems.begin() + index + 1, freeitems.end(), freeitems.begin() + index);
    --freeitems.count;
    if (height_target.kind == edit_pick_free_item && height_target.index >= index)
        height_target = edit_height_target_t{};
}

void edit_ctrl_e::free_item_properties(const int32_t index)
{
    if (!freeitems.valid(index))
        return;
    const int32_t result = open_prop_dialog(&freeitems[index], edit_dialog_free_item, 0);
    if (result < 1)
        return;
    place_free_item(index, freeitems[index].position, true);
    if (result == 2)
        copy_item_choice(free_item_defaults, freeitems[index]);
    modified = true;
}

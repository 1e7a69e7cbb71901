// The free items shown near the camera, and their ambient sounds, which go on while the item is out of
// view but still within earshot.
#include <algorithm>

#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "engine/snd.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

namespace {

// Beyond this squared distance from the camera an item out of view stops sounding (35000 units).
constexpr float sound_reach_squared = 1.225e9f;
constexpr uint32_t shown_byte = 0xFFu;

bool valid_item(const map_array_t<map_freeitem_t>& items, const int32_t index)
{
    return index >= 0 && index < items.count;
}

}  // namespace

snd_sound_t* seg_server_t::freeitem_sound(const map_freeitem_t& item) const
{
    return item.model >= 0 && static_cast<size_t>(item.model) < freeitem_models.size()
               ? freeitem_models[static_cast<size_t>(item.model)].sound
               : nullptr;
}

bool seg_server_t::check_freeitem_look(const int32_t model, const int32_t look) const
{
    if (model < 0 || static_cast<size_t>(model) >= freeitem_models.size() ||
        !freeitem_models[static_cast<size_t>(model)].model)
        return false;
    const freeitem_model_t& item_model = freeitem_models[static_cast<size_t>(model)];
    const psm_info_t* const info = api::psm_get_info(item_model.model);
    int32_t parts = 0;
    for (int32_t part = 0; info && part < info->part_count; ++part)
        parts += freeitem_part_drawn(*info, part) ? 1 : 0;
    const bool known = look >= 0 && static_cast<size_t>(look) < freeitem_looks.size();
    if (known && freeitem_looks[static_cast<size_t>(look)].model_count == parts)
        return true;
    api::error("look shaders count and free item part count doesn't match!\n(model : %s, look : %s", item_model.name,
               known ? freeitem_looks[static_cast<size_t>(look)].name : "none");
    return false;
}

void seg_server_t::show_free_item(map_array_t<map_freeitem_t>& items, const int32_t index)
{
    if (!valid_item(items, index))
        return;
    map_freeitem_t& item = items[index];
    if (item.shown_node == 0) {
        shown_freeitems.push_back(index);
        item.shown_node = 1;
        check_freeitem_look(item.model, item.look);
    }
    item.shown = (item.shown & ~shown_byte) | 1u;
    if (snd_sound_t* const sound = freeitem_sound(item)) {
        const float at[3] = {item.position.x, item.position.y, item.position.z};
        api::snd_position(sound, at);
        if (!api::snd_playing(sound))
            api::snd_play(sound);
    }
}

void seg_server_t::hide_free_item(map_array_t<map_freeitem_t>& items, const int32_t index)
{
    if (!valid_item(items, index))
        return;
    map_freeitem_t& item = items[index];
    if (snd_sound_t* const sound = freeitem_sound(item))
        api::snd_stop(sound);
    item.shown &= ~shown_byte;
    item.shown_node = 0;
    shown_freeitems.erase(std::remove(shown_freeitems.begin(), shown_freeitems.end(), index), shown_freeitems.end());
}

void seg_server_t::update_sounds(map_array_t<map_freeitem_t>& items, const cd_bounds_t& query)
{
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    for (size_t i = 0; i < shown_freeitems.size();) {
        const int32_t index = shown_freeitems[i];
        if (!valid_item(items, index)) {
            shown_freeitems.erase(shown_freeitems.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        map_freeitem_t& item = items[index];
        if (item.bounds.overlaps(query)) {
            ++i;
            continue;
        }
        item.shown &= ~shown_byte;
        snd_sound_t* const sound = freeitem_sound(item);
        const float dx = item.position.x - camera.position[0];
        const float dy = item.position.y - camera.position[1];
        const float dz = item.position.z - camera.position[2];
        if (sound && dx * dx + dy * dy + dz * dz <= sound_reach_squared) {
            ++i;
            continue;
        }
        if (sound && api::snd_playing(sound))
            api::snd_stop(sound);
        item.shown_node = 0;
        shown_freeitems.erase(shown_freeitems.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

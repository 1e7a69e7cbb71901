// The run-time instances the segment server keeps for the built roads: vegetation and other static
// models, sign boards, traffic lights, street lights, movers, painted lane arrows and the target
// marker, and how they are lit.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/psm.h"
#include "engine/snd.h"
#include "common/engine_api.h"
#include "road/seg_server.h"

namespace {

// Texture coordinates of a lane-arrow quad's six vertices (its two triangles).
constexpr float arrow_quad_uvs[seg_arrow_quad_vertices * 2] = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};
// Bits of a lane-arrow handle that hold the first vertex; the kind is above them.
constexpr int32_t arrow_vertex_bits = 24;
constexpr int32_t arrow_vertex_mask = (1 << arrow_vertex_bits) - 1;
// The board stacks: board 0 takes from the left one, boards 1 and 2 from the right one.
constexpr int32_t left_stack = 0;
constexpr int32_t right_stack = 1;
// Colours of the target marker's first part.
constexpr uint32_t target_colours[target_colour_count] = {0xFFFF9966u, 0xFF3300FFu, 0xFF00CCFFu,
                                                          0xFF009900u, 0xFFCC00CCu, 0xFF6699CCu};
// Headquarters models the marker can show.
constexpr int32_t hq_model_count = 3;

// A lit channel: d × diffuse + ambient, never below ambient, as a byte.
uint32_t lit_channel(const float d, const float diffuse, const float ambient)
{
    const float value = std::max(d * diffuse + ambient, ambient) * 255.0f;
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
}

template <typename T> bool in_table(const int32_t index, const std::vector<T>& table)
{
    return index >= 0 && static_cast<size_t>(index) < table.size();
}

}  // namespace

const void* seg_server_light_callback(psm_t* /*model*/, void* server)
{
    const auto* const owner = static_cast<const seg_server_t*>(server);
    seg_light_source_t* const source = owner ? owner->light_source() : nullptr;
    return source ? source->static_model_lights() : nullptr;
}

void seg_server_t::set_light_source(seg_light_source_t* source)
{
    const auto set = [this](psm_t* model) {
        if (model)
            api::psm_set_light_callback(model, seg_server_light_callback, this);
    };
    // Vegetation is not among them: each instance carries its light in the colour it is drawn with, and
    // lit again by the world's light it would be shaded twice (black at night).
    for (const sign_model_t& sign : sign_models)
        set(sign.model);
    for (const cityblock_model_t& building : cityblock_models)
        set(building.model);
    for (const freeitem_model_t& item : freeitem_models)
        set(item.model);
    for (const tr_lights_model_t& lights : tr_lights)
        set(lights.model);
    for (const cityblock_lamp_t& lamp : cityblock_lamps)
        set(lamp.model);
    for (psm_t* const model : hq_models)
        set(model);
    light_source_ = source;
}

uint32_t seg_server_t::lit_colour(const vec3_t& normal) const
{
    const float d = sun_direction.x * normal.x + sun_direction.y * normal.y + sun_direction.z * normal.z;
    // In the renderer's order, 0xAARRGGBB.
    return 0xFF000000u | lit_channel(d, diffuse.x, ambient.x) << 16 | lit_channel(d, diffuse.y, ambient.y) << 8 |
           lit_channel(d, diffuse.z, ambient.z);
}

void seg_server_t::set_lighting(const vec3_t& sun, const vec3_t& new_diffuse, const vec3_t& new_ambient)
{
    sun_direction = sun;
    diffuse = new_diffuse;
    ambient = new_ambient;
    for (veg_model_t& veg : veg_models)
        for (model_instance_t& instance : *veg.instances)
            instance.colour = lit_colour(instance.normal);
}

model_instance_node_t* seg_server_t::add_model_instance(const int32_t model, const vec3_t& position,
                                                        const vec3_t& normal, const int32_t rotation)
{
    if (!in_table(model, veg_models) || rotation < 0 || rotation >= seg_rotation_count) {
        api::error("Model instance of model %d with rotation %d: no such model or rotation; it is not placed", model,
                   rotation);
        return nullptr;
    }
    model_instance_t instance;
    instance.position = position;
    instance.model = model;
    instance.rotation = rotation;
    instance.normal = normal;
    instance.colour = lit_colour(normal);
    return veg_models[static_cast<size_t>(model)].instances->append(instance);
}

void seg_server_t::remove_model_instance(model_instance_node_t* instance)
{
    if (instance && in_table(instance->value().model, veg_models))
        veg_models[static_cast<size_t>(instance->value().model)].instances->remove(instance);
}

board_instance_node_t* seg_server_t::add_board_instance(const int32_t definition)
{
    const int32_t model = in_table(definition, sign_boards) ? sign_boards[static_cast<size_t>(definition)].model : -1;
    if (!in_table(model, sign_models)) {
        api::error("Sign board %d has no sign model the server holds; it is not placed", definition);
        return nullptr;
    }
    const sign_model_t& sign = sign_models[static_cast<size_t>(model)];
    board_instance_t instance;
    instance.definition = definition;
    instance.flags = sign.flag ? board_model_flag : 0;
    for (int32_t i = 0; i < sign_billboards; ++i) {
        instance.boxes[i] = sign.billboard_sizes[i];
        instance.box_centres[i] = sign.billboard_centres[i];
    }
    for (int32_t board = 0; board < std::min(sign.board_count, board_instance_boards); ++board) {
        std::vector<c_item_t*>& stack = board_stacks[board == 0 ? left_stack : right_stack];
        if (stack.empty()) {
            api::error(board == 0 ? "Left board stack exhausted." : "Right board stack exhausted.");
            continue;
        }
        instance.boards[board] = stack.back();
        stack.pop_back();
    }
    board_instance_node_t* const node = boards.append(instance);
    if (node)
        loose_instances.push_back(&node->value());
    return node;
}

void seg_server_t::remove_board_instance(board_instance_node_t* instance)
{
    if (!instance)
        return;
    for (int32_t board = 0; board < board_instance_boards; ++board)
        if (c_item_t* const window = instance->value().boards[board])
            board_stacks[board == 0 ? left_stack : right_stack].push_back(window);
    loose_instances.erase(std::remove(loose_instances.begin(), loose_instances.end(), &instance->value()),
                          loose_instances.end());
    boards.remove(instance);
}

lamp_instance_node_t* seg_server_t::add_lamp(const vec3_t& position, const quat_t& rotation, const bool bit0,
                                             const int32_t model, const bool bit1)
{
    if (!in_table(model, tr_lights)) {
        api::error("Traffic light of model %d: no such model; it is not placed", model);
        return nullptr;
    }
    lamp_instance_t lamp;
    lamp.position = position;
    lamp.rotation = rotation;
    lamp.model = model;
    lamp.flags = static_cast<uint8_t>((bit0 ? 1 : 0) | (bit1 ? 2 : 0));
    return lamps.append(lamp);
}

void seg_server_t::remove_lamp(lamp_instance_node_t* lamp) { lamps.remove(lamp); }

light_instance_node_t* seg_server_t::add_light(const vec3_t& position, const quat_t& rotation, const int32_t lamp)
{
    if (!in_table(lamp, cityblock_lamps)) {
        api::error("Street light of lamp %d: no such lamp; it is not placed", lamp);
        return nullptr;
    }
    light_instance_t light;
    light.position = position;
    light.rotation = rotation;
    light.lamp = lamp;
    return lights.append(light);
}

void seg_server_t::remove_light(light_instance_node_t* light) { lights.remove(light); }

mover_instance_node_t* seg_server_t::add_mover_instance(const int32_t model, const int32_t look)
{
    if (!in_table(model, freeitem_models)) {
        api::error("Mover of free-item model %d: no such model; it is not shown", model);
        return nullptr;
    }
    check_freeitem_look(model, look);
    mover_instance_t mover;
    mover.model = model;
    mover.look = look;
    if (snd_sound_t* const sound = freeitem_models[static_cast<size_t>(model)].sound)
        api::snd_play(sound);
    return movers.append(mover);
}

void seg_server_t::remove_sound_instance(mover_instance_node_t* mover)
{
    if (!mover)
        return;
    if (in_table(mover->value().model, freeitem_models))
        if (snd_sound_t* const sound = freeitem_models[static_cast<size_t>(mover->value().model)].sound)
            api::snd_stop(sound);
    movers.remove(mover);
}

uint32_t seg_server_t::add_mover(const int32_t model, const int32_t look)
{
    mover_instance_node_t* const node = add_mover_instance(model, look);
    if (!node)
        return 0;
    auto slot = std::find(mover_handles.begin(), mover_handles.end(), nullptr);
    if (slot == mover_handles.end())
        slot = mover_handles.insert(mover_handles.end(), nullptr);
    *slot = node;
    return static_cast<uint32_t>(slot - mover_handles.begin()) + 1;
}

mover_instance_t* seg_server_t::mover_of(const uint32_t handle)
{
    return handle != 0 && handle <= mover_handles.size() && mover_handles[handle - 1]
               ? &mover_handles[handle - 1]->value()
               : nullptr;
}

void seg_server_t::place_mover(const uint32_t handle, const vec3_t& position, const quat_t& rotation)
{
    mover_instance_t* const mover = mover_of(handle);
    if (!mover)
        return;
    mover->position = position;
    mover->rotation = rotation;
    if (snd_sound_t* const sound = freeitem_models[static_cast<size_t>(mover->model)].sound) {
        const float at[3] = {position.x, position.y, position.z};
        api::snd_position(sound, at);
    }
}

void seg_server_t::remove_mover(const uint32_t handle)
{
    if (!mover_of(handle))
        return;
    remove_sound_instance(mover_handles[handle - 1]);
    mover_handles[handle - 1] = nullptr;
}

int32_t seg_server_t::add_lane_arrow(const vec3_t vertices[seg_arrow_quad_vertices], const int32_t kind,
                                     const int32_t owner)
{
    if (!arrow_packets || kind < 0 || kind >= seg_arrow_kinds) {
        api::error("Lane arrow of kind %d: no such arrow table; it is not painted", kind);
        return -1;
    }
    seg_arrow_packet_t& packet = arrow_packets[kind];
    if (packet.quad_count >= seg_arrow_quad_capacity) {
        api::error("Lane arrows of kind %d: the table's %d quads are taken; the arrow is not painted", kind,
                   seg_arrow_quad_capacity);
        return -1;
    }
    const int32_t first = packet.quad_count * seg_arrow_quad_vertices;
    std::copy(vertices, vertices + seg_arrow_quad_vertices, packet.positions + first);
    std::memcpy(packet.texture_coords + 2 * first, arrow_quad_uvs, sizeof arrow_quad_uvs);
    std::vector<int32_t>& owners = arrow_owners[kind];
    owners.resize(static_cast<size_t>(packet.quad_count) + 1);
    owners[static_cast<size_t>(packet.quad_count)] = owner;
    ++packet.quad_count;
    return (kind << arrow_vertex_bits) + first;
}

int32_t seg_server_t::remove_lane_arrow(const int32_t handle)
{
    const int32_t kind = handle >> arrow_vertex_bits;
    const int32_t first = handle & arrow_vertex_mask;
    if (!arrow_packets || handle < 0 || kind >= seg_arrow_kinds)
        return -1;
    seg_arrow_packet_t& packet = arrow_packets[kind];
    const int32_t quad = first / seg_arrow_quad_vertices;
    if (first % seg_arrow_quad_vertices != 0 || quad >= packet.quad_count)
        return -1;
    const int32_t last = --packet.quad_count;
    std::vector<int32_t>& owners = arrow_owners[kind];
    if (quad == last) {
        owners.resize(static_cast<size_t>(last));
        return -1;
    }
    const int32_t from = last * seg_arrow_quad_vertices;
    std::copy(packet.positions + from, packet.positions + from + seg_arrow_quad_vertices, packet.positions + first);
    std::memmove(packet.texture_coords + 2 * first, packet.texture_coords + 2 * from, sizeof arrow_quad_uvs);
    const int32_t moved = owners[static_cast<size_t>(last)];
    owners[static_cast<size_t>(quad)] = moved;
    owners.resize(static_cast<size_t>(last));
    return moved;
}

void seg_server_t::set_lamp_state(const uint8_t mask)
{
    std::fill(std::begin(lamp_state), std::end(lamp_state), 0);
    // The first pair answers the masks 16 to 128, the second pair 1 to 8.
    const int32_t pair = mask >= 16 ? 0 : 2;
    switch (mask >= 16 ? mask >> 4 : mask) {
    case 4:
        lamp_state[pair] = 1;
        break;
    case 8:
        lamp_state[pair] = 2;
        break;
    case 1:
        lamp_state[pair + 1] = 1;
        break;
    case 2:
        lamp_state[pair + 1] = 2;
        break;
    default:
        break;
    }
}

void seg_server_t::show_target(const vec3_t& position, const int32_t rotation, const int32_t model,
                               const int32_t colour)
{
    target.position = position;
    target.rotation.set(vec3_t(0.0f, 1.0f, 0.0f), 90.0f * static_cast<float>(rotation & 3));
    target.model = std::clamp(model, 0, hq_model_count - 1);
    target.colour = target_colours[std::clamp(colour, 0, target_colour_count - 1)];
    psm_t* const hq = hq_models[target.model];
    target.part_count = hq ? api::psm_get_info(hq)->part_count : 0;
    target.shown = true;
}

void seg_server_t::reset_instances()
{
    shown_freeitems.clear();
    while (board_instance_node_t* const board = boards.first())
        remove_board_instance(board);
    lamps.remove_all();
    while (mover_instance_node_t* const mover = movers.first())
        remove_sound_instance(mover);
    mover_handles.clear();
}

void seg_server_t::renumber_after_remove(std::vector<int32_t>& list, const int32_t removed)
{
    for (int32_t& index : list)
        if (index > removed)
            --index;
}

// Drawing the built city blocks: the ground polygon of each block, then its buildings, each stretched
// along its side to fill it, with the day or the night shaders of the block's look.
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "road/seg_mirror_cull.h"
#include "road/seg_server.h"

namespace {

constexpr unsigned white = 0xFFFFFFFFu;

}  // namespace

void seg_server_t::draw_lights(const map_array_t<map_cityblock_t>& blocks, const bool night)
{
    for (const std::unique_ptr<city_block_instance_t>& built : city_blocks) {
        if (!built || built->block < 0 || built->block >= blocks.count)
            continue;
        const map_cityblock_t& record = blocks[built->block];
        const int32_t n = record.point_count;
        // The ground: the outline as one fan, with the record's normals and texture coordinates.
        if (n >= 3 && n <= map_cityblock_max_points) {
            const int32_t shader = record.shader >= -1 && record.shader < terrain_shader_count ? record.shader : -1;
            gfx_data_t data;
            data.flags = gfx_data_positions | gfx_data_normals | gfx_data_texcoords | gfx_data_world;
            data.primitive = gfx_triangle_fan;
            data.shader = terrain_shaders ? terrain_shaders[shader].shader : nullptr;
            data.vertex_count = n;
            data.positions = &record.points[0].x;
            data.normals = &record.normals[0].x;
            data.texcoords = &record.texcoords[0][0];
            api::gfx_cache_data(&data);
        }
        if (record.definition < 0 || static_cast<size_t>(record.definition) >= cityblock_looks.size())
            continue;
        const cityblock_look_t& look = cityblock_looks[static_cast<size_t>(record.definition)];
        for (int32_t b = 0; b < built->building_count; ++b) {
            const int32_t kind_index = built->kinds[b];
            if (kind_index < 0 || kind_index >= look.kind_count)
                continue;
            const cityblock_kind_t& kind = look.kinds[kind_index];
            if (kind.model < 0 || static_cast<size_t>(kind.model) >= cityblock_models.size())
                continue;
            psm_t* const model = cityblock_models[static_cast<size_t>(kind.model)].model;
            const vec3_t& at = built->positions[b];
            if (!model || seg_outside_mirror(model, at, built->stretch[b]))
                continue;
            api::gfx_push();
            const quat_t& turn = built->rotations[b];
            const float offset[3] = {at.x, at.y, at.z};
            const float rotation[4] = {turn.x, turn.y, turn.z, turn.w};
            // A building's width runs along its model's z axis, which its side's yaw lays along the side.
            const float stretch[3] = {1.0f, 1.0f, built->stretch[b]};
            api::gfx_translate(offset);
            api::gfx_qrotate(rotation);
            api::gfx_scale(stretch);
            for (int32_t part = 0; part < cityblock_kind_shaders && kind.shaders[part] != -1; ++part) {
                const int32_t pair = kind.shaders[part];
                const gfx_shader_t* shader = nullptr;
                if (pair >= 0 && static_cast<size_t>(pair) < cityblock_shaders.size())
                    shader = night ? cityblock_shaders[static_cast<size_t>(pair)].second.shader
                                   : cityblock_shaders[static_cast<size_t>(pair)].first.shader;
                api::psm_draw_part(model, part, shader, 1, white);
            }
            api::gfx_pop();
        }
    }
}

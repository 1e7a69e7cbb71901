#include "world/decals_pmd.h"

#include <cctype>

#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/matrix.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"

namespace {

constexpr evalue_def_t model_name_def =
    evalue_member("model_name", evalue_text, 64, evalue_bind<&decals_pmd_e::model_name>, nullptr, "");
constexpr evalue_def_t model_skins_def =
    evalue_array("model_skins", evalue_text, 64, evalue_bind<&decals_pmd_e::model_skins>, &model_name_def, "");
constexpr evalue_def_t model_rotation_def =
    evalue_member("model_rotation", evalue_point, sizeof(vec3_t), evalue_bind<&decals_pmd_e::model_rotation>,
                  &model_skins_def, "0 0 0");
constexpr evalue_def_t model_scale_def = evalue_member(
    "model_scale", evalue_point, sizeof(vec3_t), evalue_bind<&decals_pmd_e::model_scale>, &model_rotation_def, "1 1 1");
constexpr evalue_def_t play_animation_def = evalue_member(
    "play_animation", evalue_text, 1024, evalue_bind<&decals_pmd_e::play_animation>, &model_scale_def, "");
constexpr evalue_def_t rand_rotation_def =
    evalue_member("rand_rotation", evalue_text, 4, evalue_bind<&decals_pmd_e::rand_rotation>, &play_animation_def, "");
constexpr evalue_def_t clip2plane_def = evalue_member(
    "clip2plane", evalue_bool, sizeof(bool), evalue_bind<&decals_pmd_e::clip2plane>, &rand_rotation_def, "false");

// Most skins a model decal joins.
constexpr int max_skins = 16;

}  // namespace

decals_pmd_e::~decals_pmd_e() { release_all(); }

const evalue_def_t* decals_pmd_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 7> defs{clip2plane_def,     rand_rotation_def, play_animation_def, model_scale_def,
                                            model_rotation_def, model_skins_def,   model_name_def};
    static const evalue_def_t* const root = decal_property_chain(defs, decal_generic_e::get_evalue_root());
    return root;
}

void decals_pmd_e::read_random_axes()
{
    random_axes_ = 0;
    for (const char* c = rand_rotation; *c; ++c) {
        const int letter = std::tolower(static_cast<unsigned char>(*c));
        random_axes_ |= letter == 'x' ? random_x : letter == 'y' ? random_y : letter == 'z' ? random_z : 0;
    }
}

int decals_pmd_e::init(int phase)
{
    if (phase == 0) {
        read_random_axes();
        if (model_name[0] && !model_) {
            model_ = api::psm_alloc(model_name, 0, 0, 0);
            const char* skins = static_cast<const char*>(model_skins.data);
            for (int k = 0; model_ && k < model_skins.count && k < max_skins; ++k)
                if (skins[k * 64])
                    api::psm_set_shader(model_, k, skins + k * 64);
        }
        if (model_ && play_animation[0]) {
            const int anim = api::psm_anim_add_file(api::psm_get_info(model_), play_animation, nullptr);
            const int adesc = anim >= 0 ? api::psm_adesc_create(model_, anim, 0, 0, 0) : 0;
            if (adesc > 0)
                api::psm_adesc_loop_forever(model_, adesc);
        }
    }
    return decal_generic_e::init(phase);
}

int decals_pmd_e::destroy(int phase)
{
    if (phase == 0)
        release_all();
    return decal_generic_e::destroy(phase);
}

void decals_pmd_e::release_all()
{
    for (pmd_instance_t& instance : instances_)
        release_geometry(instance.geometry);
    instances_.clear();
    if (model_)
        api::psm_free(model_);
    model_ = nullptr;
}

void decals_pmd_e::handler()
{
    decal_generic_e::handler();
    if (model_ && process())
        api::psm_add_time(model_, static_cast<float>(process()->frame_seconds()));
}

bool decals_pmd_e::place(const decal_hit_t& hit, const decal_params_t*, bool keep)
{
    if (!hit.geometry)
        return false;
    vec3_t direction = -hit.direction;
    // A box placement names no triangle: the model then follows the ray.
    if (clip2plane && hit.item != cd_item_none) {
        cd_item_t item;
        item.id = hit.item;
        item.request = cd_item_t::request_plane;
        hit.geometry->get_item(item, 0);
        if (item.kind == cd_item_t::kind_triangle)
            direction = -vec3_t{item.plane.x, item.plane.y, item.plane.z};
    }
    pmd_instance_t instance;
    instance.turn = cartes_2_ypr(direction);
    instance.extra = model_rotation;
    for (int axis = 0; axis < 3; ++axis)
        if (random_axes_ & (1 << axis))
            instance.extra[axis] += api::sys_rand() * 360.0f;
    instance.keep = keep;
    instance.geometry = hit.geometry;
    instance.offset = hit.point - hit.geometry->pose.position;
    hold_geometry(hit.geometry);
    instances_.push_back(instance);
    return true;
}

bool decals_pmd_e::remove_oldest(int count)
{
    int removed = 0;
    size_t kept_moved = 0;
    while (removed < count && !instances_.empty() && kept_moved < instances_.size()) {
        pmd_instance_t front = instances_.front();
        instances_.pop_front();
        if (front.keep) {
            instances_.push_back(front);
            ++kept_moved;
            continue;
        }
        release_geometry(front.geometry);
        ++removed;
    }
    if (instances_.empty())
        clear();
    return removed >= count;
}

void decals_pmd_e::clear()
{
    decal_generic_e::clear();
    for (pmd_instance_t& instance : instances_)
        release_geometry(instance.geometry);
    instances_.clear();
}

void decals_pmd_e::draw()
{
    if (!model_)
        return;
    mat4_t scale;
    matrix_set_identity(scale);
    scale.m[0][0] = model_scale.x;
    scale.m[1][1] = model_scale.y;
    scale.m[2][2] = model_scale.z;
    for (const pmd_instance_t& instance : instances_) {
        const vec3_t at = instance.geometry->pose.position + instance.offset;
        const vec3_t yaw{0.0f, instance.turn.y, 0.0f};
        const vec3_t pitch_roll{instance.turn.x, 0.0f, instance.turn.z};
        api::gfx_push();
        api::gfx_translate(&at.x);
        api::gfx_rotate(&yaw.x);
        api::gfx_rotate(&pitch_roll.x);
        api::gfx_rotate(&instance.extra.x);
        api::gfx_push_mult(&scale.m[0][0]);
        api::psm_draw(model_, 0, 0xFFFFFFFFu);
        api::gfx_pop();
        api::gfx_pop();
    }
}

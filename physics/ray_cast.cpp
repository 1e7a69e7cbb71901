#include <cmath>

#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/cd_test_counts.h"
#include "physics/physproc.h"

namespace {

// Ignore-list entries that skip triangles by the way they face the ray.
constexpr uint16_t ignore_facing_along = 0xffff;
constexpr uint16_t ignore_facing_against = 0xfffe;

// True when the ignore list rules the triangle out.
bool ignored(const cd_item_t& item, const vec3_t& ray, const uint16_t* ignore, int ignore_count)
{
    const float facing = item.plane.xyz().dot(ray);
    for (int i = 0; i < ignore_count; ++i) {
        if (item.id == ignore[i] || (ignore[i] == ignore_facing_along && facing > 0.0f) ||
            (ignore[i] == ignore_facing_against && facing < 0.0f))
            return true;
    }
    return false;
}

}  // namespace

bool physproc_t::segment_test(cd_geo_t* candidate, const vec3_t& from, const vec3_t& to, const uint16_t* ignore,
                              int ignore_count, uint32_t word, uint32_t* item_out, float* fraction_out)
{
    ++cd_test_counts().segment_tests;
    const vec3_t ray = to - from;
    float best = 2.0f;
    uint32_t best_item = cd_item_none;
    segment_query_.begin_segment(candidate, from, to, word);
    cd_item_t item;
    for (;;) {
        item.request = ignore ? static_cast<uint32_t>(cd_item_t::request_plane) : 0u;
        if (!segment_query_.next(item))
            break;
        if (ignore && ignored(item, ray, ignore, ignore_count))
            continue;
        if (segment_query_.fraction() < best) {
            best = segment_query_.fraction();
            best_item = item.id;
        }
    }
    segment_query_.clear();
    if (!(best <= 1.0f))
        return false;
    *item_out = best_item;
    *fraction_out = best;
    return true;
}

const phys_contact_t* physproc_t::ray_cast(const vec3_t& from, const vec3_t& to, const phys_pair_t* filter,
                                           const uint16_t* ignore, int ignore_count, uint32_t word)
{
    if (!ignore || ignore_count <= 0) {
        ignore = nullptr;
        ignore_count = 0;
    }
    phys_candidate_list_t candidates;
    candidates.init_mm(candidate_pool_);
    contact_list_t contacts;
    contacts.init_mm(ray_contact_pool_);
    cd_query_context_t context;
    context.filter = filter;
    context.candidates = &candidates;
    context.contacts = &contacts;
    context.output = &phys_output_contacts();
    push_context(context);
    const uint64_t began = profile_clock();

    const vec3_t ray = to - from;
    const float length_sq = ray.length_sq();
    float best = length_sq + 5.0f;
    if (length_sq > 1e-6f) {
        const vec3_t direction = ray / std::sqrt(length_sq);
        broad_phase(from, to, vec3_t(), vec3_t());
        phys_contact_t nearest_solid;
        bool solid_hit = false;
        for (const phys_candidate_t& candidate : candidates) {
            uint32_t item = cd_item_none;
            float fraction = 0.0f;
            if (!segment_test(candidate.geometry, from, to, ignore, ignore_count, word, &item, &fraction))
                continue;
            phys_contact_t record;
            record.second = candidate.geometry;
            record.position = from + ray * fraction;
            record.direction = direction;
            record.second_item = item;
            record.key = (record.position - from).length_sq();
            if (record.key > best)
                continue;
            if (candidate.answer == phys_pair_solid) {
                record.constraint = 1;
                nearest_solid = record;
                solid_hit = true;
                best = record.key;
            } else {
                contact_list_insert(contacts, record, false, 0.0f);
            }
        }
        // Touches well behind the solid hit are dropped; the solid hit ends the list.
        if (solid_hit)
            contact_list_insert(contacts, nearest_solid, true, 0.1f);
    }
    clear_candidates();
    profile_.ray += profile_clock() - began;
    contact_list_merge(*context_.output, contacts);
    const phys_contact_t* const nearest = context_.output->first() ? &context_.output->first()->value() : nullptr;
    pop_context();
    return nearest;
}

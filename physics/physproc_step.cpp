#include "engine/cvar.h"
#include "common/engine_api.h"
#include "physics/body_callback.h"
#include "physics/cd_geo.h"
#include "physics/cd_test_counts.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

namespace {

// Milliseconds in a span of profiling cycles.
double cycles_ms(uint64_t cycles) { return api::tmr_cycles_to_usec(cycles) * 0.001; }

}  // namespace

uint64_t physproc_t::profile_clock() const { return profiling_ ? api::tmr_get_cycles() : 0; }

char physproc_t::verbose() const
{
    const cvar_t* const variable = api::cvar_get("p_verbose");
    return variable ? variable->value()[0] : '\0';
}

void physproc_t::step(float dt)
{
    const char level = verbose();
    profiling_ = level == 'd' || level == 'w' || level == 't';
    const uint64_t began = profile_clock();
    last_step_ = dt;
    ++step_count_;
    cd_test_counts_t& counts = cd_test_counts();
    uint32_t before[3] = {0, 0, 0};
    if (profiling_) {
        before[0] = counts.pair_tests;
        before[1] = counts.bv_tests;
        before[2] = counts.primitive_tests;
    }
    if (bodies_.is_empty())
        return;

    int stepped = 0;
    for (auto* node = bodies_.first(); node; node = node->next()) {
        phys_body_t* const body = node->value();
        if (!(body->body_flags & phys_body_t::body_enabled) || (body->body_flags & phys_body_t::body_held) ||
            !body->geometry)
            continue;
        cd_geo_t* const geometry = body->geometry;
        if (body_callback_t* const owner = geometry->owner_callbacks) {
            const uint64_t callback_began = profile_clock();
            if (owner->flags & body_callback_t::flag_apply_forces)
                owner->apply_forces();
            profile_.callback += profile_clock() - callback_began;
        }
        const uint64_t integrate_began = profile_clock();
        body->integrate(dt);
        body->clear_forces();
        profile_.integrate += profile_clock() - integrate_began;
        const bool moved = move_geom(body);
        body->commit_state();
        if (moved)
            update_geom(geometry);
        ++stepped;
    }
    if (stepped == 0)
        return;
    if (profiling_)
        print_profile(stepped, level, began, before);
    profile_ = phys_profile_t{};
    counts = cd_test_counts_t{};
}

void physproc_t::print_profile(int stepped, char level, uint64_t began, const uint32_t* before) const
{
    const cd_test_counts_t& counts = cd_test_counts();
    // Nothing caches pair results, so the cache line always shows no lookups.
    const double cache_percent = 0.0;
    const int cache_lookups = 0;
    if (level == 't')
        api::message(
            "\\b++ physics proc[%3d] %4.1f ms  (bld:det/phy:cb) [%4.1f %4.1f/%4.1f %4.1f] ms, cache %.0f%% [%d]",
            stepped, cycles_ms(profile_clock() - began), cycles_ms(profile_.build_step),
            cycles_ms(profile_.detect_step), cycles_ms(profile_.integrate), cycles_ms(profile_.callback), cache_percent,
            cache_lookups);
    else
        api::message(
            "\\b++ physics proc[%3d]          (bld:det/phy:cb) [%4.1f %4.1f/%4.1f %4.1f] ms, cache %.0f%% [%d]",
            stepped, cycles_ms(profile_.build_step), cycles_ms(profile_.detect_step), cycles_ms(profile_.integrate),
            cycles_ms(profile_.callback), cache_percent, cache_lookups);
    api::message("\\b++ proc cdet(s)[%3d]%4d/%-4d (BV/primitive)", static_cast<int>(counts.pair_tests - before[0]),
                 static_cast<int>(counts.bv_tests - before[1]), static_cast<int>(counts.primitive_tests - before[2]));
    const uint64_t caller_total = profile_.build_caller + profile_.detect_caller + profile_.ray;
    api::message("\\b++ physics API [%3d] %4.1f ms  (bld:det:ray)    [%4.1f %4.1f %4.1f] ms", profile_.caller_queries,
                 cycles_ms(caller_total), cycles_ms(profile_.build_caller), cycles_ms(profile_.detect_caller),
                 cycles_ms(profile_.ray));
    api::message("\\b++ API cdet(s) [%3d]%4d/%-4d (BV/primitive)", static_cast<int>(before[0]),
                 static_cast<int>(before[1]), static_cast<int>(before[2]));
}

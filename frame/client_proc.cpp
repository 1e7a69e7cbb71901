#include "frame/client_proc.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "engine/cvar.h"
#include "engine/entity.h"
#include "frame/client_proc_profile.h"
#include "common/decal_store.h"
#include "common/engine_api.h"

namespace {

// Entity type flags that put an entity in the draw lists.
constexpr uint32_t type_drawn = 2;
constexpr uint32_t type_pre_drawn = 4;

void drop(std::vector<entity_t*>& list, entity_t* entity)
{
    list.erase(std::remove(list.begin(), list.end(), entity), list.end());
}

bool profiling_draws()
{
    const cvar_t* variable = api::cvar_get("p_profile_draws");
    return variable && variable->value()[0] != '0';
}

// Formats one line of a client process: "[name/cl] " and the text.
void format_line(char (&line)[4096], const char* name, const char* format, va_list args)
{
    const int used = snprintf(line, sizeof line, "[%s/cl] ", name);
    vsnprintf(line + used, sizeof line - static_cast<size_t>(used), format, args);
}

}  // namespace

client_proc_t::client_proc_t() { set_name("client"); }

void client_proc_t::cl_message(const char* format, ...) const
{
    char line[4096];
    va_list args;
    va_start(args, format);
    format_line(line, name(), format, args);
    va_end(args);
    api::message("%s", line);
}

void client_proc_t::cl_error(const char* format, ...) const
{
    char line[4096];
    va_list args;
    va_start(args, format);
    format_line(line, name(), format, args);
    va_end(args);
    api::error("%s", line);
}

void client_proc_t::entity_insert(entity_t* entity)
{
    entity_proc_t::entity_insert(entity);
    if (entity->type_flags & type_pre_drawn)
        pre_draw_list_.push_back(entity);
    if (entity->type_flags & type_drawn)
        draw_list_.push_back(entity);
}

void client_proc_t::entity_remove(entity_t* entity)
{
    if (entity->type_flags & type_pre_drawn)
        drop(pre_draw_list_, entity);
    if (entity->type_flags & type_drawn)
        drop(draw_list_, entity);
    // A decal whose block goes is cleared in the shared cache before its destroy phases.
    client_decal_clear_entity(entity);
    entity_proc_t::entity_remove(entity);
}

void client_proc_t::draw()
{
    api::gfx_set_time(static_cast<float>(process_time()));
    if (!profiling_draws()) {
        for (entity_t* entity : pre_draw_list_)
            entity->pre_draw();
        for (entity_t* entity : draw_list_)
            entity->draw();
        api::gfx_path_flush();
        return;
    }
    draw_profile_t profile;
    const auto timed = [&](entity_t* entity, bool pre_draw) {
        const uint64_t start = api::tmr_get_cycles();
        pre_draw ? entity->pre_draw() : entity->draw();
        profile.offer(entity, api::tmr_cycles_to_usec(api::tmr_get_cycles() - start), pre_draw);
    };
    for (entity_t* entity : pre_draw_list_)
        timed(entity, true);
    for (entity_t* entity : draw_list_)
        timed(entity, false);
    profile.report(*this, pre_draw_count(), draw_count());
    const uint64_t flush_start = api::tmr_get_cycles();
    api::gfx_path_flush();
    cl_message("gfx flush %.1f ms", api::tmr_cycles_to_usec(api::tmr_get_cycles() - flush_start) * 0.001);
}

#include "game/ui_handler_hud_job.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/cache.h"
#include "engine/entity_handle.h"
#include "engine/ui.h"
#include "common/bridge_parts.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "common/hud_components.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"
#include "game/suggested_route.h"
#include "road/base_ctrl.h"
#include "ui/components/ui_comp_common_text.h"

namespace {

void set_text(c_item_t* window, const int id, const char* property, const char* text)
{
    if (ui_view_t* view = ui_window_component(window, id))
        evalue_set(view, property, 0, text);
}

// The name a city shows, or empty for an index outside the table.
std::string city_name(const economy_ctrl_e& economy, const int32_t city)
{
    if (city < 0 || city >= static_cast<int32_t>(economy.cities.size()))
        return {};
    return economy.cities[static_cast<size_t>(city)].display_name;
}

// The cargo record of a job's cargo index (an ordinary cargo, or a special one from its base), or null.
const cargo_t* job_cargo(const economy_ctrl_e& economy, const int32_t cargo)
{
    if (cargo >= special_cargo_base) {
        const size_t special = static_cast<size_t>(cargo - special_cargo_base);
        return special < economy.special_cargos.size() ? &economy.special_cargos[special] : nullptr;
    }
    return cargo >= 0 && cargo < static_cast<int32_t>(economy.cargos.size())
               ? &economy.cargos[static_cast<size_t>(cargo)]
               : nullptr;
}

}  // namespace

economy_ctrl_e* ui_handler_hud_job_t::economy()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr;
}

void ui_handler_hud_job_t::show_job(const int32_t job)
{
    if (const economy_ctrl_e* ctrl = economy())
        show_job_of(*ctrl, job);
}

void ui_handler_hud_job_t::show_job_of(const economy_ctrl_e& economy, const int32_t job)
{
    const economy_ctrl_e* ctrl = &economy;
    if (job < 0 || job > ctrl->job_count())
        return;
    const job_t& record = ctrl->jobs[static_cast<size_t>(job)];
    char text[text_size] = "";
    if (const cargo_t* cargo = job_cargo(*ctrl, record.cargo))
        cargo_def_string(cargo->name, "name", text, sizeof text);
    set_text(window, job_hud_cargo, "value", text);
    set_text(window, job_hud_source, "value",
             city_name(*ctrl, ctrl->job_source_city(job)).substr(0, text_size - 1).c_str());
    set_text(window, job_hud_destination, "value",
             city_name(*ctrl, ctrl->job_dest_city(job)).substr(0, text_size - 1).c_str());
    format_money(ctrl->job_pay(job, 0, 0, 0.0f, true, nullptr, nullptr), text, sizeof text, 0xFFFFFFFF);
    set_text(window, job_hud_pay, "value", text);
    if (ui_view_t* special = ui_window_component(window, job_hud_special))
        special->show((record.flags & 1) != 0);
    if (auto* frame = dynamic_cast<ui_comp_common_text_t*>(ui_window_component(window, job_hud_frame))) {
        const bool offer = job == ctrl->job_count();
        const int now = frame->look;
        const int wanted = offer ? (now == 3 ? 7 : now == 4 ? 8 : now) : (now == 7 ? 3 : now == 8 ? 4 : now);
        if (wanted != now)
            set_text(window, job_hud_frame, "look", std::to_string(wanted).c_str());
    }
}

void ui_handler_hud_job_t::show_suggested_route(const int32_t job, char* out_text, const size_t out_size)
{
    const economy_ctrl_e* ctrl = economy();
    if (!ctrl)
        return;
    game_bridge_t* bridge = get_game_bridge();
    const held_part_t<base_ctrl_e> map(bridge ? bridge->base_ctrl() : entity_handle_t{});
    static const std::vector<place_name_t> no_names;
    const base_ctrl_e* const roads = map.get();
    show_suggested_route_of(*ctrl, roads, roads && roads->seg_server ? roads->seg_server->place_names : no_names, job,
                            out_text, out_size);
}

void ui_handler_hud_job_t::show_suggested_route_of(const economy_ctrl_e& economy, const road_network_t* network,
                                                   const std::vector<place_name_t>& names, const int32_t job,
                                                   char* out_text, const size_t out_size)
{
    show_job_of(economy, job);
    if (job < 0 || job > economy.job_count())
        return;
    route_view_t route;
    bool from_end = false;
    if (out_text && out_size > 0 && economy.job_route_distance(job, route, from_end)) {
        const std::string roads =
            network ? suggested_route_names(economy.routes, route, from_end, *network, names) : std::string();
        std::snprintf(out_text, out_size, "@@ui_suggested_route@@ - %s", roads.c_str());
    }
    const int32_t destination = economy.jobs[static_cast<size_t>(job)].destination;
    if (destination < 0 || destination >= static_cast<int32_t>(economy.traders.size()))
        return;
    char picture[text_size];
    std::snprintf(picture, sizeof picture, "<img width=100 height=50 src=%s>",
                  economy.traders[static_cast<size_t>(destination)].icon_shader);
    set_text(window, job_hud_picture, "text", picture);
}

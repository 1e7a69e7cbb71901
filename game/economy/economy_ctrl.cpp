#include "game/economy_ctrl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/def_obj.h"
#include "engine/random.h"
#include "common/engine_api.h"
#include "common/format.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "common/loading_screen.h"
#include "common/view_params.h"
#include "game/company_colours.h"
#include "game/economy/economy_bridge_world.h"
#include "game/economy/economy_defs.h"
#include "game/economy/economy_money_range.h"

const level_list_t economy_ctrl_e::economy_init_list(&entity_t::init_list, {-10, 0, 10, 11});

namespace {

// Longest time limit a scenario may set: ten years of game weeks.
constexpr float scenario_time_limit_max = 604800.0f * 520.0f;

// Whether a save game is being loaded into this world.
bool loading_a_save()
{
    const def_obj_t* const context = game_context_get();
    const char* const name = context ? context->get_value("load_game_name") : nullptr;
    return name && name[0] != '\0';
}

// A text key of the game context ("" when absent).
const char* context_text(const char* key)
{
    const def_obj_t* const context = game_context_get();
    const char* const value = context ? context->get_value(key) : nullptr;
    return value ? value : "";
}

int32_t context_int(const char* key)
{
    const def_obj_t* const context = game_context_get();
    return context ? context->get_int(key) : 0;
}

}  // namespace

economy_ctrl_e::economy_ctrl_e()
{
    offer = {};
    offer.countdown = (sys_rand() - 0.5f) * 360.0f + 500.0f;
    for (company_t& company : companies) {
        company = {};
        for (int32_t& truck : company.trucks)
            truck = -1;
        std::snprintf(company.name, sizeof company.name, "Unknown");
        company.driver_check = 30.0f;
    }
    cargos.push_back(cargo_t{});
    jobs.push_back(job_t{-1, -1, -1, 0.0f, 0});
    bridge_world_ = new economy_bridge_world_t(*this);
    world_ = bridge_world_;
    entity_flags |= 2;
}

economy_ctrl_e::~economy_ctrl_e() { delete bridge_world_; }

int economy_ctrl_e::init(const int phase)
{
    const int base = entity_t::init(phase);
    if (base != 0)
        return base;
    if (phase == -10) {
        if (!bridge)
            bridge = get_game_bridge();
        if (bridge && !bridge->economy().is_null()) {
            api::error("<game_bridge_t> economy controller already registered");
            return 0;
        }
        if (bridge)
            registered_ = bridge->register_economy(handle());
    } else if (phase == 0) {
        loading_screen_refresh("@@ui_preparing_economy@@");
        if (!loading_a_save())
            load_definitions();
        load_target_marker();
    } else if (phase == 10) {
        loading_screen_refresh("@@ui_generating_jobs@@");
        if (!loading_a_save()) {
            load_ai_data(bridge ? bridge->get_map_name() : "");
            generate_jobs();
            loading_screen_progress(0, 3);
            init_driver_jobs();
            loading_screen_progress(1, 3);
            load_scenario();
            loading_screen_progress(2, 3);
        }
    }
    return 0;
}

int economy_ctrl_e::destroy(const int phase)
{
    if (phase == 0) {
        docks.clear();
        cargos.assign(1, cargo_t{});
        special_cargos.clear();
        cities.clear();
        drivers.clear();
        traders.clear();
        jobs.assign(1, job_t{-1, -1, -1, 0.0f, 0});
        trucks.clear();
        dealer_stock.clear();
        dealers.clear();
        routes.clear();
        docks_in_reach_.clear();
        trailer_shaders.release();
        release_target_marker();
    }
    return entity_t::destroy(phase);
}

void economy_ctrl_e::handler()
{
    entity_t::handler();
    // The clock shows from the first frame, also while the scenario's instructions wait.
    const float t = world_->game_time();
    show_clock(t);
    if (instruction_delay > 0.0f) {
        instruction_delay -= world_->frame_time();
        if (instruction_delay > 0.0f)
            return;
        instruction_delay = 0.0f;
        world_->pager(instructions, 0);
        if (cheated)
            world_->pager("@@ui_game_cheated@@", 0);
        return;
    }
    driver_step();
    company_ai_step();
    place_near_trailers();
    announce_special_offer(t);
    update_clock(t);
    promote_dock_slots();
}

void economy_ctrl_e::show_clock(const float t)
{
    if (!main_hud_open || (!clock_due && nearest(t) - last_clock_display < 61))
        return;
    clock_due = false;
    last_clock_display = nearest(t);
    char text[128];
    format_day_time(t, text, sizeof text, 0xFFFFFFFFu);
    world_->hud_text(main_hud_day_time, text);
}

void economy_ctrl_e::draw()
{
    entity_t::draw();
    if (player_job.job != -1)
        target_marker_.draw(player_job.target, world_->frame_time());
}

void economy_ctrl_e::load_definitions()
{
    // Progress i of 7 is reported after step i, counted from 0.
    cities = load_city_defs();
    loading_screen_progress(0, 7);
    load_cargo_defs(cargos, special_cargos);
    for (int32_t c = 0; c < cargo_count(); ++c)
        trailer_shaders.precache(cargos[static_cast<size_t>(c)].trailer);
    for (const cargo_t& cargo : special_cargos)
        trailer_shaders.precache(cargo.trailer);
    loading_screen_progress(1, 7);
    drivers = load_driver_defs(cities, cargos, special_cargos);
    loading_screen_progress(2, 7);
    traders = load_trader_defs(cities, cargos, special_cargos);
    loading_screen_progress(3, 7);
    dealers = load_dealer_defs();
    loading_screen_progress(4, 7);
    build_driver_trucks(static_cast<int32_t>(drivers.size()));
    loading_screen_progress(5, 7);
    build_dealer_stock();
    loading_screen_progress(6, 7);
}

namespace {

// A car colour of the bridge's table drawn at random; 0 when the table is empty.
uint32_t draw_colour(const game_bridge_t* bridge)
{
    const uint32_t count = bridge ? bridge->colour_count() : 0;
    const float r = sys_rand();
    if (count == 0)
        return 0;
    return bridge->colour(static_cast<uint32_t>(nearest(r * static_cast<float>(count - 1))));
}

// The sum of number key `key` over the accessories `truck` has.
int32_t accessory_sum(const company_truck_t& truck, const char* key)
{
    int32_t sum = 0;
    for (const auto& accessory : truck.accessories) {
        int32_t value = 0;
        if (accessory[0] != '\0' && truck_acc_def_int(truck.make, accessory, key, value))
            sum += value;
    }
    return sum;
}

}  // namespace

void economy_ctrl_e::build_driver_trucks(const int32_t driver_count)
{
    const std::vector<std::string> makes = list_truck_makes();
    trucks.assign(static_cast<size_t>(driver_count), company_truck_t{});
    for (int32_t i = 0; i < driver_count; ++i) {
        company_truck_t& truck = trucks[static_cast<size_t>(i)];
        const float r = sys_rand();
        if (!makes.empty())
            std::snprintf(truck.make, sizeof truck.make, "%s",
                          makes[static_cast<size_t>(nearest(r * static_cast<float>(makes.size() - 1)))].c_str());
        truck_standard_accessories(truck);
        truck.flags = truck_of_driver;
        truck.condition = sys_rand();
        truck.owner = i;
        drivers[static_cast<size_t>(i)].truck = i;
        truck.colour = draw_colour(bridge);
        truck.prestige = truck_sum_prestige(truck);
        truck.rating = truck_rating(truck);
    }
}

void economy_ctrl_e::build_dealer_stock()
{
    dealer_stock.clear();
    for (size_t d = 0; d < dealers.size(); ++d) {
        char list[129];
        int32_t offer_count = 0;
        dealer_def_string(dealers[d].name, "makes", list, sizeof list);
        dealer_def_int(dealers[d].name, "offer", offer_count);
        for (const std::string& make : split_def_list(list, ';', sizeof list)) {
            for (int32_t copy = 0; copy < offer_count; ++copy) {
                company_truck_t truck{};
                std::snprintf(truck.make, sizeof truck.make, "%s", make.c_str());
                truck_standard_accessories(truck);
                truck.owner = static_cast<int32_t>(d);
                truck.colour = draw_colour(bridge);
                truck.condition = 1.0f;
                truck.flags = truck_assigned;
                truck.prestige = truck_sum_prestige(truck);
                truck.rating = truck_rating(truck);
                dealer_stock.push_back(truck);
            }
        }
    }
}

int32_t economy_ctrl_e::truck_sum_prestige(const company_truck_t& truck) const
{
    return accessory_sum(truck, "prestige");
}

int32_t economy_ctrl_e::truck_maintenance(const company_truck_t& truck) const
{
    return std::min(accessory_sum(truck, "maint"), 100);
}

float economy_ctrl_e::truck_rating(const company_truck_t& truck) const
{
    const int32_t owner_prestige = truck.owner >= 0 && truck.owner < static_cast<int32_t>(drivers.size())
                                       ? drivers[static_cast<size_t>(truck.owner)].prestige
                                       : 0;
    return truck_rating_for(truck, owner_prestige);
}

float economy_ctrl_e::truck_rating_for(const company_truck_t& truck, const int32_t prestige) const
{
    const int32_t power = accessory_sum(truck, "power");
    return 30.0f + 0.25f * static_cast<float>(std::min(power, 100)) + 0.099999994f * static_cast<float>(prestige);
}

int32_t economy_ctrl_e::truck_value(const company_truck_t& truck) const
{
    int32_t price = 0;
    truck_def_int(truck.make, "price", price);
    int32_t value = nearest(static_cast<float>(price) * (truck.condition * 0.7f + 0.3f));
    company_truck_t standard{};
    std::snprintf(standard.make, sizeof standard.make, "%s", truck.make);
    truck_standard_accessories(standard);
    for (const auto& accessory : truck.accessories) {
        if (accessory[0] == '\0')
            continue;
        char type[24];
        truck_acc_def_string(truck.make, accessory, "type", type, sizeof type);
        if (std::strcmp(type, "engine") != 0 && std::strcmp(type, "transmission") != 0 &&
            std::strcmp(type, "brakes") != 0 && std::strcmp(type, "wheels") != 0)
            continue;
        int32_t own = 0, base = 0;
        truck_acc_def_stats(truck.make, accessory, own);
        for (const auto& other : standard.accessories) {
            char other_type[24];
            if (other[0] == '\0')
                continue;
            truck_acc_def_string(truck.make, other, "type", other_type, sizeof other_type);
            if (std::strcmp(type, other_type) == 0) {
                truck_acc_def_stats(truck.make, other, base);
                break;
            }
        }
        value += own - base;
    }
    return value;
}

int32_t economy_ctrl_e::truck_value_at(const int32_t truck) const
{
    return truck >= 0 && truck < static_cast<int32_t>(trucks.size()) ? truck_value(trucks[static_cast<size_t>(truck)])
                                                                     : 0;
}

int32_t economy_ctrl_e::truck_prestige(const int32_t truck) const
{
    return truck >= 0 && truck < static_cast<int32_t>(trucks.size())
               ? truck_sum_prestige(trucks[static_cast<size_t>(truck)])
               : 0;
}

bool economy_ctrl_e::driver_def_string(const int32_t truck, const char* key, char* out, const size_t size) const
{
    if (size > 0)
        out[0] = '\0';
    if (truck < 0 || truck >= static_cast<int32_t>(trucks.size()))
        return false;
    const int32_t driver = trucks[static_cast<size_t>(truck)].owner;
    if (driver < 0 || driver >= static_cast<int32_t>(drivers.size()))
        return false;
    return ::driver_def_string(drivers[static_cast<size_t>(driver)].name, key, out, size);
}

int32_t economy_ctrl_e::current_truck_value() const { return truck_value_at(companies[0].trucks[0]); }

void economy_ctrl_e::assign_truck(const int32_t company, const int32_t slot, const int32_t truck)
{
    if (company < 0 || company >= economy_company_count || slot < 0 || slot >= company_truck_slots || truck < 0 ||
        truck >= static_cast<int32_t>(trucks.size()))
        return;
    company_truck_t& record = trucks[static_cast<size_t>(truck)];
    if (record.flags & truck_assigned)
        return;
    record.flags |= truck_assigned;
    companies[company].trucks[slot] = truck;
}

void economy_ctrl_e::load_scenario()
{
    const char* const scenario = context_text("scenario_def");
    if (scenario[0] == '\0') {
        for (company_t& company : companies) {
            company.headquarters = -1;
            company.trucks[0] = trucks.empty() ? -1 : 0;
        }
    } else {
        char path[160];
        if (std::snprintf(path, sizeof path, "/defs/scenarios/%s", scenario) >= static_cast<int>(sizeof path)) {
            api::error("Cannot read scenario.def !!!");
            return;
        }
        char text[256];
        if (!def_read_string(path, "scenario", "win", text, sizeof text)) {
            api::error("Cannot read scenario.def !!!");
            return;
        }
        if (!def_has_object(path, "scenario")) {
            api::error("<economy_ctrl_e> %s holds no \"scenario\" object; the career starts without its set-up", path);
            return;
        }
        int32_t money_value = 0, loan = 0;
        float prestige = 0.0f, limit = 0.0f;
        def_read_int(path, "scenario", "money", money_value);
        def_read_real(path, "scenario", "prestige", prestige);
        def_read_int(path, "scenario", "loan", loan);
        def_read_real(path, "scenario", "time_limit", limit);
        // The scenario's numbers are brought into the ranges the economy computes in.
        for (company_t& company : companies) {
            company.money = economy_money_clamped(money_value);
            company.prestige = std::isfinite(prestige) ? std::clamp(prestige, 0.0f, 100.0f) : 0.0f;
        }
        companies[0].loan = std::clamp(loan, 0, economy_money_limit);
        time_left = std::isfinite(limit) && limit >= 0.0f ? std::min(limit, scenario_time_limit_max) : -1.0f;
        const char* const colon = std::strchr(text, ':');
        const std::string word(text, colon ? static_cast<size_t>(colon - text) : std::strlen(text));
        if (word == "none") {
            goal_kind = goal_none;
            goal_target = 0;
        } else if (word == "money") {
            goal_kind = goal_money;
            goal_target = colon ? std::atoi(colon + 1) : 0;
        } else if (word == "delivered") {
            goal_kind = goal_delivered;
            goal_target = colon ? find_city(cities, colon + 1) : -1;
        }
        companies[0].colour = context_int("comp_color");
        def_read_string(path, "scenario", "instructions", instructions, sizeof instructions);
        instruction_delay = 4.5f;
        std::snprintf(companies[0].name, sizeof companies[0].name, "%s", context_text("player_name"));
        companies[0].headquarters = -1;
        for (size_t c = 0; c < cities.size(); ++c)
            if (strcasecmp(cities[c].display_name, context_text("headq_name")) == 0) {
                companies[0].headquarters = static_cast<int32_t>(c);
                cities[c].master = 0;
                break;
            }
        // The player himself: the driver whose face he chose.
        const char* const face = context_text("face_img_name");
        int32_t player_driver = -1;
        for (size_t d = 0; d < drivers.size() && face[0] != '\0'; ++d) {
            char images[256];
            ::driver_def_string(drivers[d].name, "imgs", images, sizeof images);
            if (std::strncmp(images, face, std::strlen(face)) == 0) {
                player_driver = static_cast<int32_t>(d);
                break;
            }
        }
        if (player_driver >= 0) {
            drivers[static_cast<size_t>(player_driver)].flags |= driver_is_player;
            drivers[static_cast<size_t>(player_driver)].company = 0;
            assign_truck(0, 0, drivers[static_cast<size_t>(player_driver)].truck);
        } else {
            assign_truck(0, 0, 0);
        }
        char make[32] = "";
        def_read_string(path, "scenario", "truck", make, sizeof make);
        const int32_t own = companies[0].trucks[0];
        if (own >= 0 && own < static_cast<int32_t>(trucks.size())) {
            company_truck_t& truck = trucks[static_cast<size_t>(own)];
            if (make[0] != '\0') {
                std::snprintf(truck.make, sizeof truck.make, "%s", make);
                truck_standard_accessories(truck);
                truck.prestige = truck_sum_prestige(truck);
            }
            // The player drives in the colour he chose for his company.
            if (companies[0].colour >= 0 && companies[0].colour < company_colour_count)
                truck.colour = company_truck_paint(companies[0].colour);
        }
        set_up_opponents();
    }
    level = context_int("level");
    if (time_left > 0.0f)
        time_left *= static_cast<float>(2 - level) * 0.1f + 1.0f;
    set_ai_level(level);
    for (int32_t c = 0; c < cargo_count(); ++c) {
        cargo_t& cargo = cargos[static_cast<size_t>(c)];
        cargo.income = static_cast<int16_t>(
            cargo.income - nearest(static_cast<float>(cargo.income) * static_cast<float>(level) * 0.1f));
    }
    // The graphics options' view distance setting is 20000 until the options keep their own.
    constexpr float view_distance_setting = 20000.0f;
    gfx_view_t view{};
    if (get_view_params(&view) && view.far_plane < 45000.0f) {
        view.far_plane = std::max(0.7f * view_distance_setting, 20000.0f);
        set_view_params(&view);
    }
}

void economy_ctrl_e::set_up_opponents()
{
    const auto city_count = static_cast<int32_t>(cities.size());
    const auto driver_count = static_cast<int32_t>(drivers.size());
    for (int32_t c = 1; c < economy_company_count; ++c) {
        company_t& company = companies[c];
        std::snprintf(company.name, sizeof company.name, "@@ui_opponent@@ %d", c);
        company.opponent_variant = nearest(2.0f * sys_rand()) + 1;
        company.last_step_time = world_->world_time();
        // Headquarters and colour are drawn again while an earlier company has them, as long as a free
        // one is left; a free city is taken in order when the draws keep missing it. Only with no free
        // city left is one shared, and then not the player's while an opponent's is there.
        const auto taken = [&](const int32_t city) {
            for (int32_t e = 0; e < c; ++e)
                if (companies[e].headquarters == city)
                    return true;
            return false;
        };
        int32_t free_city = -1;
        for (int32_t i = 0; i < city_count && free_city == -1; ++i)
            if (!taken(i))
                free_city = i;
        int32_t city = -1;
        for (int tries = 0; tries < 64 && city_count > 0; ++tries) {
            city = draw_index(sys_rand(), city_count);
            if (!taken(city) || free_city == -1)
                break;
        }
        if (city >= 0 && free_city != -1 && taken(city))
            city = free_city;
        for (int32_t i = 0; i < city_count && city >= 0 && city == companies[0].headquarters; ++i)
            if (i != companies[0].headquarters)
                city = i;
        company.headquarters = city;
        company.target_city = city;
        if (city >= 0)
            cities[static_cast<size_t>(city)].master = c;
        for (int tries = 0; tries < 64; ++tries) {
            company.colour = nearest(sys_rand() * 5.0f);
            bool taken = false;
            for (int32_t e = 0; e < c; ++e)
                taken = taken || companies[e].colour == company.colour;
            if (!taken)
                break;
        }
        int32_t joined = -1;
        for (int32_t d = 0; d < driver_count && joined == -1; ++d) {
            const driver_t& driver = drivers[static_cast<size_t>(d)];
            if (city >= 0 && job_source_city(driver.jobs[0]) == city && driver.truck >= 0 &&
                driver.truck < static_cast<int32_t>(trucks.size()) &&
                !(trucks[static_cast<size_t>(driver.truck)].flags & truck_assigned))
                joined = d;
        }
        for (int tries = 0; tries < 64 && joined == -1 && driver_count > 0; ++tries) {
            const int32_t d = draw_index(sys_rand(), driver_count);
            bool taken = false;
            for (int32_t e = 0; e < c; ++e)
                taken = taken || companies[e].trucks[0] == drivers[static_cast<size_t>(d)].truck;
            if (!taken)
                joined = d;
        }
        if (joined != -1) {
            driver_t& driver = drivers[static_cast<size_t>(joined)];
            driver.company = static_cast<int8_t>(c);
            driver.flags &= ~driver_unknown_bit(c);
            if (driver.truck >= 0 && driver.truck < static_cast<int32_t>(trucks.size())) {
                trucks[static_cast<size_t>(driver.truck)].flags |= truck_assigned;
                company.trucks[0] = driver.truck;
            }
        }
    }
}

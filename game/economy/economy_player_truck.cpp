// The economy's answers to the player's truck: who speaks on the CB radio and the driver card it shows.
#include <cstdio>

#include "common/game_context.h"
#include "engine/def_obj.h"
#include "game/economy/economy_defs.h"
#include "game/economy_ctrl.h"

bool economy_ctrl_e::cb_speaker(const int32_t driver, char* out_name, const int size, int32_t& out_voice) const
{
    if (size <= 0)
        return false;
    if (driver == -1) {
        // The player speaks with the voice of the company's own first driver record, if any.
        const def_obj_t* const context = game_context_get();
        const char* const name = context ? context->get_value("player_name") : nullptr;
        std::snprintf(out_name, static_cast<size_t>(size), "%s", name ? name : "");
        out_voice = 0;
        return true;
    }
    if (driver < 0 || driver >= static_cast<int32_t>(drivers.size()))
        return false;
    const driver_t& record = drivers[static_cast<size_t>(driver)];
    if (!::driver_def_string(record.name, "name", out_name, static_cast<size_t>(size)))
        std::snprintf(out_name, static_cast<size_t>(size), "%s", record.name);
    out_voice = record.voice;
    return true;
}

bool economy_ctrl_e::driver_card(const int32_t driver, char* out_image, char* out_name, char* out_employer,
                                 const int size) const
{
    if (size <= 0 || driver < 0 || driver >= static_cast<int32_t>(drivers.size()))
        return false;
    const driver_t& record = drivers[static_cast<size_t>(driver)];
    const size_t bytes = static_cast<size_t>(size);
    if (!::driver_def_string(record.name, "imgs", out_image, bytes))
        out_image[0] = '\0';
    if (!::driver_def_string(record.name, "name", out_name, bytes))
        std::snprintf(out_name, bytes, "%s", record.name);
    if (record.company < 0 || record.company >= economy_company_count)
        std::snprintf(out_employer, bytes, "@@ui_independent@@");
    else
        std::snprintf(out_employer, bytes, "@@ui_hired_by@@<br>%s", companies[record.company].name);
    return true;
}

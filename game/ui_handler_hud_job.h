#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "road/scenery_def.h"
#include "ui/components/ui_handler_game_base.h"
#include "vehicles/links/player_links.h"

class economy_ctrl_e;
class road_network_t;

// The job HUD ("ui.handler.hud.job", window "jobhud" from "/ui/gjobhud.esc"): one job of the economy
// with its cargo, its cities, its pay, the mark of a special job, and the picture of the destination
// trader once the player hitches the job's trailer.
class ui_handler_hud_job_t : public ui_handler_game_base_t, public job_route_hud_t {
public:
    // Longest text of one component.
    static constexpr size_t text_size = 128;

    const char* get_default_name() const override { return "ui.handler.hud.job"; }
    virtual const char* get_type_name() const { return "ui.handler.hud.job"; }

    // Shows job `job` of the economy (the job count names the special offer's job); nothing without an
    // economy or such a job.
    virtual void show_job(int32_t job);
    // Shows job `job` of `economy`.
    void show_job_of(const economy_ctrl_e& economy, int32_t job);
    // Shows the job of a hitched trailer with the destination trader's picture, and writes
    // "@@ui_suggested_route@@ - " with the names of the roads between its docks into `out_text` (cut to
    // `out_size`); the text is left untouched when a trader has no dock or the docks have no route.
    void show_suggested_route(int32_t job, char* out_text, size_t out_size) override;
    // The same over `economy`, the road network `network` (null: no road names) and its place names.
    void show_suggested_route_of(const economy_ctrl_e& economy, const road_network_t* network,
                                 const std::vector<place_name_t>& names, int32_t job, char* out_text, size_t out_size);

protected:
    // The economy of the current world, or null.
    static economy_ctrl_e* economy();
};

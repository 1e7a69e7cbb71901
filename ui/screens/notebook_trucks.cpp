#include "ui/screens/notebook_trucks.h"

#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "game/economy_ctrl.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_truckbutton.h"
#include "ui/screens/ui_handler_menu_notebook.h"

namespace {

// The notebook's handler, or null.
ui_handler_menu_notebook_t* notebook()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<ui_handler_menu_notebook_t*>(window_handler(bridge->find_window("menu", "notebook")))
                  : nullptr;
}

}  // namespace

int32_t notebook_get_truck_slot()
{
    const ui_handler_menu_notebook_t* host = notebook();
    return host ? host->get_truck_slot() : -1;
}

void notebook_set_truck_slot(const int32_t slot)
{
    if (ui_handler_menu_notebook_t* host = notebook())
        host->set_truck_slot(slot);
}

economy_ctrl_e* notebook_economy()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<economy_ctrl_e*>(bridge->economy().resolve()) : nullptr;
}

void notebook_truck_preview(ui_handler_game_base_t& page, const int32_t first_id)
{
    const economy_ctrl_e* economy = notebook_economy();
    if (!economy)
        return;
    const company_t& company = economy->companies[0];
    for (int s = 0; s < company_truck_slots; ++s) {
        auto* button = dynamic_cast<ui_comp_truckbutton_t*>(ui_window_component(page.window, first_id + s));
        if (!button)
            continue;
        const int32_t truck = company.trucks[s];
        if (truck >= 0 && truck < static_cast<int32_t>(economy->trucks.size())) {
            const company_truck_t& record = economy->trucks[static_cast<size_t>(truck)];
            button->build_model(record.make, record.accessories);
            button->set_color(record.colour);
        } else {
            button->build_model("", nullptr);
        }
    }
}

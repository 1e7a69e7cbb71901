// The map's lights on the vehicles' models.
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "engine/psm.h"
#include "road/base_ctrl.h"
#include "road/seg_server.h"
#include "vehicles/body/car_phys.h"

void car_phys_e::light_model(psm_t* const model, const entity_handle_t& controller)
{
    const held_part_t<base_ctrl_e> map(controller);
    if (model && map.get() && map.get()->seg_server)
        api::psm_set_light_callback(model, seg_server_light_callback, map.get()->seg_server);
}

void car_phys_e::light_models()
{
    for (const car_model_slot_t& slot : models)
        light_model(slot.model, controller_link);
}

#include "engine/reset.h"
#include "engine/psm_record.h"
#include "instance.h"
#include "model_registry.h"

namespace {

// Instances first: each holds a use of its model.
void psm_reset()
{
    psm_instances_reset();
    psm_models_reset();
    psm_clear_draw_records();
}

// After the entities (which free their models) and before the resource cache.
const engine_reset_registrar_t registrar(reset_order_entities + 50, psm_reset);

}  // namespace

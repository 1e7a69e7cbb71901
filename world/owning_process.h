#pragma once
#include "engine/eblock.h"
#include "engine/entity.h"

// The process an entity belongs to: the one it lives in, or, during its block's init phases (before
// the process takes it in), the process that made its block; null for an entity of neither.
inline entity_proc_t* owning_process(const entity_t& entity)
{
    if (entity.process())
        return entity.process();
    return entity.block() ? entity.block()->process() : nullptr;
}

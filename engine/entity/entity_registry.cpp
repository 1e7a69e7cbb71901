#include <cstring>
#include <string>
#include <unordered_map>

#include "engine/entity.h"
#include "engine/entity_reg.h"
#include "engine/evalue.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "entity_access.h"

namespace {

std::unordered_map<std::string, const entity_reg_t*> types;

}  // namespace

ENGINE_API bool entity_register(const entity_reg_t* record)
{
    if (!record || !record->type_name || !*record->type_name || !record->create || !record->destroy) {
        error("<entity_register> incomplete registration record");
        return false;
    }
    if (!types.emplace(record->type_name, record).second) {
        error("<entity_register> type \"%s\" already registered", record->type_name);
        return false;
    }
    return true;
}

ENGINE_API const entity_reg_t* entity_find_type(const char* type_name)
{
    if (!type_name)
        return nullptr;
    const auto found = types.find(type_name);
    return found == types.end() ? nullptr : found->second;
}

ENGINE_API entity_t* entity_create(const char* type_name)
{
    const entity_reg_t* type = entity_find_type(type_name);
    if (!type) {
        error("<entity_create> unknown entity type \"%s\"", type_name ? type_name : "(null)");
        return nullptr;
    }
    entity_t* entity = type->create(nullptr);
    if (!entity) {
        error("<entity_create> cannot create an entity of type \"%s\"", type_name);
        return nullptr;
    }
    entity_access::set_type(*entity, type);
    return entity;
}

ENGINE_API void entity_free(entity_t* entity)
{
    if (!entity)
        return;
    evalue_destruct_all(entity, entity->get_evalue_root());
    if (const entity_reg_t* type = entity->type())
        type->destroy(entity, false);
    else
        delete entity;
}

int entity_type_count() { return static_cast<int>(types.size()); }

static engine_reset_registrar_t entity_type_reset_registrar(reset_order_entities, [] { types.clear(); });

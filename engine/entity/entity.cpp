#include "engine/entity.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <typeinfo>

#include "engine/entity_reg.h"
#include "entity_access.h"

const level_list_t entity_t::init_list(nullptr, {0});
const level_list_t entity_t::destroy_list(nullptr, {0});

bool entity_base_t::copy_from(const entity_base_t* source)
{
    // Only entities carry values to copy; the chain is the class's, so both must be of one class.
    const auto* from = dynamic_cast<const entity_t*>(source);
    auto* to = dynamic_cast<entity_t*>(this);
    if (!from || !to || typeid(*from) != typeid(*to))
        return false;
    for (const evalue_def_t* def = get_evalue_root(); def; def = def->next)
        if (def->copy && !def->copy(to, from, def))
            return false;
    return true;
}

int entity_base_t::edit_draw(edit_draw_cmd_t*, const float*, int) { return 0; }
bool entity_base_t::edit_val_changed(const char*, int, const char*) { return false; }
bool entity_base_t::edit_check_me(char*, size_t) { return false; }
bool entity_base_t::edit_get_camera(float*) { return false; }
bool entity_base_t::edit_get_range(const char*, float*, float*) { return false; }
bool entity_base_t::edit_evalue_valid(const char*) { return true; }

entity_t::entity_t() : handle_(entity_slots_take(this)) {}

entity_t::~entity_t() { entity_slots_drop(handle_); }

int entity_t::init(int) { return 0; }
int entity_t::destroy(int) { return 0; }
bool entity_t::use(entity_t*) { return false; }
int entity_t::pin_io(int, int) { return 0; }
bool entity_t::net_send(mbio_t*) { return false; }
bool entity_t::net_receive(mbio_t*) { return false; }
bool entity_t::store_state(mbio_t*) { return true; }
bool entity_t::restore_state(mbio_t*) { return true; }
bool entity_t::store_user_state(mbio_t*) { return true; }
bool entity_t::restore_user_state(mbio_t*) { return true; }
void entity_t::mem_move(ptrdiff_t) {}

void entity_t::set_name(const char* name) { snprintf(name_, sizeof name_, "%s", name ? name : ""); }

const char* entity_t::type_name() const { return type_ ? type_->type_name : get_default_name(); }

std::vector<int> entity_phase_union(const std::vector<entity_t*>& entities, bool init)
{
    std::vector<int> levels;
    for (const entity_t* entity : entities) {
        const level_list_t* list = init ? entity->get_init_list() : entity->get_destroy_list();
        if (list)
            list->collect(levels);
    }
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    return levels;
}

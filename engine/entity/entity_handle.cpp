#include "engine/entity_handle.h"

#include <vector>

#include "engine/reset.h"

namespace {

// Handle words: the slot number plus one in the low bits, the slot's generation above it.
constexpr uint32_t slot_bits = 20;
constexpr uint32_t slot_mask = (1u << slot_bits) - 1;
constexpr uint32_t generation_mask = (1u << (32 - slot_bits)) - 1;

// One slot of the handle table.
struct slot_t {
    entity_t* entity = nullptr;
    uint32_t generation = 0;
    int uses = 0;
    bool taken = false;  // holds an entity or uses
};

std::vector<slot_t> slots;
std::vector<uint32_t> free_slots;

}  // namespace

// The table behind entity handles; entity_t takes and gives back its slot through it.
class entity_slots_t {
public:
    // The slot a handle names, when the handle is current.
    static slot_t* find(entity_handle_t handle)
    {
        const uint32_t number = handle.word_ & slot_mask;
        if (number == 0 || number > slots.size())
            return nullptr;
        slot_t& slot = slots[number - 1];
        if (!slot.taken || slot.generation != handle.word_ >> slot_bits)
            return nullptr;
        return &slot;
    }

    static entity_handle_t take(entity_t* entity)
    {
        uint32_t index;
        if (!free_slots.empty()) {
            index = free_slots.back();
            free_slots.pop_back();
        } else {
            if (slots.size() >= slot_mask)
                return entity_handle_t();
            index = static_cast<uint32_t>(slots.size());
            slots.emplace_back();
        }
        slot_t& slot = slots[index];
        slot.generation = (slot.generation + 1) & generation_mask;
        slot.entity = entity;
        slot.uses = 0;
        slot.taken = true;
        return entity_handle_t((slot.generation << slot_bits) | (index + 1));
    }

    // Gives the slot back once it holds neither an entity nor a use.
    static void recycle_if_unused(slot_t& slot)
    {
        if (slot.entity || slot.uses > 0)
            return;
        slot.taken = false;
        free_slots.push_back(static_cast<uint32_t>(&slot - slots.data()));
    }

    static void reset()
    {
        slots.clear();
        free_slots.clear();
    }
};

entity_handle_t entity_slots_take(entity_t* entity) { return entity_slots_t::take(entity); }

void entity_slots_drop(entity_handle_t handle)
{
    if (slot_t* slot = entity_slots_t::find(handle)) {
        slot->entity = nullptr;
        entity_slots_t::recycle_if_unused(*slot);
    }
}

entity_t* entity_handle_t::resolve() const
{
    const slot_t* slot = entity_slots_t::find(*this);
    return slot ? slot->entity : nullptr;
}

bool entity_handle_t::add_use() const
{
    slot_t* slot = entity_slots_t::find(*this);
    if (!slot)
        return false;
    ++slot->uses;
    return true;
}

void entity_handle_t::release() const
{
    slot_t* slot = entity_slots_t::find(*this);
    if (!slot || slot->uses == 0)
        return;
    --slot->uses;
    entity_slots_t::recycle_if_unused(*slot);
}

int entity_handle_t::uses() const
{
    const slot_t* slot = entity_slots_t::find(*this);
    return slot ? slot->uses : 0;
}

int entity_handle_live_slots()
{
    int live = 0;
    for (const slot_t& slot : slots)
        live += slot.taken ? 1 : 0;
    return live;
}

static engine_reset_registrar_t entity_handle_reset_registrar(reset_order_entities, entity_slots_t::reset);

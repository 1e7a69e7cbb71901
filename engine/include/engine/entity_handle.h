#pragma once
#include <cstdint>

class entity_t;

// A counted handle to an entity. It fits in 32 bits (a slot number and a generation), so records that
// keep an entity's handle in a 32-bit word can hold it. A handle stops resolving once its entity is
// destroyed. While someone holds a use of a handle its slot is not given to another entity, so a held
// handle can never name a newer entity; an unheld copy is only protected by the generation.
class entity_handle_t {
public:
    constexpr entity_handle_t() = default;
    // The handle stored in a 32-bit word by `word()`.
    static constexpr entity_handle_t from_word(uint32_t word) { return entity_handle_t(word); }

    constexpr uint32_t word() const { return word_; }
    constexpr bool is_null() const { return word_ == 0; }
    constexpr bool operator==(const entity_handle_t&) const = default;

    // The live entity this handle names, or null once it is destroyed (or for the null handle).
    entity_t* resolve() const;
    // Takes one use of the handle; false for a null or stale handle.
    bool add_use() const;
    // Gives back one use; the slot is recycled when its entity is gone and no use is left.
    void release() const;
    // Uses held on the handle's slot (0 for a null or stale handle).
    int uses() const;

private:
    constexpr explicit entity_handle_t(uint32_t word) : word_(word) {}
    friend class entity_slots_t;
    uint32_t word_ = 0;
};

// Number of slots that still hold an entity or a use (tests use it to find leaks).
int entity_handle_live_slots();

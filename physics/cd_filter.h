#pragma once
#include <cstdint>

#include "engine/vdatalist.h"

class entity_t;

// Decides for one owner whether it reacts to another object: per-object exceptions first, then an
// ordered list of mask rules, else a default answer. Answers are 1 (react) or 0 (ignore).
class cd_filter_t {
public:
    // How a rule's group mask is compared with the object's group bits.
    enum group_mode_t : uint32_t {
        group_subset_of_mask = 0,  // the object's groups all lie in the mask
        group_mask_subset = 1,     // the mask's groups all lie in the object's
        group_any_shared = 2,      // at least one group in common
        group_none_shared = 3,     // no group in common
    };

    // A mask rule: matches objects with all of `type_mask` and groups as `mode` says.
    struct rule_t {
        uint32_t type_mask;
        uint32_t group_mask;
        uint8_t answer;
        uint32_t mode;
    };

    // An answer fixed for one object, compared by identity.
    struct exception_t {
        const void* object;
        uint8_t answer;
    };

    cd_filter_t() = default;
    ~cd_filter_t() { clear(1); }
    cd_filter_t(const cd_filter_t&) = delete;
    cd_filter_t& operator=(const cd_filter_t&) = delete;

    // Empties both lists and sets the answer given when nothing matches.
    void clear(uint8_t default_answer);
    // Adds a rule answering 0 in mode 0, at the end when `at_end`, else in front of the others.
    rule_t* add_rule(uint32_t type_mask, uint32_t group_mask, bool at_end);
    // Adds a rule with every field given.
    rule_t* add_rule(uint32_t type_mask, uint32_t group_mask, uint8_t answer, uint32_t mode, bool at_end);
    // Appends an exception: `object` gets `answer` whatever the rules say.
    exception_t* add_exception(const void* object, uint8_t answer);

    // The answer for an object with the given type and group bits.
    uint8_t query(const void* object, uint32_t type_bits, uint32_t group_bits) const;
    // The answer for an entity: its first engine flag word gives the type bits, its second the group
    // bits. A null entity (one that no longer exists) has neither.
    uint8_t query(const entity_t* entity) const;

    uint8_t default_answer() const { return default_answer_; }
    int rule_count() const { return static_cast<int>(rules_.count()); }
    int exception_count() const { return static_cast<int>(exceptions_.count()); }

private:
    // Whether `rule` matches an object with these bits.
    static bool rule_matches(const rule_t& rule, uint32_t type_bits, uint32_t group_bits);

    vdatalist_t<rule_t> rules_;
    vdatalist_t<exception_t> exceptions_;
    uint8_t default_answer_ = 1;
};

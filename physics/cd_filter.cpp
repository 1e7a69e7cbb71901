#include "physics/cd_filter.h"

#include "engine/entity.h"

void cd_filter_t::clear(uint8_t default_answer)
{
    rules_.remove_all();
    exceptions_.remove_all();
    default_answer_ = default_answer;
}

cd_filter_t::rule_t* cd_filter_t::add_rule(uint32_t type_mask, uint32_t group_mask, bool at_end)
{
    return add_rule(type_mask, group_mask, 0, group_subset_of_mask, at_end);
}

cd_filter_t::rule_t* cd_filter_t::add_rule(uint32_t type_mask, uint32_t group_mask, uint8_t answer, uint32_t mode,
                                           bool at_end)
{
    const rule_t rule{type_mask, group_mask, answer, mode};
    auto* node = at_end ? rules_.append(rule) : rules_.prepend(rule);
    return node ? &node->value() : nullptr;
}

cd_filter_t::exception_t* cd_filter_t::add_exception(const void* object, uint8_t answer)
{
    auto* node = exceptions_.append(exception_t{object, answer});
    return node ? &node->value() : nullptr;
}

bool cd_filter_t::rule_matches(const rule_t& rule, uint32_t type_bits, uint32_t group_bits)
{
    if ((type_bits & rule.type_mask) != rule.type_mask)
        return false;
    if (rule.group_mask == 0)
        return true;
    if (group_bits == 0)
        return false;
    switch (rule.mode) {
    case group_subset_of_mask:
        return (group_bits & ~rule.group_mask) == 0;
    case group_mask_subset:
        return (rule.group_mask & ~group_bits) == 0;
    case group_any_shared:
        return (rule.group_mask & group_bits) != 0;
    case group_none_shared:
        return (rule.group_mask & group_bits) == 0;
    default:
        return false;
    }
}

uint8_t cd_filter_t::query(const void* object, uint32_t type_bits, uint32_t group_bits) const
{
    for (auto* node = exceptions_.first(); node; node = node->next())
        if (node->value().object == object)
            return node->value().answer;
    for (auto* node = rules_.first(); node; node = node->next())
        if (rule_matches(node->value(), type_bits, group_bits))
            return node->value().answer;
    return default_answer_;
}

uint8_t cd_filter_t::query(const entity_t* entity) const
{
    if (!entity)
        return query(nullptr, 0, 0);
    return query(entity, entity->entity_flags, entity->type_flags);
}

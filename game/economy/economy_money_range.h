#pragma once
#include <cstdint>

// The range the economy keeps money and pay in. Every sum of money stays within +-1 000 000 000 and
// a weekly wage within 0..1 000 000: a company has at most eight trucks, so a week's wages, upkeep and
// loan repayment stay far below the 2 147 483 647 a 32-bit amount holds, and an amount at the limit
// plus any week's settlement still fits before it is clamped back. A career never comes near it (a
// new company starts with tens of thousands).
constexpr int32_t economy_money_limit = 1000000000;
constexpr int32_t economy_salary_limit = 1000000;

// `value` brought into -economy_money_limit..economy_money_limit.
int32_t economy_money_clamped(int64_t value);
// True when `value` lies within -economy_money_limit..economy_money_limit.
bool economy_money_in_range(int64_t value);

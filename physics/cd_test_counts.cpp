#include "physics/cd_test_counts.h"

#include "engine/reset.h"

namespace {

cd_test_counts_t counts;

const engine_reset_registrar_t counts_reset(reset_order_processes + 20, [] { counts = cd_test_counts_t{}; });

}  // namespace

cd_test_counts_t& cd_test_counts() { return counts; }

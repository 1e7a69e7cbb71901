#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test,
# then a short run of each fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cd "$root"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci -j "$(nproc)"
bash "$root/tools/fuzz-smoke.sh"

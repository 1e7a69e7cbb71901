#!/usr/bin/env bash
# Checks the engine-call list, the folder order of the includes and the formatting, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs each fuzz target
# briefly, then every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cd "$root"
python3 "$root/tools/sync_engine_api.py" --check
python3 "$root/tools/check_includes.py"
bash "$root/tools/check_format.sh"
cmake --preset ci >/dev/null
cmake --build --preset ci
bash "$root/tools/fuzz-smoke.sh"
ctest --preset ci -j "$(nproc)"

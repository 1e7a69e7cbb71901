#!/usr/bin/env bash
# Builds the release host and module and plays the sample game on data/ headless.
# Extra arguments go to the host (for example --frames 600 -map ridgeway).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release
if (($# == 0)); then set -- --frames 600 -map ridgeway; fi
exec "$root/build/release/bin/kavrenta" --data "$root/data" "$@"

#!/usr/bin/env bash
# Builds what playing needs (the release host, the engine, the model library and the module) and plays
# the sample game on data/ headless, then says how the run ended.
# Extra arguments go to the host (for example --frames 600 -map mainland); -default_controls is added.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
cd "$root"
cmake --preset release >/dev/null
# The host, the module and the model library (the engine library comes with them): no tests or benchmarks.
cmake --build --preset release --target kavrenta game psm
if (($# == 0)); then set -- --frames 600 -map mainland; fi
# The default keys are bound, so that a new player drives at once (README.md lists them).
if [[ " $* " != *" -default_controls "* ]]; then set -- "$@" -default_controls; fi
command=("$root/build/release/bin/kavrenta" --data "$root/data" "$@")
echo "play: ${command[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
set +e
"${command[@]}" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
# The world the game built, the host's own last line (frames, peak memory, what ended it), the exit.
world=$(grep -m 1 -E "^Game map " "$log" || true)
echo "play: world: ${world:-no map loaded (the menu or the editor)}"
grep -E "^kavrenta: [0-9]+ frames" "$log" | sed 's/^kavrenta:/play:/' || true
echo "play: exit status $status"
exit "$status"

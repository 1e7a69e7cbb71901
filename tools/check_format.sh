#!/usr/bin/env bash
# Fails when a tracked C++ source or header differs from what .clang-format makes of it, naming each
# file; with --fix, formats them in place. Generated files keep their generator's layout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
generated='^common/engine_api_names\.h$'  # written by tools/sync_engine_api.py
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v -E "$generated")
if [[ ${1:-} == --fix ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# One clang-format per file, as many at once as there are cores: the check runs first in every CI build.
bad=$(printf '%s\0' "${files[@]}" |
  xargs -0 -n 16 -P "$(nproc)" sh -c 'for f; do clang-format --dry-run --Werror "$f" >/dev/null 2>&1 ||
    echo "$f: not formatted (bash tools/check_format.sh --fix)"; done' sh | sort)
if [[ -n $bad ]]; then
  echo "$bad"
  exit 1
fi

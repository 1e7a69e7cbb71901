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
bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "$f: not formatted (bash tools/check_format.sh --fix)"
    bad=1
  fi
done
exit $bad

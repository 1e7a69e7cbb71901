#!/usr/bin/env bash
# Rewrites the golden pictures under tests/golden/ from what the debug build paints now. Look at the
# pictures (git diff shows which changed) before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset debug >/dev/null
cmake --build --preset debug -j4
for program in engine_tests ui_tests; do
  KAVRENTA_UPDATE_GOLDEN=1 "build/debug/bin/$program" --gtest_filter='*golden*'
done
git status --short tests/golden

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each briefly on its seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# An undefined-behaviour report stops the target like a crash does, so the smoke run fails on it.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
shopt -s nullglob
targets=(fuzz/*.cpp)
if ((${#targets[@]} == 0)); then exit 0; fi
cmake --preset fuzz >/dev/null
names=()
for source in "${targets[@]}"; do names+=("fuzz_$(basename "$source" .cpp)"); done
cmake --build --preset fuzz --target "${names[@]}"
for source in "${targets[@]}"; do
  name=$(basename "$source" .cpp)
  corpus="fuzz/corpus/$name"
  work=$(mktemp -d)
  echo "fuzz: $name"
  seeds=()
  [[ -d $corpus ]] && seeds=("$corpus")
  "build/fuzz/bin/fuzz_$name" -max_total_time="${FUZZ_SECONDS:-15}" -max_len=4096 "$work" "${seeds[@]}" \
    >"$work.log" 2>&1 || { tail -50 "$work.log"; exit 1; }
  # A report from a part built without the halting flags still fails the run.
  if grep -q "runtime error:" "$work.log"; then grep -m 5 -A 5 "runtime error:" "$work.log"; exit 1; fi
  rm -rf "$work" "$work.log"
done

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
# Runs one target on its seeds; prints its log and fails when it crashed or reported undefined behaviour.
run_target() {
  local name=$1 corpus="fuzz/corpus/$1" work seeds=()
  work=$(mktemp -d)
  [[ -d $corpus ]] && seeds=("$corpus")
  # Inputs up to 4096 bytes, or as long as the longest seed, so a seed that reaches deep (a whole saved
  # career) is not cut short.
  local max_len=4096 seed size
  for seed in "$corpus"/*; do
    [[ -f $seed ]] || continue
    size=$(stat -c %s "$seed")
    ((size > max_len)) && max_len=$size
  done
  if ! "build/fuzz/bin/fuzz_$name" -max_total_time="${FUZZ_SECONDS:-15}" -max_len="$max_len" "$work" "${seeds[@]}" \
    >"$work.log" 2>&1; then
    echo "fuzz: $name failed"; tail -50 "$work.log"; return 1
  fi
  # A report from a part built without the halting flags still fails the run.
  if grep -q "runtime error:" "$work.log"; then
    echo "fuzz: $name reported undefined behaviour"; grep -m 5 -A 5 "runtime error:" "$work.log"; return 1
  fi
  echo "fuzz: $name"
  rm -rf "$work" "$work.log"
}
# One target per core at a time: the run takes the time of the targets over the cores, not their sum.
jobs_at_once=$(nproc)
failed=0
running=0
for source in "${targets[@]}"; do
  if ((running >= jobs_at_once)); then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$(basename "$source" .cpp)" &
  running=$((running + 1))
done
while ((running > 0)); do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"

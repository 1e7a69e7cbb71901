#!/usr/bin/env bash
# Takes the README's screenshot (docs/screenshot.png): the sample map at noon from the player's truck,
# painted by the debug build's host with a fixed seed and frame time, so the same build takes the same
# picture. Look at it before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset debug >/dev/null
cmake --build --preset debug --target kavrenta game psm -j4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A first short run writes the home's config.cfg; the key that sets the clock to noon is added to it.
build/debug/bin/kavrenta --frames 2 --data data --home "$work" >/dev/null 2>&1
echo 'bind F9 "g_set_time 12"' >>"$work/Kavrenta/config.cfg"
printf '%s\n' '// noon, then the screenshot key' '0.1 press F9' '0.15 release F9' '4.0 press F10' \
  '4.05 release F10' >"$work/noon.inp"
out=$(build/debug/bin/kavrenta --seed 1 --dt 0.02 --frames 220 --input "$work/noon.inp" --data data \
  --home "$work" -map mainland -default_controls 2>&1)
if grep -q "no off-screen OpenGL" <<<"$out"; then
  echo "no off-screen OpenGL on this machine: the screenshot would be black" >&2
  exit 1
fi
cp "$work/Kavrenta/screenshots/aa_00000.png" docs/screenshot.png
echo "docs/screenshot.png written"
